#include "ui/WindowW.h"

#include "foundation/ResString.h"
#include "foundation/TextHelpers.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <cwctype>

bool IsWhiteSpaceOrCr(wchar_t c) { return c == L'\r' || std::iswspace(c); }

bool EqualsText(const std::wstring& a, const wchar_t* b)
{
    if (!b) return a.empty();
    const size_t n = wcslen(b);
    return a.size() == n && a.compare(0, n, b, n) == 0;
}

// A CR only covers the LF right after it; "a\rb\nc" still needs a CR before its LF.
void LfToCrLf(std::wstring& out, const wchar_t* text)
{
    out.clear();
    if (!text) return;
    bool afterCr = false;
    for (const wchar_t* p = text; *p; ++p) {
        if (*p == L'\n' && !afterCr) out.push_back(L'\r');
        out.push_back(*p);
        afterCr = *p == L'\r';
    }
}

bool CWindowW::GetWindowText(std::wstring& text) const
{
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring buffer(static_cast<size_t>(length < 0 ? 0 : length) + 1, L'\0');
    ::SetLastError(ERROR_SUCCESS);
    const int n = ::GetWindowTextW(m_hWnd, buffer.data(), static_cast<int>(buffer.size()));
    if (n <= 0) {
        if (::GetLastError() != ERROR_SUCCESS) {
            text.clear();
            return false;
        }
        buffer.clear();
    } else {
        buffer.resize(static_cast<size_t>(n));
    }
    text.swap(buffer);
    return true;
}

bool CWindowW::GetWindowTextTrim(std::wstring& text, bool trim) const
{
    if (!GetWindowText(text)) return false;
    if (trim) TrimBy(text, IsWhiteSpaceOrCr);
    return true;
}

bool CWindowW::SetWindowText(const wchar_t* text, bool skipIfSame, bool lfToCrLf) const
{
    std::wstring converted;
    if (lfToCrLf) {
        LfToCrLf(converted, text);
        text = converted.c_str();
    }
    if (skipIfSame) {
        std::wstring current;
        if (GetWindowText(current) && EqualsText(current, text)) return true;
    }
    return ::SetWindowTextW(m_hWnd, text) != FALSE;
}

bool CWindowW::SetWindowText(const std::wstring& text, bool skipIfSame) const
{
    return SetWindowText(text.c_str(), skipIfSame, false);
}

bool CWindowW::SetWindowTextId(UINT id, bool skipIfSame, bool lfToCrLf) const
{
    std::wstring text;
    if (id != 0) LoadResString(text, id);
    return SetWindowText(text.c_str(), skipIfSame, lfToCrLf);
}

bool CWindowW::AddTextPrefix(UINT id1, UINT id2) const
{
    std::wstring current;
    GetWindowTextTrim(current, true);
    return SetWindowText(LoadResString(id1) + LoadResString(id2) + current, true);
}

bool CWindowW::AddTextSuffix(UINT id1, UINT id2) const
{
    std::wstring current;
    GetWindowTextTrim(current, true);
    return SetWindowText(current + LoadResString(id2) + LoadResString(id1), true);
}

bool CWindowW::FormatWindowTextArgs(int unused, ...) const
{
    std::wstring format;
    if (!GetWindowText(format)) return false;
    const size_t size = format.size() + 1024;
    std::wstring text(size, L'\0');
    va_list args;
    va_start(args, unused);
    const int n = _vsnwprintf_s(text.data(), size, _TRUNCATE, format.c_str(), args);
    va_end(args);
    text.resize(n < 0 ? wcslen(text.c_str()) : static_cast<size_t>(n));
    return SetWindowText(text, true);
}
