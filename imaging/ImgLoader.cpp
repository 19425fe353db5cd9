#include "imaging/ImgLoader.h"

#include "foundation/Exception.h"
#include "foundation/GlobalMemory.h"
#include "foundation/LastError.h"
#include "foundation/ResString.h"
#include "foundation/Streams.h"
#include "ids/imaging.h"
#include "imaging/ColorManagedConvert.h"
#include "imaging/GifColorTable.h"
#include "imaging/ImagingFactory.h"
#include "imaging/WicColorContext.h"
#include "imaging/WicPipeline.h"
#include "imaging/WicPixelFormat.h"

#include <ComPtr.h>

#include <boost/make_shared.hpp>

#include <climits>
#include <cstring>
#include <initializer_list>

using ATL::CComPtr;

namespace {

ImgFormat Choose(const std::bitset<kImgFormatCount>& allowed, std::initializer_list<int> order)
{
    for (int format : order) {
        if (format >= 0 && allowed.test(static_cast<size_t>(format))) return static_cast<ImgFormat>(format);
    }
    throw my::CException(IDS_WIC_UNKNOWN_FORMAT, std::wstring());
}

CStreamPtr StreamOnResourceOrThrow(const wchar_t* name)
{
    CStreamPtr stream;
    const HRESULT hr = CreateStreamOnResource(stream, name, L"IMAGE");
    if (FAILED(hr)) {
        const std::wstring text = IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name))
                                                       : std::wstring(name);
        throw my::CException(IDS_RESOURCE_DATA_MISSING, hr, L"IMAGE", text);
    }
    return stream;
}

} // namespace

void CopyFromSource(CImg& img, IWICBitmapSource* source)
{
    WICPixelFormatGUID format = {};
    HRESULT hr = source->GetPixelFormat(&format);
    if (FAILED(hr)) throw my::CException(IDS_WIC_PIXEL_FORMAT_FAILED, hr);
    UINT width = 0, height = 0;
    hr = source->GetSize(&width, &height);
    if (FAILED(hr)) throw my::CException(IDS_WIC_SIZE_FAILED, hr);
    const int found = WicFormatToImgFormat(format);
    if (found < 0 || static_cast<ImgFormat>(found) != img.m_format) {
        throw my::CException(IDS_WIC_UNKNOWN_FORMAT, std::wstring());
    }
    img.m_w = width;
    img.m_h = height;
    img.AllocBits(); // refuses sizes whose buffer cannot be described in 32 bits
    hr = source->CopyPixels(nullptr, img.GetStride(), static_cast<UINT>(img.m_bits.size()), img.m_bits.data());
    if (FAILED(hr)) throw my::CException(IDS_WIC_DECODE_FAILED, hr);
}

void ConvertPlain(CImg& img, IWICBitmapSource* source, WICBitmapTransformOptions options)
{
    WICPixelFormatGUID format = {};
    ThrowIfFailed(source->GetPixelFormat(&format), IDS_WIC_PIXEL_FORMAT_FAILED);
    CWicSourcePtr converted, turned;
    IWICBitmapSource* next = ConvertToImgFormat(source, format, img.m_format, converted);
    next = ApplyTransformOptions(next, options, turned);
    CopyFromSource(img, next);
}

namespace wic {

ImgFormat CImgLoader::ChooseGrayFormat(int bits, bool alpha) const
{
    const int mono1First = bits == 1 ? static_cast<int>(MONO1) : -1;
    if (alpha) return Choose(m_formats, {BGRA32, CMYKA40, mono1First, MONO8, BGR24, CMYK32, MONO1});
    return Choose(m_formats, {mono1First, MONO8, BGR24, BGRA32, CMYK32, CMYKA40, MONO1});
}

ImgFormat CImgLoader::ChooseRgbFormat(bool alpha) const
{
    if (alpha) return Choose(m_formats, {BGRA32, CMYKA40, BGR24, CMYK32, MONO8, MONO1});
    return Choose(m_formats, {BGR24, BGRA32, CMYK32, CMYKA40, MONO8, MONO1});
}

ImgFormat CImgLoader::ChooseCmykFormat(bool alpha) const
{
    if (alpha) return Choose(m_formats, {CMYKA40, BGRA32, CMYK32, BGR24, MONO8, MONO1});
    return Choose(m_formats, {CMYK32, CMYKA40, BGR24, BGRA32, MONO8, MONO1});
}

CColorProfilePtr CImgLoader::GetTargetProfile(ImgFormat format) const
{
    switch (format) {
    case BGRA32:
    case BGR24: return m_rgbProfile;
    case CMYKA40:
    case CMYK32: return m_cmykProfile;
    case MONO8:
    case MONO1: return CColorProfilePtr();
    }
    throw my::CException(IDS_UNSUPPORTED_IMAGE_FORMAT);
}

CImgPtr CImgLoader::Load(IStream* stream)
{
    // Wine's CopyPalette crashes the process on a GIF frame without colours (a bare call too):
    // refused before WIC sees the stream. Only the first frame is read here, so only its
    // descriptor is looked at. A stream that failed the look is refused too: WIC's own reads of it
    // may well succeed.
    int bare = -1;
    HRESULT hr = FirstGifFrameWithoutColorTable(stream, bare, 1);
    if (FAILED(hr)) throw my::CException(IDS_WIC_DECODER_FAILED, hr);
    if (bare == 0) throw my::CException(IDS_IMAGE_NO_COLOR_TABLE);
    CComPtr<IWICBitmapDecoder> decoder;
    hr = g_wicFactory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder);
    if (FAILED(hr)) throw my::CException(IDS_WIC_DECODER_FAILED, hr);
    CComPtr<IWICBitmapFrameDecode> frame;
    hr = decoder->GetFrame(0, &frame);
    if (FAILED(hr)) throw my::CException(IDS_WIC_FRAME_FAILED, hr);
    CComPtr<IWICColorContext> context;
    GetFrameColorContext(context.p, frame);
    return Decode(frame, context);
}

CImgPtr CImgLoader::Decode(IWICBitmapFrameDecode* frame, IWICColorContext* sourceContext)
{
    WicPixelFormatInfo info;
    GetPixelFormatInfo(info, frame);
    ImgFormat format = BGRA32;
    switch (info.colorType) {
    case ImgColorType::Indexed: {
        CComPtr<IWICPalette> palette;
        CopyFramePalette(palette.p, frame);
        const bool alpha = PaletteHasAlpha(palette);
        format = !sourceContext && PaletteIsGray(palette) ? ChooseGrayFormat(info.bitsPerPixel, alpha)
                                                          : ChooseRgbFormat(alpha);
        break;
    }
    case ImgColorType::Gray: format = ChooseGrayFormat(info.bitsPerPixel, info.hasAlpha); break;
    case ImgColorType::Rgb: format = ChooseRgbFormat(info.hasAlpha); break;
    case ImgColorType::Cmyk: format = ChooseCmykFormat(info.hasAlpha); break;
    default: throw my::CException(IDS_WIC_UNKNOWN_FORMAT, std::wstring());
    }
    const WICBitmapTransformOptions options = OrientationToTransform(m_orientation);
    const CColorProfilePtr target = GetTargetProfile(format);
    auto img = boost::make_shared<CImg>(format);
    if (target) {
        CComPtr<IWICColorContext> targetContext;
        CreateWicColorContext(targetContext.p, target->GetBytes());
        ConvertColorManaged(*img, targetContext, frame, sourceContext, options);
    } else {
        ConvertPlain(*img, frame, options);
    }
    double dpiX = 0.0, dpiY = 0.0;
    if (SUCCEEDED(frame->GetResolution(&dpiX, &dpiY))) {
        img->SetDpiX(dpiX);
        img->SetDpiY(dpiY);
    }
    if (m_options & 1) return img;
    if (target) {
        img->SetColorContext(CColorContext::FromProfile(target));
    } else if (sourceContext && ColorSpaceOfColorType(info.colorType) == ColorSpaceOfImgFormat(format)) {
        auto cc = boost::make_shared<CColorContext>();
        ConvertCc(sourceContext, *cc);
        img->SetColorContext(cc);
    }
    return img;
}

void CImgLoader::LoadFromFile(CImgPtr& out, const std::wstring& path)
{
    if (path.empty()) throw my::CException(IDS_PATH_EMPTY);
    CStreamPtr stream;
    CreateFileStreamOrThrow(stream, path);
    out = Load(stream);
}

void CImgLoader::LoadFromResource(CImgPtr& out, const wchar_t* name) { out = Load(StreamOnResourceOrThrow(name)); }

void CImgLoader::LoadFromResource(CImgPtr& out, WORD id) { LoadFromResource(out, MAKEINTRESOURCEW(id)); }

CImgPtr CImgLoader::LoadFromResource(WORD id)
{
    CImgPtr img;
    LoadFromResource(img, id);
    return img;
}

void CImgLoader::LoadFromPackedDib(CImgPtr& out, const void* dib, size_t size)
{
    // The header, masks and colour table are read from a block another process made: each
    // count is checked against the block before the file header that points past them is built.
    BITMAPINFOHEADER header = {};
    if (!dib || size < sizeof(header)) throw my::CException(IDS_CLIPBOARD_DATA_SIZE_INVALID);
    std::memcpy(&header, dib, sizeof(header));
    ULONGLONG colors = header.biClrUsed;
    if (colors == 0 && header.biBitCount <= 8) colors = 1ULL << header.biBitCount;
    ULONGLONG offBits = static_cast<ULONGLONG>(header.biSize) + colors * sizeof(RGBQUAD);
    if (header.biSize == sizeof(BITMAPINFOHEADER) && header.biCompression == BI_BITFIELDS) offBits += 3 * sizeof(DWORD);
    if (header.biSize < sizeof(header) || offBits > size || size > UINT_MAX - sizeof(BITMAPFILEHEADER)) {
        throw my::CException(IDS_CLIPBOARD_DATA_SIZE_INVALID);
    }
    CGlobalMemory memory;
    if (!memory.Alloc(size + sizeof(BITMAPFILEHEADER), GMEM_MOVEABLE)) throw my::CException(IDS_MEMORY_ALLOC_FAILED);
    {
        CGlobalLocker lock;
        auto* bytes = static_cast<BYTE*>(lock.Lock(memory.Get()));
        if (!bytes) throw my::CException(IDS_MEMORY_LOCK_FAILED);
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;
        file.bfSize = static_cast<DWORD>(size + sizeof(file));
        file.bfOffBits = static_cast<DWORD>(sizeof(file) + offBits);
        std::memcpy(bytes, &file, sizeof(file));
        std::memcpy(bytes + sizeof(file), dib, size);
    }
    CStreamPtr stream;
    const HRESULT hr = ::CreateStreamOnHGlobal(memory.Get(), TRUE, &stream);
    if (FAILED(hr)) throw my::CException(IDS_MEMORY_STREAM_OPEN_FAILED, hr);
    memory.Detach(); // the stream frees it now
    out = Load(stream);
}

void CImgLoader::LoadFromDibHandle(CImgPtr& out, HGLOBAL dib)
{
    CGlobalLocker lock;
    const void* bytes = lock.Lock(dib);
    if (!bytes) throw my::CException(IDS_MEMORY_LOCK_FAILED);
    LoadFromPackedDib(out, bytes, ::GlobalSize(dib));
}

void CImgLoader::LoadFromClipboard(CImgPtr& out)
{
    HANDLE dib = ::GetClipboardData(CF_DIBV5);
    if (!dib) dib = ::GetClipboardData(CF_DIB);
    if (!dib) {
        throw my::CException(IDS_CLIPBOARD_DATA_FAILED, LastErrorAsHResult());
    }
    LoadFromDibHandle(out, dib);
}

} // namespace wic
