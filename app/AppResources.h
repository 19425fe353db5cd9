#pragma once
// The icon and the texts of the tray icon, the balloons and the confirm dialog, loaded once.
#include "ui/ResText.h"

#include <windows.h>

#include <list>

class CAppResources {
public:
    CAppResources();
    ~CAppResources();
    CAppResources(const CAppResources&) = delete;
    CAppResources& operator=(const CAppResources&) = delete;

    BOOL DestroyIcon();

    HICON m_hIcon = nullptr;
    std::list<CResText> m_movePair;
    std::list<CResText> m_copyPair;
    CResText m_startTitle;
    CResText m_startText;
    CResText m_resultTitle;
    CResText m_resultText;
    CResText m_resultDriveTitle;
    CResText m_resultDriveText;
    CResText m_driveTitle;
    CResText m_driveText;
    CResText m_verbMove;
    CResText m_verbCopy;
    CResText m_verbDisconnect;
    CResText m_verbEject;
    CResText m_resultsNotShown;
};

extern CAppResources* g_appResources;
