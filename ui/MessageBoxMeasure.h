#pragma once
// A text measured as a message box will draw it: the box's own font, the width at which it wraps
// its text, and what it adds around the text (caption, icon, button row, borders), all read from a
// real box that is laid out and never shown; so that a long text can be bounded before it is shown.
#include "foundation/UniqueHandle.h"

#include <windows.h>

#include <optional>
#include <string>

// What one message box made of its text.
struct CMessageBoxProbe {
    RECT box{};  // the whole box, on the screen
    RECT text{}; // its text
    RECT ok{};   // its OK button (empty when it has none)
    LOGFONTW font{};
    RECT workArea{};                    // of the monitor the box stands on
    UINT dpi = USER_DEFAULT_SCREEN_DPI; // that monitor's scale
};

// Lays out a real message box of `type` for `text`, owned as `owner` would own it, reads it and
// destroys it before it is ever shown, leaving the owner enabled or disabled as it was; false when
// the system made no box.
bool ProbeMessageBox(HWND owner, UINT type, const std::wstring& text, CMessageBoxProbe& probe);

// How a message box lays out text.
struct CMessageBoxLayout {
    LOGFONTW font{};
    int wrapWidth = 0; // lines of text wrap at this width
    SIZE chrome{};     // the box's size less its text's
    RECT workArea{};
    UINT dpi = USER_DEFAULT_SCREEN_DPI; // the scale the box is drawn at, of its monitor
    HWND owner = nullptr;
    UINT type = 0;
    bool probed = false; // read from a real box, which can then draw a text to check it

    // The layout of a box of `type` owned by `owner`, read from a real one.
    static CMessageBoxLayout Of(HWND owner, UINT type);
    // Where no box could be made: the message font of the non-client metrics and Wine's widths.
    static CMessageBoxLayout FromMetrics();
};

class CMessageMeasure {
public:
    // `bound`: the size the whole box must keep within. Text wraps at the narrower of the layout's
    // wrap width and the room the bound leaves it.
    CMessageMeasure(const CMessageBoxLayout& layout, SIZE bound);
    ~CMessageMeasure();
    CMessageMeasure(const CMessageMeasure&) = delete;
    CMessageMeasure& operator=(const CMessageMeasure&) = delete;

    // The same measure, its text wrapping within `width` where that is narrower.
    CMessageMeasure Within(int width) const;

    // Height and width of `text` as the box wraps it ("\n" ends a line; an empty line counts).
    int Height(const std::wstring& text) const;
    int Width(const std::wstring& text) const;
    int LineHeight() const { return m_lineHeight; }
    // The room the text has within the bound.
    SIZE TextBound() const;
    SIZE Bound() const { return m_bound; }
    // The size of the box a real message box makes of `text`, where the layout came from one.
    std::optional<SIZE> DrawnBox(const std::wstring& text) const;

private:
    SIZE Extent(const std::wstring& line) const;

    CMessageBoxLayout m_layout;
    SIZE m_bound;
    CUniqueDC m_dc;
    CUniqueFont m_font;
    HGDIOBJ m_unselected = nullptr; // the DC's own font, selected back before m_font goes
    int m_lineHeight = 1;
};
