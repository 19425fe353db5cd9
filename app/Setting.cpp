#include "app/Setting.h"

#include "foundation/PlatformPaths.h"

#include <shlobj.h>

CSetting* g_setting = nullptr;

CSetting::CSetting()
{
    SrcFolderHistory.Add(L"\\DCIM");
    for (const wchar_t* pattern : {L"^[0-9]{3}_PANA$", L"^[0-9]{3}_FUJI$", L"^[0-9]{3}RICOH$", L"^[0-9]{3}PENTX$",
                                   L"^[0-9]{3}OLYMP$", L"^[0-9]{3}NIKON$", L"^[0-9]{3}MSDCF$", L"^[0-9]{3}EPSON$",
                                   L"^[0-9]{3}CANON$", L"^[0-9]{3}CASIO$", L"^[0-9]{3}ANDRO$", L"^[0-9]{3}[A-Z_]{5}$"})
        SrcFnameHistory.Add(pattern);
    std::wstring pictures;
    if (GetSpecialFolderPath(pictures, nullptr, CSIDL_MYPICTURES, false) && !pictures.empty())
        DstFolderHistory.Add(pictures);
}

bool CSetting::operator==(const CSetting& other) const
{
    return MainFrame == other.MainFrame && Exec == other.Exec &&
           SrcFolderHistory.m_items == other.SrcFolderHistory.m_items &&
           SrcFnameHistory.m_items == other.SrcFnameHistory.m_items &&
           DstFolderHistory.m_items == other.DstFolderHistory.m_items;
}
