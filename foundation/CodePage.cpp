#include "foundation/CodePage.h"

#include "foundation/Exception.h"
#include "foundation/NumberText.h"
#include "ids/xml.h"

#include <climits>

namespace {

[[noreturn]] void ThrowConversion(UINT id, UINT codePage)
{
    throw my::CException(id, ToWString(static_cast<unsigned long>(codePage)));
}

} // namespace

void MultiByteToWString(UINT codePage, DWORD flags, const char* bytes, size_t length, std::wstring& out)
{
    out.clear();
    if (length == 0) return;
    if (length > INT_MAX) ThrowConversion(IDS_TO_UNICODE_FAILED, codePage);
    const int inLength = static_cast<int>(length);
    const int needed = ::MultiByteToWideChar(codePage, flags, bytes, inLength, nullptr, 0);
    if (needed <= 0) ThrowConversion(IDS_TO_UNICODE_FAILED, codePage);
    out.resize(static_cast<size_t>(needed) + 1);
    const int done = ::MultiByteToWideChar(codePage, flags, bytes, inLength, out.data(), needed + 1);
    if (done <= 0) {
        out.clear();
        ThrowConversion(IDS_TO_UNICODE_FAILED, codePage);
    }
    out.resize(static_cast<size_t>(done));
}

void MultiByteToWString(UINT codePage, DWORD flags, const std::string& bytes, std::wstring& out)
{
    MultiByteToWString(codePage, flags, bytes.data(), bytes.size(), out);
}

void WStringToMultiByte(UINT codePage, DWORD flags, const wchar_t* text, size_t length, std::string& out)
{
    out.clear();
    if (length == 0) return;
    if (length > INT_MAX) ThrowConversion(IDS_TO_MULTIBYTE_FAILED, codePage);
    const int inLength = static_cast<int>(length);
    const int needed = ::WideCharToMultiByte(codePage, flags, text, inLength, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) ThrowConversion(IDS_TO_MULTIBYTE_FAILED, codePage);
    out.resize(static_cast<size_t>(needed) + 1);
    const int done = ::WideCharToMultiByte(codePage, flags, text, inLength, out.data(), needed + 1, nullptr, nullptr);
    if (done <= 0) {
        out.clear();
        ThrowConversion(IDS_TO_MULTIBYTE_FAILED, codePage);
    }
    out.resize(static_cast<size_t>(done));
}

void WStringToMultiByte(UINT codePage, DWORD flags, const std::wstring& text, std::string& out)
{
    WStringToMultiByte(codePage, flags, text.data(), text.size(), out);
}
