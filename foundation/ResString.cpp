#include "foundation/ResString.h"

#include "foundation/Exception.h"
#include "foundation/LastError.h"
#include "foundation/NumberText.h"
#include "foundation/TextHelpers.h"
#include "ids/foundation.h"

#include <AppModule.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

HINSTANCE GetResourceInstance() { return _Module.GetResourceInstance(); }

namespace {

// The missing-string error must not load its own template through the throwing path, or a
// table that lacks 58743 (or a module not set yet) would recurse without end.
[[noreturn]] void ThrowStringMissing(UINT id, HRESULT hr)
{
    std::wstring code;
    FormatHResultMessage(code, hr);
    TrimBy(code, IsSpaceOrCr);
    std::wstring format;
    LoadResString(format, IDS_RESOURCE_STRING_MISSING, false);
    if (format.empty()) format = L"Resource string is missing - %s\n\nID: %s";
    const std::wstring idText = ToWString(static_cast<unsigned long>(id));
    std::wstring text(format.size() + code.size() + idText.size() + 16, L'\0');
    int n = _snwprintf(text.data(), text.size(), format.c_str(), code.c_str(), idText.c_str());
    text.resize(n < 0 ? text.size() - 1 : static_cast<size_t>(n));
    CSimpleErr err;
    err.m_id = IDS_RESOURCE_STRING_MISSING;
    err.m_code = static_cast<UINT>(hr);
    err.m_message = text;
    throw my::CException(err);
}

[[noreturn]] void ThrowStringTooLong(UINT id)
{
    std::wstring format;
    LoadResString(format, IDS_RESOURCE_STRING_TOO_LONG, false);
    if (format.empty()) format = L"Resource string data is too long\n\nID: %s";
    const std::wstring idText = ToWString(static_cast<unsigned long>(id));
    std::wstring text(format.size() + idText.size() + 16, L'\0');
    int n = _snwprintf(text.data(), text.size(), format.c_str(), idText.c_str());
    text.resize(n < 0 ? text.size() - 1 : static_cast<size_t>(n));
    CSimpleErr err;
    err.m_id = IDS_RESOURCE_STRING_TOO_LONG;
    err.m_message = text;
    throw my::CException(err);
}

} // namespace

void LoadResString(std::wstring& out, UINT id, bool throwOnError)
{
    HINSTANCE module = GetResourceInstance();
    out.resize(256);
    int size = static_cast<int>(out.size());
    int n = ::LoadStringW(module, id, out.data(), size);
    while (n != 0) {
        if (n < size - 1) {
            out.resize(static_cast<size_t>(n));
            return;
        }
        if (size > 65536) {
            out.clear();
            if (throwOnError) ThrowStringTooLong(id);
            return;
        }
        out.resize(static_cast<size_t>(size) * 10);
        size = static_cast<int>(out.size());
        n = ::LoadStringW(module, id, out.data(), size);
    }
    // A missing string keeps its code as read, 0 included.
    const HRESULT hr = LastErrorKeepingZero();
    out.clear();
    if (throwOnError) ThrowStringMissing(id, hr);
}

void LoadResString(std::wstring& out, UINT id) { LoadResString(out, id, true); }

std::wstring LoadResString(UINT id)
{
    std::wstring text;
    LoadResString(text, id, true);
    return text;
}

bool FormatResString(std::wstring& out, UINT id, ...)
{
    std::wstring format;
    LoadResString(format, id, true);
    // The buffer grows until the whole text fits: a message is never cut. A result that does not
    // fit even the largest buffer (a broken template) is cut there.
    constexpr size_t kLargest = size_t{1} << 26;
    for (size_t size = format.size() + 1024;; size = std::min(size * 2, kLargest)) {
        out.assign(size, L'\0');
        va_list args;
        va_start(args, id);
        const int n = _vsnwprintf_s(out.data(), size, _TRUNCATE, format.c_str(), args);
        va_end(args);
        if (n >= 0 || size == kLargest) {
            out.resize(n < 0 ? size - 1 : static_cast<size_t>(n));
            return true;
        }
    }
}

void FormatHResultMessage(std::wstring& out, HRESULT code, HMODULE module)
{
    const DWORD lookup = (static_cast<DWORD>(code) & 0x1FFF0000) == 0x00080000 ? (static_cast<DWORD>(code) & 0xFFFF)
                                                                               : static_cast<DWORD>(code);
    // Inserts are ignored: system texts that hold "%1" would otherwise fail to format.
    DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    if (module) flags |= FORMAT_MESSAGE_FROM_HMODULE;
    wchar_t* buffer = nullptr;
    DWORD n = ::FormatMessageW(flags, module, lookup, 0x400, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    if (n && buffer) {
        out.assign(buffer, n);
        ::LocalFree(buffer);
        return;
    }
    if (buffer) ::LocalFree(buffer);
    out = L"Unknown HRESULT: " + ToHexWString(static_cast<unsigned int>(lookup));
}
