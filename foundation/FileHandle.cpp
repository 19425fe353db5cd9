#include "foundation/FileHandle.h"

#include "foundation/Exception.h"
#include "foundation/LastError.h"
#include "foundation/ResString.h"
#include "ids/xml.h"

#include <new>

namespace {

using CreateFileTransactedFn = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE,
                                               HANDLE, PUSHORT, PVOID);

} // namespace

CFileHandle::~CFileHandle() { Close(); }

void CFileHandle::Close() noexcept
{
    if (m_h) {
        ::CloseHandle(m_h);
        m_h = nullptr;
    }
}

HRESULT CFileHandle::Open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags)
{
    Close();
    HANDLE h = INVALID_HANDLE_VALUE;
    if (m_transaction && m_transaction->m_transaction) {
        // Absent from some systems (and from Wine): look it up each time.
        HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
        auto fn = kernel ? reinterpret_cast<CreateFileTransactedFn>(::GetProcAddress(kernel, "CreateFileTransactedW"))
                         : nullptr;
        if (!fn) return LastErrorAsHResult();
        h = fn(path.c_str(), access, share, nullptr, disposition, flags, nullptr, m_transaction->m_transaction, nullptr,
               nullptr);
    } else if (m_transaction && !m_transaction->m_fallback) {
        return E_HANDLE;
    } else {
        h = ::CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
    }
    if (h == INVALID_HANDLE_VALUE) return LastErrorAsHResult();
    m_h = h;
    return S_OK;
}

HRESULT CFileHandle::OpenForWrite(const std::wstring& path)
{
    return Open(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
}

void CFileHandle::OpenForWriteOrThrow(const std::wstring& path)
{
    ThrowIfFailed(OpenForWrite(path), IDS_FILE_OPEN_FAILED, path);
}

// Buffered on purpose: every reader here reads into ordinary buffers of any size and offset,
// which FILE_FLAG_NO_BUFFERING forbids on Windows (Wine does not enforce it).
HRESULT CFileHandle::OpenForRead(const std::wstring& path)
{
    return Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                FILE_FLAG_BACKUP_SEMANTICS);
}

void CFileHandle::OpenForReadOrThrow(const std::wstring& path)
{
    ThrowIfFailed(OpenForRead(path), IDS_FILE_OPEN_FAILED, path);
}

HRESULT CFileHandle::CreateNew(const std::wstring& path)
{
    return Open(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
}

void CFileHandle::CreateNewOrThrow(const std::wstring& path)
{
    ThrowIfFailed(CreateNew(path), IDS_FILE_CREATE_FAILED, path);
}

HRESULT CFileHandle::SeekToBegin()
{
    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(m_h, zero, nullptr, FILE_BEGIN)) return LastErrorAsHResult();
    return S_OK;
}

void CFileHandle::SeekToBeginOrThrow() { ThrowIfFailed(SeekToBegin(), IDS_FILE_SEEK_FAILED); }

HRESULT CFileHandle::SetEndOfFile()
{
    if (!::SetEndOfFile(m_h)) return LastErrorAsHResult();
    return S_OK;
}

void CFileHandle::SetEndOfFileOrThrow() { ThrowIfFailed(SetEndOfFile(), IDS_FILE_SET_END_FAILED); }

HRESULT CFileHandle::GetSize(ULONGLONG& size) const
{
    DWORD high = 0;
    ::SetLastError(0);
    const DWORD low = ::GetFileSize(m_h, &high);
    if (low == INVALID_FILE_SIZE) {
        const DWORD err = ::GetLastError();
        if (err != NO_ERROR) return FailureFromWin32(err);
    }
    size = (static_cast<ULONGLONG>(high) << 32) | low;
    return S_OK;
}

ULONGLONG CFileHandle::GetSizeOrThrow() const
{
    ULONGLONG size = 0;
    ThrowIfFailed(GetSize(size), IDS_FILE_GET_SIZE_FAILED);
    return size;
}

HRESULT CFileHandle::Read(void* buffer, DWORD count, DWORD& read)
{
    read = 0;
    if (!::ReadFile(m_h, buffer, count, &read, nullptr)) return LastErrorAsHResult();
    return S_OK;
}

// A read that comes back short (the file shrank, or the position was not at the start) is a
// failure, never a zero-padded success.
HRESULT CFileHandle::ReadExactly(void* buffer, DWORD count)
{
    DWORD read = 0;
    const HRESULT hr = Read(buffer, count, read);
    if (FAILED(hr)) return hr;
    return read == count ? S_OK : FailureFromWin32(ERROR_HANDLE_EOF);
}

HRESULT CFileHandle::WriteBytes(const void* data, size_t size)
{
    if (!FitsUInt32(size)) return E_INVALIDARG;
    DWORD written = 0;
    if (!::WriteFile(m_h, data, static_cast<DWORD>(size), &written, nullptr)) return LastErrorAsHResult();
    return written == size ? S_OK : FailureFromWin32(ERROR_WRITE_FAULT);
}

HRESULT CFileHandle::Write(const std::string& bytes) { return WriteBytes(bytes.data(), bytes.size()); }
HRESULT CFileHandle::Write(const std::vector<BYTE>& bytes) { return WriteBytes(bytes.data(), bytes.size()); }

void CFileHandle::WriteOrThrow(const std::string& bytes)
{
    ThrowIfFailed(Write(bytes), IDS_FILE_WRITE_FAILED, std::wstring());
}

void CFileHandle::WriteOrThrow(const std::vector<BYTE>& bytes)
{
    ThrowIfFailed(Write(bytes), IDS_FILE_WRITE_FAILED, std::wstring());
}

HRESULT CFileHandle::ReadAll(std::vector<BYTE>& out, ULONGLONG maxSize)
{
    ULONGLONG size = 0;
    HRESULT hr = GetSize(size);
    if (FAILED(hr)) return hr;
    if (size > 0x7FFFFFFFu) return E_OUTOFMEMORY; // must fit a signed 32-bit count
    if (maxSize > 0 && size > maxSize) return FailureFromWin32(ERROR_MORE_DATA);
    try {
        out.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (size == 0) return S_OK;
    return ReadExactly(out.data(), static_cast<DWORD>(size));
}

HRESULT CFileHandle::ReadAllText(std::string& out)
{
    ULONGLONG size = 0;
    HRESULT hr = GetSize(size);
    if (FAILED(hr)) return hr;
    if (!FitsUInt32(size)) return E_OUTOFMEMORY;
    try {
        out.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (size == 0) return S_OK;
    SeekToBeginOrThrow();
    return ReadExactly(out.data(), static_cast<DWORD>(size));
}

HRESULT GetFileSizeByPath(const std::wstring& path, ULONGLONG& size)
{
    CFileHandle file;
    HRESULT hr = file.OpenForRead(path);
    if (FAILED(hr)) return hr;
    return file.GetSize(size);
}

bool IsNotFound(HRESULT hr)
{
    return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}
