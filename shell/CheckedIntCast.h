#pragma once
// Narrowing of buffer sizes handed to the shell, which takes int.
#include <cstddef>

// Throws the cast error when `value` does not fit an int.
int CheckedIntCast(size_t value);
