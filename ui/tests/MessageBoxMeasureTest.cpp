// A message box laid out and read without being shown, and texts measured as it draws them.
#include "ui/MessageBoxMeasure.h"

#include "tests/support/DialogAnswerer.h"
#include "ui/Msg.h"
#include "ui/tests/TestWindows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

// Counts, from another thread, the times a dialog of this process is seen visible.
class CVisibleDialogWatch {
public:
    CVisibleDialogWatch()
        : m_thread([this] {
              while (!m_stop)
                  for (HWND hWnd = nullptr; (hWnd = ::FindWindowExW(nullptr, hWnd, L"#32770", nullptr)) != nullptr;) {
                      DWORD process = 0;
                      ::GetWindowThreadProcessId(hWnd, &process);
                      if (process == ::GetCurrentProcessId() && ::IsWindowVisible(hWnd)) ++m_seen;
                  }
          })
    {}
    ~CVisibleDialogWatch() { Stop(); }
    int Stop()
    {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
        return m_seen;
    }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_seen{0};
    std::thread m_thread;
};

std::wstring Words(int count)
{
    std::wstring text;
    for (int i = 0; i < count; ++i) text += L"word ";
    return text;
}

SIZE SizeOf(const RECT& rect) { return SIZE{rect.right - rect.left, rect.bottom - rect.top}; }

} // namespace

// The probe never shows its box: a watcher sees no visible dialog, an answerer waiting meanwhile
// finds nothing to answer and then answers the real box that follows, and the active window stays.
TEST(MessageBoxMeasure, TheProbedBoxIsNeverShownNorAnswered)
{
    CVisibleDialogWatch watch;
    CDialogAnswerer early(IDOK, 1500);
    for (int i = 0; i < 5; ++i) {
        CMessageBoxProbe probe;
        ASSERT_TRUE(ProbeMessageBox(nullptr, MB_ICONERROR, Words(100 * i + 1), probe)) << i;
        EXPECT_GT(probe.box.bottom, probe.box.top);
        EXPECT_GT(probe.ok.bottom, probe.ok.top);
    }
    EXPECT_FALSE(early.Wait()) << "an answerer found the probed box";
    EXPECT_EQ(watch.Stop(), 0) << "the probed box was visible";
    const HWND active = ::GetActiveWindow();
    CMessageBoxLayout::Of(nullptr, MB_ICONERROR);
    EXPECT_EQ(active, ::GetActiveWindow());
    CDialogAnswerer answer(IDOK);
    CMessageBoxMsg().Show(L"after the probes", MB_ICONERROR);
    ASSERT_TRUE(answer.Wait());
    EXPECT_EQ(answer.m_text, L"after the probes");
}

// What the probe reads is what the shown box is: the same rectangle, font and text height; and the
// text measured at the layout's width is as high as the box's text.
TEST(MessageBoxMeasure, TheProbeReadsTheBoxAsItIsShown)
{
    const CMessageBoxLayout layout = CMessageBoxLayout::Of(nullptr, MB_ICONERROR);
    ASSERT_TRUE(layout.probed);
    EXPECT_GT(layout.wrapWidth, 100);
    EXPECT_GT(layout.chrome.cy, 0);
    const CMessageMeasure measure(layout, SIZE{1280, 800});
    for (const std::wstring& text :
         {Words(300), std::wstring(L"a\n\nb"), std::wstring(L"C:\\") + std::wstring(90, L'x')}) {
        CMessageBoxProbe probe;
        ASSERT_TRUE(ProbeMessageBox(nullptr, MB_ICONERROR, text, probe));
        CDialogAnswerer answer(IDOK);
        CMessageBoxMsg().Show(text, MB_ICONERROR);
        ASSERT_TRUE(answer.Wait());
        EXPECT_EQ(SizeOf(probe.box).cy, SizeOf(answer.m_box).cy) << text;
        EXPECT_EQ(SizeOf(probe.text).cy, SizeOf(answer.m_textBox).cy) << text;
        EXPECT_EQ(measure.Height(text), SizeOf(probe.text).cy) << text;
        EXPECT_EQ(measure.DrawnBox(text)->cy, SizeOf(probe.box).cy);
    }
    EXPECT_EQ(measure.TextBound().cy, 800 - layout.chrome.cy);
}

// Without a box the layout comes from the system's message font, with a wrap width and a frame.
TEST(MessageBoxMeasure, WithoutABoxTheMessageFontIsUsed)
{
    const CMessageBoxLayout layout = CMessageBoxLayout::FromMetrics();
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
    EXPECT_STREQ(layout.font.lfFaceName, metrics.lfMessageFont.lfFaceName);
    EXPECT_EQ(layout.font.lfHeight, metrics.lfMessageFont.lfHeight);
    EXPECT_FALSE(layout.probed);
    EXPECT_GT(layout.wrapWidth, 0);
    EXPECT_GT(layout.workArea.bottom, layout.workArea.top);
    const CMessageMeasure measure(layout, SIZE{1024, 768});
    EXPECT_FALSE(measure.DrawnBox(L"text").has_value());
    EXPECT_GT(measure.Height(Words(300)), 3 * measure.LineHeight());
}

// The probe leaves the window it is owned by as it found it: the dialog manager disables the owner
// of a modal box (the top-level window of a child owner), and the probed box is never answered to
// enable it again. An owner already disabled stays so.
TEST(MessageBoxMeasure, TheProbeLeavesItsOwnerAsItFoundIt)
{
    const CTestHost host;
    const HWND child = host.Child(L"STATIC");
    for (const HWND owner : {host.Handle(), child})
        for (const bool enabled : {true, false}) {
            SCOPED_TRACE(std::string(owner == child ? "a child of " : "") + (enabled ? "enabled" : "disabled"));
            ::EnableWindow(host.Handle(), enabled);
            EXPECT_TRUE(CMessageBoxLayout::Of(owner, MB_ICONERROR).probed);
            EXPECT_EQ(enabled, ::IsWindowEnabled(host.Handle()) != FALSE);
            EXPECT_TRUE(::IsWindowEnabled(child));
        }
}

// A measure leaves no GDI object behind: its font is selected out of its device context before
// either is deleted, since Windows refuses to delete a font that is still selected.
TEST(MessageBoxMeasure, AMeasureLeavesNoGdiObjectBehind)
{
    const auto objects = [] { return ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS); };
    // Wine frees a font deleted while selected once its device context goes, and counts nothing.
    if (objects() == 0) GTEST_SKIP() << "this system counts no GDI objects (GetGuiResources gives 0)";
    const DWORD before = objects();
    for (int i = 0; i < 50; ++i)
        EXPECT_GT(CMessageMeasure(CMessageBoxLayout::FromMetrics(), {800, 600}).Height(L"x"), 0);
    EXPECT_EQ(objects(), before);
}
