#include "app/Command.h"

#include "ids/foundation.h"
#include "tests/support/UiLanguage.h"
#include "ui/Msg.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

class CRecordingMsg : public CMsg {
public:
    int Show(const std::wstring& text, UINT) override
    {
        m_texts.push_back(text);
        m_focusAtShow = ::GetFocus();
        return IDOK;
    }
    std::vector<std::wstring> m_texts;
    HWND m_focusAtShow = nullptr;
};

class CTestCommand : public CCommand {
public:
    void ExecuteImpl(bool doIt) override
    {
        m_calls.push_back(doIt);
        if (m_work) m_work();
    }
    std::function<void()> m_work;
    std::vector<bool> m_calls;
};

} // namespace

TEST(Command, FailureIsShownOnceThroughItsSink)
{
    CRecordingMsg sink;
    CTestCommand command;
    command.m_msg = &sink;
    command.m_work = [] { throw std::runtime_error("broken"); };
    command.Execute(true, false);
    ASSERT_EQ(sink.m_texts.size(), 1u);
    EXPECT_EQ(sink.m_texts[0],
              std::wstring(ByLanguage(L"std exception is occurred: ", L"標準エラーが発生しました: ")) + L"broken");
    EXPECT_EQ(command.m_calls, std::vector<bool>{true});
}

TEST(Command, ControlNamedByTheErrorHasTheFocusWhenTheMessageAppears)
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
    EXPECT_EQ(sink.m_focusAtShow, b);
    ::DestroyWindow(host);
}

TEST(Command, RethrowPassesTheRecordOn)
{
    CRecordingMsg sink;
    CTestCommand command;
    command.m_msg = &sink;
    command.m_work = [] { throw my::CException(IDS_BAD_DATA); };
    try {
        command.Execute(true, true);
        FAIL() << "not rethrown";
    } catch (const my::CCtrlException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_BAD_DATA));
    }
    EXPECT_EQ(sink.m_texts.size(), 1u);
}

TEST(Command, QuietAndTestRunsShowNothing)
{
    CRecordingMsg sink;
    CTestCommand command;
    command.m_msg = &sink;
    command.m_work = [] { throw 1; };
    command.ExecuteQuiet();
    EXPECT_FALSE(command.CanExecute());
    EXPECT_TRUE(sink.m_texts.empty());
    EXPECT_EQ(command.m_calls, (std::vector<bool>{true, false}));

    command.m_work = nullptr;
    EXPECT_TRUE(command.CanExecute());
    command.Execute(true, false);
    EXPECT_TRUE(sink.m_texts.empty());
}
