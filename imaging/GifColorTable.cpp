#include "imaging/GifColorTable.h"

#include "foundation/StreamReader.h"

#include <cstring>

namespace {

constexpr BYTE kExtensionIntroducer = 0x21;
constexpr BYTE kImageSeparator = 0x2C;
// What one read of the stream asks for.
constexpr size_t kReadAhead = 64 * 1024;
// Bit 7 of the packed fields of the logical screen and the image descriptors.
constexpr BYTE kColorTableFlag = 0x80;

// A table of 2^(n+1) RGB triples, n in the low 3 bits of the packed fields.
ULONGLONG ColorTableBytes(BYTE packed) { return 3ULL << ((packed & 7) + 1); }

// Data sub-blocks, each led by its size, up to and including the empty one that ends them.
bool SkipSubBlocks(CStreamReader& reader)
{
    for (;;) {
        BYTE size = 0;
        if (!reader.Read(&size, 1)) return false;
        if (size == 0) return true;
        if (!reader.Skip(size)) return false;
    }
}

// A sub-block may be a single byte (a comment written byte by byte), hence the reader's buffer
// rather than a call on the stream for each. -1 also where the reader stopped: its Error tells
// the end of the stream from a failure.
int WalkFrames(CStreamReader& reader, int frames)
{
    BYTE header[13] = {}; // signature, version, logical screen descriptor
    if (!reader.Read(header, sizeof header) || std::memcmp(header, "GIF", 3) != 0) return -1;
    if (header[10] & kColorTableFlag) return -1; // a global table gives every frame its colours
    for (int frame = 0; frame < frames;) {
        BYTE introducer = 0;
        if (!reader.Read(&introducer, 1)) return -1;
        if (introducer == kExtensionIntroducer) {
            if (!reader.Skip(1) || !SkipSubBlocks(reader)) return -1; // label, then data
        } else if (introducer == kImageSeparator) {
            BYTE descriptor[9] = {}; // left, top, width, height, packed fields
            if (!reader.Read(descriptor, sizeof descriptor)) return -1;
            if (!(descriptor[8] & kColorTableFlag)) return frame;
            if (++frame == frames) break; // the frames asked about all have colours
            // The local table, the LZW minimum code size, then the image data.
            if (!reader.Skip(ColorTableBytes(descriptor[8]) + 1) || !SkipSubBlocks(reader)) return -1;
        } else {
            return -1; // the trailer, or bytes that are no block at all
        }
    }
    return -1;
}

} // namespace

HRESULT FirstGifFrameWithoutColorTable(IStream* stream, int& frame, int frames)
{
    frame = -1;
    if (!stream) return S_OK;
    const LARGE_INTEGER zero = {};
    ULARGE_INTEGER start = {};
    HRESULT hr = stream->Seek(zero, STREAM_SEEK_CUR, &start);
    if (SUCCEEDED(hr)) hr = stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    if (FAILED(hr)) return hr;
    CStreamReader reader(stream, kReadAhead);
    const int found = WalkFrames(reader, frames);
    LARGE_INTEGER back = {};
    back.QuadPart = static_cast<LONGLONG>(start.QuadPart);
    hr = stream->Seek(back, STREAM_SEEK_SET, nullptr);
    if (FAILED(reader.Error())) return reader.Error();
    if (FAILED(hr)) return hr;
    frame = found;
    return S_OK;
}
