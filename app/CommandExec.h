#pragma once
// The run: for each drive of a mask, move or copy the matching entries of the source folder to
// the destination with one shell file operation, then eject, show Explorer and report.
#include "app/Command.h"

#include <windows.h>

#include <list>
#include <string>

namespace fhw {

class CExecSetting;

class CCommandExec : public CCommand {
public:
    void ExecuteImpl(bool doIt) override;

    DWORD m_driveMask = 0xFFFFFFFF;
    bool m_arm = false;
    bool m_reportIfNone = false;
    bool m_found = false;

private:
    // One run with its parameters copied, so that a nested run cannot change them underneath.
    struct CRun {
        DWORD driveMask;
        bool arm;
        bool found = false;
    };
    void Run(CRun& run);
    void ExecuteFolder(CRun& run, const std::wstring& path, const CExecSetting& setting);
    bool EjectDrive(bool& disconnected, wchar_t drive, size_t count);
    void OpenExplorer(const std::wstring& destination, const std::list<std::wstring>& sources);
    void ShowResult(wchar_t drive, size_t count, bool copy, bool ejected, bool disconnected);
};

// How many of `sources` now stand in `destination` (and, for a move, are gone from their place).
size_t CountArrived(const std::list<std::wstring>& sources, const std::wstring& destination, bool move);

// Entries of `folder` whose names `pattern` finds, as full paths in natural order.
std::list<std::wstring> CollectSources(const std::wstring& folder, const std::wstring& pattern);

} // namespace fhw
