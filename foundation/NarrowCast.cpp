#include "foundation/NarrowCast.h"

#include "foundation/Exception.h"

#include <sstream>

namespace {

template <class T> [[noreturn]] void ThrowWithDecimal(const std::wstring& from, const std::wstring& to, T value)
{
    std::wostringstream os;
    os << value;
    ThrowCastError(from, to, os.str());
}

} // namespace

WORD NarrowToWord(DWORD value)
{
    if (value > 0xFFFF) ThrowConversionError(L"DWORD", L"WORD", static_cast<unsigned long>(value));
    return static_cast<WORD>(value);
}

void ThrowConversionError(const std::wstring& from, const std::wstring& to, long long value)
{
    ThrowWithDecimal(from, to, value);
}
void ThrowConversionError(const std::wstring& from, const std::wstring& to, unsigned long value)
{
    ThrowWithDecimal(from, to, value);
}
void ThrowConversionError(const std::wstring& from, const std::wstring& to, unsigned int value)
{
    ThrowWithDecimal(from, to, value);
}
void ThrowConversionError(const std::wstring& from, const std::wstring& to, int value)
{
    ThrowWithDecimal(from, to, value);
}
void ThrowConversionError(const std::wstring& from, const std::wstring& to, long value)
{
    ThrowWithDecimal(from, to, value);
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }
