#include "foundation/StreamIo.h"

#include "foundation/Exception.h"
#include "ids/xml.h"

HRESULT IStreamGetSize(IStream* stream, ULONGLONG& size)
{
    if (!stream) return E_POINTER;
    STATSTG stat{};
    const HRESULT hr = stream->Stat(&stat, STATFLAG_NONAME);
    if (SUCCEEDED(hr)) size = stat.cbSize.QuadPart;
    return hr;
}

ULONGLONG IStreamGetSizeOrThrow(IStream* stream)
{
    ULONGLONG size = 0;
    const HRESULT hr = IStreamGetSize(stream, size);
    if (FAILED(hr)) throw my::CException(IDS_STREAM_GET_SIZE_FAILED, hr);
    return size;
}

HRESULT IStreamSeek(IStream* stream, LONGLONG offset, DWORD origin)
{
    ULONGLONG position = 0;
    return IStreamSeek(stream, offset, origin, position);
}

HRESULT IStreamSeek(IStream* stream, LONGLONG offset, DWORD origin, ULONGLONG& position)
{
    if (!stream) return E_POINTER;
    LARGE_INTEGER move;
    move.QuadPart = offset;
    ULARGE_INTEGER now{};
    const HRESULT hr = stream->Seek(move, origin, &now);
    if (SUCCEEDED(hr)) position = now.QuadPart;
    return hr;
}

ULONGLONG IStreamSeekOrThrow(IStream* stream, LONGLONG offset, DWORD origin)
{
    ULONGLONG position = 0;
    const HRESULT hr = IStreamSeek(stream, offset, origin, position);
    if (FAILED(hr)) throw my::CException(IDS_STREAM_SEEK_FAILED, hr);
    return position;
}

void IStreamRead(IStream* stream, void* buffer, ULONG count)
{
    if (!stream) throw my::CException(IDS_STREAM_READ_FAILED, E_POINTER);
    ULONG read = 0;
    const HRESULT hr = stream->Read(buffer, count, &read);
    if (FAILED(hr) || read < count) throw my::CException(IDS_STREAM_READ_FAILED, hr);
}

void IStreamWrite(IStream* stream, const void* buffer, ULONG count)
{
    if (!stream) throw my::CException(IDS_STREAM_WRITE_FAILED, E_POINTER);
    ULONG written = 0;
    const HRESULT hr = stream->Write(buffer, count, &written);
    if (FAILED(hr) || written < count) throw my::CException(IDS_STREAM_WRITE_FAILED, hr);
}

void IStreamRelease(ATL::CComPtr<IStream>& stream) noexcept { stream.Release(); }
