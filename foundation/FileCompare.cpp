#include "foundation/FileHandle.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr DWORD kChunk = 0x100000;

bool ReadChunk(CFileHandle& file, std::vector<BYTE>& buffer, DWORD& read)
{
    return SUCCEEDED(file.Read(buffer.data(), static_cast<DWORD>(buffer.size()), read));
}

} // namespace

bool CompareFiles(CFileHandle& a, CFileHandle& b)
{
    try {
        ULONGLONG sizeA = 0, sizeB = 0;
        if (FAILED(a.GetSize(sizeA)) || FAILED(b.GetSize(sizeB)) || sizeA != sizeB) return false;
        if (FAILED(a.SeekToBegin()) || FAILED(b.SeekToBegin())) return false;
        // Many small files are compared in a row: their buffers need not be a whole chunk. One byte
        // more than the size lets the read that finds the end come back empty.
        const size_t size = static_cast<size_t>(std::min<ULONGLONG>(sizeA + 1, kChunk));
        std::vector<BYTE> bufA(size), bufB(size);
        for (;;) {
            DWORD readA = 0, readB = 0;
            if (!ReadChunk(a, bufA, readA) || !ReadChunk(b, bufB, readB)) return false;
            if (readA != readB) return false;
            if (readA == 0) return true;
            if (std::memcmp(bufA.data(), bufB.data(), readA) != 0) return false;
        }
    } catch (...) {
        return false;
    }
}

int CompareFileContents(CFileHandle& a, CFileHandle& b)
{
    try {
        if (FAILED(a.SeekToBegin()) || FAILED(b.SeekToBegin())) return 0;
        std::vector<BYTE> bufA(kChunk), bufB(kChunk);
        for (;;) {
            DWORD readA = 0, readB = 0;
            if (!ReadChunk(a, bufA, readA) || !ReadChunk(b, bufB, readB)) return 0;
            if (readA > readB) return 0;
            if (readA == 0) return readB != 0 ? 1 : 2;
            if (std::memcmp(bufA.data(), bufB.data(), readA) != 0) return 0;
            if (readA < readB) return 1;
        }
    } catch (...) {
        return 0;
    }
}
