#include "imaging/GifColorTable.h"

#include "imaging/tests/ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <random>
#include <string>
#include <vector>

namespace {

// The walk's answer on a stream over `bytes` that stands at `position`, which it must keep.
int WalkFrom(const std::vector<BYTE>& bytes, ULONGLONG position)
{
    ATL::CComPtr<IStream> stream;
    EXPECT_HRESULT_SUCCEEDED(::CreateStreamOnHGlobal(nullptr, TRUE, &stream));
    ULONG written = 0;
    if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    LARGE_INTEGER to = {};
    to.QuadPart = static_cast<LONGLONG>(position);
    stream->Seek(to, STREAM_SEEK_SET, nullptr);
    const int frame = FirstGifFrameWithoutColorTable(stream);
    ULARGE_INTEGER now = {};
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &now);
    EXPECT_EQ(now.QuadPart, position) << "the stream is left where it stood";
    return frame;
}

} // namespace

// Every cut of the files answers nothing or what the whole file answers; flipped bytes give some
// frame or none. Always with the stream where it stood.
TEST(GifColorTable, CutAndFlippedFilesAreWalkedSafely)
{
    std::mt19937 random(30);
    for (const wchar_t* name : {L"no-colour-table-first.gif", L"no-colour-table-second.gif", L"video-001.gif"}) {
        SCOPED_TRACE(std::string(name, name + wcslen(name)));
        const std::vector<BYTE> whole = ReadTestFile(name);
        ASSERT_FALSE(whole.empty());
        const int answer = WalkFrom(whole, 0);
        for (size_t cut = 0; cut < whole.size(); ++cut) {
            const int frame = WalkFrom(std::vector<BYTE>(whole.begin(), whole.begin() + cut), cut / 2);
            EXPECT_TRUE(frame == -1 || frame == answer) << "cut at " << cut;
        }
        for (int round = 0; round < 200; ++round) {
            std::vector<BYTE> flipped = whole;
            for (int n = 0; n < 4; ++n) flipped[random() % flipped.size()] ^= static_cast<BYTE>(1u << random() % 8);
            EXPECT_GE(WalkFrom(flipped, random() % flipped.size()), -1);
        }
    }
}
