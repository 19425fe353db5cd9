#include "shell/CheckedIntCast.h"

#include "foundation/Exception.h"

#include <string>

int CheckedIntCast(size_t value)
{
    // unsigned long is 32 bits here; the value text needs the full 64.
    if (value >= 0x80000000u) {
        ThrowCastError(L"size_t", L"int", std::to_wstring(static_cast<unsigned long long>(value)));
    }
    return static_cast<int>(value);
}
