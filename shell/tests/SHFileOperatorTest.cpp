#include "shell/SHFileOperator.h"

#include "foundation/FileList.h"
#include "foundation/ResString.h"
#include "ids/shellops.h"
#include "shell/ShellLink.h"
#include "shell/tests/ShellTestSupport.h"
#include "tests/support/DialogAnswerer.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
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
    const std::set<std::wstring> all = {L"photo.jpg.lnk",     L"photo.jpg (1).lnk",     L"Album (3).lnk",
                                        L"Album (4).lnk",     L"Mix (３).lnk",          L"Mix (３) (1).lnk",
                                        m_names[0] + L".lnk", m_names[0] + L" (1).lnk", m_names[0] + L" (2).lnk",
                                        m_names[1] + L".lnk"};
    EXPECT_EQ(names, all);
    GetShortcutTarget(target, m_destination + L"\\Album (4).lnk");
    EXPECT_EQ(target, album);
}

namespace {

// What the clipboard holds before a paste: a drop effect (none: no block) and a file list.
struct ClipboardContent {
    LONGLONG effect; // -1: no "Preferred DropEffect" on the clipboard
    enum { Files, NoFiles, TextOnly, BrokenList, Nothing } list;
};

void PutOnClipboard(HWND window, const ClipboardContent& content, const std::list<std::wstring>& files)
{
    CClipboard clipboard(window);
    EmptyClipboardChecked(true);
    if (content.effect >= 0) SetClipboardDropEffect(static_cast<DWORD>(content.effect));
    if (content.list == ClipboardContent::Nothing) return;
    if (content.list == ClipboardContent::TextOnly) {
        SetClipboardUnicodeText(L"C:\\not\\a\\file list");
        return;
    }
    // A DROPFILES header, then the names (none at all for an empty list) and the final empty name.
    std::wstring names;
    if (content.list == ClipboardContent::Files) ListToMultiString(files, names);
    if (content.list != ClipboardContent::BrokenList) names.append(2, L'\0');
    CGlobalMemory memory;
    ASSERT_TRUE(memory.Alloc(sizeof(DROPFILES) + names.size() * sizeof(wchar_t), GHND));
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory.Get()));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    if (content.list == ClipboardContent::BrokenList) drop->pFiles = 0x7FFFFFF0; // names beyond the block
    std::memcpy(drop + 1, names.data(), names.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory.Get());
    SetClipboardDataOrThrow(CF_HDROP, memory);
}

} // namespace

// The drop effect and the file list on the clipboard decide the operation, its flags, or the
// message; a refused paste leaves the operator as it was.
TEST(ShellFileOperationPaste, DropEffectAndFileListDecideTheOperation)
{
    CTempFolder temp;
    CDeviceWindow window;
    const std::list<std::wstring> files = {temp.WriteFile(L"a.jpg", "a"), temp.WriteFile(L"b c.jpg", "b")};
    const UINT copy = FO_COPY, move = FO_MOVE, link = FO_MAKE_SHORTCUTS;
    const FILEOP_FLAGS undo = FOF_ALLOWUNDO, undoRename = FOF_ALLOWUNDO | FOF_RENAMEONCOLLISION;
    const struct {
        ClipboardContent content;
        bool asLink;
        UINT error; // 0: no error, the operation and flags below
        UINT func;
        FILEOP_FLAGS flags;
    } cases[] = {
        {{-1, ClipboardContent::Files}, false, 0, copy, undoRename},
        {{DROPEFFECT_COPY, ClipboardContent::Files}, false, 0, copy, undoRename},
        {{DROPEFFECT_COPY | DROPEFFECT_MOVE, ClipboardContent::Files}, false, 0, copy, undoRename},
        {{DROPEFFECT_MOVE, ClipboardContent::Files}, false, 0, move, undo},
        {{DROPEFFECT_LINK, ClipboardContent::Files}, false, 0, link, undoRename},
        {{DROPEFFECT_MOVE | DROPEFFECT_LINK, ClipboardContent::Files}, false, 0, link, undoRename},
        {{DROPEFFECT_COPY, ClipboardContent::Files}, true, 0, link, undoRename},
        {{DROPEFFECT_LINK, ClipboardContent::Files}, true, 0, link, undoRename},
        {{DROPEFFECT_MOVE, ClipboardContent::Files}, true, IDS_DROP_EFFECT_NO_LINK, 0, 0},
        {{DROPEFFECT_NONE, ClipboardContent::Files}, false, IDS_DROP_EFFECT_NO_ACTION, 0, 0},
        {{DROPEFFECT_SCROLL, ClipboardContent::Files}, false, IDS_DROP_EFFECT_NO_ACTION, 0, 0},
        {{DROPEFFECT_COPY, ClipboardContent::Nothing}, false, IDS_PASTE_NOTHING, 0, 0},
        {{-1, ClipboardContent::TextOnly}, false, IDS_PASTE_NOTHING, 0, 0},
        {{DROPEFFECT_COPY, ClipboardContent::NoFiles}, false, IDS_PASTE_NOTHING, 0, 0},
        {{DROPEFFECT_COPY, ClipboardContent::BrokenList}, false, IDS_CLIPBOARD_DATA_FAILED, 0, 0},
    };
    int row = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << row++);
        PutOnClipboard(window, c.content, files);
        CSHFileOperator op(window);
        op.m_wFunc = FO_DELETE;
        op.m_fFlags = FOF_SILENT;
        op.m_from = {L"before"};
        if (c.error) {
            EXPECT_EQ(CaughtOf([&] { op.SetFromClipboard(temp / L"to", c.asLink); }).m_id, c.error);
            EXPECT_EQ(op.m_wFunc, static_cast<UINT>(FO_DELETE));
            EXPECT_EQ(op.m_fFlags, static_cast<FILEOP_FLAGS>(FOF_SILENT));
            EXPECT_EQ(op.m_from, std::list<std::wstring>{L"before"});
        } else {
            op.SetFromClipboard(temp / L"to", c.asLink);
            EXPECT_EQ(op.m_wFunc, c.func);
            EXPECT_EQ(op.m_fFlags, c.flags);
            EXPECT_EQ(op.m_from, files);
            EXPECT_EQ(op.m_to, temp / L"to");
        }
        CClipboard reopened(window); // closed again, whatever happened
    }
    CClipboard clipboard(window);
    EmptyClipboardChecked(true);
}
