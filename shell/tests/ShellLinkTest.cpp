#include "shell/ShellLink.h"

#include "foundation/ResString.h"
#include "ids/foundation.h"
#include "foundation/Exception.h"
#include "ids/shellops.h"
#include "shell/CheckedIntCast.h"
#include "shell/tests/ShellTestSupport.h"

#include <gtest/gtest.h>

namespace {

class ShellLinks : public testing::Test {
protected:
    void SetUp() override
    {
        m_target = m_temp / L"Fernhollow.exe";
        WriteFileBytes(m_target, "MZ");
        m_link = m_temp / L"Fernhollow.lnk";
    }
    void TearDown() override { EXPECT_TRUE(m_temp.Remove()); }

    template <class F> UINT FailureOf(F&& f)
    {
        try {
            f();
        } catch (const my::CException& e) {
            return e.m_id;
        }
        return 0;
    }

    CTempFolder m_temp;
    std::wstring m_target, m_link;
};

} // namespace

TEST_F(ShellLinks, WrittenShortcutReadsBack)
{
    CreateShellLink(m_link, m_target, L"/start");
    ASSERT_TRUE(IsFile(m_link));

    CShellLink link;
    link.Load(m_link.c_str());
    std::wstring path;
    link.GetPathOrThrow(path);
    EXPECT_EQ(path, m_target);
    wchar_t arguments[MAX_PATH] = L"";
    ASSERT_EQ(link.Get()->GetArguments(arguments, MAX_PATH), S_OK);
    EXPECT_STREQ(arguments, L"/start");
    // No working folder was set, and none is made up.
    wchar_t folder[MAX_PATH] = L"?";
    ASSERT_EQ(link.Get()->GetWorkingDirectory(folder, MAX_PATH), S_OK);
    EXPECT_STREQ(folder, L"");

    std::wstring target;
    GetShortcutTarget(target, m_link);
    EXPECT_EQ(target, m_target);
}

TEST_F(ShellLinks, ShortcutWithoutArgumentsAndByIdList)
{
    CreateShortcut(m_link, m_target);
    CShellLink link;
    link.Load(m_link.c_str());
    wchar_t arguments[MAX_PATH] = L"?";
    link.Get()->GetArguments(arguments, MAX_PATH);
    EXPECT_STREQ(arguments, L"");

    CItemIDList list;
    link.GetIDListOrThrow(list);
    std::wstring path;
    list.GetPathOrThrow(path);
    EXPECT_EQ(path, m_target);

    // An ID list set on a new link names the same file.
    const std::wstring other = m_temp / L"other.txt";
    WriteFileBytes(other, "x");
    CItemIDList otherList(::ILCreateFromPathW(other.c_str()));
    CShellLink second;
    second.Create();
    second.SetIDListOrThrow(otherList.Get());
    second.GetPathOrThrow(path);
    EXPECT_EQ(path, other);
}

TEST_F(ShellLinks, MissingTargetIsAcceptedAsTheShellDecides)
{
    CShellLink link;
    link.Create();
    // Windows answers S_OK, Wine S_FALSE: both are success.
    EXPECT_TRUE(SUCCEEDED(link.SetPath(m_temp / L"missing.exe")));
}

TEST_F(ShellLinks, FailuresCarryTheirMessages)
{
    CShellLink empty;
    std::wstring path;
    const HRESULT noObject = HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE);
    EXPECT_EQ(empty.GetPath(path), noObject);
    EXPECT_EQ(empty.SetPath(m_target), noObject);
    EXPECT_EQ(empty.SetArguments(L"/start"), noObject);
    CItemIDList list;
    EXPECT_EQ(empty.GetIDList(list), noObject);
    EXPECT_EQ(FailureOf([&] { empty.GetPathOrThrow(path); }), static_cast<UINT>(IDS_SHORTCUT_GET_PATH_FAILED));
    EXPECT_EQ(FailureOf([&] { empty.SetPathOrThrow(m_target); }), static_cast<UINT>(IDS_SHORTCUT_SET_PATH_FAILED));
    EXPECT_EQ(FailureOf([&] { empty.SetArgumentsOrThrow(L""); }), static_cast<UINT>(IDS_SHORTCUT_SET_ARGUMENTS_FAILED));
    EXPECT_EQ(FailureOf([&] { empty.GetIDListOrThrow(list); }), static_cast<UINT>(IDS_SHORTCUT_GET_IDLIST_FAILED));
    EXPECT_EQ(FailureOf([&] { empty.SetIDListOrThrow(nullptr); }), static_cast<UINT>(IDS_SHORTCUT_SET_IDLIST_FAILED));
    EXPECT_EQ(FailureOf([&] { empty.Save(m_link); }), static_cast<UINT>(IDS_COM_OBJECT_NOT_CREATED));
    EXPECT_FALSE(IsFile(m_link));

    CShellLink missing;
    EXPECT_EQ(FailureOf([&] { missing.Load((m_temp / L"none.lnk").c_str()); }),
              static_cast<UINT>(IDS_READ_FILE_FAILED));

    // A folder that does not exist cannot take the file.
    const std::wstring nowhere = m_temp / L"no\\such\\folder.lnk";
    EXPECT_EQ(FailureOf([&] { CreateShellLink(nowhere, m_target, L"/start"); }),
              static_cast<UINT>(IDS_WRITE_FILE_FAILED));
}

TEST(CheckedIntCast, PassesWhatFitsAnInt)
{
    EXPECT_EQ(CheckedIntCast(0), 0);
    EXPECT_EQ(CheckedIntCast(0x7FFFFFFF), 0x7FFFFFFF);
    try {
        CheckedIntCast(0x80000000u);
        ADD_FAILURE() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_CAST_ERROR));
        EXPECT_NE(e.m_message.find(L"2147483648"), std::wstring::npos) << e.m_message;
    }
}
