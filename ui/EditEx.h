#pragma once
// An edit control that draws a picture while it is empty and unfocused, and hands its key strokes
// to listeners before the edit sees them.
#include "foundation/EventListener.h"
#include "imaging/Img.h"
#include "ui/ControlsW.h"

#include <WindowImpl.h>

// Handed to the key listeners (as the event's record); a listener that consumes the key sets
// m_handled, and the edit then never sees it.
struct CEditKeyEvent {
    bool m_handled = false;
    WORD m_code = 0;   // virtual key (key-down) or character (char)
    WORD m_repeat = 0; // low word of lParam
    WORD m_flags = 0;  // high word of lParam
};

class CEditEx : public ATL::CWindowImpl<CEditEx, CEditW> {
public:
    CEditEx() = default;
    CEditEx(const CEditEx&) = delete;
    CEditEx& operator=(const CEditEx&) = delete;

    BEGIN_MSG_MAP(CEditEx)
        MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
        MESSAGE_HANDLER(WM_CHAR, OnChar)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
    END_MSG_MAP()

    virtual void DrawImage(HDC dc);
    virtual void FireKeyDown(CEditKeyEvent& key) { FireEvent(m_keyDownListeners, this, &key); }
    virtual void FireChar(CEditKeyEvent& key) { FireEvent(m_charListeners, this, &key); }

    CImgPtr m_image;
    EventListenerList m_keyDownListeners;
    EventListenerList m_charListeners;

private:
    LRESULT OnKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnChar(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
};
