#pragma once
// A text buffer from CoTaskMemAlloc, for shell calls that take a writable string
// (IShellFolder::ParseDisplayName).
#include <objbase.h>
#include <windows.h>

#include <cstring>
#include <cwchar>

class CCoTaskMemText {
public:
    CCoTaskMemText() noexcept = default;
    CCoTaskMemText(const CCoTaskMemText&) = delete;
    CCoTaskMemText& operator=(const CCoTaskMemText&) = delete;
    ~CCoTaskMemText() { Free(); }

    // Frees the old buffer; the new one has `bytes` zeroed bytes and a NUL after them.
    wchar_t* Alloc(size_t bytes)
    {
        Free();
        m_text = static_cast<wchar_t*>(::CoTaskMemAlloc(bytes + sizeof(wchar_t)));
        if (m_text) std::memset(m_text, 0, bytes + sizeof(wchar_t));
        return m_text;
    }
    // A copy of `text`; null when the allocation failed.
    wchar_t* Copy(const wchar_t* text)
    {
        const size_t bytes = std::wcslen(text) * sizeof(wchar_t);
        if (Alloc(bytes)) std::memcpy(m_text, text, bytes);
        return m_text;
    }
    void Free() noexcept
    {
        if (m_text) ::CoTaskMemFree(m_text);
        m_text = nullptr;
    }
    wchar_t* Get() const noexcept { return m_text; }

private:
    wchar_t* m_text = nullptr;
};
