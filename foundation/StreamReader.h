#pragma once
// Reads a stream forward through a buffer of its own, for parsers that take a few bytes at a time.
#include <objidl.h>

#include <windows.h>

#include <cstddef>
#include <vector>

class CStreamReader {
public:
    explicit CStreamReader(IStream* stream, size_t chunk = 64 * 1024);

    bool Read(void* out, size_t count);
    bool Skip(ULONGLONG count);
    // Why the last Read or Skip that fell short did: S_OK at the stream's end, else the stream's failure.
    HRESULT Error() const { return m_error; }

private:
    bool Take(BYTE* out, ULONGLONG count);
    HRESULT EndOrReadFault() const;

    IStream* m_stream; // not owned
    std::vector<BYTE> m_buffer;
    size_t m_at = 0;
    size_t m_end = 0;
    HRESULT m_error = S_OK;
};
