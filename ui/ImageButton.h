#pragma once
// A push button that draws a picture over its themed face, embossed when disabled without a
// picture of its own. The parent must reflect notifications (custom draw arrives as OCM_NOTIFY).
#include "imaging/GdiplusImage.h"
#include "ui/ControlsW.h"

#include <WindowImpl.h>

#include <commctrl.h>

class CImageButton : public ATL::CWindowImpl<CImageButton, CButtonW> {
public:
    CImageButton() = default;
    ~CImageButton() override { ReleaseImages(); }
    CImageButton(const CImageButton&) = delete;
    CImageButton& operator=(const CImageButton&) = delete;

    BOOL SubclassWindow(HWND hWnd);
    // The picture from the resource of that id and type; the slot is emptied when the resource
    // cannot be opened.
    void LoadStateImage(UINT id, const wchar_t* type, bool disabled);
    // The normal picture from `id`, the disabled one from `id` + 1.
    void LoadStateImages(UINT id, const wchar_t* type);
    void ReleaseImages();

    BEGIN_MSG_MAP(CImageButton)
        MESSAGE_HANDLER(OCM_NOTIFY, OnReflectedNotify)
        MESSAGE_HANDLER(WM_ENABLE, OnEnable)
        MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
    END_MSG_MAP()

    DWORD m_style = 0;
    CGdiplusImagePtr m_image;
    CGdiplusImagePtr m_disabledImage;

private:
    LRESULT OnReflectedNotify(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnEnable(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    void DrawImage(const NMCUSTOMDRAW& draw);
};
