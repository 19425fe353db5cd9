#include "ui/MessageBoxMeasure.h"

#include "ui/MonitorDpi.h"
#include "ui/MonitorInfo.h"

#include <algorithm>

namespace {

// Message boxes give their text control this id, on Windows and under Wine alike.
constexpr int kMessageTextId = 0xFFFF;
// Wine's box, measured at 96 dots per inch: text wraps at about 290 pixels, and the box is 80
// pixels wider and 73 higher than its text. Used only where no real box could be made.
constexpr int kWineWrapWidth = 290;
constexpr SIZE kWineChrome{80, 73};

struct CProbeState {
    CMessageBoxProbe* probe;
    HWND box = nullptr;
    bool read = false;
    HHOOK cbt = nullptr;
    HHOOK ret = nullptr;
};
thread_local CProbeState* t_probe = nullptr;

bool IsDialogWindow(HWND hWnd)
{
    wchar_t name[8] = L"";
    return ::GetClassNameW(hWnd, name, 8) && wcscmp(name, L"#32770") == 0;
}

LRESULT CALLBACK ProbeCbt(int code, WPARAM wParam, LPARAM lParam)
{
    CProbeState* state = t_probe;
    if (state && code == HCBT_CREATEWND && !state->box && IsDialogWindow(reinterpret_cast<HWND>(wParam)))
        state->box = reinterpret_cast<HWND>(wParam);
    // Both systems activate the box while it is still hidden: refused, the owner stays active and
    // the box that follows gets the same owner.
    if (state && code == HCBT_ACTIVATE && reinterpret_cast<HWND>(wParam) == state->box) return 1;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The box has laid out its text once its WM_INITDIALOG returns; it is read and destroyed then,
// before the dialog manager shows it (Wine shows it even after an EndDialog there).
LRESULT CALLBACK ProbeReturn(int code, WPARAM wParam, LPARAM lParam)
{
    CProbeState* state = t_probe;
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (state && code == HC_ACTION && message->message == WM_INITDIALOG && message->hwnd == state->box) {
        CMessageBoxProbe& probe = *state->probe;
        const HWND text = ::GetDlgItem(state->box, kMessageTextId);
        const HFONT font = text ? reinterpret_cast<HFONT>(::SendMessageW(text, WM_GETFONT, 0, 0)) : nullptr;
        const HMONITOR on = ::MonitorFromWindow(state->box, MONITOR_DEFAULTTONEAREST);
        MONITORINFOEXW monitor{};
        state->read = text && ::GetWindowRect(state->box, &probe.box) && ::GetWindowRect(text, &probe.text) &&
                      ::GetObjectW(font ? font : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), &probe.font) &&
                      GetMonitorInfoFromHandle(on, monitor);
        probe.workArea = monitor.rcWork;
        probe.dpi = GetMonitorDpi(on);
        if (!::GetWindowRect(::GetDlgItem(state->box, IDOK), &probe.ok)) probe.ok = RECT{};
        ::DestroyWindow(state->box);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Each line of `text` ("\n" ends one; an empty line counts), as the box draws them.
template <class Each> void ForEachLine(const std::wstring& text, Each each)
{
    for (size_t start = 0;;) {
        const size_t end = text.find(L'\n', start);
        each(text.substr(start, end == std::wstring::npos ? end : end - start));
        if (end == std::wstring::npos) return;
        start = end + 1;
    }
}

SIZE SizeOf(const RECT& rect) { return SIZE{rect.right - rect.left, rect.bottom - rect.top}; }

// The dialog manager disables the owner of a modal box (of a child owner, its top-level window) and
// enables it again only when the box ends; a probed box is destroyed before it can end.
class COwnerState {
public:
    explicit COwnerState(HWND owner) : m_windows{owner, owner ? ::GetAncestor(owner, GA_ROOT) : nullptr}
    {
        for (size_t i = 0; i < 2; ++i) m_enabled[i] = m_windows[i] && ::IsWindowEnabled(m_windows[i]);
    }
    void Restore() const
    {
        for (size_t i = 0; i < 2; ++i)
            if (m_windows[i] && ::IsWindow(m_windows[i])) ::EnableWindow(m_windows[i], m_enabled[i]);
    }

private:
    HWND m_windows[2];
    bool m_enabled[2]{};
};

} // namespace

bool ProbeMessageBox(HWND owner, UINT type, const std::wstring& text, CMessageBoxProbe& probe)
{
    if (t_probe) return false;
    CProbeState state{&probe};
    const DWORD thread = ::GetCurrentThreadId();
    state.cbt = ::SetWindowsHookExW(WH_CBT, ProbeCbt, nullptr, thread);
    state.ret = ::SetWindowsHookExW(WH_CALLWNDPROCRET, ProbeReturn, nullptr, thread);
    if (state.cbt && state.ret) {
        const COwnerState found(owner);
        t_probe = &state;
        // The box is destroyed in its initialisation, so the call returns at once with a failure.
        ::MessageBoxW(owner, text.c_str(), L"", type);
        t_probe = nullptr;
        found.Restore();
    }
    if (state.cbt) ::UnhookWindowsHookEx(state.cbt);
    if (state.ret) ::UnhookWindowsHookEx(state.ret);
    // The box did not come to its initialisation (no desktop): nothing is known.
    if (state.box && ::IsWindow(state.box)) ::DestroyWindow(state.box);
    return state.read;
}

CMessageBoxLayout CMessageBoxLayout::Of(HWND owner, UINT type)
{
    // Many one-letter words: the box wraps them close to the widest its text gets.
    std::wstring text;
    for (int i = 0; i < 400; ++i) text += L"x ";
    CMessageBoxProbe probe;
    if (!ProbeMessageBox(owner, type, text, probe)) return FromMetrics();
    CMessageBoxLayout layout;
    layout.font = probe.font;
    const SIZE box = SizeOf(probe.box), textSize = SizeOf(probe.text);
    layout.wrapWidth = textSize.cx;
    layout.chrome = SIZE{box.cx - textSize.cx, box.cy - textSize.cy};
    layout.workArea = probe.workArea;
    layout.dpi = probe.dpi;
    layout.owner = owner;
    layout.type = type;
    layout.probed = true;
    return layout;
}

CMessageBoxLayout CMessageBoxLayout::FromMetrics()
{
    CMessageBoxLayout layout;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        layout.font = metrics.lfMessageFont;
    else
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), &layout.font);
    // The message font of the non-client metrics is the system's scale, as is the screen's.
    const int dpi = static_cast<int>(GetScreenDpi());
    layout.dpi = static_cast<UINT>(dpi);
    layout.wrapWidth = ::MulDiv(kWineWrapWidth, dpi, 96);
    layout.chrome = SIZE{::MulDiv(kWineChrome.cx, dpi, 96), ::MulDiv(kWineChrome.cy, dpi, 96)};
    MONITORINFOEXW monitor{};
    if (GetPrimaryMonitorInfo(monitor)) layout.workArea = monitor.rcWork;
    return layout;
}

CMessageMeasure::CMessageMeasure(const CMessageBoxLayout& layout, SIZE bound)
    : m_layout(layout), m_bound(bound), m_dc(::CreateCompatibleDC(nullptr)), m_font(::CreateFontIndirectW(&layout.font))
{
    // A box may wrap wider than the room the bound leaves (a large screen, a high scale): a line of
    // words is measured as wrapped within that room, so that only what cannot break is too wide.
    if (const int room = TextBound().cx; room > 0) m_layout.wrapWidth = std::min(m_layout.wrapWidth, room);
    if (m_dc && m_font) m_unselected = ::SelectObject(m_dc.Get(), m_font.Get());
    m_lineHeight = std::max(1, static_cast<int>(Extent(L"x").cy));
}

CMessageMeasure::~CMessageMeasure()
{
    // Windows refuses to delete a font still selected into a device context: it would leak.
    if (m_unselected) ::SelectObject(m_dc.Get(), m_unselected);
}

CMessageMeasure CMessageMeasure::Within(int width) const
{
    CMessageBoxLayout layout = m_layout;
    layout.wrapWidth = std::max(1, std::min(layout.wrapWidth, width));
    return CMessageMeasure(layout, m_bound);
}

SIZE CMessageMeasure::Extent(const std::wstring& line) const
{
    RECT rect{0, 0, m_layout.wrapWidth, 0};
    // The box's own breaking: at blanks, and inside a word too long for a line as the system
    // decides; what cannot break widens the rectangle.
    ::DrawTextW(m_dc.Get(), line.c_str(), static_cast<int>(line.size()), &rect,
                DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

int CMessageMeasure::Height(const std::wstring& text) const
{
    int height = 0;
    ForEachLine(text, [&](const std::wstring& line) {
        height += line.empty() ? m_lineHeight : std::max(m_lineHeight, static_cast<int>(Extent(line).cy));
    });
    return height;
}

int CMessageMeasure::Width(const std::wstring& text) const
{
    int width = 0;
    ForEachLine(text, [&](const std::wstring& line) {
        if (!line.empty()) width = std::max(width, static_cast<int>(Extent(line).cx));
    });
    return width;
}

SIZE CMessageMeasure::TextBound() const
{
    return SIZE{std::max(0L, m_bound.cx - m_layout.chrome.cx), std::max(0L, m_bound.cy - m_layout.chrome.cy)};
}

std::optional<SIZE> CMessageMeasure::DrawnBox(const std::wstring& text) const
{
    CMessageBoxProbe probe;
    if (!m_layout.probed || !ProbeMessageBox(m_layout.owner, m_layout.type, text, probe)) return std::nullopt;
    return SizeOf(probe.box);
}
