#pragma once
// WIC colour contexts: made from profile bytes or an EXIF colour space, read from a frame, and
// converted to and from the library's CColorContext.
#include "imaging/ColorContext.h"

#include <windows.h>

#include <wincodec.h>

#include <string>
#include <vector>

// Each `out` receives a reference of its own; what it held before is released.
void CreateColorContextFromMemory(IWICColorContext*& out, const BYTE* data, UINT size);
void CreateColorContextFromExif(IWICColorContext*& out, UINT exifColorSpace);
// Left empty when the frame has no usable context; a failing read of the frame is not reported.
void GetFrameColorContext(IWICColorContext*& out, IWICBitmapFrameDecode* frame);
// EXIF contexts are usable for sRGB and Adobe RGB only (1 and 2); 65535 means uncalibrated.
bool IsUsableColorContext(IWICColorContext* context);

// Never throw: E_HANDLE without a context, E_FAIL for a profile of 0 bytes.
HRESULT GetProfileBytes(IWICColorContext* context, std::string& out);
HRESULT GetProfileBytes(IWICColorContext* context, std::vector<BYTE>& out);

void ConvertCc(IWICColorContext* wic, CColorContext& cc);
void ToWicColorContext(const CColorContext& cc, IWICColorContext*& out);
