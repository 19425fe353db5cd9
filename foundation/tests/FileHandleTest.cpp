#include "foundation/Exception.h"
#include "foundation/FileHandle.h"
#include "foundation/ResString.h"
#include "ids/xml.h"
#include "tests/support/UiLanguage.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

} // namespace

TEST(FileHandle, ReadAllReturnsTheExactBytes)
{
    CTempFolder temp;
    const std::string content = Pattern(3 * 4096 + 17); // deliberately not sector-sized
    temp.WriteFile(L"a.bin", content);
    temp.WriteFile(L"empty.bin", "");

    CFileHandle file;
    ASSERT_EQ(S_OK, file.OpenForRead(temp.Path(L"a.bin")));
    std::vector<BYTE> bytes;
    ASSERT_EQ(S_OK, file.ReadAll(bytes, 0));
    EXPECT_EQ(content, std::string(bytes.begin(), bytes.end()));

    CFileHandle empty;
    ASSERT_EQ(S_OK, empty.OpenForRead(temp.Path(L"empty.bin")));
    bytes.assign(3, 1);
    EXPECT_EQ(S_OK, empty.ReadAll(bytes, 0));
    EXPECT_TRUE(bytes.empty());
}

TEST(FileHandle, ReadAllRefusesFilesAboveTheMaximum)
{
    CTempFolder temp;
    temp.WriteFile(L"eleven.bin", "01234567890");
    CFileHandle file;
    ASSERT_EQ(S_OK, file.OpenForRead(temp.Path(L"eleven.bin")));
    std::vector<BYTE> bytes;
    EXPECT_EQ(static_cast<HRESULT>(0x800700EA), file.ReadAll(bytes, 10));
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(S_OK, file.ReadAll(bytes, 11));
}

TEST(FileHandle, ShortReadIsAFailureNotZeroPadding)
{
    CTempFolder temp;
    temp.WriteFile(L"a.bin", "abcdef");
    CFileHandle file;
    ASSERT_EQ(S_OK, file.OpenForRead(temp.Path(L"a.bin")));
    DWORD read = 0;
    char two[2];
    ASSERT_EQ(S_OK, file.Read(two, 2, read));
    ASSERT_EQ(2u, read);
    // The size is 6 but only 4 bytes remain after the position.
    std::vector<BYTE> bytes;
    EXPECT_TRUE(FAILED(file.ReadAll(bytes, 0)));
}

TEST(FileHandle, ReadAllTextReadsFromTheBeginning)
{
    CTempFolder temp;
    temp.WriteFile(L"t.txt", "line1\r\nline2");
    CFileHandle file;
    ASSERT_EQ(S_OK, file.OpenForRead(temp.Path(L"t.txt")));
    DWORD read = 0;
    char skip[3];
    file.Read(skip, 3, read);
    std::string text = "previous content that is longer";
    ASSERT_EQ(S_OK, file.ReadAllText(text));
    EXPECT_EQ("line1\r\nline2", text);
}

TEST(FileHandle, CreateWriteAndOpenForWrite)
{
    CTempFolder temp;
    const std::wstring path = temp.Path(L"new.bin");
    {
        CFileHandle file;
        file.CreateNewOrThrow(path);
        file.WriteOrThrow(std::string("hello world"));
        std::vector<BYTE> tail = {'!', 0, 0xFF};
        EXPECT_EQ(S_OK, file.Write(tail));
    }
    EXPECT_EQ(std::string("hello world!\0\xFF", 14), temp.ReadFile(L"new.bin"));

    CFileHandle again;
    EXPECT_EQ(HResultFromWin32(ERROR_FILE_EXISTS), again.CreateNew(path));
    {
        CFileHandle file;
        ASSERT_EQ(S_OK, file.OpenForWrite(path));
        file.WriteOrThrow(std::string("HELLO"));
        EXPECT_EQ(S_OK, file.SetEndOfFile());
        EXPECT_EQ(5u, file.GetSizeOrThrow());
    }
    EXPECT_EQ("HELLO", temp.ReadFile(L"new.bin"));
    ULONGLONG size = 0;
    EXPECT_EQ(S_OK, GetFileSizeByPath(path, size));
    EXPECT_EQ(5u, size);
}

TEST(FileHandle, ThrowingOpenNamesThePathAndTheSystemText)
{
    CTempFolder temp;
    const std::wstring path = temp.Path(L"missing.bin");
    CFileHandle file;
    try {
        file.OpenForReadOrThrow(path);
        FAIL() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(static_cast<UINT>(IDS_FILE_OPEN_FAILED), e.m_id);
        EXPECT_EQ(static_cast<UINT>(HResultFromWin32(ERROR_FILE_NOT_FOUND)), e.m_code);
        EXPECT_NE(std::wstring::npos, e.m_message.find(path));
        EXPECT_EQ(0u, e.m_message.find(ByLanguage(L"Failed to open file - ", L"ファイルを開けませんでした - ")));
    }
    EXPECT_FALSE(file.IsOpen());
    ULONGLONG size = 0;
    EXPECT_EQ(HResultFromWin32(ERROR_FILE_NOT_FOUND), GetFileSizeByPath(path, size));
}

TEST(FileHandle, TransactionWithoutHandleAndFallbackFailsEveryOpen)
{
    CTempFolder temp;
    temp.WriteFile(L"a.bin", "x");
    CFileTransaction noFallback;
    CFileHandle file(&noFallback);
    EXPECT_TRUE(FAILED(file.OpenForRead(temp.Path(L"a.bin"))));
    EXPECT_TRUE(FAILED(file.OpenForWrite(temp.Path(L"a.bin"))));
    EXPECT_TRUE(FAILED(file.CreateNew(temp.Path(L"b.bin"))));
    EXPECT_FALSE(file.IsOpen());

    CFileTransaction fallback;
    fallback.m_fallback = true;
    CFileHandle plain(&fallback);
    EXPECT_EQ(S_OK, plain.OpenForRead(temp.Path(L"a.bin")));
}

TEST(FileHandle, CompareFilesAndContents)
{
    CTempFolder temp;
    const std::string big = Pattern(0x100000 + 5000); // more than one chunk
    std::string bigChanged = big;
    bigChanged[0x100000 + 10] ^= 1;
    struct Case {
        std::string a, b;
        bool same;
        int contents;
    } cases[] = {
        {"", "", true, 2},
        {"abc", "abcd", false, 1},
        {"abcd", "abc", false, 0},
        {"abc", "abd", false, 0},
        {"", "x", false, 1},
        {big, big, true, 2},
        {big, bigChanged, false, 0},
        {big.substr(0, 0x100000), big, false, 1},
    };
    for (const auto& c : cases) {
        temp.WriteFile(L"a", c.a);
        temp.WriteFile(L"b", c.b);
        CFileHandle a, b;
        ASSERT_EQ(S_OK, a.OpenForRead(temp.Path(L"a")));
        ASSERT_EQ(S_OK, b.OpenForRead(temp.Path(L"b")));
        EXPECT_EQ(c.same, CompareFiles(a, b)) << c.a.size() << " " << c.b.size();
        EXPECT_EQ(c.contents, CompareFileContents(a, b)) << c.a.size() << " " << c.b.size();
    }
}

TEST(FileHandle, NarrowingChecks)
{
    EXPECT_TRUE(FitsUInt32(0xFFFFFFFFull));
    EXPECT_FALSE(FitsUInt32(0x100000000ull));
    EXPECT_TRUE(FitsInt32(-1));
    EXPECT_TRUE(FitsInt32(-2147483648LL));
    EXPECT_FALSE(FitsInt32(-2147483649LL));
    EXPECT_TRUE(FitsInt32(2147483647LL));
    EXPECT_FALSE(FitsInt32(2147483648LL));
}
