#pragma once
// The commands that frame the program's life: start-up (command line, settings, drive monitor,
// tray icon) and the end (tray icon away, window state recorded, settings saved).
#include "app/Command.h"
#include "foundation/CommandLine.h"

#include <string>
#include <vector>

namespace fhw {

// Accepts the one option "/start" (or "-start", any case).
class CCommandLineParser : public CSimpleCommandLineParser {
public:
    using CSimpleCommandLineParser::Parse;
    void Parse(const std::vector<std::wstring>& arguments) override;

    bool m_start = false;
};

class CCommandInit : public CCommand {
public:
    void ExecuteImpl(bool doIt) override;

    bool ParseCommandLine();
    bool LoadSettings();
};

class CCommandQuit : public CCommand {
public:
    void ExecuteImpl(bool doIt) override;
    void SaveSettings();

    bool m_noSave = true;
};

} // namespace fhw
