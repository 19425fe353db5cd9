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

TEST(GenericCommands, FailuresAreShownOnceAndAMissingPathAsksFirst)
{
    CRecordingMsg sink;
    CCommandExplorer explorer;
    explorer.m_msg = &sink;
    EXPECT_FALSE(explorer.CanExecute()) << "nothing to show";
    EXPECT_TRUE(sink.m_texts.empty()) << "asking the availability shows nothing";
    explorer.Execute(true, false);
    // The Control Panel has no file-system path.
    LPITEMIDLIST pidl = nullptr;
    ASSERT_EQ(::SHGetSpecialFolderLocation(nullptr, CSIDL_CONTROLS, &pidl), S_OK);
    explorer.m_idList.Attach(pidl);
    explorer.Execute(true, false);
    // A text that names nothing the shell can open.
    CCommandOpenUrl url;
    url.m_msg = &sink;
    EXPECT_TRUE(url.CanExecute());
    url.m_id = IDS_SRC_FOLDER_EMPTY;
    url.Execute(true, false);
    EXPECT_EQ(sink.m_errors,
              (std::vector<UINT>{IDS_IDLIST_EMPTY, IDS_IDLIST_GET_PATH_FAILED, IDS_SHELL_EXECUTE_FAILED}));
    EXPECT_EQ(sink.m_texts.size(), 3u);

    // A path comes first; a missing one asks before the nearest folder opens (Cancel here).
    CTempFolder temp;
    explorer.m_path = temp.Path(L"gone\\photo.jpg");
    EXPECT_TRUE(explorer.CanExecute());
    sink = CRecordingMsg(IDCANCEL);
    explorer.Execute(true, false);
    EXPECT_EQ(sink.m_texts, std::vector<std::wstring>{LoadResString(IDS_CONFIRM_OPEN_NEAREST_FOLDER)});
    EXPECT_EQ(sink.m_types[0], static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
    EXPECT_TRUE(sink.m_errors.empty());
}
