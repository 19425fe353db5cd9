#pragma once
// COM streams on files, on global memory and on the program's resources.
#include <ComPtr.h>
#include <objidl.h>

#include <windows.h>

#include <string>

class CGlobalMemory;

using CStreamPtr = ATL::CComPtr<IStream>;

HRESULT CreateFileStreamMode(CStreamPtr& stream, const std::wstring& path, DWORD mode);
HRESULT CreateFileStreamForWrite(CStreamPtr& stream, const std::wstring& path);
void CreateFileStreamForWriteOrThrow(CStreamPtr& stream, const std::wstring& path);
HRESULT CreateFileStream(CStreamPtr& stream, const std::wstring& path);
void CreateFileStreamOrThrow(CStreamPtr& stream, const std::wstring& path);

// A growable stream on new global memory that the stream does not free.
void CreateMemoryStream(CStreamPtr& stream);
HRESULT GetStreamHGlobal(IStream* stream, HGLOBAL& out);
HGLOBAL GetStreamHGlobalOrThrow(IStream* stream);
// As CreateMemoryStream, with the memory handed to `owner`; release the stream before the owner.
void CreateMemoryStreamOwned(CStreamPtr& stream, CGlobalMemory& owner);

// The whole file read into global memory, with a stream that frees it.
HRESULT CreateStreamOnFileHGlobal(CStreamPtr& stream, const std::wstring& path, ULONGLONG maxSize);
void OpenFileStreamBuffered(CStreamPtr& stream, const std::wstring& path, ULONGLONG maxSize);
void OpenFileStreamPreferMemory(CStreamPtr& stream, const std::wstring& path, ULONGLONG maxSize);

HRESULT CreateStreamOnResource(CStreamPtr& stream, const wchar_t* name, const wchar_t* type);
