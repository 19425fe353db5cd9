#pragma once
// GDI+ and the WIC factory for the imaging tests (the program starts both at start-up), and a
// 32-bit memory DC to draw into and read pixels back from.
#include "imaging/ImagingFactory.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

class ImagingTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&s_token, &input, nullptr);
        CreateImagingFactory();
    }
    static void TearDownTestSuite()
    {
        ReleaseImagingFactory();
        Gdiplus::GdiplusShutdown(s_token);
    }
    static inline ULONG_PTR s_token = 0;
};

// A top-down 32-bit DIB section selected into a memory DC, filled with one colour.
class CMemoryCanvas {
public:
    CMemoryCanvas(int width, int height, COLORREF fill = RGB(255, 255, 255)) : m_width(width), m_height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_dc = ::CreateCompatibleDC(nullptr);
        m_bitmap = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = ::SelectObject(m_dc, m_bitmap);
        Fill(fill);
    }
    ~CMemoryCanvas()
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc);
    }
    CMemoryCanvas(const CMemoryCanvas&) = delete;
    CMemoryCanvas& operator=(const CMemoryCanvas&) = delete;

    void Fill(COLORREF color)
    {
        RECT all = {0, 0, m_width, m_height};
        HBRUSH brush = ::CreateSolidBrush(color);
        ::FillRect(m_dc, &all, brush);
        ::DeleteObject(brush);
        ::GdiFlush();
    }
    HDC Dc() const { return m_dc; }
    // As COLORREF (red in the low byte).
    COLORREF Pixel(int x, int y) const
    {
        ::GdiFlush();
        const DWORD bgr = m_bits[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)];
        return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
    }

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};
