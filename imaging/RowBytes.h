#pragma once
// Bytes of one pixel row rounded up to whole 32-bit words, as DIBs, CImg and WIC copies lay rows
// out; in 64 bits, so a caller can refuse what does not fit before it allocates.
#include <windows.h>

inline ULONGLONG AlignedRowBytes(ULONGLONG width, ULONGLONG bitsPerPixel)
{
    const ULONGLONG bytes = (width * bitsPerPixel + 7) / 8;
    return (bytes + 3) & ~3ULL;
}
