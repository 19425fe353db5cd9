#include "foundation/Streams.h"
#include "foundation/Exception.h"
#include "foundation/LineEnds.h"
#include "foundation/StreamIo.h"
#include "ids/xml.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

std::string ReadWhole(IStream* stream)
{
    const ULONGLONG size = IStreamGetSizeOrThrow(stream);
    IStreamSeekOrThrow(stream, 0, STREAM_SEEK_SET);
    std::string bytes(static_cast<size_t>(size), '\0');
    if (size) IStreamRead(stream, bytes.data(), static_cast<ULONG>(size));
    return bytes;
}

} // namespace

TEST(Streams, FileStreamsAndFileIntoMemory)
{
    CTempFolder temp;
    const std::wstring path = temp.Path(L"s.bin");
    const std::string content = std::string("abc\0def", 7) + std::string(12345, 'q');
    {
        CStreamPtr out;
        CreateFileStreamForWriteOrThrow(out, path);
        IStreamWrite(out, content.data(), static_cast<ULONG>(content.size()));
    }
    CStreamPtr in;
    CreateFileStreamOrThrow(in, path);
    EXPECT_EQ(content, ReadWhole(in));
    char more;
    EXPECT_THROW(IStreamRead(in, &more, 1), my::CException) << "a short read";

    CStreamPtr memory;
    ASSERT_EQ(S_OK, CreateStreamOnFileHGlobal(memory, path, 1 << 20));
    EXPECT_EQ(content, ReadWhole(memory));
    EXPECT_EQ(E_OUTOFMEMORY, CreateStreamOnFileHGlobal(memory, path, content.size() - 1));
    EXPECT_FALSE(memory);
    // No memory block of 0 bytes: an empty file still gives a stream.
    ASSERT_EQ(S_OK, CreateStreamOnFileHGlobal(memory, temp.WriteFile(L"e.bin", ""), 1 << 20));
    EXPECT_EQ("", ReadWhole(memory));
}

TEST(Streams, GetSizeFailureCarriesTheCodeText)
{
    try {
        IStreamGetSizeOrThrow(nullptr);
        FAIL() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(static_cast<UINT>(IDS_STREAM_GET_SIZE_FAILED), e.m_id);
        std::wstring codeText;
        e.GetCodeMessage(codeText);
        ASSERT_FALSE(codeText.empty());
        EXPECT_NE(std::wstring::npos, e.m_message.find(codeText)) << e.m_message;
        EXPECT_EQ(std::wstring::npos, e.m_message.find(L"%s"));
    }
}

TEST(LineEnds, Conversions)
{
    // text, to CR LF, to LF, normalized
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
        {L"a\nb\r\nc\n", L"a\r\nb\r\nc\r\n", L"a\nb\nc\n", L"a\nb\nc\n"},
        {L"a\n\n\nb", L"a\r\n\r\n\r\nb", L"a\n\n\nb", L"a\n\n\nb"},
        {L"\r\n\n\r", L"\r\n\r\n\r", L"\n\n\r", L"\n\n\n"},
        {L"a\rb", L"a\rb", L"a\rb", L"a\nb"},
    };
    for (const auto& [in, crlf, lf, normal] : cases) {
        EXPECT_EQ(crlf, ToCRLF(in)) << in;
        EXPECT_EQ(lf, ToLF(in)) << in;
        EXPECT_EQ(normal, NormalizeLineEnds(in)) << in;
    }
}
