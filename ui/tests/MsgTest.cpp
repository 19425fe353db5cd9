#include "ui/Msg.h"

#include "ids/foundation.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/UiLanguage.h"
#include "ui/tests/TestWindows.h"

#include <gtest/gtest.h>

namespace {

// Records what would have been shown, and where the focus was at that moment.
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

} // namespace

TEST(MsgGuard, FocusesTheControlNamedByTheErrorWhenAsked)
{
    CTestHost host;
    const HWND first = host.Child(L"Edit"), second = host.Child(L"Edit");
    for (bool focus : {false, true}) {
        ::SetFocus(first);
        CRecordingMsg sink;
        EXPECT_FALSE(CMsg::RunGuarded(sink, [second] { throw my::CCtrlException(second, IDS_NO_SELECTION); }, focus));
        ASSERT_EQ(sink.m_texts.size(), 1u);
        EXPECT_EQ(sink.m_texts[0], ByLanguage(L"No selection", L"選択されていません"));
        EXPECT_EQ(sink.m_focusAtShow, focus ? second : first);
    }
}

TEST(MessageBoxMsg, ErrorsAndQueriesGetTheirCaptions)
{
    CMessageBoxMsg sink;
    {
        CDialogAnswerer answer(IDOK);
        CSimpleErr err(IDS_BAD_DATA);
        sink.ShowError(err);
        ASSERT_TRUE(answer.Wait());
        EXPECT_EQ(answer.m_caption, ByLanguage(L"Error", L"エラー"));
        EXPECT_EQ(answer.m_text, err.m_message);
    }
    CDialogAnswerer answer(IDCANCEL);
    EXPECT_FALSE(sink.ConfirmNewerConfig());
    ASSERT_TRUE(answer.Wait());
    EXPECT_EQ(answer.m_caption, ByLanguage(L"Query", L"確認"));
}
