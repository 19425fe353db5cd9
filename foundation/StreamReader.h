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

private:
    bool Take(BYTE* out, ULONGLONG count);

    IStream* m_stream; // not owned
    std::vector<BYTE> m_buffer;
    size_t m_at = 0;
    size_t m_end = 0;
};
