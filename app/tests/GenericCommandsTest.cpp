#include "app/CommandExplorer.h"
#include "app/CommandOpenUrl.h"

#include "AppTestSupport.h"
#include "foundation/ResString.h"
#include "ids/forms.h"
#include "ids/shellops.h"
#include "resource.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <vector>

TEST(GenericCommands, ExplorerFailuresAreShownOnceAndAMissingPathAsksFirst)
{
    CRecordingMsg sink;
    CCommandExplorer command;
    command.m_msg = &sink;
    EXPECT_FALSE(command.CanExecute()) << "nothing to show";
    EXPECT_TRUE(sink.m_texts.empty()) << "asking the availability shows nothing";
    command.Execute(true, false);
    EXPECT_EQ(sink.m_errors, std::vector<UINT>{IDS_IDLIST_EMPTY});

    // The Control Panel has no file-system path.
    LPITEMIDLIST pidl = nullptr;
    ASSERT_EQ(::SHGetSpecialFolderLocation(nullptr, CSIDL_CONTROLS, &pidl), S_OK);
    command.m_idList.Attach(pidl);
    command.Execute(true, false);
    EXPECT_EQ(sink.m_errors, (std::vector<UINT>{IDS_IDLIST_EMPTY, IDS_IDLIST_GET_PATH_FAILED}));

    // A path comes first; a missing one asks before the nearest folder opens (Cancel here).
    CTempFolder temp;
    command.m_path = temp.Path(L"gone\\photo.jpg");
    EXPECT_TRUE(command.CanExecute());
    sink = CRecordingMsg(IDCANCEL);
    command.Execute(true, false);
    EXPECT_EQ(sink.m_texts, std::vector<std::wstring>{LoadResString(IDS_CONFIRM_OPEN_NEAREST_FOLDER)});
    EXPECT_EQ(sink.m_types[0], static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
    EXPECT_TRUE(sink.m_errors.empty());
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
