#include "inet/VariantData.h"

#include "foundation/NoThrow.h"
#include "foundation/ScopeExit.h"
#include "inet/Charset.h"

#include <oleauto.h>

#include <new>

namespace {

HRESULT CopyArrayBytes(std::string& bytes, SAFEARRAY* array)
{
    if (!array || ::SafeArrayGetDim(array) != 1) return E_FAIL;
    LONG lower = 0, upper = 0;
    HRESULT hr = ::SafeArrayGetLBound(array, 1, &lower);
    if (SUCCEEDED(hr)) hr = ::SafeArrayGetUBound(array, 1, &upper);
    if (FAILED(hr)) return hr;
    if (upper < lower) return S_OK;
    void* data = nullptr;
    hr = ::SafeArrayAccessData(array, &data);
    if (FAILED(hr)) return hr;
    const auto unaccess = ScopeExit([array] { ::SafeArrayUnaccessData(array); });
    try {
        // The data pointer addresses the lower bound's element.
        bytes.assign(static_cast<const char*>(data), static_cast<size_t>(static_cast<LONGLONG>(upper) - lower + 1));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

} // namespace

HRESULT VariantToByteString(std::string& bytes, const VARIANT& value)
{
    bytes.clear();
    const VARIANT* v = &value;
    if (V_VT(v) == (VT_BYREF | VT_VARIANT)) {
        v = V_VARIANTREF(v);
        if (!v) return E_POINTER;
    }
    switch (V_VT(v)) {
    case VT_EMPTY: return S_FALSE;
    case VT_ARRAY | VT_UI1: return CopyArrayBytes(bytes, V_ARRAY(v));
    case VT_BYREF | VT_ARRAY | VT_UI1: return V_ARRAYREF(v) ? CopyArrayBytes(bytes, *V_ARRAYREF(v)) : E_POINTER;
    default: return E_FAIL;
    }
}

HRESULT VariantToWString(std::wstring& text, const VARIANT& value)
{
    switch (V_VT(&value)) {
    case VT_BSTR:
        try {
            text.assign(V_BSTR(&value) ? V_BSTR(&value) : L"", V_BSTR(&value) ? ::SysStringLen(V_BSTR(&value)) : 0);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    case VT_EMPTY: return S_FALSE;
    default: return E_FAIL;
    }
}

std::wstring VariantToText(const VARIANT* value)
{
    if (!value) return {};
    switch (V_VT(value)) {
    case VT_I4: return std::to_wstring(V_I4(value));
    case VT_BSTR: return V_BSTR(value) ? std::wstring(V_BSTR(value), ::SysStringLen(V_BSTR(value))) : std::wstring();
    default: return {};
    }
}

HRESULT ByteStringToVariant(VARIANT& value, const char* data, size_t length)
{
    ::VariantClear(&value);
    if (length == 0) return S_OK;
    if (!data) return E_POINTER;
    if (length > 0x7FFFFFFF) return E_OUTOFMEMORY;
    SAFEARRAYBOUND bound = {static_cast<ULONG>(length), 0};
    SAFEARRAY* array = ::SafeArrayCreate(VT_UI1, 1, &bound);
    if (!array) return E_OUTOFMEMORY;
    auto destroy = ScopeExit([array] { ::SafeArrayDestroy(array); });
    HRESULT hr = ::SafeArrayLock(array);
    if (FAILED(hr)) return hr;
    void* target = nullptr;
    hr = ::SafeArrayAccessData(array, &target);
    if (SUCCEEDED(hr)) {
        memcpy(target, data, length);
        ::SafeArrayUnaccessData(array);
    }
    const HRESULT unlocked = ::SafeArrayUnlock(array);
    if (FAILED(hr)) return hr;
    if (FAILED(unlocked)) return unlocked;
    destroy.Dismiss();
    V_VT(&value) = VT_ARRAY | VT_UI1;
    V_ARRAY(&value) = array;
    return S_OK;
}

HRESULT ByteStringToVariant(VARIANT& value, const std::string& data)
{
    return ByteStringToVariant(value, data.data(), data.size());
}

HRESULT WStringToVariantBytes(VARIANT& value, const std::wstring& text)
{
    return HResultOfCall([&]() -> HRESULT {
        std::string bytes;
        if (!WideToMultiByte(bytes, text, CP_THREAD_ACP)) {
            ::VariantClear(&value);
            return E_FAIL;
        }
        return ByteStringToVariant(value, bytes);
    });
}

HRESULT WStringToVariantUtf16(VARIANT& value, const std::wstring& text)
{
    return ByteStringToVariant(value, reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}
