#pragma once
// The system's colour profiles: the colour folder, installed profiles by data colour space, the
// standard RGB and CMYK profiles, the screen's profile, and the process-wide defaults opened on
// first use.
#include "imaging/ColorProfile.h"
#include "imaging/ImgFormat.h"

#include <windows.h>

#include <icm.h>

#include <string>
#include <vector>

HRESULT GetColorDirectory(std::wstring& out);
HRESULT GetStandardSrgbProfilePath(std::wstring& out);
// S_FALSE and an empty list when nothing matches.
HRESULT EnumProfiles(const ENUMTYPEW& type, std::vector<std::wstring>& names);
// The first preferred name installed (spelled as installed), else the first installed, else "".
std::wstring FindStandardProfileName(DWORD colorSpace, const wchar_t* const preferred[], int count);
std::wstring GetStandardProfileName(DWORD colorSpace);
std::wstring GetDisplayProfileName();

// "CMYK" and "RGB " their default profiles, "GRAY" empty; any other space throws.
CColorProfilePtr GetDefaultProfile(DWORD colorSpace);
CColorProfilePtr GetDefaultRgbProfile();
CColorProfilePtr GetDefaultCmykProfile();
CColorProfilePtr GetDisplayProfile();
CColorProfilePtr GetDisplayOrDefaultRgbProfile();
CColorProfilePtr DefaultProfileForColorType(ImgColorType type);
COLORREF RgbColorToColorRef(const RGBCOLOR& color);
