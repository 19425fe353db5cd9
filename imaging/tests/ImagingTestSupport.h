#pragma once
// GDI+ and the WIC factory for the imaging tests (the program starts both at start-up), the id
// of a thrown error, and a 32-bit memory DC to draw into and read pixels back from.
#include "foundation/Exception.h"
#include "foundation/UniqueHandle.h"
#include "imaging/ImagingFactory.h"
#include "imaging/Img.h"

#include <ComPtr.h>

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// A file laid out by scripts/stage-imaging-data.sh beside the test executable's folder.
inline std::wstring ImagingTestData(const std::wstring& name)
{
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path(exe);
    path.resize(path.find_last_of(L'\\'));
    path.resize(path.find_last_of(L'\\'));
    return path + L"\\testdata\\imaging\\" + name;
}

inline std::vector<BYTE> ReadTestFile(const std::wstring& name)
{
    std::vector<BYTE> bytes;
    HANDLE file = ::CreateFileW(ImagingTestData(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(::GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!bytes.empty()) ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// The first frame of a staged test file; empty when WIC cannot decode it.
inline ATL::CComPtr<IWICBitmapFrameDecode> DecodeTestFile(const std::wstring& name)
{
    ATL::CComPtr<IWICBitmapDecoder> decoder;
    ATL::CComPtr<IWICBitmapFrameDecode> frame;
    const std::wstring path = ImagingTestData(name);
    if (SUCCEEDED(g_wicFactory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                          WICDecodeMetadataCacheOnDemand, &decoder))) {
        decoder->GetFrame(0, &frame);
    }
    return frame;
}

// An image whose bytes run seed, seed + step, ... so that every byte is told apart.
inline CImg PatternedImg(ImgFormat format, UINT width, UINT height, BYTE seed, BYTE step = 13)
{
    CImg img(format, width, height);
    img.AllocBits();
    for (size_t i = 0; i < img.m_bits.size(); ++i) img.m_bits[i] = static_cast<BYTE>(seed + i * step);
    return img;
}
