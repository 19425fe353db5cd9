#pragma once
// All user settings: window placement, the execute settings and three histories.
#include "app/ExecSetting.h"
#include "app/MruStrings.h"

#include "foundation/XmlDocument.h"

#include <windows.h>

#include <string>

class CMainFrameSetting {
public:
    bool operator==(const CMainFrameSetting& other) const
    {
        return FullScreen == other.FullScreen && Maximized == other.Maximized &&
               ::EqualRect(&NormalBounds, &other.NormalBounds);
    }

    bool FullScreen = false;
    bool Maximized = false;
    RECT NormalBounds{0, 0, 0, 0};
};

// The version of the settings format this program writes and understands.
constexpr DWORD g_settingVersion = PackVersion(1, 0, 0, 0);

// A larger settings file is refused before it is parsed. Every value has its bound (two paths of
// 32767 and a pattern of 4096 characters, a few bytes each once encoded), so what the program
// writes stays under half a megabyte; Wine's parser takes seconds over ten megabytes and minutes
// over thirty, with nothing on the screen.
constexpr DWORD kMaxSettingFileBytes = 2 * 1024 * 1024;

class CSettingReader : public CXmlDocument {
public:
    DWORD m_version = PackVersion(1, 0, 0, 0);
};

class CSettingWriter : public CXmlDocument {};

class CSetting {
public:
    CSetting();

    // Equal when the parts are equal and the histories hold the same entries, by identity.
    bool operator==(const CSetting& other) const;

    // True when the whole file was read; what was read before a failure stays stored.
    static bool Load(CSettingReader& reader, CSetting& setting, const std::wstring& path);
    // Writes beside the file and then replaces it in one step, so a failure keeps the old file.
    static bool Save(CSettingWriter& writer, const CSetting& setting, const std::wstring& path);

    CMainFrameSetting MainFrame;
    fhw::CExecSetting Exec;
    CMruStrings SrcFolderHistory{20};
    CMruStrings SrcFnameHistory{20};
    CMruStrings DstFolderHistory{20};
};

extern CSetting* g_setting;

class CMsg;

// Start-up loading: no file keeps the defaults; a read error or a newer file asks through `msg`.
// False when the user cancelled (the program then ends without saving).
bool LoadSettingsWithPrompts(CMsg& msg, CSetting& setting, const std::wstring& path);

// Exit saving: creates the data folder when missing; a failure throws its message.
void SaveSettingsOrThrow(const CSetting& setting, const std::wstring& path);
