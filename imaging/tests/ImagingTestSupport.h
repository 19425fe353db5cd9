#pragma once
// GDI+ and the WIC factory for the imaging tests (the program starts both at start-up), the id
// of a thrown error, and a 32-bit memory DC to draw into and read pixels back from.
#include "foundation/Exception.h"
#include "foundation/UniqueHandle.h"
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

// The string-table id of what `f` throws; 0 when it throws nothing.
template <class F> UINT ThrownId(F f)
{
    try {
        f();
    } catch (const my::CException& e) {
        return e.m_id;
    }
    return 0;
}

// A 32-bit bitmap selected into a memory DC, filled with one colour.
class CMemoryCanvas {
public:
    CMemoryCanvas(int width, int height, COLORREF fill) : m_all{0, 0, width, height}
    {
        m_old = ::SelectObject(m_dc.Get(), m_bitmap.Get());
        Fill(fill);
    }
    // The bitmap leaves the DC before the owners delete both.
    ~CMemoryCanvas() { ::SelectObject(m_dc.Get(), m_old); }
    CMemoryCanvas(const CMemoryCanvas&) = delete;
    CMemoryCanvas& operator=(const CMemoryCanvas&) = delete;

    void Fill(COLORREF color)
    {
        const CUniqueBrush brush(::CreateSolidBrush(color));
        ::FillRect(m_dc.Get(), &m_all, brush.Get());
    }
    HDC Dc() const { return m_dc.Get(); }
    COLORREF Pixel(int x, int y) const { return ::GetPixel(m_dc.Get(), x, y); }

private:
    RECT m_all;
    CUniqueDC m_dc{::CreateCompatibleDC(nullptr)};
    CUniqueBitmap m_bitmap{::CreateBitmap(m_all.right, m_all.bottom, 1, 32, nullptr)};
    HGDIOBJ m_old = nullptr;
};
