#include "foundation/Streams.h"

#include "foundation/Exception.h"
#include "foundation/FileHandle.h"
#include "foundation/GlobalMemory.h"
#include "foundation/LastError.h"
#include "foundation/ResString.h"
#include "ids/xml.h"

#include <shlwapi.h>

#include <cstring>

HRESULT CreateFileStreamMode(CStreamPtr& stream, const std::wstring& path, DWORD mode)
{
    stream.Release();
    return ::SHCreateStreamOnFileW(path.c_str(), mode, &stream);
}

HRESULT CreateFileStreamForWrite(CStreamPtr& stream, const std::wstring& path)
{
    return CreateFileStreamMode(stream, path, STGM_CREATE | STGM_WRITE | STGM_SHARE_DENY_WRITE);
}

void CreateFileStreamForWriteOrThrow(CStreamPtr& stream, const std::wstring& path)
{
    const HRESULT hr = CreateFileStreamForWrite(stream, path);
    if (FAILED(hr)) throw my::CException(IDS_FILE_CREATE_FAILED, hr, path);
}

HRESULT CreateFileStream(CStreamPtr& stream, const std::wstring& path)
{
    return CreateFileStreamMode(stream, path, STGM_READ | STGM_SHARE_DENY_WRITE);
}

void CreateFileStreamOrThrow(CStreamPtr& stream, const std::wstring& path)
{
    const HRESULT hr = CreateFileStream(stream, path);
    if (FAILED(hr)) throw my::CException(IDS_FILE_OPEN_FAILED, hr, path);
}

void CreateMemoryStream(CStreamPtr& stream)
{
    stream.Release();
    const HRESULT hr = ::CreateStreamOnHGlobal(nullptr, FALSE, &stream);
    if (FAILED(hr)) throw my::CException(IDS_MEMORY_STREAM_CREATE_FAILED, hr);
}

HRESULT GetStreamHGlobal(IStream* stream, HGLOBAL& out)
{
    out = nullptr;
    return ::GetHGlobalFromStream(stream, &out);
}

HGLOBAL GetStreamHGlobalOrThrow(IStream* stream)
{
    HGLOBAL h = nullptr;
    const HRESULT hr = GetStreamHGlobal(stream, h);
    if (FAILED(hr)) throw my::CException(IDS_MEMORY_STREAM_HANDLE_FAILED, hr);
    return h;
}

void CreateMemoryStreamOwned(CStreamPtr& stream, CGlobalMemory& owner)
{
    CreateMemoryStream(stream);
    HGLOBAL h = nullptr;
    const HRESULT hr = GetStreamHGlobal(stream, h);
    if (FAILED(hr)) {
        stream.Release();
        throw my::CException(IDS_MEMORY_STREAM_HANDLE_FAILED, hr);
    }
    owner.Attach(h);
}

HRESULT CreateStreamOnFileHGlobal(CStreamPtr& stream, const std::wstring& path, ULONGLONG maxSize)
{
    stream.Release();
    CFileHandle file;
    HRESULT hr = file.OpenForRead(path);
    if (FAILED(hr)) return hr;
    ULONGLONG size = 0;
    hr = file.GetSize(size);
    if (FAILED(hr)) return hr;
    if (size > maxSize || !FitsUInt32(size)) return E_OUTOFMEMORY;

    CGlobalMemory memory;
    // GlobalAlloc of 0 bytes gives a discarded handle that cannot be locked.
    if (!memory.Alloc(size ? static_cast<SIZE_T>(size) : 1, GMEM_MOVEABLE)) return LastErrorAsHResult();
    if (size > 0) {
        CGlobalLocker lock;
        void* p = nullptr;
        if (!lock.Lock(&p, memory)) return LastErrorAsHResult();
        DWORD read = 0;
        hr = file.Read(p, static_cast<DWORD>(size), read);
        if (FAILED(hr)) return hr;
        if (read != size) return FailureFromWin32(ERROR_HANDLE_EOF);
    }
    hr = ::CreateStreamOnHGlobal(memory, TRUE, &stream);
    if (FAILED(hr)) return hr;
    memory.Detach(); // the stream frees it now
    // The stream takes the block's size, which the allocator may have rounded up.
    ULARGE_INTEGER exact;
    exact.QuadPart = size;
    hr = stream->SetSize(exact);
    if (FAILED(hr)) stream.Release();
    return hr;
}

void OpenFileStreamBuffered(CStreamPtr& stream, const std::wstring& path, ULONGLONG maxSize)
{
    const HRESULT hr = maxSize == 0 ? E_OUTOFMEMORY : CreateStreamOnFileHGlobal(stream, path, maxSize);
    if (FAILED(hr)) throw my::CException(IDS_FILE_OPEN_FAILED, hr, path);
}

void OpenFileStreamPreferMemory(CStreamPtr& stream, const std::wstring& path, ULONGLONG maxSize)
{
    HRESULT hr = E_OUTOFMEMORY;
    if (maxSize != 0) hr = CreateStreamOnFileHGlobal(stream, path, maxSize);
    if (hr == E_OUTOFMEMORY) hr = CreateFileStream(stream, path);
    if (FAILED(hr)) throw my::CException(IDS_FILE_OPEN_FAILED, hr, path);
}

HRESULT CreateStreamOnResource(CStreamPtr& stream, const wchar_t* name, const wchar_t* type)
{
    stream.Release();
    HMODULE module = GetResourceInstance();
    HRSRC info = ::FindResourceW(module, name, type);
    if (!info) return E_FAIL;
    const DWORD size = ::SizeofResource(module, info);
    HGLOBAL data = ::LoadResource(module, info);
    const void* bytes = data ? ::LockResource(data) : nullptr;
    if (!bytes || size == 0) return E_FAIL;

    CGlobalMemory memory;
    if (!memory.Alloc(size, GMEM_MOVEABLE)) return E_FAIL;
    {
        CGlobalLocker lock;
        void* p = nullptr;
        if (!lock.Lock(&p, memory)) return E_FAIL;
        std::memcpy(p, bytes, size);
    }
    if (FAILED(::CreateStreamOnHGlobal(memory, TRUE, &stream))) return E_FAIL;
    memory.Detach();
    ULARGE_INTEGER exact;
    exact.QuadPart = size;
    if (FAILED(stream->SetSize(exact))) {
        stream.Release();
        return E_FAIL;
    }
    return S_OK;
}
