#pragma once
// A device-independent bitmap in two blocks of its own: the header block (bitmap-information
// header, colour table or bit-field masks, and for a V5 header an embedded colour profile) and
// the pixel block. Sizes are derived from the header on every call; nothing is cached.
#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <boost/shared_ptr.hpp>

#include <vector>

// The largest pixel or header block a DIB may take: GDI+ strides and offsets are signed 32-bit.
constexpr ULONGLONG kMaxDibBlockSize = 0x7FFFFFFF;

// Bytes of one row, rounded up to a multiple of 4, worked out in 64 bits; 0 for a negative width.
ULONGLONG ComputeDibStride(LONG width, WORD bitCount);

class CDib {
public:
    CDib() noexcept = default;
    CDib(const CDib&) = delete;
    CDib& operator=(const CDib&) = delete;
    virtual ~CDib();

    // Both blocks are taken from malloc and given back to free; Attach and Detach hand over
    // blocks of that kind.
    virtual bool Create(UINT headerSize, LONG width, LONG height, WORD bitCount, UINT colorsUsed, DWORD compression,
                        UINT profileSize);
    virtual void FreeHeader() noexcept;
    virtual bool AllocBits();
    virtual void FreeBits() noexcept;
    void Free() noexcept;

    bool Create32(LONG width, LONG height);
    bool CreateV5(LONG width, LONG height, WORD bitCount, UINT colorsUsed, DWORD compression);
    bool CreateV5WithProfile(LONG width, LONG height, WORD bitCount, UINT colorsUsed, DWORD compression,
                             const std::vector<BYTE>& profile);
    bool CreateLike(const BITMAPINFOHEADER* src);
    bool CreateLike(LONG width, LONG height, WORD bitCount, const BITMAPINFOHEADER* src);
    bool Create32AndAlloc(LONG width, LONG height);
    bool CreateLikeAndAlloc(const BITMAPINFOHEADER* src);
    // The header block must start with a BITMAPINFOHEADER or a larger version of it.
    bool Attach(BITMAPINFOHEADER* header, void* bits) noexcept;
    void Detach(BITMAPINFOHEADER** header, void** bits) noexcept;

    void SetXPelsPerMeter(LONG value) { m_header->biXPelsPerMeter = value; }
    void SetYPelsPerMeter(LONG value) { m_header->biYPelsPerMeter = value; }
    // A new 32-bit DIB holding the whole image, with its resolution; `out` is left alone on failure.
    static HRESULT FromGdiplusImage(Gdiplus::Image& image, boost::shared_ptr<CDib>& out);

    LONG GetWidth() const { return m_header ? m_header->biWidth : 0; }
    // |biHeight|; 0 for a height without a 32-bit magnitude (INT_MIN).
    LONG GetHeight() const;
    SIZE GetSize() const { return SIZE{GetWidth(), GetHeight()}; }
    RECT GetRect() const { return RECT{0, 0, GetWidth(), GetHeight()}; }
    bool IsTopDown() const { return m_header && m_header->biHeight < 0; }
    WORD GetBitCount() const { return m_header ? m_header->biBitCount : 0; }
    DWORD GetCompression() const { return m_header ? m_header->biCompression : 0; }
    DWORD GetClrUsed() const { return m_header ? m_header->biClrUsed : 0; }
    RGBQUAD* GetColorTable() const;
    UINT GetColorCount() const;
    UINT GetColorTableSize() const;
    // 0 when the row does not fit a signed 32-bit stride.
    UINT GetStride() const;
    // Negative for a bottom-up DIB: image row y lies at GetTopRow() + y * GetSignedStride().
    int GetSignedStride() const;
    // 0 when stride x height does not fit the largest block.
    DWORD GetImageSize() const;
    BYTE* GetProfileData() const;
    DWORD GetProfileSize() const;
    DWORD GetHeaderBlockSize() const;
    DWORD GetBitsOffset() const;
    UINT GetInfoSize() const { return sizeof(BITMAPINFOHEADER) + GetColorTableSize(); }
    BYTE* GetTopRow() const;
    bool IsValid() const { return m_header && m_bits; }
    // Both blocks and at least one pixel, with rows the pixel block can address.
    bool HasImage() const;

    bool WriteInfo(void* dest, UINT size) const;
    bool operator==(const CDib& other) const;
    bool operator!=(const CDib& other) const { return !(*this == other); }

    // Pixel operations on 32-bit DIBs (Fill and Clear on any); other DIBs are left unchanged.
    // Rectangles are clipped to the image.
    void Fill(BYTE value);
    void Clear() { Fill(0); }
    void ClearRect(const RECT& rect);
    void FillRect(const RECT& rect, DWORD value);
    void FillColor(COLORREF color);
    void SetAlpha(BYTE alpha);
    void SetAlphaRect(const RECT& rect, BYTE alpha);
    // Over the area both share; the mask must be an 8-bit DIB.
    void SetAlphaFromMask(const CDib& mask8);
    void CombineAlphaMask(const CDib& mask8, int x, int y);
    void Premultiply();
    void PremultiplyRect(const RECT& rect);
    void FlattenOnColor(COLORREF back);

    void SetGrayPalette();
    // False, with the table unchanged, unless the DIB is 8-bit with 256 colours and the index is
    // one of them.
    bool SetMaskPalette(int index);
    void CopyPalette(const CDib& other);

    bool Draw(HDC hdc, int x, int y) const;
    bool Draw(HDC hdc, const RECT& dest) const;
    bool Draw(HDC hdc, const RECT& dest, const RECT& src) const;
    HBRUSH CreatePatternBrush() const;

    BITMAPINFOHEADER* m_header = nullptr;
    BYTE* m_bits = nullptr;

private:
    void FillHeader(LONG width, LONG height, WORD bitCount, UINT colors, DWORD compression, UINT profileSize);
    bool CreateFromHeader(const BITMAPINFOHEADER* src, LONG width, LONG height, WORD bitCount, DWORD compression,
                          bool colors);
    const BITMAPINFOHEADER* KeepIfOwn(const BITMAPINFOHEADER* src, std::vector<BYTE>& copy) const;
    bool ClipToImage(const RECT& rect, RECT& clipped) const;
    bool HasImage32() const { return HasImage() && GetBitCount() == 32; }
};

using CDibPtr = boost::shared_ptr<CDib>;

// dpi x 10000 / 254 + add, truncated toward zero; 0 for what has no int value (NaN, out of range).
int DpiToPelsPerMeter(double dpi, double add);
void DeleteDib(CDib* dib);

HBRUSH CreatePatternBrushFromGlobal(HGLOBAL packedDib);
