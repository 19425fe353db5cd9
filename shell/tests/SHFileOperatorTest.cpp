#include "shell/SHFileOperator.h"

#include "foundation/NumberText.h"
#include "foundation/ResString.h"
#include "ids/foundation.h"
#include "ids/shellops.h"
#include "shell/ShellLink.h"
#include "shell/tests/ShellTestSupport.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/UiLanguage.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

// Records what the operator would have shown instead of showing it.
class CRecordingMsg : public CMsg {
public:
    int Show(const std::wstring& text, UINT) override
    {
        m_texts.push_back(text);
        return IDOK;
    }
    std::vector<std::wstring> m_texts;
};

class ShellFileOperation : public testing::Test {
protected:
    void SetUp() override
    {
        m_source = m_temp / L"card";
        m_destination = m_temp / L"pictures";
        ::CreateDirectoryW(m_source.c_str(), nullptr);
        ::CreateDirectoryW(m_destination.c_str(), nullptr);
        for (int i = 0; i < 3; ++i) {
            const std::wstring name = L"10" + std::to_wstring(i) + L"CANON";
            MakeSampleTree(m_source + L"\\" + name, i);
            m_names.push_back(name);
        }
        m_op.m_sink.m_msg = &m_sink;
    }
    void TearDown() override { EXPECT_TRUE(m_temp.Remove()); }

    std::list<std::wstring> Sources() const
    {
        std::list<std::wstring> from;
        for (const std::wstring& name : m_names) from.push_back(m_source + L"\\" + name);
        return from;
    }

    CTempFolder m_temp;
    std::wstring m_source, m_destination;
    std::vector<std::wstring> m_names;
    CRecordingMsg m_sink;
    CSHFileOperator m_op;
};

} // namespace

TEST_F(ShellFileOperation, CopiesSeveralFoldersByteForByte)
{
    const auto before = Snapshot(m_source);
    m_op.m_wFunc = FO_COPY;
    m_op.m_fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT;
    m_op.m_from = Sources();
    m_op.m_to = m_destination;
    const CFileOperationResult result = m_op.Execute();

    EXPECT_EQ(result.GetOutcome(), CFileOperationResult::Completed);
    EXPECT_EQ(result.m_result, 0);
    EXPECT_FALSE(result.m_aborted);
    EXPECT_EQ(Snapshot(m_destination), before);
    EXPECT_EQ(Snapshot(m_source), before);
    EXPECT_TRUE(m_sink.m_texts.empty());
}

TEST_F(ShellFileOperation, MovesSeveralFoldersWithinOneDrive)
{
    const auto before = Snapshot(m_source);
    m_op.m_wFunc = FO_MOVE;
    m_op.m_fFlags = FOF_ALLOWUNDO;
    m_op.m_from = Sources();
    m_op.m_to = m_destination;
    const CFileOperationResult result = m_op.Execute();

    EXPECT_TRUE(result.Succeeded());
    EXPECT_EQ(Snapshot(m_destination), before);
    EXPECT_TRUE(Snapshot(m_source).empty());
}

TEST_F(ShellFileOperation, ReadsEveryEntryOfTheSourceList)
{
    // Sources with blanks and non-ASCII names: the double-NUL list must carry each whole.
    std::list<std::wstring> from;
    for (const wchar_t* name : {L"a b", L"写真 2", L"x"}) {
        const std::wstring path = m_source + L"\\" + name + L".txt";
        WriteFileBytes(path, "data");
        from.push_back(path);
    }
    m_op.m_wFunc = FO_COPY;
    m_op.m_fFlags = FOF_NOCONFIRMATION | FOF_SILENT;
    m_op.m_from = from;
    m_op.m_to = m_destination;
    EXPECT_TRUE(m_op.Execute().Succeeded());
    EXPECT_EQ(Snapshot(m_destination).size(), 3u);
    EXPECT_TRUE(IsFile(m_destination + L"\\写真 2.txt"));
}

TEST_F(ShellFileOperation, CopyConflictAsksAndYesOverwrites)
{
    const std::wstring target = m_destination + L"\\" + m_names[0];
    ::CreateDirectoryW(target.c_str(), nullptr);
    WriteFileBytes(target + L"\\IMG_0002.JPG", "old");
    const auto before = Snapshot(m_source + L"\\" + m_names[0]);

    m_op.m_wFunc = FO_COPY;
    m_op.m_from = {m_source + L"\\" + m_names[0]};
    m_op.m_to = m_destination;
    CDialogAnswerer answer(IDYES);
    const CFileOperationResult result = m_op.Execute();
    ASSERT_TRUE(answer.Wait());
    EXPECT_FALSE(answer.m_caption.empty());

    EXPECT_TRUE(result.Succeeded());
    EXPECT_EQ(Snapshot(target), before);
}

TEST_F(ShellFileOperation, CopyConflictAnsweredNoIsReportedAsCancelled)
{
    const std::wstring target = m_destination + L"\\" + m_names[0];
    ::CreateDirectoryW(target.c_str(), nullptr);
    WriteFileBytes(target + L"\\IMG_0001.JPG", "old");

    m_op.m_wFunc = FO_COPY;
    m_op.m_from = Sources();
    m_op.m_to = m_destination;
    CDialogAnswerer answer(IDNO);
    const CFileOperationResult result = m_op.Execute();
    ASSERT_TRUE(answer.Wait());

    // The user's "No" stops the operation: the caller must not take it for a finished one.
    EXPECT_EQ(result.GetOutcome(), CFileOperationResult::Cancelled);
    EXPECT_TRUE(result.m_aborted);
    EXPECT_EQ(ReadFileBytes(target + L"\\IMG_0001.JPG"), "old");
    EXPECT_TRUE(m_sink.m_texts.empty());
}

TEST_F(ShellFileOperation, CopyConflictCancelledStopsTheRest)
{
    const std::wstring target = m_destination + L"\\" + m_names[0];
    ::CreateDirectoryW(target.c_str(), nullptr);
    WriteFileBytes(target + L"\\IMG_0001.JPG", "old");

    m_op.m_wFunc = FO_COPY;
    m_op.m_fFlags = FOF_ALLOWUNDO;
    m_op.m_from = Sources();
    m_op.m_to = m_destination;
    CDialogAnswerer answer(IDCANCEL);
    const CFileOperationResult result = m_op.Execute();
    ASSERT_TRUE(answer.Wait());

    EXPECT_EQ(result.GetOutcome(), CFileOperationResult::Cancelled);
    EXPECT_FALSE(result.Succeeded());
    EXPECT_EQ(ReadFileBytes(target + L"\\IMG_0001.JPG"), "old");
    EXPECT_FALSE(IsFolder(m_destination + L"\\" + m_names[2]));
}

TEST_F(ShellFileOperation, MissingSourceWithoutErrorUiIsThrownWithTheResult)
{
    m_op.m_wFunc = FO_COPY;
    m_op.m_fFlags = FOF_NOERRORUI | FOF_NOCONFIRMATION | FOF_SILENT;
    m_op.m_from = {m_source + L"\\missing"};
    m_op.m_to = m_destination;
    try {
        m_op.Execute();
        ADD_FAILURE() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_FILE_OPERATION_FAILED));
        EXPECT_NE(m_op.m_last.m_result, 0);
        EXPECT_EQ(m_op.m_last.GetOutcome(), CFileOperationResult::Failed);
        std::wstring expected;
        FormatResString(expected, IDS_FILE_OPERATION_FAILED,
                        ToHexWString(static_cast<unsigned>(m_op.m_last.m_result)).c_str());
        EXPECT_EQ(e.m_message, expected);
    }
    EXPECT_TRUE(m_sink.m_texts.empty());
    EXPECT_TRUE(Snapshot(m_destination).empty());
}

TEST_F(ShellFileOperation, MissingSourceWithErrorUiReturnsTheFailure)
{
    m_op.m_wFunc = FO_COPY;
    m_op.m_fFlags = FOF_NOCONFIRMATION | FOF_SILENT;
    m_op.m_from = {m_source + L"\\missing"};
    m_op.m_to = m_destination;
    // The shell may show its own error box; it is closed if it comes.
    CDialogAnswerer answer(IDOK, 3000);
    const CFileOperationResult result = m_op.Execute();
    answer.Wait();

    EXPECT_TRUE(result.m_ran);
    EXPECT_NE(result.m_result, 0);
    EXPECT_NE(result.GetOutcome(), CFileOperationResult::Completed);
    EXPECT_FALSE(result.Succeeded());
    EXPECT_TRUE(m_sink.m_texts.empty());
}

TEST_F(ShellFileOperation, NoOperationOnlyGivesTheFocusBack)
{
    HWND owner = ::CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                   nullptr, nullptr);
    HWND other = ::CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                   nullptr, nullptr);
    ::SetForegroundWindow(other);
    ::SetFocus(other);
    CSHFileOperator op(owner);
    op.m_from = Sources();
    op.m_to = m_destination;
    const CFileOperationResult result = op.Execute();
    EXPECT_EQ(result.GetOutcome(), CFileOperationResult::None);
    EXPECT_EQ(::GetFocus(), owner);
    EXPECT_TRUE(Snapshot(m_destination).empty());
    ::DestroyWindow(other);
    ::DestroyWindow(owner);
}

TEST_F(ShellFileOperation, EmptySourceListLeavesItToTheShell)
{
    m_op.m_wFunc = FO_COPY;
    m_op.m_fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    m_op.m_to = m_destination;
    try {
        m_op.Execute();
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_FILE_OPERATION_FAILED));
    }
    EXPECT_TRUE(m_op.m_last.m_ran);
    EXPECT_TRUE(Snapshot(m_destination).empty());
}

// Shortcuts: naming, numbering on collision, and the failure list.
class MakeShortcuts : public ShellFileOperation {
protected:
    void SetUp() override
    {
        ShellFileOperation::SetUp();
        m_op.m_wFunc = FO_MAKE_SHORTCUTS;
        m_op.m_to = m_destination;
    }
    std::wstring Target(const std::wstring& link)
    {
        std::wstring target;
        GetShortcutTarget(target, m_destination + L"\\" + link);
        return target;
    }
};

TEST_F(MakeShortcuts, NamesAndNumbersShortcutsOnCollision)
{
    const std::wstring photo = m_source + L"\\photo.jpg";
    const std::wstring album = m_source + L"\\Album (3).lnk";
    const std::wstring plain = m_source + L"\\" + m_names[0];
    WriteFileBytes(photo, "jpeg");
    CreateShortcut(album, plain);
    m_op.m_fFlags = FOF_RENAMEONCOLLISION;
    m_op.m_from = {photo, album, plain};

    EXPECT_TRUE(m_op.Execute().Succeeded());
    EXPECT_TRUE(m_op.Execute().Succeeded());
    EXPECT_TRUE(m_op.Execute().Succeeded());

    std::set<std::wstring> names;
    for (const auto& entry : Snapshot(m_destination)) names.insert(entry.first);
    const std::set<std::wstring> expected = {
        L"photo.jpg.lnk", L"photo.jpg (1).lnk", L"photo.jpg (2).lnk",
        L"Album (3).lnk", L"Album (4).lnk",     L"Album (5).lnk",
        m_names[0] + L".lnk", m_names[0] + L" (1).lnk", m_names[0] + L" (2).lnk"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(Target(L"photo.jpg (2).lnk"), photo);
    EXPECT_EQ(Target(L"Album (4).lnk"), album);
    EXPECT_EQ(Target(m_names[0] + L".lnk"), plain);
    EXPECT_TRUE(m_sink.m_texts.empty());
}

TEST_F(MakeShortcuts, TakenNameWithoutRenameFailsThatItemOnly)
{
    const std::wstring first = m_source + L"\\" + m_names[0];
    const std::wstring second = m_source + L"\\" + m_names[1];
    WriteFileBytes(m_destination + L"\\" + m_names[1] + L".lnk", "taken");
    m_op.m_from = {first, second};

    const CFileOperationResult result = m_op.Execute();
    EXPECT_EQ(result.GetOutcome(), CFileOperationResult::Failed);
    EXPECT_EQ(result.m_error.m_id, static_cast<UINT>(IDS_SHORTCUT_COPY_FAILED));
    EXPECT_EQ(Target(m_names[0] + L".lnk"), first);
    EXPECT_EQ(ReadFileBytes(m_destination + L"\\" + m_names[1] + L".lnk"), "taken");
    std::wstring expected;
    FormatResString(expected, IDS_SHORTCUT_COPY_FAILED, second.c_str());
    ASSERT_EQ(m_sink.m_texts.size(), 1u);
    EXPECT_NE(m_sink.m_texts[0].find(expected), std::wstring::npos) << m_sink.m_texts[0];
}

TEST_F(MakeShortcuts, ListsTenFailedItemsThenAnEllipsis)
{
    std::wstring listed;
    for (int i = 0; i < 12; ++i) {
        const std::wstring item = m_source + L"\\no-name-" + std::to_wstring(i) + L"\\";
        m_op.m_from.push_back(item);
        if (i < 10) listed += (i ? L"\n" : L"") + item;
    }
    m_op.m_fFlags = FOF_NOERRORUI;
    try {
        m_op.Execute();
        ADD_FAILURE() << "no exception";
    } catch (const my::CException& e) {
        std::wstring expected;
        FormatResString(expected, IDS_SHORTCUT_COPY_FAILED, (listed + L"\n...").c_str());
        EXPECT_EQ(e.m_message, expected);
    }
    EXPECT_TRUE(Snapshot(m_destination).empty());
}

TEST_F(MakeShortcuts, EmptyArgumentsAreAnInternalError)
{
    m_op.m_fFlags = FOF_NOERRORUI;
    try {
        m_op.Execute();
        ADD_FAILURE() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_INTERNAL_ERROR));
    }
    m_op.m_fFlags = 0;
    m_op.m_from = {m_source + L"\\" + m_names[0]};
    m_op.m_to.clear();
    EXPECT_EQ(m_op.Execute().GetOutcome(), CFileOperationResult::Failed);
    ASSERT_EQ(m_sink.m_texts.size(), 1u);
    EXPECT_NE(m_sink.m_texts[0].find(L"CSHFileOperator::ExecuteLinkImpl"), std::wstring::npos);
}
