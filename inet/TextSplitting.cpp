#include "inet/TextSplitting.h"

#include "foundation/CodePage.h"

void SplitAny(const std::wstring& text, const std::wstring& delimiters, std::list<std::wstring>& out)
{
    size_t start = text.find_first_not_of(delimiters);
    while (start != std::wstring::npos) {
        const size_t end = text.find_first_of(delimiters, start);
        out.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        start = end == std::wstring::npos ? end : text.find_first_not_of(delimiters, end);
    }
}

// One pass. An escape character takes the next character as it stands, inside quotes as well
// (a quoted string "a\"b" holds a double quote); quote characters themselves are dropped.
void SplitQuoted(const std::wstring& text, std::list<std::wstring>& out, const std::wstring& separators,
                 const std::wstring& quotes, const std::wstring& escapes)
{
    std::wstring field;
    wchar_t openQuote = 0;
    bool escaped = false;
    for (const wchar_t c : text) {
        if (escaped) {
            field.back() = c;
            escaped = false;
        } else if (escapes.find(c) != std::wstring::npos) {
            field += c;
            escaped = true;
        } else if (openQuote) {
            if (c == openQuote)
                openQuote = 0;
            else
                field += c;
        } else if (quotes.find(c) != std::wstring::npos) {
            openQuote = c;
        } else if (separators.find(c) != std::wstring::npos) {
            if (!field.empty()) out.push_back(std::move(field));
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.empty()) out.push_back(std::move(field));
}

// Lines are split without quote handling: an apostrophe in "Bob's client" is no quote, and a
// header never runs over into the next line.
void SplitLines(const std::wstring& text, std::list<std::wstring>& out) { SplitAny(text, L"\r\n", out); }

// Header parameters: only the double quote quotes, with backslash escapes.
void SplitParameters(const std::wstring& text, std::list<std::wstring>& out)
{
    SplitQuoted(text, out, L";", L"\"", L"\\");
}

std::string WStringToUtf8(const std::wstring& text)
{
    std::string bytes;
    WStringToMultiByte(CP_UTF8, 0, text, bytes);
    return bytes;
}
