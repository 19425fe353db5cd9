#include "ui/EditEx.h"

#include "foundation/ScopeExit.h"
#include "foundation/UniqueHandle.h"
#include "imaging/GdiplusImage.h"

namespace {

CEditKeyEvent MakeKeyEvent(WPARAM wParam, LPARAM lParam)
{
    CEditKeyEvent key;
    key.m_code = static_cast<WORD>(wParam);
    key.m_repeat = LOWORD(lParam);
    key.m_flags = HIWORD(lParam);
    return key;
}

} // namespace

LRESULT CEditEx::OnKeyDown(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    CEditKeyEvent key = MakeKeyEvent(wParam, lParam);
    FireKeyDown(key);
    bHandled = key.m_handled ? TRUE : FALSE;
    return 0;
}

LRESULT CEditEx::OnChar(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    CEditKeyEvent key = MakeKeyEvent(wParam, lParam);
    FireChar(key);
    bHandled = key.m_handled ? TRUE : FALSE;
    return 0;
}

LRESULT CEditEx::OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // The edit validates the update region while painting: keep it to clip the picture by.
    CUniqueRegion region(::CreateRectRgn(0, 0, 1, 1));
    if (region && ::GetUpdateRgn(m_hWnd, region.Get(), FALSE) == ERROR) region.Reset();
    const LRESULT result = DefWindowProc(uMsg, wParam, lParam);
    if (HDC dc = ::GetDC(m_hWnd)) {
        const auto release = ScopeExit([this, dc] { ::ReleaseDC(m_hWnd, dc); });
        if (region) ::SelectClipRgn(dc, region.Get());
        try {
            DrawImage(dc);
        } catch (...) {
            // A picture that cannot be drawn leaves the plain edit.
        }
    }
    return result;
}

void CEditEx::DrawImage(HDC dc)
{
    if (!m_image || ::GetFocus() == m_hWnd || ::GetWindowTextLengthW(m_hWnd) != 0) return;
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    CGdiplusBitmapPtr bitmap = CreateBitmapFromImage(*m_image);
    if (!bitmap) return;
    Gdiplus::Graphics graphics(dc);
    const int height = static_cast<int>(m_image->m_h);
    const int y = (client.bottom - height - client.top) >> 1;
    graphics.DrawImage(bitmap.get(), static_cast<INT>(client.left), static_cast<INT>(y), static_cast<INT>(m_image->m_w),
                       static_cast<INT>(m_image->m_h));
}
