#include "app/Command.h"

#include "AppTestSupport.h"
#include "ids/foundation.h"
#include "tests/support/UiLanguage.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

class CTestCommand : public CCommand {
public:
    void ExecuteImpl(bool) override { m_work(); }
    std::function<void()> m_work;
};

} // namespace

TEST(Command, FailureIsShownOnceWithTheControlItNamesFocused)
{
    HWND host = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    HWND a = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, host, nullptr, nullptr, nullptr);
    HWND b = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 30, 50, 20, host, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(host);
    ::SetFocus(a);
    CRecordingMsg sink;
    CTestCommand command;
    command.m_msg = &sink;
    command.m_work = [b] { throw my::CCtrlException(b, IDS_NO_SELECTION); };
    command.Execute(true, false);
    ASSERT_EQ(sink.m_texts.size(), 1u);
    EXPECT_EQ(sink.m_focusAtShow[0], b);

    command.m_work = [] { throw std::runtime_error("broken"); };
    command.Execute(true, false);
    ASSERT_EQ(sink.m_texts.size(), 2u);
    EXPECT_EQ(sink.m_texts[1],
              std::wstring(ByLanguage(L"std exception is occurred: ", L"標準エラーが発生しました: ")) + L"broken");
    ::DestroyWindow(host);
}
