#include "app/CommandExplorer.h"
#include "app/CommandOpenUrl.h"
#include "app/CommandTable.h"
#include "foundation/ResString.h"
#include "ids/forms.h"
#include "ids/shellops.h"
#include "resource.h"
#include "tests/support/TempFolder.h"
#include "ui/Msg.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <vector>

namespace {

class CRecordingMsg : public CMsg {
public:
    void ShowError(const CSimpleErr& err) override
    {
        m_errors.push_back(err.m_id);
        CMsg::ShowError(err);
    }
    int Show(const std::wstring& text, UINT type) override
    {
        m_texts.push_back(text);
        m_types.push_back(type);
        return m_answer;
    }
    std::vector<UINT> m_errors;
    std::vector<std::wstring> m_texts;
    std::vector<UINT> m_types;
    int m_answer = IDCANCEL;
};

} // namespace

TEST(GenericCommands, TableMakesOneOfEach)
{
    CCommandTable table;
    auto* url = dynamic_cast<CCommandOpenUrl*>(table.Get(CCommandTable::OpenUrl).get());
    auto* explorer = dynamic_cast<CCommandExplorer*>(table.Get(CCommandTable::Explorer).get());
    ASSERT_TRUE(url);
    ASSERT_TRUE(explorer);
    EXPECT_EQ(url->m_id, 0u);
    EXPECT_TRUE(explorer->m_openFolder);
    EXPECT_TRUE(explorer->m_path.empty());
    EXPECT_TRUE(explorer->m_idList.IsNull());
    EXPECT_EQ(explorer->m_msg, static_cast<CMsg*>(&g_msg));
}

TEST(GenericCommands, EmptyExplorerCommandIsUnavailableAndSaysSo)
{
    CRecordingMsg sink;
    CCommandExplorer command;
    command.m_msg = &sink;
    EXPECT_FALSE(command.CanExecute());
    EXPECT_TRUE(sink.m_texts.empty()) << "asking the availability shows nothing";
    command.Execute(true, false);
    ASSERT_EQ(sink.m_errors, std::vector<UINT>{IDS_IDLIST_EMPTY});
    EXPECT_EQ(sink.m_texts[0], LoadResString(IDS_IDLIST_EMPTY));
}

TEST(GenericCommands, MissingPathCancelledOpensNothing)
{
    CTempFolder temp;
    CRecordingMsg sink;
    CCommandExplorer command;
    command.m_msg = &sink;
    command.m_path = temp.Path(L"gone\\photo.jpg");
    EXPECT_TRUE(command.CanExecute()) << "a path is enough to be available";
    command.Execute(true, false);
    ASSERT_EQ(sink.m_texts.size(), 1u);
    EXPECT_EQ(sink.m_texts[0], LoadResString(IDS_CONFIRM_OPEN_NEAREST_FOLDER));
    EXPECT_EQ(sink.m_types[0], static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
    EXPECT_TRUE(sink.m_errors.empty());
}

TEST(GenericCommands, ItemIdListWithoutPathFails)
{
    CRecordingMsg sink;
    CCommandExplorer command;
    command.m_msg = &sink;
    // The Control Panel has no file-system path.
    LPITEMIDLIST pidl = nullptr;
    ASSERT_EQ(::SHGetSpecialFolderLocation(nullptr, CSIDL_CONTROLS, &pidl), S_OK);
    command.m_idList.Attach(pidl);
    command.Execute(true, false);
    EXPECT_EQ(sink.m_errors, std::vector<UINT>{IDS_IDLIST_GET_PATH_FAILED});
}

TEST(GenericCommands, OpenUrlFailuresAreShownOnce)
{
    CRecordingMsg sink;
    CCommandOpenUrl command;
    command.m_msg = &sink;
    EXPECT_TRUE(command.CanExecute()) << "always available";

    // A text that names nothing the shell can open.
    command.m_id = IDS_SRC_FOLDER_EMPTY;
    command.Execute(true, false);
    ASSERT_EQ(sink.m_errors, std::vector<UINT>{IDS_SHELL_EXECUTE_FAILED});

    // An id with no text at all.
    command.m_id = 4321;
    command.Execute(true, false);
    ASSERT_EQ(sink.m_errors.size(), 2u);
    EXPECT_NE(sink.m_errors[1], static_cast<UINT>(IDS_SHELL_EXECUTE_FAILED));
}
