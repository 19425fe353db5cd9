#include "inet/HeaderParams.h"

#include "foundation/NoThrow.h"
#include "inet/TextSplitting.h"
#include "inet/VariantData.h"

#include <cwctype>
#include <list>

namespace {

const wchar_t kBlanks[] = L" \t\r\n\f\v";

std::wstring Trimmed(const std::wstring& text, size_t begin, size_t end)
{
    const size_t first = text.find_first_not_of(kBlanks, begin);
    if (first == std::wstring::npos || first >= end) return {};
    const size_t last = text.find_last_not_of(kBlanks, end - 1);
    return text.substr(first, last - first + 1);
}

void Unquote(std::wstring& value)
{
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
}

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
}

} // namespace

bool SplitNameValue(const std::wstring& text, wchar_t separator, std::wstring& name, std::wstring& value, bool unquote)
{
    return FlagOfCall([&]() -> bool {
        const size_t at = text.find(separator);
        if (at == std::wstring::npos) return false;
        std::wstring key = Trimmed(text, 0, at);
        if (key.empty() || key.find_first_of(kBlanks) != std::wstring::npos) return false;
        value = Trimmed(text, at + 1, text.size());
        if (unquote) Unquote(value);
        name.swap(key);
        return true;
    });
}

// Names end at the first ':' ("Host:127.0.0.1:8080" is the host 127.0.0.1:8080).
bool SplitHeaderLine(const std::wstring& line, std::wstring& name, std::wstring& value)
{
    return FlagOfCall([&]() -> bool {
        std::wstring key;
        if (!SplitNameValue(line, L':', key, value)) return false;
        name = Lower(key);
        return true;
    });
}

void ParseHeaderLine(CHeaderMap& headers, const std::wstring& line)
{
    std::list<std::wstring> pieces;
    SplitParameters(line, pieces);
    if (pieces.empty()) return;
    std::wstring name, value;
    if (!SplitHeaderLine(pieces.front(), name, value)) return;
    CHeaderEntry& entry = headers[name];
    entry.value = value;
    pieces.pop_front();
    for (const auto& piece : pieces) {
        std::wstring parameter, parameterValue;
        if (SplitNameValue(piece, L'=', parameter, parameterValue)) entry.parameters[Lower(parameter)] = parameterValue;
    }
}

void ParseHeaderText(CHeaderMap& headers, const std::wstring& text)
{
    std::list<std::wstring> lines;
    SplitLines(text, lines);
    for (const auto& line : lines) ParseHeaderLine(headers, line);
}

HRESULT ParseHeaderText(CHeaderMap& headers, const VARIANT& text)
{
    return HResultOfCall([&]() -> HRESULT {
        std::wstring value;
        const HRESULT hr = VariantToWString(value, text);
        if (hr != S_OK) return hr;
        ParseHeaderText(headers, value);
        return S_OK;
    });
}
