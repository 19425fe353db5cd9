#include "imaging/GifColorTable.h"

#include "ids/imaging.h"
#include "imaging/GdiplusImage.h"
#include "imaging/ImgLoader.h"
#include "imaging/tests/ImagingTestSupport.h"
#include "tests/support/TempFolder.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <atomic>
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

// The walk's answer on `stream`, which it must leave where it stood; `hr` is what it returns.
int Walk(IStream* stream, int frames, HRESULT hr = S_OK)
{
    ULARGE_INTEGER before = {}, after = {};
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &before);
    int frame = -2;
    EXPECT_EQ(FirstGifFrameWithoutColorTable(stream, frame, frames), hr);
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &after);
    EXPECT_EQ(after.QuadPart, before.QuadPart) << "the stream is left where it stood";
    return frame;
}

int WalkFrom(const std::vector<BYTE>& bytes, ULONGLONG position, int frames = INT_MAX)
{
    return Walk(StreamOver(bytes, position), frames);
}

// How a stream fails, once each: the n-th call (from 1) of the kind, 0 for none. Every other call
// passes through.
struct StreamFaults {
    bool refuseSeekFromCurrent = false; // every time, as a forward-only stream does
    int failingSeek = 0;
    int failingRead = 0; // reads nothing
    int emptyRead = 0;   // succeeds with no bytes, short of the end
};

constexpr HRESULT kSeekFault = STG_E_SEEKERROR;
constexpr HRESULT kReadFault = static_cast<HRESULT>(0x80070017); // ERROR_CRC, a card's bad sector

// A stream over another that counts the calls made on it and the bytes read through it, and fails
// the calls it is told to.
class CFaultyStream final : public IStream {
public:
    explicit CFaultyStream(IStream* inner, StreamFaults faults = {}) : m_inner(inner), m_faults(faults) {}
    int m_reads = 0;
    int m_seeks = 0;
    ULONGLONG m_bytesRead = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = iid == IID_IUnknown || iid == IID_ISequentialStream || iid == IID_IStream ? this : nullptr;
        if (*out) AddRef();
        return *out ? S_OK : E_NOINTERFACE;
    }
    // One reference is the creator's: one on the stack is never deleted.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override
    {
        ++m_reads;
        if (read) *read = 0;
        if (m_reads == m_faults.failingRead) return kReadFault;
        if (m_reads == m_faults.emptyRead) return S_OK;
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
        if (origin == STREAM_SEEK_CUR && m_faults.refuseSeekFromCurrent) return STG_E_INVALIDFUNCTION;
        if (m_seeks == m_faults.failingSeek) return kSeekFault;
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
    ATL::CComPtr<IStream> m_inner;
    StreamFaults m_faults;
    std::atomic<ULONG> m_refs{1};
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
    CFaultyStream every(memory);
    EXPECT_EQ(Walk(&every, INT_MAX), 1);
    EXPECT_LT(every.m_reads + every.m_seeks, static_cast<int>(kSubBlocks / 100));

    CFaultyStream first(memory);
    EXPECT_EQ(Walk(&first, 1), -1);
    EXPECT_LT(first.m_bytesRead, gif.size() / 2);

    // Past the first read, a failure is still the stream's and not the end of the file.
    CFaultyStream failing(memory, {false, 0, 3, 0});
    EXPECT_EQ(Walk(&failing, INT_MAX, kReadFault), -1);
    CFaultyStream empty(memory, {false, 0, 0, 4});
    EXPECT_EQ(Walk(&empty, INT_MAX, STG_E_READFAULT), -1);
}

namespace {

using GifStreams = ImagingTest;

// The streams callers hand over: memory, the shell's memory stream, a file of the same bytes, and
// one over memory that fails nothing.
ATL::CComPtr<IStream> OrdinaryStream(int kind, const std::vector<BYTE>& bytes, const std::wstring& path)
{
    ATL::CComPtr<IStream> stream;
    switch (kind) {
    case 0: return StreamOver(bytes, 0);
    case 1: stream.Attach(::SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()))); break;
    case 2:
        ::SHCreateStreamOnFileEx(path.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE, 0, FALSE, nullptr, &stream);
        break;
    default: stream.Attach(new CFaultyStream(StreamOver(bytes, 0)));
    }
    return stream;
}

} // namespace

// A stream that fails once, or will not say where it stands, gives no answer: both stream roads
// refuse the load with its error, before a codec reads a frame without colours (Wine's crash
// the process), whatever the file holds.
TEST_F(GifStreams, AStreamThatFailsRefusesTheLoadWithItsError)
{
    const struct {
        const char* fault;
        StreamFaults faults;
        HRESULT hr;
    } rows[] = {
        {"seeks from where it stands refused", {true, 0, 0, 0}, STG_E_INVALIDFUNCTION},
        {"the first seek", {false, 1, 0, 0}, kSeekFault},
        {"the seek back", {false, 3, 0, 0}, kSeekFault},
        {"the first read", {false, 0, 1, 0}, kReadFault},
        {"no bytes before the end", {false, 0, 0, 1}, STG_E_READFAULT},
    };
    for (const wchar_t* file : {L"no-colour-table.gif", L"no-colour-table-second.gif", L"local-colour-tables.gif"}) {
        const std::vector<BYTE> gif = ReadTestFile(file);
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(file, file + wcslen(file)) + ": " + row.fault);
            CFaultyStream walked(StreamOver(gif, 5), row.faults);
            int frame = 0;
            EXPECT_EQ(FirstGifFrameWithoutColorTable(&walked, frame), row.hr);
            CFaultyStream decoded(StreamOver(gif, 0), row.faults);
            my::CException thrown;
            try {
                wic::CImgLoader().Load(&decoded);
            } catch (const my::CException& e) {
                thrown = e;
            }
            EXPECT_EQ(thrown.m_id, static_cast<UINT>(IDS_WIC_DECODER_FAILED));
            EXPECT_EQ(static_cast<HRESULT>(thrown.m_code), row.hr);
            CFaultyStream drawn(StreamOver(gif, 0), row.faults);
            CGdiplusImagePtr image;
            EXPECT_EQ(LoadImageFromStream(image, &drawn), row.hr);
            EXPECT_FALSE(image);
        }
    }
}

// GIFs with colours load on both stream roads from the streams callers make: one the walk stops
// at its header, one it runs through to the trailer, and the same without its trailer, where the
// walk reads to the stream's end.
TEST_F(GifStreams, GifsWithColoursLoadFromOrdinaryStreams)
{
    const struct {
        const wchar_t* file;
        size_t cut;
        UINT width;
        UINT frames;
    } cases[] = {
        {L"video-001.gif", 0, 150, 1}, {L"local-colour-tables.gif", 0, 16, 3}, {L"local-colour-tables.gif", 1, 16, 3}};
    const GUID time = Gdiplus::FrameDimensionTime;
    const CTempFolder folder;
    for (const auto& c : cases) {
        std::vector<BYTE> gif = ReadTestFile(c.file);
        gif.resize(gif.size() - c.cut);
        const std::wstring path = folder.WriteFile(L"picture.gif", std::string(gif.begin(), gif.end()));
        for (int kind = 0; kind < 4; ++kind) {
            SCOPED_TRACE(std::string(c.file, c.file + wcslen(c.file)) + " " + std::to_string(c.cut) + " " +
                         std::to_string(kind));
            const ATL::CComPtr<IStream> decoded = OrdinaryStream(kind, gif, path);
            EXPECT_EQ(wic::CImgLoader().Load(decoded)->m_w, c.width);
            const ATL::CComPtr<IStream> drawn = OrdinaryStream(kind, gif, path);
            CGdiplusImagePtr image;
            ASSERT_EQ(LoadImageFromStream(image, drawn), S_OK);
            EXPECT_EQ(image->GetFrameCount(&time), c.frames);
        }
    }
}
