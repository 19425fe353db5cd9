#include "app/AppResources.h"

#include "foundation/ResString.h"
#include "resource.h"

CAppResources* g_appResources = nullptr;

namespace {
void LoadPair(std::list<CResText>& pair, UINT first, UINT second)
{
    pair.resize(2);
    pair.front().SetId(first);
    pair.back().SetId(second);
}
} // namespace

CAppResources::CAppResources()
{
    g_appResources = this;
    m_hIcon = static_cast<HICON>(
        ::LoadImageW(GetResourceInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    try {
        LoadPair(m_movePair, IDS_MOVE_SOURCES_LINE, IDS_MOVE_DESTINATION_LINE);
        LoadPair(m_copyPair, IDS_COPY_SOURCES_LINE, IDS_COPY_DESTINATION_LINE);
        CResText* texts[] = {&m_startTitle,       &m_startText,       &m_resultTitle,    &m_resultText,
                             &m_resultDriveTitle, &m_resultDriveText, &m_driveTitle,     &m_driveText,
                             &m_verbMove,         &m_verbCopy,        &m_verbDisconnect, &m_verbEject};
        static_assert(IDS_VERB_EJECT == IDS_START_TITLE + 11, "the twelve texts are numbered in order");
        UINT id = IDS_START_TITLE;
        for (CResText* text : texts) text->SetId(id++);
        m_resultsNotShown.SetId(IDS_RESULTS_NOT_SHOWN);
    } catch (...) {
        DestroyIcon();
        if (g_appResources == this) g_appResources = nullptr;
        throw;
    }
}

CAppResources::~CAppResources()
{
    DestroyIcon();
    if (g_appResources == this) g_appResources = nullptr;
}

BOOL CAppResources::DestroyIcon()
{
    if (!m_hIcon) return FALSE;
    BOOL done = ::DestroyIcon(m_hIcon);
    if (done) m_hIcon = nullptr;
    return done;
}
