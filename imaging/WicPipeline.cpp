#include "imaging/WicPipeline.h"

#include "foundation/Exception.h"
#include "ids/imaging.h"
#include "imaging/ImagingFactory.h"
#include "imaging/MyFormatConverter.h"
#include "imaging/RowBytes.h"
#include "imaging/WicPixelFormat.h"

#include <climits>
#include <new>
#include <vector>

IWICBitmapSource* ConvertToImgFormat(IWICBitmapSource* source, const GUID& sourceFormat, ImgFormat format,
                                     CWicSourcePtr& out)
{
    const GUID& target = ImgFormatToWicFormat(format);
    if (sourceFormat == target) return source;
    ATL::CComPtr<IWICFormatConverter> converter;
    ThrowIfFailed(CreateFormatConverter(&converter), IDS_WIC_CONVERTER_CREATE_FAILED);
    ThrowIfFailed(
        converter->Initialize(source, target, WICBitmapDitherTypeNone, nullptr, 0.0, ImgFormatPaletteType(format)),
        IDS_WIC_CONVERTER_INIT_FAILED);
    out = converter;
    return out;
}

IWICBitmapSource* CreateColorTransform(IWICBitmapSource* source, IWICColorContext* sourceContext,
                                       IWICColorContext* targetContext, ImgFormat format, CWicSourcePtr& out)
{
    ATL::CComPtr<IWICColorTransform> transform;
    ThrowIfFailed(g_wicFactory->CreateColorTransformer(&transform), IDS_WIC_COLOR_TRANSFORM_CREATE_FAILED);
    ThrowIfFailed(transform->Initialize(source, sourceContext, targetContext, ImgFormatToWicFormat(format)),
                  IDS_WIC_COLOR_TRANSFORM_INIT_FAILED);
    out = transform;
    return out;
}

IWICBitmapSource* ApplyTransformOptions(IWICBitmapSource* source, WICBitmapTransformOptions options, CWicSourcePtr& out)
{
    if (options == WICBitmapTransformRotate0) return source;
    ATL::CComPtr<IWICBitmapFlipRotator> rotator;
    ThrowIfFailed(g_wicFactory->CreateBitmapFlipRotator(&rotator), IDS_WIC_FLIP_ROTATOR_CREATE_FAILED);
    ThrowIfFailed(rotator->Initialize(source, options), IDS_WIC_FLIP_ROTATOR_INIT_FAILED);
    out = rotator;
    return out;
}

IWICBitmapSource* CreateScaler(IWICBitmapSource* source, UINT width, UINT height, WICBitmapInterpolationMode mode,
                               CWicSourcePtr& out)
{
    ATL::CComPtr<IWICBitmapScaler> scaler;
    ThrowIfFailed(g_wicFactory->CreateBitmapScaler(&scaler), IDS_WIC_SCALER_CREATE_FAILED);
    ThrowIfFailed(scaler->Initialize(source, width, height, mode), IDS_WIC_SCALER_INIT_FAILED);
    out = scaler;
    return out;
}

int CheckedUintToInt(UINT value)
{
    if (value > static_cast<UINT>(INT_MAX)) ThrowCastError(L"UINT", L"int", std::to_wstring(value));
    return static_cast<int>(value);
}

void CopyColorChannels(IWICBitmapSource* source, int srcFirst, int srcLast, CImg& img, int dstFirst, int dstLast)
{
    const auto refuse = [] { throw my::CException(IDS_WIC_COPY_CHANNELS_FAILED, E_INVALIDARG); };
    WicPixelFormatInfo info;
    GetPixelFormatInfo(info, source);
    if (info.bitsPerPixel <= 0 || info.bitsPerPixel % 8 != 0) refuse();
    UINT width = 0, height = 0;
    ThrowIfFailed(source->GetSize(&width, &height), IDS_WIC_SIZE_FAILED);
    const UINT imgBits = img.GetBitsPerPixel();
    const int srcBytes = info.bitsPerPixel / 8;
    const int imgBytes = static_cast<int>(imgBits / 8);
    if (img.m_w != width || img.m_h != height || srcFirst > srcLast || dstFirst > dstLast ||
        srcLast - srcFirst != dstLast - dstFirst || imgBits == 0 || imgBits % 8 != 0 || srcFirst < 0 || dstFirst < 0 ||
        srcLast >= srcBytes || dstLast >= imgBytes || !img.HasAllBits()) {
        refuse();
    }
    const ULONGLONG rowSize = AlignedRowBytes(width, static_cast<ULONGLONG>(srcBytes) * 8);
    if (rowSize > UINT_MAX) throw my::CException(IDS_WIC_COPY_CHANNELS_FAILED, E_OUTOFMEMORY);
    std::vector<BYTE> row(static_cast<size_t>(rowSize));
    const size_t imgStride = img.GetStride();
    const int count = srcLast - srcFirst + 1;
    for (UINT y = 0; y < height; ++y) {
        const WICRect one = {0, CheckedUintToInt(y), CheckedUintToInt(width), 1};
        ThrowIfFailed(source->CopyPixels(&one, static_cast<UINT>(rowSize), static_cast<UINT>(rowSize), row.data()),
                      IDS_WIC_DECODE_FAILED);
        BYTE* out = img.m_bits.data() + y * imgStride;
        for (size_t x = 0; x < width; ++x) {
            const BYTE* src = row.data() + x * srcBytes + srcFirst;
            BYTE* dst = out + x * imgBytes + dstFirst;
            for (int c = 0; c < count; ++c) dst[c] = src[c];
        }
    }
}
