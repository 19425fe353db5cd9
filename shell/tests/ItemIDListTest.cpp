#include "shell/ItemIDList.h"
#include "shell/tests/ShellTestSupport.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

std::string BytesOf(const CItemIDListHandle& list)
{
    if (list.IsNull()) return "<null>";
    return std::string(reinterpret_cast<const char*>(list.Get()), list.GetSize());
}

// Random lists taken apart and put together again keep their bytes and sizes; a null list
// adds nothing.
TEST(ItemIDListArithmetic, RandomSplitAndCombineRoundTrip)
{
    const CItemIDList null;
    EXPECT_EQ(null.GetLastItem(), nullptr);
    EXPECT_TRUE(CItemIDList::Combine(null, null).IsNull());
    std::mt19937 random(20240611);
    for (int round = 0; round < 500; ++round) {
        std::vector<std::string> payloads(random() % 6);
        size_t size = 2;
        for (std::string& payload : payloads) {
            payload.resize(1 + random() % 40);
            for (char& c : payload) c = static_cast<char>(random());
            size += payload.size() + 2;
        }
        CItemIDList list = MakeItemIDList(payloads);
        ASSERT_EQ(list.GetItemCount(), payloads.size());
        ASSERT_EQ(list.GetSize(), size);
        ASSERT_EQ(BytesOf(CItemIDList::Combine(list, null)), BytesOf(list));
        ASSERT_FALSE(null.IsAncestorOf(list));

        const size_t keep = random() % (payloads.size() + 1);
        CItemIDList head = MakeItemIDList(std::vector<std::string>(payloads.begin(), payloads.begin() + keep));
        ASSERT_TRUE(head.IsAncestorOf(list));
        ASSERT_EQ(list.IsAncestorOf(head), keep == payloads.size());
        CItemIDList tail = list.GetChildPart(head);
        ASSERT_EQ(BytesOf(CItemIDList::Combine(head, tail)), BytesOf(list));
        ASSERT_EQ(tail.GetItemCount(), payloads.size() - keep);
        if (payloads.empty()) continue;
        ASSERT_EQ(BytesOf(list.CloneFirst()), BytesOf(MakeItemIDList({payloads[0]})));
        CItemIDList rest(list);
        CItemIDList last = rest.RemoveLast();
        ASSERT_EQ(BytesOf(rest), payloads.size() == 1 ? BytesOf(MakeItemIDList({})) : BytesOf(list.CloneParent()));
        ASSERT_EQ(BytesOf(CItemIDList::Combine(rest, last)), BytesOf(list));
        ASSERT_EQ(last.GetItemCount(), 1u);
    }
}

TEST(ItemIDListShell, PathsAndNamesRoundTripThroughTheShell)
{
    CTempFolder temp;
    const std::wstring file = temp.WriteFile(L"DCIM\\IMG_0001.JPG", "jpeg");
    CItemIDList list(::ILCreateFromPathW(file.c_str()));
    ASSERT_FALSE(list.IsNull());
    std::wstring path;
    EXPECT_EQ(list.GetPath(path), S_OK);
    EXPECT_EQ(path, file);

    // The folder as the shell parses it on its own is the same ancestor.
    CItemIDList folder(::ILCreateFromPathW((temp / L"DCIM").c_str()));
    EXPECT_TRUE(folder.IsAncestorOf(list));
    CItemIDList again = CItemIDList::Combine(folder, list.GetChildPart(folder));
    again.GetPathOrThrow(path);
    EXPECT_EQ(path, file);

    std::wstring name;
    EXPECT_EQ(list.GetDisplayNameInParent(SHGDN_FORPARSING | SHGDN_INFOLDER, name), S_OK);
    EXPECT_EQ(name, L"IMG_0001.JPG");
}

} // namespace
