#include "ui/Msg.h"

#include "ids/foundation.h"
#include "foundation/ResString.h"
#include "ids/ui.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/UiLanguage.h"

#include <boost/regex.hpp>
#include <shlwapi.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Records what would have been shown, and where the focus was at that moment.
class CRecordingMsg : public CMsg {
public:
    int Show(const std::wstring& text, UINT type) override
    {
        m_texts.push_back(text);
        m_types.push_back(type);
        m_focusAtShow = ::GetFocus();
        return m_answer;
    }
    std::vector<std::wstring> m_texts;
    std::vector<UINT> m_types;
    HWND m_focusAtShow = nullptr;
    int m_answer = IDOK;
};

// A real top-level window with two edit controls.
class TwoEdits : public testing::Test {
protected:
    void SetUp() override
    {
        m_window = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                     nullptr, nullptr, nullptr);
        m_first = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, m_window, nullptr, nullptr,
                                    nullptr);
        m_second = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 40, 100, 20, m_window, nullptr,
                                     nullptr, nullptr);
        ::SetForegroundWindow(m_window);
        ::SetFocus(m_first);
    }
    void TearDown() override { ::DestroyWindow(m_window); }

    HWND m_window = nullptr, m_first = nullptr, m_second = nullptr;
};

} // namespace

TEST_F(TwoEdits, GuardFocusesTheNamedControlBeforeShowing)
{
    ASSERT_EQ(::GetFocus(), m_first);
    CRecordingMsg sink;
    HWND second = m_second;
    const bool ok = CMsg::RunGuarded(sink, [second] { throw my::CCtrlException(second, IDS_NO_SELECTION); }, true);
    EXPECT_FALSE(ok);
    ASSERT_EQ(sink.m_texts.size(), 1u);
    EXPECT_EQ(sink.m_focusAtShow, m_second);
    EXPECT_EQ(sink.m_texts[0], ByLanguage(L"No selection", L"選択されていません"));
    EXPECT_EQ(sink.m_types[0], static_cast<UINT>(MB_ICONERROR));
}

TEST_F(TwoEdits, GuardLeavesTheFocusWhenNotAsked)
{
    CRecordingMsg sink;
    HWND second = m_second;
    CMsg::RunGuarded(sink, [second] { throw my::CCtrlException(second, IDS_NO_SELECTION); }, false);
    EXPECT_EQ(sink.m_focusAtShow, m_first);
}

TEST(MsgGuard, ReportsEveryKindOfException)
{
    CRecordingMsg sink;
    EXPECT_TRUE(CMsg::RunGuarded(sink, [] {}, true));
    EXPECT_TRUE(sink.m_texts.empty());

    EXPECT_FALSE(CMsg::RunGuarded(sink, [] { throw 7; }, true));
    EXPECT_EQ(sink.m_texts.back(), ByLanguage(L"Unknown exception is occurred", L"不明な例外が発生しました"));

    EXPECT_FALSE(CMsg::RunGuarded(sink, [] { throw std::logic_error("bad"); }, true));
    EXPECT_EQ(sink.m_texts.back(),
              std::wstring(ByLanguage(L"std exception is occurred: ", L"標準エラーが発生しました: ")) + L"bad");

    EXPECT_FALSE(CMsg::RunGuarded(sink, [] { boost::wregex r(L"a{2,1}"); }, true));
    EXPECT_EQ(sink.m_texts.back(), LoadResString(IDS_REGEX_BADBRACE));
}

TEST(MsgQueries, OverwriteListShowsAtMostTenNames)
{
    CRecordingMsg sink;
    std::vector<std::wstring> names;
    for (int i = 1; i <= 10; ++i) names.push_back(L"file" + std::to_wstring(i));
    EXPECT_TRUE(sink.ConfirmOverwriteFiles(names));
    EXPECT_NE(sink.m_texts.back().find(L"file9\r\nfile10"), std::wstring::npos);
    EXPECT_EQ(sink.m_texts.back().find(L"..."), std::wstring::npos);
    EXPECT_EQ(sink.m_texts.back().find(L"10"), 0u);

    names.push_back(L"file11");
    sink.m_answer = IDCANCEL;
    EXPECT_FALSE(sink.ConfirmOverwriteFiles(std::list<std::wstring>(names.begin(), names.end())));
    const std::wstring& text = sink.m_texts.back();
    EXPECT_NE(text.find(L"file10\r\n..."), std::wstring::npos);
    EXPECT_EQ(text.find(L"file11"), std::wstring::npos);
    EXPECT_EQ(sink.m_types.back(), static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
}

TEST(MsgQueries, OverwriteIfExistsAsksOnlyForExistingPaths)
{
    CRecordingMsg sink;
    EXPECT_TRUE(sink.ConfirmOverwriteIfExists(L"C:\\no\\such\\file.txt"));
    EXPECT_TRUE(sink.m_texts.empty());
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    sink.m_answer = IDCANCEL;
    EXPECT_FALSE(sink.ConfirmOverwriteIfExists(self));
    EXPECT_EQ(sink.m_texts.size(), 1u);
}

TEST(MsgQueries, PrintingQueryIsYesNo)
{
    CRecordingMsg sink;
    sink.m_answer = IDYES;
    EXPECT_TRUE(sink.ConfirmTerminatePrinting());
    EXPECT_EQ(sink.m_types.back(), static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
    sink.m_answer = IDOK;
    EXPECT_FALSE(sink.ConfirmTerminatePrinting());
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
        EXPECT_EQ(answer.m_owner, nullptr);
    }
    {
        CDialogAnswerer answer(IDNO);
        EXPECT_EQ(sink.Show(L"question?", MB_YESNO | MB_ICONQUESTION), IDNO);
        ASSERT_TRUE(answer.Wait());
        EXPECT_EQ(answer.m_caption, ByLanguage(L"Query", L"確認"));
    }
    {
        CDialogAnswerer answer(IDCANCEL);
        EXPECT_FALSE(sink.ConfirmNewerConfig());
        ASSERT_TRUE(answer.Wait());
        EXPECT_EQ(answer.m_caption, ByLanguage(L"Query", L"確認"));
        EXPECT_EQ(answer.m_text.substr(0, 10), LoadResString(IDS_CONFIRM_NEWER_CONFIG).substr(0, 10));
    }
}

TEST(ResultNormalizer, KeepsOnlyTheFirstFourButtons)
{
    EXPECT_EQ(NormalizeMessageBoxResult(IDOK), IDOK);
    EXPECT_EQ(NormalizeMessageBoxResult(IDRETRY), IDRETRY);
    EXPECT_EQ(NormalizeMessageBoxResult(IDIGNORE), 0);
    EXPECT_EQ(NormalizeMessageBoxResult(0), 0);
}

TEST(MsgQueries, EnsureFolderAsksThenCreatesTheTree)
{
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring root = std::wstring(temp) + L"fh-ensure-" + std::to_wstring(::GetCurrentProcessId());
    const std::wstring tree = root + L"\\a\\b";

    CRecordingMsg sink;
    sink.m_answer = IDCANCEL;
    EXPECT_FALSE(sink.EnsureFolder(tree));
    EXPECT_FALSE(::PathFileExistsW(root.c_str()));

    sink.m_answer = IDOK;
    EXPECT_TRUE(sink.EnsureFolder(tree));
    EXPECT_TRUE(::PathIsDirectoryW(tree.c_str()));
    EXPECT_NE(sink.m_texts.back().find(tree), std::wstring::npos);

    // A file where a folder should be: reported through the sink, nothing created.
    const std::wstring file = root + L"\\file";
    ::CloseHandle(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    const size_t shown = sink.m_texts.size();
    EXPECT_FALSE(sink.EnsureFolder(file + L"\\sub"));
    EXPECT_EQ(sink.m_texts.size(), shown + 2); // the question, then the error
    EXPECT_FALSE(::PathFileExistsW((file + L"\\sub").c_str()));

    ::DeleteFileW(file.c_str());
    ::RemoveDirectoryW(tree.c_str());
    ::RemoveDirectoryW((root + L"\\a").c_str());
    ::RemoveDirectoryW(root.c_str());
    EXPECT_FALSE(::PathFileExistsW(root.c_str()));
}
