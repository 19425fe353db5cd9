#include "inet/Charset.h"

#include "foundation/NoThrow.h"
#include "foundation/TextHelpers.h"

#include <cwchar>

UINT CharsetToCodePage(const wchar_t* name)
{
    // euc-jp is 20932: 51932 names the same charset but is no conversion code page
    // (WideCharToMultiByte answers 87 on it).
    static const struct {
        const wchar_t* name;
        UINT codePage;
    } kCharsets[] = {
        {L"utf-8", CP_UTF8}, {L"utf-7", CP_UTF7}, {L"shift_jis", 932}, {L"euc-jp", 20932}, {L"ISO-2022-JP", 50220},
    };
    if (!name) return 0;
    for (const auto& entry : kCharsets) {
        if (_wcsicmp_l(name, entry.name, g_cLocale) == 0) return entry.codePage;
    }
    return 0;
}

// Sized by the conversion's own length query: UTF-8 takes three bytes for most Japanese characters.
bool WideToMultiByte(std::string& out, const std::wstring& text, UINT codePage)
{
    return FlagOfCall([&]() -> bool {
        if (text.empty()) {
            out.clear();
            return true;
        }
        if (text.size() > kMaxConvertedBytes) return false;
        const int length = static_cast<int>(text.size());
        const int needed = ::WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
        if (needed <= 0 || static_cast<size_t>(needed) > kMaxConvertedBytes) return false;
        std::string bytes(static_cast<size_t>(needed), '\0');
        const int done = ::WideCharToMultiByte(codePage, 0, text.data(), length, bytes.data(), needed, nullptr,
                                               nullptr);
        if (done <= 0) return false;
        bytes.resize(static_cast<size_t>(done));
        out.swap(bytes);
        return true;
    });
}

char* WideToMultiByteBuffer(char* out, const wchar_t* text, int size, UINT codePage)
{
    if (!out || !text) return nullptr;
    if (size <= 0) return nullptr;
    out[0] = 0;
    if (::WideCharToMultiByte(codePage, 0, text, -1, out, size, nullptr, nullptr) <= 0) {
        out[0] = 0;
        return nullptr;
    }
    return out;
}
