#include "imaging/GifColorTable.h"

#include "imaging/tests/ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

namespace {

ATL::CComPtr<IStream> StreamOver(const std::vector<BYTE>& bytes, ULONGLONG position)
{
    ATL::CComPtr<IStream> stream;
    EXPECT_HRESULT_SUCCEEDED(::CreateStreamOnHGlobal(nullptr, TRUE, &stream));
    ULONG written = 0;
    if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    LARGE_INTEGER to = {};
    to.QuadPart = static_cast<LONGLONG>(position);
    stream->Seek(to, STREAM_SEEK_SET, nullptr);
    return stream;
}

// The walk's answer on `stream`, which it must leave where it stood.
int Walk(IStream* stream, int frames)
{
    ULARGE_INTEGER before = {}, after = {};
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &before);
    const int frame = FirstGifFrameWithoutColorTable(stream, frames);
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &after);
    EXPECT_EQ(after.QuadPart, before.QuadPart) << "the stream is left where it stood";
    return frame;
}

int WalkFrom(const std::vector<BYTE>& bytes, ULONGLONG position, int frames = INT_MAX)
{
    return Walk(StreamOver(bytes, position), frames);
}

// A stream that counts the calls made on it and the bytes read through it.
class CCountingStream : public IStream {
public:
    explicit CCountingStream(IStream* inner) : m_inner(inner) {}
    int m_reads = 0;
    int m_seeks = 0;
    ULONGLONG m_bytesRead = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = iid == IID_IUnknown || iid == IID_ISequentialStream || iid == IID_IStream ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override
    {
        ++m_reads;
        ULONG done = 0;
        const HRESULT hr = m_inner->Read(buffer, count, &done);
        m_bytesRead += done;
        if (read) *read = done;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* written) override
    {
        return m_inner->Write(buffer, count, written);
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override
    {
        ++m_seeks;
        return m_inner->Seek(move, origin, position);
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override { return m_inner->SetSize(size); }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* to, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                                     ULARGE_INTEGER* written) override
    {
        return m_inner->CopyTo(to, count, read, written);
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override { return m_inner->Commit(flags); }
    HRESULT STDMETHODCALLTYPE Revert() override { return m_inner->Revert(); }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) override
    {
        return m_inner->LockRegion(offset, count, type);
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) override
    {
        return m_inner->UnlockRegion(offset, count, type);
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override { return m_inner->Stat(stat, flags); }
    HRESULT STDMETHODCALLTYPE Clone(IStream** out) override { return m_inner->Clone(out); }

private:
    IStream* m_inner;
};

// GIF blocks as the walk sees them: the image data is one sub-block that no decoder is asked to read.
void AppendFrame(std::vector<BYTE>& gif, bool localTable)
{
    const BYTE descriptor[] = {0x2C, 0, 0, 0, 0, 16, 0, 16, 0, static_cast<BYTE>(localTable ? 0x81 : 0)};
    gif.insert(gif.end(), std::begin(descriptor), std::end(descriptor));
    if (localTable) gif.insert(gif.end(), 12, 0x7F);
    const BYTE data[] = {2, 1, 0x44, 0};
    gif.insert(gif.end(), std::begin(data), std::end(data));
}

// A comment extension of `count` sub-blocks of one byte each.
void AppendComment(std::vector<BYTE>& gif, size_t count)
{
    gif.push_back(0x21);
    gif.push_back(0xFE);
    for (size_t n = 0; n < count; ++n) {
        gif.push_back(1);
        gif.push_back('c');
    }
    gif.push_back(0);
}

std::vector<BYTE> GifWithoutGlobalTable() { return {'G', 'I', 'F', '8', '9', 'a', 16, 0, 16, 0, 0, 0, 0}; }

} // namespace

// Every cut of the files answers nothing or what the whole file answers; flipped bytes give some
// frame or none. Always with the stream where it stood; the walk that looks at the first frame
// alone answers alike.
TEST(GifColorTable, CutAndFlippedFilesAreWalkedSafely)
{
    std::mt19937 random(30);
    for (const wchar_t* name :
         {L"no-colour-table-first.gif", L"no-colour-table-second.gif", L"video-001.gif", L"local-colour-tables.gif"}) {
        SCOPED_TRACE(std::string(name, name + wcslen(name)));
        const std::vector<BYTE> whole = ReadTestFile(name);
        ASSERT_FALSE(whole.empty());
        const int answer = WalkFrom(whole, 0);
        const int firstAnswer = WalkFrom(whole, 0, 1);
        for (size_t cut = 0; cut < whole.size(); ++cut) {
            const std::vector<BYTE> part(whole.begin(), whole.begin() + cut);
            const int frame = WalkFrom(part, cut / 2);
            EXPECT_TRUE(frame == -1 || frame == answer) << "cut at " << cut;
            const int first = WalkFrom(part, cut / 3, 1);
            EXPECT_TRUE(first == -1 || first == firstAnswer) << "cut at " << cut;
        }
        for (int round = 0; round < 200; ++round) {
            std::vector<BYTE> flipped = whole;
            for (int n = 0; n < 4; ++n) flipped[random() % flipped.size()] ^= static_cast<BYTE>(1u << random() % 8);
            EXPECT_GE(WalkFrom(flipped, random() % flipped.size()), -1);
            EXPECT_TRUE(WalkFrom(flipped, random() % flipped.size(), 1) <= 0);
        }
    }
}

// The frames looked at end where the caller's question does.
TEST(GifColorTable, WalksNoFurtherThanTheFramesAskedAbout)
{
    const struct {
        const wchar_t* file;
        int frames;
        int answer;
    } cases[] = {
        {L"no-colour-table.gif", 1, 0},
        {L"no-colour-table.gif", INT_MAX, 0},
        {L"no-colour-table-first.gif", 1, 0},
        {L"no-colour-table-first.gif", INT_MAX, 0},
        {L"no-colour-table-second.gif", 1, -1},
        {L"no-colour-table-second.gif", 2, 1},
        {L"no-colour-table-second.gif", INT_MAX, 1},
        {L"local-colour-tables.gif", 1, -1},
        {L"local-colour-tables.gif", INT_MAX, -1},
        {L"video-001.gif", 1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file, c.file + wcslen(c.file)) + " " + std::to_string(c.frames));
        EXPECT_EQ(WalkFrom(ReadTestFile(c.file), 0, c.frames), c.answer);
    }
}

// A comment of many 1-byte sub-blocks between the frames: read in a few large reads, not one call a
// sub-block; the first frame's question reads little of what follows that frame.
TEST(GifColorTable, ReadsThroughABufferOfItsOwn)
{
    constexpr size_t kSubBlocks = 300000;
    std::vector<BYTE> gif = GifWithoutGlobalTable();
    AppendFrame(gif, true);
    AppendComment(gif, kSubBlocks);
    AppendFrame(gif, false);
    gif.push_back(0x3B);

    const ATL::CComPtr<IStream> memory = StreamOver(gif, 7);
    CCountingStream every(memory);
    EXPECT_EQ(Walk(&every, INT_MAX), 1);
    EXPECT_LT(every.m_reads + every.m_seeks, static_cast<int>(kSubBlocks / 100));

    CCountingStream first(memory);
    EXPECT_EQ(Walk(&first, 1), -1);
    EXPECT_LT(first.m_bytesRead, gif.size() / 2);
}
