#include "foundation/FileHandle.h"
#include "foundation/LastError.h"
#include "foundation/ResString.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

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
