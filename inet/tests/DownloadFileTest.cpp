#include "inet/DownloadFile.h"
#include "inet/AutoDeleteFile.h"
#include "inet/InetStream.h"

#include "foundation/Exception.h"
#include "tests/support/TempFolder.h"

#include <boost/regex.hpp>

namespace {

TEST(DownloadFile, NamesAreOursAndNeverTakeAnExistingFile)
{
    CTempFolder temp;
    std::wstring name;
    ASSERT_EQ(MakeDownloadFileName(name), S_OK);
    wchar_t tempPath[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, tempPath);
    EXPECT_EQ(name.rfind(tempPath, 0), 0u) << name;
    const std::wstring fileName = name.substr(name.find_last_of(L'\\') + 1);
    EXPECT_TRUE(boost::regex_match(fileName, boost::wregex(L"FHD_[0-9a-f]{8}_[0-9a-f]+\\.tmp"))) << fileName;
    wchar_t pid[16] = {};
    _snwprintf(pid, 15, L"%08lx", static_cast<unsigned long>(::GetCurrentProcessId()));
    EXPECT_EQ(fileName.substr(4, 8), pid);

    std::wstring first, second;
    CUniqueKernelHandle a, b;
    ASSERT_EQ(CreateDownloadFile(temp.Path(), first, a), S_OK);
    ASSERT_EQ(CreateDownloadFile(temp.Path(), second, b), S_OK);
    EXPECT_NE(first, second);
    EXPECT_EQ(first.rfind(temp.Path() + L"\\FHD_", 0), 0u);
    a.Reset();
    b.Reset();
    EXPECT_FALSE(CreateDownloadFile(temp.Path(L"missing"), first, a) == S_OK);
}

TEST(DownloadFile, AutoDeleteRemovesUnlessReleased)
{
    CTempFolder temp;
    const std::wstring kept = temp.WriteFile(L"kept.bin", "k");
    const std::wstring removed = temp.WriteFile(L"removed.bin", "r");
    {
        CAutoDeleteFile keep;
        keep.Assign(kept);
        keep.Release();
        CAutoDeleteFile remove;
        remove.Assign(removed);
    }
    EXPECT_NE(::GetFileAttributesW(kept.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesW(removed.c_str()), INVALID_FILE_ATTRIBUTES);

    // A file that cannot go leaves its message in the record, or is thrown when asked.
    const std::wstring busy = temp.WriteFile(L"busy.bin", "b");
    CUniqueKernelHandle open(::CreateFileW(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    CAutoDeleteFile blocked;
    blocked.Assign(busy);
    blocked.Delete();
    if (!blocked.HasError()) GTEST_SKIP() << "an open file was deleted here";
    EXPECT_EQ(blocked.GetPath(), busy);
    blocked.SetThrow(true);
    EXPECT_THROW(blocked.Delete(), my::CCtrlException);
    open.Reset();
    blocked.Delete();
    EXPECT_EQ(::GetFileAttributesW(busy.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(InetStream, MemorySinkReadsInPlace)
{
    std::string body = "old";
    {
        CInetMemStream sink(body);
        sink.Begin(CInetStream::kUnknownLength, 4);
        void* data = nullptr;
        DWORD size = 0;
        sink.GetBuffer(data, size);
        ASSERT_EQ(size, 4u);
        memcpy(data, "abcd", 4);
        sink.Commit(data, 4);
        sink.GetBuffer(data, size);
        memcpy(data, "ef", 2);
        sink.Commit(data, 2);
        sink.GetBuffer(data, size);
    }
    EXPECT_EQ(body, "abcdef");
}

TEST(InetStream, FileSinkChecksItsWrites)
{
    CTempFolder temp;
    const std::wstring path = temp.Path(L"out.bin");
    CInetFileStream sink(CUniqueKernelHandle(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
    sink.Begin(10, 8);
    void* data = nullptr;
    DWORD size = 0;
    sink.GetBuffer(data, size);
    ASSERT_EQ(size, 8u);
    memcpy(data, "12345678", 8);
    sink.Commit(data, 8);
    sink.End();
    EXPECT_EQ(temp.ReadFile(L"out.bin"), "12345678");

    // A handle that cannot write (read-only access) fails the commit with 59365.
    CInetFileStream readOnly(CUniqueKernelHandle(
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)));
    readOnly.Begin(10, 8);
    readOnly.GetBuffer(data, size);
    try {
        readOnly.Commit(data, 8);
        ADD_FAILURE() << "a write through a read-only handle succeeded";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, 59365u);
        EXPECT_EQ(e.m_code, static_cast<UINT>(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)));
    }
}

} // namespace
