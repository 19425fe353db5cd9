#include "foundation/FileHandle.h"
#include "foundation/AtlFile.h"
#include "foundation/Exception.h"
#include "foundation/LastError.h"
#include "foundation/ResString.h"
#include "ids/xml.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

TEST(FileHandle, ReadAllReturnsTheExactBytesOrFails)
{
    CTempFolder temp;
    std::string content(3 * 4096 + 17, '\0'); // deliberately not sector-sized
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 + i / 251);
    CFileHandle file;
    ASSERT_EQ(S_OK, file.OpenForRead(temp.WriteFile(L"a.bin", content)));
    std::vector<BYTE> bytes;
    EXPECT_EQ(static_cast<HRESULT>(0x800700EA), file.ReadAll(bytes, content.size() - 1));
    ASSERT_EQ(S_OK, file.ReadAll(bytes, content.size()));
    EXPECT_EQ(content, std::string(bytes.begin(), bytes.end()));
    // From a later position fewer bytes remain than the size: a failure, not a zero-padded tail.
    EXPECT_TRUE(FAILED(file.ReadAll(bytes, 0)));
    std::string text = "previous content that is longer";
    ASSERT_EQ(S_OK, file.ReadAllText(text));
    EXPECT_EQ(content, text) << "text is read from the beginning";
}

TEST(FileHandle, CreateNewRefusesAnExistingFileAndKeepsItsContent)
{
    CTempFolder temp;
    const std::wstring path = temp.WriteFile(L"old.bin", std::string("hello\0world", 11));
    CFileHandle file;
    EXPECT_EQ(FailureFromWin32(ERROR_FILE_EXISTS), file.CreateNew(path));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(std::string("hello\0world", 11), temp.ReadFile(L"old.bin"));
}

namespace {

constexpr size_t kMiB = 0x100000;

std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131) ^ (i >> 11));
    return bytes;
}

std::string Flipped(std::string bytes, size_t at)
{
    bytes[at] = static_cast<char>(~bytes[at]);
    return bytes;
}

} // namespace

// The comparisons read 1 MiB at a time: sizes and differences on either side of a chunk's edge.
TEST(FileCompare, ChunkEdgesDecideLikeWholeFiles)
{
    CTempFolder temp;
    const std::string two = Pattern(2 * kMiB + 1);
    const struct {
        const char* what;
        std::string a, b;
        bool same;
        int contents;
    } cases[] = {
        {"both empty", "", "", true, 2},
        {"one chunk exactly", two.substr(0, kMiB), two.substr(0, kMiB), true, 2},
        {"two chunks exactly", two.substr(0, 2 * kMiB), two.substr(0, 2 * kMiB), true, 2},
        {"last byte of the first chunk", two.substr(0, kMiB), Flipped(two.substr(0, kMiB), kMiB - 1), false, 0},
        {"first byte of the second chunk", two.substr(0, kMiB + 1), Flipped(two.substr(0, kMiB + 1), kMiB), false, 0},
        {"prefix ending at the edge", two.substr(0, kMiB), two.substr(0, kMiB + 1), false, 1},
        {"prefix one short of the edge", two.substr(0, kMiB - 1), two.substr(0, kMiB), false, 1},
        {"prefix one chunk short", two.substr(0, kMiB), two.substr(0, 2 * kMiB), false, 1},
        {"longer than the other", two.substr(0, kMiB + 1), two.substr(0, kMiB), false, 0},
        {"abc and abcd", "abc", "abcd", false, 1},
    };
    for (const auto& c : cases) {
        CFileHandle a, b;
        ASSERT_EQ(S_OK, a.OpenForRead(temp.WriteFile(L"a.bin", c.a))) << c.what;
        ASSERT_EQ(S_OK, b.OpenForRead(temp.WriteFile(L"b.bin", c.b))) << c.what;
        EXPECT_EQ(CompareFiles(a, b), c.same) << c.what;
        EXPECT_EQ(CompareFileContents(a, b), c.contents) << c.what;
        EXPECT_EQ(CompareFiles(a, b), c.same) << c.what << ": again, from wherever the first left the files";
    }
    CFileHandle closed, open;
    ASSERT_EQ(S_OK, open.OpenForRead(temp.WriteFile(L"c.bin", "")));
    EXPECT_FALSE(CompareFiles(closed, open));
    EXPECT_EQ(CompareFileContents(closed, open), 0);
}

TEST(FileHandle, TransactionRecordDecidesHowFilesOpen)
{
    CTempFolder temp;
    const std::wstring path = temp.WriteFile(L"t.txt", "text");

    CFileTransaction none;
    CFileHandle refused(&none);
    EXPECT_TRUE(FAILED(refused.OpenForRead(path)));
    EXPECT_TRUE(FAILED(refused.OpenForWrite(path)));
    EXPECT_TRUE(FAILED(refused.CreateNew(temp / L"new.txt")));
    EXPECT_FALSE(refused.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(temp / L"new.txt"));

    none.m_fallback = true;
    CFileHandle plain(&none);
    ASSERT_EQ(S_OK, plain.OpenForRead(path));
    std::string text;
    EXPECT_EQ(S_OK, plain.ReadAllText(text));
    EXPECT_EQ(text, "text");

    // A handle that is no transaction: the transacted open fails (or, where the system lacks it,
    // its lookup does); never a plain open in its place.
    const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CFileTransaction wrong{event, true};
    CFileHandle transacted(&wrong);
    const HRESULT hr = transacted.OpenForRead(path);
    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    EXPECT_FALSE(transacted.IsOpen());
    ::CloseHandle(event);
}

TEST(FileHandle, LibraryOpenAndCreateHelpersThrowWithThePath)
{
    CTempFolder temp;
    CFileHandle file;
    const my::CException missing = [&] {
        try {
            AtlFileCreate(file, temp / L"missing.txt");
        } catch (const my::CException& e) {
            return e;
        }
        return my::CException(0);
    }();
    EXPECT_EQ(missing.m_id, static_cast<UINT>(IDS_FILE_OPEN_FAILED));
    EXPECT_EQ(missing.m_code, static_cast<UINT>(FailureFromWin32(ERROR_FILE_NOT_FOUND)));
    EXPECT_NE(missing.m_message.find(temp / L"missing.txt"), std::wstring::npos);
    EXPECT_FALSE(file.IsOpen());

    const std::wstring path = temp.WriteFile(L"old.txt", "a longer old content");
    AtlFileCreateForWrite(file, path);
    ASSERT_EQ(S_OK, file.Write(std::string("new")));
    file.Close();
    EXPECT_EQ(temp.ReadFile(L"old.txt"), "new") << "an existing file is emptied";
    AtlFileCreate(file, path);
    std::string text;
    ASSERT_EQ(S_OK, file.ReadAllText(text));
    EXPECT_EQ(text, "new");
    file.Close();

    const std::wstring nowhere = temp / L"no folder\\new.txt";
    const my::CException created = [&] {
        try {
            AtlFileCreateForWrite(file, nowhere);
        } catch (const my::CException& e) {
            return e;
        }
        return my::CException(0);
    }();
    EXPECT_EQ(created.m_id, static_cast<UINT>(IDS_FILE_CREATE_FAILED));
    EXPECT_EQ(created.m_code, static_cast<UINT>(FailureFromWin32(ERROR_PATH_NOT_FOUND)));
    EXPECT_NE(created.m_message.find(nowhere), std::wstring::npos);
}
