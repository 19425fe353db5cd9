#include "foundation/StreamReader.h"
#include "foundation/StreamIo.h"
#include "foundation/Streams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CStreamPtr StreamOver(const std::vector<BYTE>& bytes)
{
    CStreamPtr stream;
    EXPECT_HRESULT_SUCCEEDED(::CreateStreamOnHGlobal(nullptr, TRUE, &stream));
    IStreamWrite(stream, bytes.data(), static_cast<ULONG>(bytes.size()));
    IStreamSeekOrThrow(stream, 0, STREAM_SEEK_SET);
    return stream;
}

} // namespace

// Reads and skips that straddle the chunks take the stream's bytes in order, whatever the chunk.
TEST(StreamReader, ReadsAndSkipsAcrossChunks)
{
    std::vector<BYTE> bytes(1000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<BYTE>(i * 7 + i / 256);
    for (size_t chunk : {1, 7, 64, 999, 1000, 65536}) {
        SCOPED_TRACE(std::to_string(chunk));
        const CStreamPtr stream = StreamOver(bytes);
        CStreamReader reader(stream, chunk);
        size_t at = 0;
        for (size_t step = 1; at + 2 * step <= bytes.size(); at += 2 * step, step = step * 3 % 97 + 1) {
            std::vector<BYTE> got(step);
            ASSERT_TRUE(reader.Read(got.data(), step));
            EXPECT_EQ(got, std::vector<BYTE>(bytes.begin() + at, bytes.begin() + at + step)) << "at " << at;
            ASSERT_TRUE(reader.Skip(step));
        }
        EXPECT_TRUE(reader.Skip(bytes.size() - at - 1));
        BYTE last = 0;
        EXPECT_TRUE(reader.Read(&last, 1));
        EXPECT_EQ(last, bytes.back());
        EXPECT_FALSE(reader.Read(&last, 1)) << "the end";
        EXPECT_FALSE(reader.Skip(1));
        EXPECT_TRUE(reader.Skip(0));
    }
}

TEST(StreamReader, ReadOrSkipPastTheEndFails)
{
    const std::vector<BYTE> bytes(10, 0x5A);
    std::vector<BYTE> got(11);
    const CStreamPtr first = StreamOver(bytes);
    CStreamReader reading(first, 4);
    EXPECT_FALSE(reading.Read(got.data(), got.size()));
    EXPECT_EQ(reading.Error(), S_OK) << "the end, no failure";
    const CStreamPtr second = StreamOver(bytes);
    CStreamReader skipping(second, 4);
    EXPECT_FALSE(skipping.Skip(11));
}
