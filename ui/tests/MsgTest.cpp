#include "ui/Msg.h"

#include "foundation/ResString.h"
#include "ids/foundation.h"
#include "ids/ui.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UiLanguage.h"
#include "ui/tests/TestWindows.h"

#include <gtest/gtest.h>

#include <functional>
#include <list>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Answers every prompt with `m_answer` and keeps what would have been shown.
class CRecordingMsg : public CMsg {
public:
    int Show(const std::wstring& text, UINT type) override
    {
        m_texts.push_back(text);
        m_types.push_back(type);
        return m_answer;
    }
    int m_answer = IDOK;
    std::vector<std::wstring> m_texts;
    std::vector<UINT> m_types;
};

std::vector<std::wstring> Names(size_t count)
{
    std::vector<std::wstring> names;
    for (size_t i = 1; i <= count; ++i) names.push_back(L"IMG_" + std::to_wstring(i) + L".JPG");
    return names;
}

std::wstring Lines(const std::vector<std::wstring>& names)
{
    std::wstring text;
    for (const std::wstring& name : names) text += (text.empty() ? L"" : L"\r\n") + name;
    return text;
}

} // namespace

// The error icon alone picks the caption "Error"; every other type is a question.
TEST(MessagePrompts, TheIconDecidesTheCaption)
{
    const std::wstring error = ByLanguage(L"Error", L"エラー"), query = ByLanguage(L"Query", L"確認");
    const std::pair<UINT, std::wstring> cases[] = {
        {MB_ICONERROR, error},
        {MB_ICONERROR | MB_OKCANCEL, error},
        {MB_ICONWARNING, query},
        {MB_ICONQUESTION, query},
        {MB_ICONINFORMATION, query},
        {MB_OK, query},
        {MB_ICONWARNING | MB_YESNO, query},
    };
    CMessageBoxMsg sink;
    for (const auto& [type, caption] : cases) {
        CDialogAnswerer answer((type & MB_YESNO) ? IDYES : IDOK);
        sink.Show(L"prompt " + std::to_wstring(type), type);
        ASSERT_TRUE(answer.Wait()) << type;
        EXPECT_EQ(answer.m_caption, caption) << type;
        EXPECT_EQ(answer.m_text, L"prompt " + std::to_wstring(type));
    }
    CDialogAnswerer answer(IDOK);
    CSimpleErr err;
    err.Set(IDS_TERMINATED_BY_USER);
    sink.ShowError(err);
    ASSERT_TRUE(answer.Wait());
    EXPECT_EQ(answer.m_caption, error);
    EXPECT_EQ(answer.m_text, err.m_message);
}

TEST(MessagePrompts, OverwriteListShowsTenNamesThenDots)
{
    for (size_t count : {0u, 1u, 10u, 11u, 25u}) {
        const std::vector<std::wstring> names = Names(count);
        std::vector<std::wstring> shown(names.begin(), names.begin() + std::min<size_t>(count, 10));
        std::wstring list = Lines(shown);
        if (count > 10) list += L"\r\n...";
        std::wstring expected;
        FormatResString(expected, IDS_CONFIRM_OVERWRITE_FILES, std::to_wstring(count).c_str(), list.c_str());

        CRecordingMsg sink;
        EXPECT_TRUE(sink.ConfirmOverwriteFiles(names));
        EXPECT_TRUE(sink.ConfirmOverwriteFiles(std::list<std::wstring>(names.begin(), names.end())));
        ASSERT_EQ(sink.m_texts.size(), 2u);
        EXPECT_EQ(sink.m_texts[0], expected) << count;
        EXPECT_EQ(sink.m_texts[1], expected) << count;
        EXPECT_EQ(sink.m_types[0], static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
    }
}

// Each question agrees only on its own button.
TEST(MessagePrompts, QueriesAgreeOnlyOnTheirButton)
{
    CTempFolder temp;
    const std::wstring existing = temp.WriteFile(L"there.txt", "x");
    CSimpleErr err;
    err.Set(IDS_TERMINATED_BY_USER);
    const struct {
        const char* what;
        std::function<bool(CMsg&)> ask;
        UINT type;
        int yes;
    } cases[] = {
        {"discard", [](CMsg& m) { return m.ConfirmDiscard(); }, MB_OKCANCEL | MB_ICONEXCLAMATION, IDOK},
        {"create folder", [](CMsg& m) { return m.ConfirmCreateFolder(L"C:\\x"); }, MB_OKCANCEL | MB_ICONEXCLAMATION,
         IDOK},
        {"overwrite existing", [&](CMsg& m) { return m.ConfirmOverwriteIfExists(existing); },
         MB_OKCANCEL | MB_ICONEXCLAMATION, IDOK},
        {"continue after error", [&](CMsg& m) { return m.ConfirmContinueAfterError(err); },
         MB_OKCANCEL | MB_ICONEXCLAMATION, IDOK},
        {"config error", [&](CMsg& m) { return m.ConfirmContinueAfterConfigError(L"C:\\a.config", err); },
         MB_OKCANCEL | MB_ICONEXCLAMATION, IDOK},
        {"newer config", [](CMsg& m) { return m.ConfirmNewerConfig(); }, MB_OKCANCEL | MB_ICONEXCLAMATION, IDOK},
        {"terminate printing", [](CMsg& m) { return m.ConfirmTerminatePrinting(); }, MB_YESNO | MB_ICONEXCLAMATION,
         IDYES},
    };
    for (const auto& c : cases) {
        for (int button : {IDOK, IDCANCEL, IDYES, IDNO}) {
            CRecordingMsg sink;
            sink.m_answer = button;
            EXPECT_EQ(c.ask(sink), button == c.yes) << c.what << " " << button;
            ASSERT_EQ(sink.m_types.size(), 1u) << c.what;
            EXPECT_EQ(sink.m_types[0], c.type) << c.what;
        }
    }
    CRecordingMsg sink;
    EXPECT_TRUE(sink.ConfirmOverwriteIfExists(temp / L"missing.txt"));
    EXPECT_TRUE(sink.m_texts.empty()) << "nothing to overwrite, nothing asked";
    CRecordingMsg config;
    config.ConfirmContinueAfterConfigError(L"C:\\a.config", err);
    ASSERT_EQ(config.m_texts.size(), 1u);
    EXPECT_NE(config.m_texts[0].find(L"C:\\a.config"), std::wstring::npos);
    EXPECT_NE(config.m_texts[0].find(err.m_message), std::wstring::npos);
}

// Whatever the operation throws is shown once and turns the result false; a control named by the
// error gets the focus first.
TEST(MessagePrompts, GuardShowsWhatWasThrown)
{
    CTestHost host;
    HWND edit = ::CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, host.Handle(), nullptr, nullptr,
                                  nullptr);
    const struct {
        const char* what;
        std::function<void()> operation;
        UINT id;
        std::wstring text; // part of the message
    } cases[] = {
        {"int", [] { throw 42; }, IDS_UNKNOWN_EXCEPTION, L""},
        {"plain std::exception", [] { throw std::exception(); }, IDS_STD_EXCEPTION, L"Unknown exception"},
        {"runtime_error", [] { throw std::runtime_error("disk on fire"); }, IDS_STD_EXCEPTION, L"disk on fire"},
        {"library exception", [] { throw my::CException(IDS_TERMINATED_BY_USER); }, IDS_TERMINATED_BY_USER, L""},
        {"control exception", [edit] { throw my::CCtrlException(edit, IDS_TERMINATED_BY_USER); },
         IDS_TERMINATED_BY_USER, L""},
    };
    for (const auto& c : cases) {
        ::SetFocus(host.Handle());
        CRecordingMsg sink;
        EXPECT_FALSE(CMsg::RunGuarded(sink, c.operation, true)) << c.what;
        ASSERT_EQ(sink.m_texts.size(), 1u) << c.what;
        EXPECT_EQ(sink.m_types[0], static_cast<UINT>(MB_ICONERROR)) << c.what;
        std::wstring expected;
        LoadResString(expected, c.id);
        if (c.text.empty())
            EXPECT_EQ(sink.m_texts[0], expected) << c.what;
        else
            EXPECT_NE(sink.m_texts[0].find(c.text), std::wstring::npos) << c.what;
        EXPECT_EQ(::GetFocus() == edit, std::string(c.what) == "control exception") << c.what;
    }
    CRecordingMsg sink;
    EXPECT_TRUE(CMsg::RunGuarded(
        sink, [] {}, true));
    EXPECT_TRUE(sink.m_texts.empty());
}
