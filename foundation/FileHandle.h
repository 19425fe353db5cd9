#pragma once
// One Win32 file handle: how the library opens, reads and writes files, and whole-file reads.
#include <windows.h>

#include <string>
#include <vector>

// Files opened under a kernel transaction; without a transaction handle, m_fallback decides
// whether a plain open is allowed.
struct CFileTransaction {
    HANDLE m_transaction = nullptr;
    bool m_fallback = false;
};

class CFileHandle {
public:
    CFileHandle() noexcept = default;
    explicit CFileHandle(CFileTransaction* transaction) noexcept : m_transaction(transaction) {}
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    ~CFileHandle();

    HRESULT Open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags);
    HRESULT OpenForWrite(const std::wstring& path);
    void OpenForWriteOrThrow(const std::wstring& path);
    HRESULT OpenForRead(const std::wstring& path);
    void OpenForReadOrThrow(const std::wstring& path);
    HRESULT CreateNew(const std::wstring& path);
    void CreateNewOrThrow(const std::wstring& path);
    void Close() noexcept;

    HRESULT SeekToBegin();
    void SeekToBeginOrThrow();
    HRESULT SetEndOfFile();
    void SetEndOfFileOrThrow();
    HRESULT GetSize(ULONGLONG& size) const;
    ULONGLONG GetSizeOrThrow() const;

    HRESULT Read(void* buffer, DWORD count, DWORD& read);
    HRESULT Write(const std::string& bytes);
    HRESULT Write(const std::vector<BYTE>& bytes);
    void WriteOrThrow(const std::string& bytes);
    void WriteOrThrow(const std::vector<BYTE>& bytes);

    HRESULT ReadAll(std::vector<BYTE>& out, ULONGLONG maxSize);
    HRESULT ReadAllText(std::string& out);

    HANDLE Get() const noexcept { return m_h; }
    bool IsOpen() const noexcept { return m_h != nullptr; }

    HANDLE m_h = nullptr;
    CFileTransaction* m_transaction = nullptr;

private:
    HRESULT WriteBytes(const void* data, size_t size);
    HRESULT ReadExactly(void* buffer, DWORD count);
};

bool CompareFiles(CFileHandle& a, CFileHandle& b);
// 2: same bytes; 1: a is a proper prefix of b; 0: otherwise or on failure.
int CompareFileContents(CFileHandle& a, CFileHandle& b);
HRESULT GetFileSizeByPath(const std::wstring& path, ULONGLONG& size);
// True for the failure of an open that found nothing at the path (file or folder missing).
bool IsNotFound(HRESULT hr);

inline bool FitsUInt32(ULONGLONG value) { return (value >> 32) == 0; }
inline bool FitsInt32(LONGLONG value)
{
    const auto low = static_cast<LONG>(static_cast<ULONGLONG>(value) & 0xFFFFFFFFu);
    const auto high = static_cast<LONG>(static_cast<ULONGLONG>(value) >> 32);
    return high == (low < 0 ? -1 : 0);
}
