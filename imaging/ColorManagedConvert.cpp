#include "imaging/ColorManagedConvert.h"

#include "foundation/Exception.h"
#include "ids/imaging.h"
#include "imaging/ColorProfileLookup.h"
#include "imaging/ImagingFactory.h"
#include "imaging/ImgLoader.h"
#include "imaging/ImgSource.h"
#include "imaging/WicPipeline.h"
#include "imaging/WicPixelFormat.h"

using ATL::CComPtr;

namespace {

[[noreturn]] void ThrowUnknownFormat() { throw my::CException(IDS_WIC_UNKNOWN_FORMAT, std::wstring()); }

GUID PixelFormatOf(IWICBitmapSource* source)
{
    GUID format = {};
    ThrowIfFailed(source->GetPixelFormat(&format), IDS_WIC_PIXEL_FORMAT_FAILED);
    return format;
}

// Sizes `img` like the source and gives it zero-filled pixels.
void AllocLike(CImg& img, IWICBitmapSource* source)
{
    UINT width = 0, height = 0;
    ThrowIfFailed(source->GetSize(&width, &height), IDS_WIC_SIZE_FAILED);
    img.m_w = width;
    img.m_h = height;
    img.AllocBits();
}

// A CMYK image through 32bppCMYK and a colour transform from its colour context to the target;
// holds what the transform reads from, the image source first, for as long as it lives.
class CCmykImageTransform {
public:
    IWICBitmapSource* Make(const CImg& img, IWICColorContext* sourceContext, IWICColorContext* target, ImgFormat output)
    {
        m_source.SetImage(&img);
        IWICBitmapSource* next = ConvertToImgFormat(&m_source, PixelFormatOf(&m_source), CMYK32, m_converted);
        IWICColorContext* from = GetSourceColorContext(sourceContext, CMYK32, m_defaultContext);
        return CreateColorTransform(next, from, target, output, m_transformed);
    }

private:
    wic::CImgSource m_source;
    CWicSourcePtr m_converted;
    CComPtr<IWICColorContext> m_defaultContext;
    CWicSourcePtr m_transformed;
};

} // namespace

IWICColorContext* GetSourceColorContext(IWICColorContext* given, ImgFormat format, CComPtr<IWICColorContext>& out)
{
    if (given) return given;
    CColorProfilePtr profile = GetDefaultProfile(ColorSpaceOfImgFormat(format));
    if (!profile) throw my::CException(IDS_ICM_GET_DEFAULT_PROFILE_FAILED, ImgFormatToString(format));
    CreateWicColorContext(out.p, profile->GetBytes());
    return out;
}

void ConvertWithTransform(CImg& img, IWICBitmapSource* source, const GUID& sourceFormat, int intermediate,
                          IWICColorContext* sourceContext, ImgFormat output, IWICColorContext* target,
                          WICBitmapTransformOptions options)
{
    CWicSourcePtr converted, transformed, turned;
    IWICBitmapSource* next = source;
    if (intermediate >= 0)
        next = ConvertToImgFormat(source, sourceFormat, static_cast<ImgFormat>(intermediate), converted);
    CComPtr<IWICColorContext> defaultContext;
    const ImgFormat contextFormat = intermediate >= 0 ? static_cast<ImgFormat>(intermediate) : output;
    IWICColorContext* from = GetSourceColorContext(sourceContext, contextFormat, defaultContext);
    next = CreateColorTransform(next, from, target, output, transformed);
    next = ApplyTransformOptions(next, options, turned);
    CopyFromSource(img, next);
}

void ConvertGrayToCmykAlpha(CImg& img, IWICBitmapSource* source, IWICColorContext* sourceContext,
                            IWICColorContext* target, WICBitmapTransformOptions options)
{
    CWicSourcePtr transformed;
    IWICBitmapSource* next = CreateColorTransform(source, sourceContext, target, CMYK32, transformed);
    ConvertPlain(img, next, options);
}

void ConvertToCmykAlpha(CImg& img, IWICBitmapSource* source, IWICColorContext* sourceContext, IWICColorContext* target,
                        WICBitmapTransformOptions options)
{
    ConvertPlain(img, source, options);
    CCmykImageTransform transform;
    IWICBitmapSource* next = transform.Make(img, sourceContext, target, CMYK32);
    // Row y is read through the transform before row y is written, and no other row is touched.
    CopyColorChannels(next, 0, 3, img, 0, 3);
}

void ConvertRgbToCmykAlpha(CImg& img, IWICBitmapSource* source, IWICColorContext* sourceContext,
                           IWICColorContext* target, WICBitmapTransformOptions options)
{
    CImg rgba(BGRA32);
    ConvertPlain(rgba, source, options);
    wic::CImgSource rgbaSource;
    rgbaSource.SetImage(&rgba);
    CComPtr<IWICColorContext> defaultContext;
    IWICColorContext* from = GetSourceColorContext(sourceContext, BGRA32, defaultContext);
    CWicSourcePtr transformed;
    IWICBitmapSource* next = CreateColorTransform(&rgbaSource, from, target, CMYK32, transformed);
    AllocLike(img, next);
    CopyColorChannels(next, 0, 3, img, 0, 3);
    CopyColorChannels(&rgbaSource, 3, 3, img, 4, 4);
}

void ConvertCmykToRgba(CImg& img, IWICBitmapSource* source, IWICColorContext* sourceContext, IWICColorContext* target,
                       WICBitmapTransformOptions options)
{
    CImg cmyka(CMYKA40);
    ConvertPlain(cmyka, source, options);
    CCmykImageTransform transform;
    CopyFromSource(img, transform.Make(cmyka, sourceContext, target, BGRA32));
    wic::CImgSource cmykaSource;
    cmykaSource.SetImage(&cmyka);
    CopyColorChannels(&cmykaSource, 4, 4, img, 3, 3);
}

void ConvertColorManaged(CImg& img, IWICColorContext* target, IWICBitmapSource* source, IWICColorContext* sourceContext,
                         WICBitmapTransformOptions options)
{
    WicPixelFormatInfo info;
    GetPixelFormatInfo(info, source);
    const GUID format = info.guid;
    if (img.m_format == MONO8 || img.m_format == MONO1 || img.m_format >= kImgFormatCount) ThrowUnknownFormat();
    const bool toRgb = img.m_format == BGRA32 || img.m_format == BGR24;
    switch (info.colorType) {
    case ImgColorType::Indexed:
    case ImgColorType::Rgb:
        if (img.m_format == CMYKA40) return ConvertRgbToCmykAlpha(img, source, sourceContext, target, options);
        if (img.m_format == CMYK32) {
            return ConvertWithTransform(img, source, format, BGR24, sourceContext, CMYK32, target, options);
        }
        return ConvertWithTransform(img, source, format, img.m_format, sourceContext, img.m_format, target, options);
    case ImgColorType::Gray:
        if (img.m_format == CMYKA40) {
            if (sourceContext) return ConvertGrayToCmykAlpha(img, source, sourceContext, target, options);
            return ConvertToCmykAlpha(img, source, sourceContext, target, options);
        }
        return ConvertWithTransform(img, source, format, sourceContext ? -1 : static_cast<int>(img.m_format),
                                    sourceContext, img.m_format, target, options);
    case ImgColorType::Cmyk:
        if (img.m_format == BGRA32) return ConvertCmykToRgba(img, source, sourceContext, target, options);
        if (toRgb) return ConvertWithTransform(img, source, format, CMYK32, sourceContext, BGR24, target, options);
        if (img.m_format == CMYKA40) return ConvertToCmykAlpha(img, source, sourceContext, target, options);
        return ConvertWithTransform(img, source, format, CMYK32, sourceContext, CMYK32, target, options);
    default: ThrowUnknownFormat();
    }
}
