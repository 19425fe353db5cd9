#include "foundation/StreamReader.h"

#include <algorithm>
#include <cstring>

// The stream moves a chunk ahead of what was taken; callers that care keep its position themselves.
CStreamReader::CStreamReader(IStream* stream, size_t chunk) : m_stream(stream), m_buffer(std::max<size_t>(chunk, 1)) {}

// False when the stream ends or fails before `count` bytes (Error tells which); what was read is
// then lost.
bool CStreamReader::Read(void* out, size_t count) { return Take(static_cast<BYTE*>(out), count); }

// Reads past the bytes instead of seeking: a seek beyond the end succeeds on many streams, and
// the skips of a parser are short.
bool CStreamReader::Skip(ULONGLONG count) { return Take(nullptr, count); }

bool CStreamReader::Take(BYTE* out, ULONGLONG count)
{
    while (count > 0) {
        if (m_at == m_end) {
            ULONG read = 0;
            HRESULT hr = m_stream->Read(m_buffer.data(), static_cast<ULONG>(m_buffer.size()), &read);
            // A short read is not the end (pipes, network streams); no bytes at all may be.
            if (SUCCEEDED(hr) && read == 0) hr = EndOrReadFault();
            if (FAILED(hr) || read == 0) {
                m_error = hr;
                return false;
            }
            m_at = 0;
            m_end = std::min<size_t>(read, m_buffer.size());
        }
        const size_t n = static_cast<size_t>(std::min<ULONGLONG>(count, m_end - m_at));
        if (out) {
            std::memcpy(out, m_buffer.data() + m_at, n);
            out += n;
        }
        m_at += n;
        count -= n;
    }
    return true;
}

// A read that gave no bytes ended the stream only where the stream stands at its end: one short of
// it (a card reader or a share that gave up once) failed all the same, and so did one on a stream
// that cannot say where it stands or how long it is.
HRESULT CStreamReader::EndOrReadFault() const
{
    ULARGE_INTEGER at = {};
    HRESULT hr = m_stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &at);
    if (FAILED(hr)) return hr;
    STATSTG stat = {};
    hr = m_stream->Stat(&stat, STATFLAG_NONAME);
    if (FAILED(hr)) return hr;
    return at.QuadPart < stat.cbSize.QuadPart ? STG_E_READFAULT : S_OK;
}
