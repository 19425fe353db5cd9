#pragma once
// Decodes an encoded picture (whatever the installed WIC codecs read) into a CImg of one of the
// allowed formats, and the entry points that load from a file, a resource, a DIB or the clipboard.
#include "imaging/ColorProfile.h"
#include "imaging/Img.h"

#include <windows.h>

#include <objidl.h>

#include <wincodec.h>

#include <bitset>
#include <string>

class CImgLoader {
public:
    virtual ~CImgLoader() = default;
    virtual CImgPtr Load(IStream* stream) = 0;
};

namespace wic {

class CImgLoader : public ::CImgLoader {
public:
    CImgPtr Load(IStream* stream) override;
    CImgPtr Decode(IWICBitmapFrameDecode* frame, IWICColorContext* sourceContext);

    ImgFormat ChooseGrayFormat(int bitsPerPixel, bool alpha) const;
    ImgFormat ChooseRgbFormat(bool alpha) const;
    ImgFormat ChooseCmykFormat(bool alpha) const;
    // m_rgbProfile for the RGB formats, m_cmykProfile for the CMYK ones, none for grey.
    CColorProfilePtr GetTargetProfile(ImgFormat format) const;

    void LoadFromFile(CImgPtr& out, const std::wstring& path);
    // The "IMAGE" resource of that name or id.
    void LoadFromResource(CImgPtr& out, const wchar_t* name);
    void LoadFromResource(CImgPtr& out, WORD id);
    CImgPtr LoadFromResource(WORD id);
    // A packed DIB (header, colour table, bits) as the clipboard holds it.
    void LoadFromPackedDib(CImgPtr& out, const void* dib, size_t size);
    void LoadFromDibHandle(CImgPtr& out, HGLOBAL dib);
    // CF_DIBV5, else CF_DIB; the clipboard must be open.
    void LoadFromClipboard(CImgPtr& out);

    // Bit 0: attach no colour context to the result.
    UINT m_options = 0;
    std::bitset<kImgFormatCount> m_formats{0x3F};
    CColorProfilePtr m_rgbProfile;
    CColorProfilePtr m_cmykProfile;
    int m_orientation = 1;
};

} // namespace wic

// Pixels of a source whose WIC format is exactly the image's format; sizes are checked before
// anything is copied.
void CopyFromSource(CImg& img, IWICBitmapSource* source);
// Format conversion without colour management, then the orientation.
void ConvertPlain(CImg& img, IWICBitmapSource* source, WICBitmapTransformOptions options);
