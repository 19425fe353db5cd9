#include "inet/FormData.h"

#include "foundation/NoThrow.h"
#include "inet/Charset.h"
#include "inet/PercentEncoding.h"
#include "inet/VariantData.h"

namespace {

// Every byte but the unreserved ones as '%' and two upper-case digits: '&', '=', '+', '%' in a
// value stay inside it.
bool AppendEncoded(std::string& out, const std::wstring& text, UINT codePage)
{
    static const char kUpperHex[] = "0123456789ABCDEF";
    std::string bytes;
    if (!WideToMultiByte(bytes, text, codePage)) return false;
    for (const char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        if (IsUnreserved(b)) {
            out += ch;
        } else {
            out += '%';
            out += kUpperHex[b >> 4];
            out += kUpperHex[b & 15];
        }
    }
    return true;
}

} // namespace

bool IsUnreserved(wchar_t c) { return IsAsciiAlnum(c) || c == L'-' || c == L'.' || c == L'_' || c == L'~'; }

// A text that does not convert into the code page is an error, never an empty or shortened body.
HRESULT FormEncode(const CFormParams& params, std::string& bytes, UINT codePage)
{
    return HResultOfCall([&]() -> HRESULT {
        std::string body;
        for (const auto& [name, value] : params) {
            if (!body.empty()) body += '&';
            if (!AppendEncoded(body, name, codePage)) return HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION);
            body += '=';
            if (!AppendEncoded(body, value, codePage)) return HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION);
        }
        bytes.swap(body);
        return S_OK;
    });
}

void FormatParameters(const CFormParams& params, std::wstring& text)
{
    bool first = true;
    for (const auto& [name, value] : params) {
        if (!first) text += L'&';
        text += name;
        text += L'=';
        text += value;
        first = false;
    }
}

HRESULT ParamsToVariant(const CFormParams& params, VARIANT& value)
{
    std::string bytes;
    const HRESULT hr = FormEncode(params, bytes, CP_ACP);
    if (FAILED(hr)) {
        ::VariantClear(&value);
        return hr;
    }
    return ByteStringToVariant(value, bytes);
}

HRESULT ParamsToVariantUtf16(const CFormParams& params, VARIANT& value)
{
    return HResultOfCall([&]() -> HRESULT {
        std::wstring text;
        FormatParameters(params, text);
        return WStringToVariantUtf16(value, text);
    });
}
