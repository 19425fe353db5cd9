#pragma once
// The window wrapper with wide-string text operations that every window and control builds on.
#include <Window.h>

#include <string>

class CWindowW : public ATL::CWindow {
public:
    CWindowW(HWND hWnd = nullptr) noexcept : ATL::CWindow(hWnd) {}
    CWindowW& operator=(HWND hWnd) noexcept
    {
        m_hWnd = hWnd;
        return *this;
    }

    // False only when the window's text cannot be read at all (for instance no window).
    bool GetWindowText(std::wstring& text) const;
    bool GetWindowTextTrim(std::wstring& text, bool trim) const;

    bool SetWindowText(const wchar_t* text, bool skipIfSame = false, bool lfToCrLf = false) const;
    bool SetWindowText(const std::wstring& text, bool skipIfSame = false) const;
    bool SetWindowTextId(UINT id, bool skipIfSame = false, bool lfToCrLf = false) const;

    bool AddTextPrefix(UINT id1, UINT id2) const;
    bool AddTextSuffix(UINT id1, UINT id2) const;
    // The window's own text is the printf-style format ("%s" takes const wchar_t*).
    template <class... Args> bool FormatWindowText(Args... args) const { return FormatWindowTextArgs(0, args...); }

private:
    bool FormatWindowTextArgs(int unused, ...) const;
};

// Puts a CR before every LF that does not directly follow one.
void LfToCrLf(std::wstring& out, const wchar_t* text);

bool EqualsText(const std::wstring& a, const wchar_t* b);

// White space as the C runtime sees it, or CR.
bool IsWhiteSpaceOrCr(wchar_t c);
