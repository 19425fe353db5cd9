#include "foundation/NumberText.h"

#include <sstream>

namespace {
template <class T> std::wstring Write(T value, bool hex)
{
    std::wostringstream os;
    if (hex) os << std::hex;
    os << value;
    return os.str();
}
} // namespace

std::wstring ToWString(unsigned long value) { return Write(value, false); }
std::wstring ToWString(long value) { return Write(value, false); }
std::wstring ToWString(double value) { return Write(value, false); }
std::wstring ToHexWString(unsigned int value) { return Write(value, true); }
std::wstring ToHexWString(long value) { return Write(static_cast<unsigned long>(value), true); }
