#include "ui/ImageButton.h"

#include "foundation/Streams.h"

void CImageButton::ReleaseImages()
{
    m_image.reset();
    m_disabledImage.reset();
}

BOOL CImageButton::SubclassWindow(HWND hWnd)
{
    if (!CWindowImpl::SubclassWindow(hWnd)) return FALSE;
    m_style = static_cast<DWORD>(::GetWindowLongW(hWnd, GWL_STYLE));
    return TRUE;
}

void CImageButton::LoadStateImage(UINT id, const wchar_t* type, bool disabled)
{
    CGdiplusImagePtr& slot = disabled ? m_disabledImage : m_image;
    CStreamPtr stream;
    if (FAILED(CreateStreamOnResource(stream, MAKEINTRESOURCEW(id), type))) {
        slot.reset();
        return;
    }
    CGdiplusImagePtr image;
    LoadImageFromStream(image, stream);
    slot = image;
}

void CImageButton::LoadStateImages(UINT id, const wchar_t* type)
{
    LoadStateImage(id, type, false);
    LoadStateImage(id + 1, type, true);
}

LRESULT CImageButton::OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->code != NM_CUSTOMDRAW) {
        bHandled = FALSE;
        return 0;
    }
    const auto* draw = reinterpret_cast<const NMCUSTOMDRAW*>(lParam);
    switch (draw->dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYPOSTPAINT;
    case CDDS_POSTPAINT: DrawImage(*draw); return CDRF_DODEFAULT;
    default: bHandled = FALSE; return 0;
    }
}

LRESULT CImageButton::OnEnable(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    Invalidate(TRUE);
    return 0;
}

LRESULT CImageButton::OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(uMsg, wParam, lParam);
    // The dialog manager makes the focused push button the default one; a button that was not
    // the default keeps no default frame once the focus has gone.
    if (!(m_style & BS_DEFPUSHBUTTON)) {
        const DWORD style = static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE));
        if (style & BS_DEFPUSHBUTTON) {
            ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(style & ~static_cast<DWORD>(BS_DEFPUSHBUTTON)));
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
            Invalidate(TRUE);
        }
    }
    return result;
}

namespace {

BOOL CALLBACK DrawDisabledImage(HDC dc, LPARAM data, WPARAM, int width, int height)
{
    try {
        auto* image = reinterpret_cast<Gdiplus::Image*>(data);
        Gdiplus::Graphics graphics(dc);
        graphics.DrawImage(image, Gdiplus::Rect(0, 0, width, height), 0, 0, width, height, Gdiplus::UnitPixel);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

void DrawWhole(HDC dc, Gdiplus::Image* image, int x, int y, int w, int h)
{
    Gdiplus::Graphics graphics(dc);
    graphics.DrawImage(image, Gdiplus::Rect(x, y, w, h), 0, 0, w, h, Gdiplus::UnitPixel);
}

} // namespace

void CImageButton::DrawImage(const NMCUSTOMDRAW& draw)
{
    if (!m_image) return;
    const int w = static_cast<int>(m_image->GetWidth());
    const int h = static_cast<int>(m_image->GetHeight());
    const RECT& rc = draw.rc;
    const int x = rc.left + (rc.right - w - rc.left) / 2;
    const int y = rc.top + (rc.bottom - h - rc.top) / 2;
    if (!(draw.uItemState & CDIS_DISABLED)) {
        DrawWhole(draw.hdc, m_image.get(), x, y, w, h);
    } else if (m_disabledImage) {
        DrawWhole(draw.hdc, m_disabledImage.get(), x, y, w, h);
    } else {
        ::DrawStateW(draw.hdc, nullptr, DrawDisabledImage, reinterpret_cast<LPARAM>(m_image.get()), 0, x, y, w, h,
                     DST_COMPLEX | DSS_DISABLED);
    }
}
