#include "foundation/Exception.h"
#include "foundation/FileHandle.h"
#include "foundation/ResString.h"
#include "ids/xml.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UiLanguage.h"

#include <gtest/gtest.h>

TEST(FileHandle, ReadAllReturnsTheExactBytesUpToTheMaximum)
{
    CTempFolder temp;
    std::string content(3 * 4096 + 17, '\0'); // deliberately not sector-sized
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 + i / 251);
    CFileHandle file;
    ASSERT_EQ(S_OK, file.OpenForRead(temp.WriteFile(L"a.bin", content)));
    std::vector<BYTE> bytes;
    EXPECT_EQ(static_cast<HRESULT>(0x800700EA), file.ReadAll(bytes, content.size() - 1));
    EXPECT_TRUE(bytes.empty());
    ASSERT_EQ(S_OK, file.ReadAll(bytes, content.size()));
    EXPECT_EQ(content, std::string(bytes.begin(), bytes.end()));

    CFileHandle empty;
    ASSERT_EQ(S_OK, empty.OpenForRead(temp.WriteFile(L"empty.bin", "")));
    bytes.assign(3, 1);
    EXPECT_EQ(S_OK, empty.ReadAll(bytes, 0));
    EXPECT_TRUE(bytes.empty());
}

TEST(FileHandle, ShortReadIsAFailureNotZeroPaddingButTextIsReadFromTheBeginning)
{
    CTempFolder temp;
    CFileHandle file;
    ASSERT_EQ(S_OK, file.OpenForRead(temp.WriteFile(L"t.txt", "line1\r\nline2")));
    DWORD read = 0;
    char skip[3];
    ASSERT_EQ(S_OK, file.Read(skip, 3, read));
    // The size is 12 but only 9 bytes remain after the position.
    std::vector<BYTE> bytes;
    EXPECT_TRUE(FAILED(file.ReadAll(bytes, 0)));
    std::string text = "previous content that is longer";
    ASSERT_EQ(S_OK, file.ReadAllText(text));
    EXPECT_EQ("line1\r\nline2", text);
}

TEST(FileHandle, CreateNewRefusesAnExistingFileAndWriteTruncates)
{
    CTempFolder temp;
    const std::wstring path = temp.Path(L"new.bin");
    {
        CFileHandle file;
        file.CreateNewOrThrow(path);
        file.WriteOrThrow(std::string("hello\0world", 11));
    }
    EXPECT_EQ(std::string("hello\0world", 11), temp.ReadFile(L"new.bin"));
    CFileHandle again;
    EXPECT_EQ(HResultFromWin32(ERROR_FILE_EXISTS), again.CreateNew(path));
    ASSERT_EQ(S_OK, again.OpenForWrite(path));
    again.WriteOrThrow(std::string("HELLO"));
    EXPECT_EQ(S_OK, again.SetEndOfFile());
    again.Close();
    EXPECT_EQ("HELLO", temp.ReadFile(L"new.bin"));
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
}
