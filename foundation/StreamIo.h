#pragma once
// Thin wrappers over IStream calls that turn failures into my::CException.
#include <ComPtr.h>
#include <objidl.h>

#include <windows.h>

HRESULT IStreamGetSize(IStream* stream, ULONGLONG& size);
ULONGLONG IStreamGetSizeOrThrow(IStream* stream);

HRESULT IStreamSeek(IStream* stream, LONGLONG offset, DWORD origin);
HRESULT IStreamSeek(IStream* stream, LONGLONG offset, DWORD origin, ULONGLONG& position);
ULONGLONG IStreamSeekOrThrow(IStream* stream, LONGLONG offset, DWORD origin);

// Throw also when fewer bytes than asked were moved.
void IStreamRead(IStream* stream, void* buffer, ULONG count);
void IStreamWrite(IStream* stream, const void* buffer, ULONG count);

void IStreamRelease(ATL::CComPtr<IStream>& stream) noexcept;
