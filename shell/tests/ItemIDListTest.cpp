#include "shell/ItemIDList.h"

#include "foundation/Exception.h"
#include "ids/shellops.h"
#include "shell/tests/ShellTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iomanip>
#include <random>
#include <sstream>
#include <vector>

namespace {

// A list built by hand from records of the given payloads.
CItemIDList MakeList(const std::vector<std::string>& payloads)
{
    std::string bytes;
    for (const std::string& payload : payloads) {
        const USHORT cb = static_cast<USHORT>(payload.size() + 2);
        bytes.append(reinterpret_cast<const char*>(&cb), 2);
        bytes += payload;
    }
    CItemIDList list;
    list.Alloc(static_cast<UINT>(bytes.size() + 2));
    std::memcpy(list.Get(), bytes.data(), bytes.size());
    return list;
}

std::string BytesOf(const CItemIDListHandle& list)
{
    if (list.IsNull()) return "<null>";
    return std::string(reinterpret_cast<const char*>(list.Get()), list.GetSize());
}

class ShellItems : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder = m_temp / L"DCIM";
        m_file = m_folder + L"\\IMG_0001.JPG";
        ::CreateDirectoryW(m_folder.c_str(), nullptr);
        WriteFileBytes(m_file, "jpeg");
    }
    void TearDown() override { EXPECT_TRUE(m_temp.Remove()); }

    CTempFolder m_temp;
    std::wstring m_folder, m_file;
};

} // namespace

TEST(ItemIDListArithmetic, SizesAndCounts)
{
    CItemIDList null;
    EXPECT_EQ(null.GetSize(), 0u);
    EXPECT_EQ(null.GetItemCount(), 0u);
    EXPECT_EQ(null.GetLastItem(), nullptr);

    CItemIDList empty = MakeList({});
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.GetSize(), 2u);
    EXPECT_EQ(empty.GetItemCount(), 0u);
    EXPECT_EQ(empty.GetParentSize(), 0u);

    CItemIDList three = MakeList({"a", "bcd", "ef"});
    EXPECT_EQ(three.GetSize(), 3u + 5u + 4u + 2u);
    EXPECT_EQ(three.GetItemCount(), 3u);
    EXPECT_EQ(three.GetFirstItemSize(), 3u);
    EXPECT_EQ(three.GetParentSize(), 8u);
    EXPECT_EQ(reinterpret_cast<BYTE*>(three.GetLastItem()) - reinterpret_cast<BYTE*>(three.Get()), 8);
    EXPECT_EQ(CItemIDListHandle::GetNextItem(three.Get())->mkid.cb, 5u);

    std::wostringstream hex;
    hex << std::setfill(L'*');
    three.DumpHex(hex);
    hex << std::setw(3) << 10; // fill and base are restored
    EXPECT_EQ(hex.str(), L"61/626364/6566*10");
}

TEST(ItemIDListArithmetic, CombineCloneAndSplit)
{
    CItemIDList a = MakeList({"a", "bcd"}), b = MakeList({"ef"}), empty = MakeList({}), null;
    CItemIDList ab = CItemIDList::Combine(a, b);
    EXPECT_EQ(BytesOf(ab), BytesOf(MakeList({"a", "bcd", "ef"})));
    EXPECT_EQ(ab.GetSize(), a.GetSize() + b.GetSize() - 2);
    EXPECT_EQ(BytesOf(CItemIDList::Combine(empty, b)), BytesOf(b));
    EXPECT_EQ(BytesOf(CItemIDList::Combine(a, null)), BytesOf(a));
    EXPECT_TRUE(CItemIDList::Combine(null, null).IsNull());

    EXPECT_EQ(BytesOf(ab.CloneFirst()), BytesOf(MakeList({"a"})));
    EXPECT_EQ(BytesOf(ab.CloneParent()), BytesOf(a));
    EXPECT_TRUE(b.CloneParent().IsNull());

    EXPECT_TRUE(a.IsAncestorOf(ab));
    EXPECT_TRUE(ab.IsAncestorOf(ab));
    EXPECT_TRUE(empty.IsAncestorOf(ab));
    EXPECT_FALSE(ab.IsAncestorOf(a));
    EXPECT_FALSE(null.IsAncestorOf(ab));
    EXPECT_EQ(BytesOf(ab.GetChildPart(a)), BytesOf(b));
    EXPECT_EQ(BytesOf(ab.GetChildPart(ab)), BytesOf(empty));

    CItemIDList last = ab.RemoveLast();
    EXPECT_EQ(BytesOf(last), BytesOf(b));
    EXPECT_EQ(BytesOf(ab), BytesOf(a));
    CItemIDList cut = empty.RemoveLast();
    EXPECT_TRUE(empty.IsNull());
    EXPECT_EQ(cut.GetSize(), 2u);

    CItemIDList copy;
    copy.Assign(a);
    EXPECT_NE(copy.Get(), a.Get());
    EXPECT_EQ(BytesOf(copy), BytesOf(a));
    copy.Assign(null);
    EXPECT_TRUE(copy.IsNull());

    std::vector<CItemIDList> lists{MakeList({"a"}), CItemIDList(), MakeList({"bc", "d"})};
    EXPECT_EQ(TotalIdListSize(lists.begin(), lists.end()), 5u + 9u);
}

// Random lists taken apart and put together again keep their bytes and sizes.
TEST(ItemIDListArithmetic, RandomSplitAndCombineRoundTrip)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 500; ++round) {
        std::vector<std::string> payloads(random() % 6);
        for (std::string& payload : payloads) {
            payload.resize(1 + random() % 40);
            for (char& c : payload) c = static_cast<char>(random());
        }
        CItemIDList list = MakeList(payloads);
        ASSERT_EQ(list.GetItemCount(), payloads.size());
        size_t sum = 2;
        for (const std::string& payload : payloads) sum += payload.size() + 2;
        ASSERT_EQ(list.GetSize(), sum);

        const size_t keep = payloads.empty() ? 0 : random() % (payloads.size() + 1);
        CItemIDList head = MakeList(std::vector<std::string>(payloads.begin(), payloads.begin() + keep));
        ASSERT_TRUE(head.IsAncestorOf(list));
        CItemIDList tail = list.GetChildPart(head);
        ASSERT_EQ(BytesOf(CItemIDList::Combine(head, tail)), BytesOf(list));
        ASSERT_EQ(tail.GetItemCount(), payloads.size() - keep);

        if (!payloads.empty()) {
            CItemIDList parent = list.CloneParent();
            CItemIDList rest(list);
            CItemIDList last = rest.RemoveLast();
            ASSERT_EQ(BytesOf(rest), payloads.size() == 1 ? BytesOf(MakeList({})) : BytesOf(parent));
            ASSERT_EQ(BytesOf(CItemIDList::Combine(rest, last)), BytesOf(list));
            ASSERT_EQ(last.GetItemCount(), 1u);
        }
    }
}

TEST_F(ShellItems, PathRoundTripsThroughTheShell)
{
    CItemIDList file(::ILCreateFromPathW(m_file.c_str()));
    ASSERT_FALSE(file.IsNull());
    std::wstring path;
    EXPECT_EQ(file.GetPath(path), S_OK);
    EXPECT_EQ(path, m_file);

    CItemIDList folder = file.CloneParent();
    folder.GetPathOrThrow(path);
    EXPECT_EQ(path, m_folder);
    EXPECT_TRUE(folder.IsAncestorOf(file));
    EXPECT_FALSE(file.IsAncestorOf(folder));

    // The folder as the shell parses it on its own is the same ancestor.
    CItemIDList parsed(::ILCreateFromPathW(m_folder.c_str()));
    EXPECT_TRUE(parsed.IsAncestorOf(file));
    CItemIDList child = file.GetChildPart(parsed);
    EXPECT_EQ(child.GetItemCount(), 1u);
    CItemIDList again = CItemIDList::Combine(parsed, child);
    again.GetPathOrThrow(path);
    EXPECT_EQ(path, m_file);
    EXPECT_TRUE(::ILIsEqual(again.Get(), file.Get()));
}

TEST_F(ShellItems, NamesAndIconsComeFromTheShell)
{
    CItemIDList file(::ILCreateFromPathW(m_file.c_str()));
    std::wstring name;
    EXPECT_EQ(file.GetDisplayNameInParent(SHGDN_FORPARSING | SHGDN_INFOLDER, name), S_OK);
    EXPECT_EQ(name, L"IMG_0001.JPG");

    SHFILEINFOW info = {};
    ::SHGetFileInfoW(m_file.c_str(), 0, &info, sizeof(info), SHGFI_DISPLAYNAME);
    EXPECT_EQ(file.GetFileInfoDisplayName(), info.szDisplayName);

    HICON icon = file.GetIcon(SHGFI_SMALLICON);
    EXPECT_NE(icon, nullptr);
    if (icon) ::DestroyIcon(icon);
    EXPECT_GE(file.GetSysIconIndex(SHGFI_SMALLICON), 0);

    // The diagnostic text walks down from the desktop and ends with the item's own name.
    std::wostringstream text;
    text << file;
    const std::wstring dumped = text.str();
    EXPECT_EQ(std::count(dumped.begin(), dumped.end(), L'/') + 1, static_cast<long>(file.GetItemCount()))
        << Utf8(dumped);
    std::wstring inFolder;
    file.GetDisplayNameInParent(SHGDN_INFOLDER, inFolder);
    EXPECT_TRUE(dumped.ends_with(L"/" + inFolder)) << Utf8(dumped);

    std::wostringstream nothing;
    nothing << CItemIDListHandle();
    EXPECT_EQ(nothing.str(), L"NULL");
}

TEST(ItemIDListShell, NoFileSystemPathIsAFailure)
{
    LPITEMIDLIST raw = nullptr;
    ASSERT_EQ(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &raw), S_OK);
    CItemIDList computer(raw);
    std::wstring path = L"stale";
    EXPECT_EQ(computer.GetPath(path), E_FAIL);
    EXPECT_TRUE(path.empty());
    try {
        computer.GetPathOrThrow(path);
        ADD_FAILURE() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_IDLIST_GET_PATH_FAILED));
    }
    EXPECT_EQ(CItemIDList().GetPath(path), E_FAIL);
}
