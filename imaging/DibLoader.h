#pragma once
// 32-bit DIBs from pictures in files, resources and GDI+ images. The HRESULT of the first step
// that fails is returned and `out` is left as it was.
#include "imaging/Dib.h"

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <string>

HRESULT LoadDibFromFile(CDibPtr& out, const std::wstring& path);
HRESULT LoadDibFromResource(CDibPtr& out, const wchar_t* name, const wchar_t* type);
HRESULT LoadDibFromImage(CDibPtr& out, Gdiplus::Image& image);
