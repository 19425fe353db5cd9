#include "inet/FormData.h"

#include "foundation/CodePage.h"
#include "foundation/NoThrow.h"
#include "inet/TextSplitting.h"
#include "inet/VariantData.h"

#include <algorithm>
#include <list>

namespace {

std::wstring FromAnsi(const char* bytes, size_t length)
{
    std::wstring text;
    MultiByteToWString(CP_THREAD_ACP, 0, bytes, length, text);
    return text;
}

// File contents stay byte for byte: each byte becomes the character of the same value.
std::wstring WidenBytes(const char* bytes, size_t length)
{
    std::wstring text(length, L'\0');
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<unsigned char>(bytes[i]);
    return text;
}

bool IsFilePart(const CHeaderMap& headers)
{
    const auto disposition = headers.find(L"content-disposition");
    return disposition != headers.end() && disposition->second.parameters.count(L"filename") != 0;
}

// The boundary as bytes; it is ASCII by definition, anything else finds no delimiter.
bool BoundaryBytes(const std::wstring& boundary, std::string& bytes)
{
    if (boundary.empty()) return false;
    for (const wchar_t c : boundary) {
        if (c == 0 || c > 0x7E) return false;
        bytes += static_cast<char>(c);
    }
    return true;
}

} // namespace

// Names end at the first '=' ("a=b=c" is a with the value b=c); no percent-decoding, no '+', and
// quotes are data, not quoting.
void ParseUrlEncoded(CFormParams& params, const std::wstring& text)
{
    params.clear();
    std::list<std::wstring> tokens;
    SplitAny(text, L"&", tokens);
    for (const auto& token : tokens) {
        std::wstring name, value;
        if (SplitNameValue(token, L'=', name, value, false)) params[name] = value;
    }
}

void ParseUrlEncoded(CFormParams& params, const std::string& bytes)
{
    params.clear();
    ParseUrlEncoded(params, FromAnsi(bytes.data(), bytes.size()));
}

void AddFormPart(CFormParams& params, const CHeaderMap& partHeaders, const std::wstring& content)
{
    if (partHeaders.empty() && content.empty()) return;
    const auto disposition = partHeaders.find(L"content-disposition");
    if (disposition == partHeaders.end() || _wcsicmp(disposition->second.value.c_str(), L"form-data") != 0) return;
    const auto name = disposition->second.parameters.find(L"name");
    if (name != disposition->second.parameters.end() && !name->second.empty()) params[name->second] = content;
}

// At the byte level: parts begin after a line "--boundary", their headers end at the first
// empty line, their content at the CR LF before the next delimiter; "--boundary--" ends the body.
// Text parts are read in the ANSI code page; file parts keep their bytes (one character each).
void ParseMultipart(CFormParams& params, const std::string& bytes, const std::wstring& boundary)
{
    params.clear();
    std::string delimiter = "--";
    if (!BoundaryBytes(boundary, delimiter)) return;
    const std::string nextDelimiter = "\r\n" + delimiter;
    size_t at = bytes.compare(0, delimiter.size(), delimiter) == 0 ? 0 : bytes.find(nextDelimiter);
    if (at == std::string::npos) return;
    if (at != 0) at += 2;
    for (;;) {
        size_t pos = at + delimiter.size();
        if (bytes.compare(pos, 2, "--") == 0) return;
        pos = bytes.find("\r\n", pos); // transport padding after the delimiter
        if (pos == std::string::npos) return;
        pos += 2;
        const size_t headersEnd = bytes.compare(pos, 2, "\r\n") == 0 ? pos : bytes.find("\r\n\r\n", pos);
        if (headersEnd == std::string::npos) return;
        const size_t contentStart = headersEnd + (headersEnd == pos ? 2 : 4);
        const size_t next = bytes.find(nextDelimiter, contentStart - 2);
        const size_t contentEnd = next == std::string::npos ? bytes.size() : std::max(next, contentStart);
        CHeaderMap headers;
        ParseHeaderText(headers, FromAnsi(bytes.data() + pos, headersEnd - pos));
        const char* content = bytes.data() + contentStart;
        const size_t length = contentEnd - contentStart;
        AddFormPart(params, headers, IsFilePart(headers) ? WidenBytes(content, length) : FromAnsi(content, length));
        if (next == std::string::npos) return;
        at = next + 2;
    }
}

HRESULT ParseFormBody(CFormParams& params, const VARIANT& body, const VARIANT& headers)
{
    return HResultOfCall([&]() -> HRESULT {
        params.clear();
        std::string bytes;
        HRESULT hr = VariantToByteString(bytes, body);
        if (FAILED(hr)) return hr;
        CHeaderMap headerMap;
        std::wstring headerText;
        if (SUCCEEDED(VariantToWString(headerText, headers))) ParseHeaderText(headerMap, headerText);
        const auto type = headerMap.find(L"content-type");
        if (type != headerMap.end()) {
            const auto boundary = type->second.parameters.find(L"boundary");
            if (boundary != type->second.parameters.end()) {
                ParseMultipart(params, bytes, boundary->second);
                return S_OK;
            }
        }
        ParseUrlEncoded(params, bytes);
        return S_OK;
    });
}
