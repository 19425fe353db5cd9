#include "foundation/TextHelpers.h"

#include <cwchar>
#include <cwctype>
#include <iterator>

_locale_t g_cLocale = nullptr;

void CreateCLocale()
{
    if (!g_cLocale) g_cLocale = _create_locale(LC_ALL, "C");
}

void FreeCLocale()
{
    if (g_cLocale) {
        _free_locale(g_cLocale);
        g_cLocale = nullptr;
    }
}

namespace {
// Made before the program's main code runs, freed at exit.
struct CLocaleLifetime {
    CLocaleLifetime() { CreateCLocale(); }
    ~CLocaleLifetime() { FreeCLocale(); }
} g_cLocaleLifetime;
} // namespace

void TrimBy(std::wstring& out, const wchar_t* text, CharPredicate pred)
{
    if (!text) {
        out.clear();
        return;
    }
    const size_t length = std::wcslen(text);
    size_t begin = 0, end = length;
    while (begin < end && pred(text[begin])) ++begin;
    while (end > begin && pred(text[end - 1])) --end;
    out.assign(text + begin, end - begin);
}

void TrimBy(std::wstring& out, const std::wstring& text, CharPredicate pred) { TrimBy(out, text.c_str(), pred); }

void TrimBy(std::wstring& text, CharPredicate pred)
{
    std::wstring trimmed;
    TrimBy(trimmed, text.c_str(), pred);
    text.swap(trimmed);
}

bool IsSpaceOrCr(wchar_t c) { return std::iswspace(c) || c == L'\r'; }

bool StripQuotes(std::wstring& text, const std::wstring& quoteChars)
{
    if (text.empty()) return false;
    size_t front = 0, back = text.size() - 1;
    for (wchar_t quote : quoteChars) {
        if (front > back) break;
        if (text[front] == quote && text[back] == quote) {
            if (front == back) {
                text.clear();
                return true;
            }
            ++front;
            --back;
        }
    }
    if (front == 0 && back == text.size() - 1) return false;
    text = front > back ? std::wstring() : text.substr(front, back - front + 1);
    return true;
}

void ToCrLf(std::wstring& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') {
            if (i + 1 == text.size()) {
                text.push_back(L'\n');
                return;
            }
            if (text[i + 1] == L'\n') ++i;
        } else if (text[i] == L'\n') {
            text.insert(i, 1, L'\r');
            ++i;
        }
    }
}

std::wstring ShortenLongLines(const std::wstring& text, size_t maxLine)
{
    static const wchar_t kCut[] = L"...";
    const size_t cutLength = std::size(kCut) - 1;
    if (maxLine <= cutLength) maxLine = cutLength + 2;
    std::wstring out;
    for (size_t begin = 0; begin <= text.size();) {
        size_t end = text.find(L'\n', begin);
        if (end == std::wstring::npos) end = text.size();
        const size_t length = end - begin;
        if (length <= maxLine) {
            out.append(text, begin, length);
        } else {
            const size_t head = (maxLine - cutLength) / 2;
            const size_t tail = maxLine - cutLength - head;
            out.append(text, begin, head).append(kCut).append(text, end - tail, tail);
        }
        if (end == text.size()) break;
        out += L'\n';
        begin = end + 1;
    }
    return out;
}
