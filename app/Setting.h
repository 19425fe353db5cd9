#pragma once
// All user settings: window placement, the execute settings and three histories.
#include "app/ExecSetting.h"
#include "app/MruStrings.h"

#include <windows.h>

class CMainFrameSetting {
public:
    bool operator==(const CMainFrameSetting& other) const
    {
        return FullScreen == other.FullScreen && Maximized == other.Maximized && ::EqualRect(&NormalBounds, &other.NormalBounds);
    }

    bool FullScreen = false;
    bool Maximized = false;
    RECT NormalBounds{0, 0, 0, 0};
};

class CSetting {
public:
    CSetting();

    // Equal when the parts are equal and the histories hold the same entries, by identity.
    bool operator==(const CSetting& other) const;

    CMainFrameSetting MainFrame;
    fhw::CExecSetting Exec;
    CMruStrings SrcFolderHistory{20};
    CMruStrings SrcFnameHistory{20};
    CMruStrings DstFolderHistory{20};
};

extern CSetting* g_setting;
