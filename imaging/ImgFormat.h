#pragma once
// The six pixel formats of the library's own images, their depths, names and colour spaces.
#include "foundation/NamedInt.h"

#include <windows.h>

#include <string>

enum ImgFormat : UINT {
    BGRA32 = 0,  // blue, green, red, alpha
    BGR24 = 1,   // blue, green, red
    CMYKA40 = 2, // cyan, magenta, yellow, black, alpha
    CMYK32 = 3,  // cyan, magenta, yellow, black
    MONO8 = 4,   // one grey level, 0 black
    MONO1 = 5,   // one bit, most significant first, 0 black
};

constexpr UINT kImgFormatCount = 6;

// The colour model of a WIC pixel format.
enum class ImgColorType : int { None = 0, Indexed = 1, Gray = 2, Rgb = 3, Cmyk = 4 };

// 0 for a value outside the enumeration.
UINT GetImgFormatBitsPerPixel(ImgFormat format);

// The enumerator's name; "ImgFormat::(n)" for an unknown value.
std::wstring ImgFormatToString(ImgFormat format);

// ICC colour-space signatures, big-endian four characters.
constexpr DWORD kColorSpaceRgb = 0x52474220;  // 'RGB '
constexpr DWORD kColorSpaceCmyk = 0x434D594B; // 'CMYK'
constexpr DWORD kColorSpaceGray = 0x47524159; // 'GRAY'

DWORD ColorSpaceOfImgFormat(ImgFormat format);
// Indexed, Gray, Rgb and Cmyk only; the caller maps the other types itself (0 here).
DWORD ColorSpaceOfColorType(ImgColorType type);

// The display names of the six formats in the user's language, built on first use (the string
// table is read then, not before the program's entry point).
const CNamedIntTable& GetImgFormatTable();
void InitImgFormatNames(CNamedIntTable& table);
