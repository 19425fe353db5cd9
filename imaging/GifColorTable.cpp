#include "imaging/GifColorTable.h"

#include <cstring>

namespace {

constexpr BYTE kExtensionIntroducer = 0x21;
constexpr BYTE kImageSeparator = 0x2C;
// Bit 7 of the packed fields of the logical screen and the image descriptors.
constexpr BYTE kColorTableFlag = 0x80;

bool ReadBytes(IStream* stream, void* buffer, ULONG count)
{
    ULONG read = 0;
    return SUCCEEDED(stream->Read(buffer, count, &read)) && read == count;
}

bool SkipBytes(IStream* stream, LONGLONG count)
{
    LARGE_INTEGER offset = {};
    offset.QuadPart = count;
    return SUCCEEDED(stream->Seek(offset, STREAM_SEEK_CUR, nullptr));
}

// A table of 2^(n+1) RGB triples, n in the low 3 bits of the packed fields.
LONGLONG ColorTableBytes(BYTE packed) { return 3LL << ((packed & 7) + 1); }

// Data sub-blocks, each led by its size, up to and including the empty one that ends them.
bool SkipSubBlocks(IStream* stream)
{
    for (;;) {
        BYTE size = 0;
        if (!ReadBytes(stream, &size, 1)) return false;
        if (size == 0) return true;
        if (!SkipBytes(stream, size)) return false;
    }
}

int WalkFrames(IStream* stream)
{
    BYTE header[13] = {}; // signature, version, logical screen descriptor
    if (!ReadBytes(stream, header, sizeof header) || std::memcmp(header, "GIF", 3) != 0) return -1;
    if (header[10] & kColorTableFlag) return -1; // a global table gives every frame its colours
    for (int frame = 0;;) {
        BYTE introducer = 0;
        if (!ReadBytes(stream, &introducer, 1)) return -1;
        if (introducer == kExtensionIntroducer) {
            if (!SkipBytes(stream, 1) || !SkipSubBlocks(stream)) return -1; // label, then data
        } else if (introducer == kImageSeparator) {
            BYTE descriptor[9] = {}; // left, top, width, height, packed fields
            if (!ReadBytes(stream, descriptor, sizeof descriptor)) return -1;
            if (!(descriptor[8] & kColorTableFlag)) return frame;
            // The local table, the LZW minimum code size, then the image data.
            if (!SkipBytes(stream, ColorTableBytes(descriptor[8]) + 1) || !SkipSubBlocks(stream)) return -1;
            ++frame;
        } else {
            return -1; // the trailer, or bytes that are no block at all
        }
    }
}

} // namespace

int FirstGifFrameWithoutColorTable(IStream* stream)
{
    const LARGE_INTEGER zero = {};
    ULARGE_INTEGER start = {};
    if (!stream || FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &start))) return -1;
    if (FAILED(stream->Seek(zero, STREAM_SEEK_SET, nullptr))) return -1;
    const int frame = WalkFrames(stream);
    LARGE_INTEGER back = {};
    back.QuadPart = static_cast<LONGLONG>(start.QuadPart);
    stream->Seek(back, STREAM_SEEK_SET, nullptr);
    return frame;
}
