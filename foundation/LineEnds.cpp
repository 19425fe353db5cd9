#include "foundation/LineEnds.h"

#include <boost/regex.hpp>

std::wstring ToCRLF(const std::wstring& text)
{
    // A look-behind, not "([^\r]|^)\n": consuming the character before would let one LF
    // swallow the next ("\n\n" gave "\n\r\n").
    static const boost::wregex loneLf(L"(?<!\\r)\\n", boost::regex::perl);
    return boost::regex_replace(text, loneLf, L"\r\n");
}

std::wstring ToLF(const std::wstring& text)
{
    static const boost::wregex crLf(L"\\r\\n", boost::regex::perl);
    return boost::regex_replace(text, crLf, L"\n");
}

std::wstring NormalizeLineEnds(const std::wstring& text) { return ReplaceLineEnds(text, L"\n"); }

std::wstring ReplaceLineEnds(const std::wstring& text, const std::wstring& lineEnd)
{
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r') {
            if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
            out += lineEnd;
        } else if (c == L'\n') {
            out += lineEnd;
        } else {
            out.push_back(c);
        }
    }
    return out;
}
