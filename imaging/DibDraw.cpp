// Drawing a CDib to a device context with stretching, and DIB pattern brushes.
#include "foundation/GlobalMemory.h"
#include "imaging/Dib.h"
#include "imaging/GdiScope.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace {

// Bytes a packed DIB needs, as GDI reads it: header, masks of a 40-byte bit-field header,
// colour table, then the rows. 0 for a header GDI would not take.
ULONGLONG PackedDibSize(const BITMAPINFOHEADER& h)
{
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth < 0 || h.biHeight == LONG_MIN) return 0;
    ULONGLONG colors = std::min<ULONGLONG>(h.biClrUsed, 256);
    if (colors == 0 && h.biBitCount <= 8) colors = 1ULL << h.biBitCount;
    const ULONGLONG masks = h.biCompression == BI_BITFIELDS ? 12 : 0;
    const ULONGLONG info = std::max<ULONGLONG>(h.biSize, sizeof(BITMAPINFOHEADER) + masks) + colors * 4;
    if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) return info + h.biSizeImage;
    const ULONGLONG rows = h.biHeight < 0 ? 0ULL - static_cast<LONGLONG>(h.biHeight) : h.biHeight;
    return info + ComputeDibStride(h.biWidth, h.biBitCount) * rows;
}

} // namespace

bool CDib::Draw(HDC hdc, int x, int y) const
{
    // The destination is as tall as the image, whichever way its rows run.
    const LONGLONG right = LONGLONG(x) + GetWidth(), bottom = LONGLONG(y) + GetHeight();
    if (right > INT_MAX || bottom > INT_MAX) return false;
    return Draw(hdc, RECT{x, y, static_cast<LONG>(right), static_cast<LONG>(bottom)});
}

bool CDib::Draw(HDC hdc, const RECT& dest) const { return Draw(hdc, dest, GetRect()); }

bool CDib::Draw(HDC hdc, const RECT& dest, const RECT& src) const
{
    if (!IsValid()) return false;
    const CStretchBltModeSaver mode(hdc);
    const int destWidth = dest.right - dest.left, destHeight = dest.bottom - dest.top;
    const int srcWidth = src.right - src.left, srcHeight = src.bottom - src.top;
    if (destWidth == 0 || destHeight == 0 || srcWidth == 0 || srcHeight == 0) return true;
    if (!HasImage()) return false; // GDI would read rows the pixel block cannot hold
    const LONG height = GetHeight();
    const DWORD compression = GetCompression();
    const BYTE* bits = m_bits;
    const BITMAPINFO* info = reinterpret_cast<const BITMAPINFO*>(m_header);
    int srcY = height - src.bottom; // GDI counts the source's y from the bottom row
    // Wine reads a part of a top-down DIB from other rows (at its own size even from rows that
    // vary with the offset); the rectangle's rows go over as a whole picture of their own instead.
    std::vector<BYTE> rowsInfo;
    if ((compression == BI_RGB || compression == BI_BITFIELDS) && src.top >= 0 && src.bottom <= height &&
        srcHeight > 0) {
        rowsInfo.resize(GetInfoSize());
        WriteInfo(rowsInfo.data(), static_cast<UINT>(rowsInfo.size()));
        auto* header = reinterpret_cast<BITMAPINFOHEADER*>(rowsInfo.data());
        header->biHeight = IsTopDown() ? -srcHeight : srcHeight;
        header->biSizeImage = GetStride() * srcHeight;
        bits += static_cast<size_t>(IsTopDown() ? src.top : height - src.bottom) * GetStride();
        info = reinterpret_cast<const BITMAPINFO*>(rowsInfo.data());
        srcY = 0;
    }
    const int lines = ::StretchDIBits(hdc, dest.left, dest.top, destWidth, destHeight, src.left, srcY, srcWidth,
                                      srcHeight, bits, info, DIB_RGB_COLORS, SRCCOPY);
    // A header GDI refuses gives 0 lines, not GDI_ERROR.
    return lines != static_cast<int>(GDI_ERROR) && lines != 0;
}

// A packed DIB with a 40-byte header in movable memory, which the brush copies.
HBRUSH CDib::CreatePatternBrush() const
{
    if (!HasImage()) return nullptr;
    const UINT infoSize = GetInfoSize();
    const DWORD imageSize = GetImageSize();
    CGlobalMemory memory;
    if (!memory.Alloc(SIZE_T(infoSize) + imageSize, GMEM_MOVEABLE)) return nullptr;
    CGlobalLocker lock;
    auto* packed = static_cast<BYTE*>(lock.Lock(memory));
    if (!packed || !WriteInfo(packed, infoSize)) return nullptr;
    std::memcpy(packed + infoSize, m_bits, imageSize);
    return ::CreateDIBPatternBrushPt(packed, DIB_RGB_COLORS);
}

// The block may come from anywhere (the clipboard): it must hold what its header describes.
HBRUSH CreatePatternBrushFromGlobal(HGLOBAL packedDib)
{
    CGlobalLocker lock;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(lock.Lock(packedDib));
    const SIZE_T size = header ? ::GlobalSize(packedDib) : 0;
    if (size < sizeof(BITMAPINFOHEADER)) return nullptr;
    const ULONGLONG needed = PackedDibSize(*header);
    if (needed == 0 || needed > size) return nullptr;
    return ::CreateDIBPatternBrushPt(header, DIB_RGB_COLORS);
}
