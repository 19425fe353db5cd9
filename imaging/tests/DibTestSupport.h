#pragma once
// Small DIBs with known bytes for the DIB tests. Pixel addresses are worked out here from the
// header alone, the way GDI lays rows out, not through the class under test.
#include "imaging/Dib.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

enum class Rows { BottomUp, TopDown };

inline const char* RowsName(Rows rows) { return rows == Rows::TopDown ? "top-down" : "bottom-up"; }

inline LONG SignedHeight(LONG height, Rows rows) { return rows == Rows::TopDown ? -height : height; }

// Address of the first byte of pixel (x, y), y counted from the top of the picture.
inline BYTE* PixelAddress(const CDib& dib, LONG x, LONG y)
{
    const BITMAPINFOHEADER& h = *dib.m_header;
    const LONG height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    const size_t stride = ((size_t(h.biWidth) * h.biBitCount + 31) / 32) * 4;
    const LONG row = h.biHeight < 0 ? y : height - 1 - y;
    return dib.m_bits + row * stride + size_t(x) * h.biBitCount / 8;
}

inline DWORD Pixel32(const CDib& dib, LONG x, LONG y) { return *reinterpret_cast<DWORD*>(PixelAddress(dib, x, y)); }

inline void SetPixel32(CDib& dib, LONG x, LONG y, DWORD value)
{
    *reinterpret_cast<DWORD*>(PixelAddress(dib, x, y)) = value;
}

// Every pixel differs from its neighbours: blue x, green y, red x ^ y, alpha 0x80 + x + y.
inline DWORD TestPixel(LONG x, LONG y)
{
    return DWORD(x) | DWORD(y) << 8 | DWORD(x ^ y) << 16 | DWORD(0x80 + x + y) << 24;
}

inline void MakeTestDib32(CDib& dib, LONG width, LONG height, Rows rows)
{
    ASSERT_TRUE(dib.Create(sizeof(BITMAPINFOHEADER), width, SignedHeight(height, rows), 32, 0, BI_RGB, 0));
    ASSERT_TRUE(dib.AllocBits());
    for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x) SetPixel32(dib, x, y, TestPixel(x, y));
}

// Opaque 2 x 2 blocks: red, green over blue, white.
const DWORD kBlockColors[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

inline void MakeBlocks32(CDib& dib, Rows rows)
{
    ASSERT_TRUE(dib.Create(sizeof(BITMAPINFOHEADER), 4, SignedHeight(4, rows), 32, 0, BI_RGB, 0));
    ASSERT_TRUE(dib.AllocBits());
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 4; ++x) SetPixel32(dib, x, y, 0xFF000000 | kBlockColors[(y / 2) * 2 + x / 2]);
}

// Each byte of the two values within `tolerance` of the other.
inline testing::AssertionResult NearColor(DWORD actual, DWORD expected, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8) {
        if (std::abs(int(actual >> shift & 0xFF) - int(expected >> shift & 0xFF)) > tolerance) {
            return testing::AssertionFailure() << std::hex << actual << " is not " << expected;
        }
    }
    return testing::AssertionSuccess();
}

// The pixels of a 32-bit DIB, top row first.
inline std::vector<DWORD> Pixels32(const CDib& dib)
{
    std::vector<DWORD> pixels;
    for (LONG y = 0; y < dib.GetHeight(); ++y)
        for (LONG x = 0; x < dib.GetWidth(); ++x) pixels.push_back(Pixel32(dib, x, y));
    return pixels;
}

// A 32-bit DIB section selected into a memory DC: the real GDI target that drawings are read
// back from with GetDIBits.
class CDibCanvas {
public:
    CDibCanvas(int width, int height, DWORD fill) : m_width(width), m_height(height)
    {
        BITMAPINFOHEADER h = {sizeof(h), width, -height, 1, 32, BI_RGB};
        void* bits = nullptr;
        m_bitmap = ::CreateDIBSection(m_dc, reinterpret_cast<BITMAPINFO*>(&h), DIB_RGB_COLORS, &bits, nullptr, 0);
        m_old = ::SelectObject(m_dc, m_bitmap);
        std::fill_n(static_cast<DWORD*>(bits), size_t(width) * height, fill);
    }
    ~CDibCanvas()
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc);
    }
    CDibCanvas(const CDibCanvas&) = delete;
    CDibCanvas& operator=(const CDibCanvas&) = delete;

    HDC Dc() const { return m_dc; }
    // The pixels as GetDIBits reads them, top row first, colour bytes only.
    std::vector<DWORD> Read() const
    {
        ::GdiFlush();
        std::vector<DWORD> pixels(size_t(m_width) * m_height);
        BITMAPINFOHEADER h = {sizeof(h), m_width, -m_height, 1, 32, BI_RGB};
        ::SelectObject(m_dc, m_old);
        EXPECT_EQ(m_height, ::GetDIBits(m_dc, m_bitmap, 0, m_height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&h),
                                        DIB_RGB_COLORS));
        ::SelectObject(m_dc, m_bitmap);
        for (DWORD& p : pixels) p &= 0x00FFFFFF;
        return pixels;
    }
    DWORD At(int x, int y) const { return Read()[size_t(y) * m_width + x]; }

private:
    int m_width;
    int m_height;
    HDC m_dc = ::CreateCompatibleDC(nullptr);
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

// The ICC profile the test command names (a Debian package's sRGB profile).
inline std::vector<BYTE> ReadTestProfile()
{
    wchar_t path[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"FH_TEST_ICC_PROFILE", path, MAX_PATH)) return {};
    const std::string bytes = CTempFolder::ReadBytes(path);
    return std::vector<BYTE>(bytes.begin(), bytes.end());
}
