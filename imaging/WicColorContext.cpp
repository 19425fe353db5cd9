#include "imaging/WicColorContext.h"

#include "foundation/Exception.h"
#include "ids/imaging.h"
#include "imaging/ImagingFactory.h"

#include <ComPtr.h>

using ATL::CComPtr;

namespace {

CComPtr<IWICColorContext> NewColorContext()
{
    CComPtr<IWICColorContext> context;
    ThrowIfFailed(g_wicFactory->CreateColorContext(&context), IDS_WIC_COLOR_CONTEXT_CREATE_FAILED);
    return context;
}

void Hand(IWICColorContext*& out, CComPtr<IWICColorContext>& context)
{
    if (out) out->Release();
    out = context.Detach();
}

template <class Bytes> HRESULT ReadProfileBytes(IWICColorContext* context, Bytes& out)
{
    out.clear();
    if (!context) return E_HANDLE;
    UINT size = 0;
    HRESULT hr = context->GetProfileBytes(0, nullptr, &size);
    if (FAILED(hr)) return hr;
    if (size == 0) return E_FAIL;
    out.resize(size);
    hr = context->GetProfileBytes(size, reinterpret_cast<BYTE*>(out.data()), &size);
    if (FAILED(hr)) {
        out.clear();
        return hr;
    }
    if (size < out.size()) out.resize(size);
    return S_OK;
}

} // namespace

void CreateColorContextFromMemory(IWICColorContext*& out, const BYTE* data, UINT size)
{
    CComPtr<IWICColorContext> context = NewColorContext();
    ThrowIfFailed(context->InitializeFromMemory(data, size), IDS_WIC_COLOR_CONTEXT_INIT_FAILED);
    Hand(out, context);
}

void CreateColorContextFromExif(IWICColorContext*& out, UINT exifColorSpace)
{
    CComPtr<IWICColorContext> context = NewColorContext();
    ThrowIfFailed(context->InitializeFromExifColorSpace(exifColorSpace), IDS_WIC_COLOR_CONTEXT_INIT_FAILED);
    Hand(out, context);
}

void GetFrameColorContext(IWICColorContext*& out, IWICBitmapFrameDecode* frame)
{
    if (out) {
        out->Release();
        out = nullptr;
    }
    CComPtr<IWICColorContext> context = NewColorContext();
    IWICColorContext* contexts[] = {context.p};
    UINT count = 0;
    if (FAILED(frame->GetColorContexts(1, contexts, &count)) || count == 0) return;
    if (!IsUsableColorContext(context)) return;
    Hand(out, context);
}

bool IsUsableColorContext(IWICColorContext* context)
{
    if (!context) return false;
    WICColorContextType type = WICColorContextUninitialized;
    if (FAILED(context->GetType(&type))) return false;
    if (type != WICColorContextExifColorSpace) return true;
    UINT value = 0;
    return SUCCEEDED(context->GetExifColorSpace(&value)) && value < 3;
}

HRESULT GetProfileBytes(IWICColorContext* context, std::string& out) { return ReadProfileBytes(context, out); }

HRESULT GetProfileBytes(IWICColorContext* context, std::vector<BYTE>& out) { return ReadProfileBytes(context, out); }

void ConvertCc(IWICColorContext* wic, CColorContext& cc)
{
    WICColorContextType type = WICColorContextUninitialized;
    ThrowIfFailed(wic->GetType(&type), IDS_WIC_COLOR_CONTEXT_TYPE_FAILED);
    if (type == WICColorContextProfile) {
        std::vector<BYTE> bytes;
        ThrowIfFailed(GetProfileBytes(wic, bytes), IDS_WIC_COLOR_CONTEXT_PROFILE_FAILED);
        cc.TakeProfile(bytes);
    } else if (type == WICColorContextExifColorSpace) {
        UINT value = 0;
        ThrowIfFailed(wic->GetExifColorSpace(&value), IDS_WIC_COLOR_CONTEXT_EXIF_FAILED);
        cc.SetExifColorSpace(value);
    } else {
        throw my::CException(IDS_WIC_COLOR_CONTEXT_UNKNOWN_TYPE, std::wstring(L"ConvertCc"));
    }
}

void ToWicColorContext(const CColorContext& cc, IWICColorContext*& out)
{
    if (cc.m_type == CColorContext::PROFILE) {
        CreateWicColorContext(out, cc.m_profile);
    } else if (cc.m_type == CColorContext::EXIF) {
        CreateColorContextFromExif(out, cc.m_exifColorSpace);
    } else {
        throw my::CException(IDS_UNKNOWN_COLOR_SPACE, std::wstring(L"ConvertCc"));
    }
}
