#pragma once
// The library's in-memory raster image: rows top first, each row padded to a multiple of 4 bytes.
#include "imaging/ColorContext.h"
#include "imaging/ImgFormat.h"

#include <windows.h>

#include <boost/shared_ptr.hpp>

#include <ostream>
#include <vector>

// Pixels an image may have unless the caller sets another ceiling: above any camera's picture
// (the largest multi-shot pictures have about 400 megapixels), far below what a header may claim.
constexpr ULONGLONG kDefaultPixelCeiling = 500'000'000;

class CImg {
public:
    explicit CImg(ImgFormat format = BGRA32) : m_format(format) {}
    CImg(ImgFormat format, UINT width, UINT height) : m_format(format), m_w(width), m_h(height) {}
    CImg(const CImg& other) { *this = other; }
    CImg& operator=(const CImg& other);

    UINT GetBitsPerPixel() const { return GetImgFormatBitsPerPixel(m_format); }
    // 0 for an unknown format, and for a row too long for the platform's 32-bit strides.
    UINT GetStride() const;
    // Bytes the pixels take; false when the size overflows what the platform can address
    // (32-bit buffer sizes of WIC and GDI+).
    bool GetBitsSize(UINT& size) const;
    // Sizes the pixel bytes for the geometry (zero-filled). Throws, before allocating, the bad
    // image size error when the platform cannot address the buffer and the too-large error above
    // the pixel ceiling; a failed allocation throws the image memory error.
    void AllocBits();
    // The ceiling AllocBits applies, for every image of the process.
    static void SetPixelCeiling(ULONGLONG pixels);
    static ULONGLONG GetPixelCeiling();
    // True when the pixel bytes hold every row of the geometry.
    bool HasAllBits() const;

    bool operator==(const CImg& other) const;
    bool operator!=(const CImg& other) const { return !(*this == other); }

    void CopyHeader(const CImg& other);
    boost::shared_ptr<CImg> Clone() const;
    boost::shared_ptr<CImg> CloneHeader() const;
    void swap(CImg& other) noexcept;
    unsigned GetByteSize() const;
    void DiffFields(const CImg& other) const;
    void Dump(std::wostream& os, bool withPixels) const;

    void SetDpiX(double dpi) { m_dpiX = dpi; }
    void SetDpiY(double dpi) { m_dpiY = dpi; }
    void SetColorContext(const CColorContextPtr& cc) { m_cc = cc; }

    ImgFormat m_format = BGRA32;
    UINT m_w = 0;
    UINT m_h = 0;
    std::vector<BYTE> m_bits;
    double m_dpiX = 0.0;
    double m_dpiY = 0.0;
    CColorContextPtr m_cc;
};

using CImgPtr = boost::shared_ptr<CImg>;

// Row bytes for a width, computed in 64 bits; 0 for an unknown format.
ULONGLONG ComputeImgStride(ImgFormat format, UINT width);
void DeleteImg(CImg* img);
// Two lower-case hex digits per byte, a line break after every `perLine` bytes.
void DumpHexBytes(std::wostream& os, const BYTE* data, size_t size, size_t perLine);
