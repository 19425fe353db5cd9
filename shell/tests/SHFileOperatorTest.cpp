#include "shell/SHFileOperator.h"

#include "foundation/ResString.h"
#include "ids/shellops.h"
#include "shell/ShellLink.h"
#include "shell/tests/ShellTestSupport.h"
#include "tests/support/DialogAnswerer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <vector>

namespace {

// Relative path -> contents of every file below `root` ("<dir>" for folders).
using Tree = std::map<std::wstring, std::string>;

Tree Snapshot(const std::wstring& root)
{
    Tree out;
    std::error_code error; // a missing root is an empty tree
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error)) {
        const std::wstring name = entry.path().lexically_relative(root).wstring();
        out[name] = entry.is_directory() ? "<dir>" : CTempFolder::ReadBytes(entry.path().wstring());
    }
    return out;
}

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
        ::CreateDirectoryW(m_destination.c_str(), nullptr);
        for (size_t i = 0; i < m_names.size(); ++i) {
            // Files of distinct sizes and contents, one empty, one in a sub-folder.
            const std::wstring folder = L"card\\" + m_names[i] + L"\\";
            m_temp.WriteFile(folder + L"IMG_0001.JPG", std::string(70000 + i, static_cast<char>(0x80 + i)));
            m_temp.WriteFile(folder + L"empty.txt", "");
            m_temp.WriteFile(folder + L"sub\\写真.raw", std::string(5000, static_cast<char>('a' + i)));
        }
        m_op.m_sink.m_msg = &m_sink;
    }

    void Set(UINT func, FILEOP_FLAGS flags, const std::wstring& to)
    {
        m_op.m_wFunc = func;
        m_op.m_fFlags = flags;
        m_op.m_from.clear();
        for (const std::wstring& name : m_names) m_op.m_from.push_back(m_source + L"\\" + name);
        m_op.m_to = to;
    }

    CTempFolder m_temp;
    const std::wstring m_source = m_temp / L"card", m_destination = m_temp / L"pictures";
    // Blanks and non-ASCII names: the double-NUL list must carry each entry whole.
    const std::vector<std::wstring> m_names = {L"100CANON", L"101 写真", L"102_FUJI"};
    CRecordingMsg m_sink;
    CSHFileOperator m_op;
};

} // namespace

TEST_F(ShellFileOperation, CopiesAndMovesSeveralFoldersByteForByte)
{
    const auto before = Snapshot(m_source);
    Set(FO_COPY, FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT, m_destination);
    const CFileOperationResult copied = m_op.Execute();
    EXPECT_EQ(copied.GetOutcome(), CFileOperationResult::Completed);
    EXPECT_EQ(Snapshot(m_destination), before);
    EXPECT_EQ(Snapshot(m_source), before);

    const std::wstring moved = m_temp / L"moved"; // on the same drive: moves are renames
    ::CreateDirectoryW(moved.c_str(), nullptr);
    Set(FO_MOVE, FOF_ALLOWUNDO, moved);
    EXPECT_TRUE(m_op.Execute().Succeeded());
    EXPECT_EQ(Snapshot(moved), before);
    EXPECT_TRUE(Snapshot(m_source).empty());
    EXPECT_TRUE(m_sink.m_texts.empty());
}

// The caller must be able to tell a finished copy from one the user stopped.
TEST_F(ShellFileOperation, ACopyConflictCancelledIsReportedAsCancelled)
{
    const std::wstring taken = m_temp.WriteFile(L"pictures\\" + m_names[0] + L"\\IMG_0001.JPG", "old");
    Set(FO_COPY, FOF_ALLOWUNDO, m_destination);
    CDialogAnswerer answer(IDCANCEL);
    const CFileOperationResult result = m_op.Execute();
    ASSERT_TRUE(answer.Wait());
    EXPECT_EQ(result.GetOutcome(), CFileOperationResult::Cancelled);
    EXPECT_TRUE(result.m_aborted);
    EXPECT_EQ(CTempFolder::ReadBytes(taken), "old");
    EXPECT_FALSE(Snapshot(m_destination).count(m_names[2])); // the rest was not copied
    EXPECT_TRUE(m_sink.m_texts.empty());
}

TEST_F(ShellFileOperation, AFailureIsThrownWithoutErrorUiAndReturnedWithIt)
{
    Set(FO_COPY, FOF_NOERRORUI | FOF_NOCONFIRMATION | FOF_SILENT, m_destination);
    m_op.m_from = {m_source + L"\\missing"};
    EXPECT_EQ(CaughtOf([&] { m_op.Execute(); }).m_id, static_cast<UINT>(IDS_FILE_OPERATION_FAILED));
    EXPECT_EQ(m_op.m_last.GetOutcome(), CFileOperationResult::Failed); // kept for the caller

    // With its error UI the shell may show its own box; it is closed if it comes.
    m_op.m_fFlags = FOF_NOCONFIRMATION | FOF_SILENT;
    CDialogAnswerer answer(IDOK, 3000);
    const CFileOperationResult result = m_op.Execute();
    answer.Wait();
    EXPECT_NE(result.m_result, 0);
    EXPECT_EQ(result.GetOutcome(), CFileOperationResult::Failed);
    EXPECT_TRUE(m_sink.m_texts.empty());
    EXPECT_TRUE(Snapshot(m_destination).empty());
}

TEST_F(ShellFileOperation, ATakenShortcutNameFailsThatItemOnlyAndCollisionsAreNumbered)
{
    const std::wstring taken = m_temp.WriteFile(L"pictures\\" + m_names[1] + L".lnk", "taken");
    Set(FO_MAKE_SHORTCUTS, 0, m_destination);
    m_op.m_from.pop_back();
    const std::wstring plain = m_op.m_from.front(), second = m_op.m_from.back();
    EXPECT_EQ(m_op.Execute().GetOutcome(), CFileOperationResult::Failed);
    std::wstring target;
    GetShortcutTarget(target, m_destination + L"\\" + m_names[0] + L".lnk");
    EXPECT_EQ(target, plain);
    EXPECT_EQ(CTempFolder::ReadBytes(taken), "taken");
    std::wstring expected;
    FormatResString(expected, IDS_SHORTCUT_COPY_FAILED, second.c_str());
    ASSERT_EQ(m_sink.m_texts.size(), 1u);
    EXPECT_NE(m_sink.m_texts[0].find(expected), std::wstring::npos);

    // Renamed on collision: a number is added, or the one the name ends with counted up; a
    // full-width digit is no number to count.
    const std::wstring photo = m_temp.WriteFile(L"card\\photo.jpg", "jpeg");
    const std::wstring album = m_source + L"\\Album (3).lnk", wide = m_source + L"\\Mix (３).lnk";
    CreateShortcut(album, plain);
    CreateShortcut(wide, plain);
    m_op.m_fFlags = FOF_RENAMEONCOLLISION;
    m_op.m_from = {photo, album, wide, plain};
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(m_op.Execute().Succeeded());
    std::set<std::wstring> names;
    for (const auto& entry : Snapshot(m_destination)) names.insert(entry.first);
    const std::set<std::wstring> all = {
        L"photo.jpg.lnk",     L"photo.jpg (1).lnk",     L"Album (3).lnk",           L"Album (4).lnk",
        L"Mix (３).lnk",       L"Mix (３) (1).lnk",      m_names[0] + L".lnk",     m_names[0] + L" (1).lnk",
        m_names[0] + L" (2).lnk", m_names[1] + L".lnk"};
    EXPECT_EQ(names, all);
    GetShortcutTarget(target, m_destination + L"\\Album (4).lnk");
    EXPECT_EQ(target, album);
}
