#include "foundation/CodePage.h"
#include "foundation/Exception.h"
#include "foundation/GlobalMemory.h"
#include "foundation/HexColor.h"
#include "foundation/LineEnds.h"
#include "foundation/StreamIo.h"
#include "foundation/Streams.h"
#include "ids/xml.h"
#include "tests/support/UiLanguage.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <random>

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

TEST(Streams, FileStreamWriteThenRead)
{
    CTempFolder temp;
    const std::wstring path = temp.Path(L"s.bin");
    {
        CStreamPtr out;
        CreateFileStreamForWriteOrThrow(out, path);
        IStreamWrite(out, "abc\0def", 7);
    }
    CStreamPtr in;
    CreateFileStreamOrThrow(in, path);
    EXPECT_EQ(std::string("abc\0def", 7), ReadWhole(in));
    char more;
    EXPECT_THROW(IStreamRead(in, &more, 1), my::CException); // at the end: a short read
    IStreamRelease(in);
    EXPECT_FALSE(in);
}

TEST(Streams, FileIntoMemoryHasTheFileSizeAndBytes)
{
    CTempFolder temp;
    std::string content(12345, 'q');
    content[100] = '\0';
    temp.WriteFile(L"m.bin", content);
    temp.WriteFile(L"e.bin", "");
    CStreamPtr stream;
    ASSERT_EQ(S_OK, CreateStreamOnFileHGlobal(stream, temp.Path(L"m.bin"), 1 << 20));
    EXPECT_EQ(content, ReadWhole(stream));
    ASSERT_EQ(S_OK, CreateStreamOnFileHGlobal(stream, temp.Path(L"e.bin"), 1 << 20));
    EXPECT_EQ("", ReadWhole(stream));
    EXPECT_EQ(E_OUTOFMEMORY, CreateStreamOnFileHGlobal(stream, temp.Path(L"m.bin"), 12344));
    EXPECT_FALSE(stream);

    OpenFileStreamBuffered(stream, temp.Path(L"m.bin"), 1 << 20);
    EXPECT_EQ(content, ReadWhole(stream));
    // Too large for memory: the plain file stream instead.
    OpenFileStreamPreferMemory(stream, temp.Path(L"m.bin"), 10);
    EXPECT_EQ(content, ReadWhole(stream));
    OpenFileStreamPreferMemory(stream, temp.Path(L"m.bin"), 0);
    EXPECT_EQ(content, ReadWhole(stream));
    try {
        OpenFileStreamBuffered(stream, temp.Path(L"m.bin"), 0);
        FAIL() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(static_cast<UINT>(IDS_FILE_OPEN_FAILED), e.m_id);
        EXPECT_EQ(static_cast<UINT>(E_OUTOFMEMORY), e.m_code);
    }
    EXPECT_THROW(OpenFileStreamPreferMemory(stream, temp.Path(L"none.bin"), 100), my::CException);
}

TEST(Streams, MemoryStreamOwnedKeepsTheMemory)
{
    CGlobalMemory owner;
    {
        CStreamPtr stream;
        CreateMemoryStreamOwned(stream, owner);
        IStreamWrite(stream, "payload", 7);
        EXPECT_EQ(owner.Get(), GetStreamHGlobalOrThrow(stream));
        EXPECT_EQ(7u, IStreamSeekOrThrow(stream, 0, STREAM_SEEK_CUR));
    }
    ASSERT_TRUE(owner.Get());
    CGlobalLocker lock(owner);
    ASSERT_TRUE(lock.Get());
    EXPECT_EQ(0, memcmp(lock.Get(), "payload", 7));
}

TEST(Streams, GlobalMemoryOwnership)
{
    CGlobalMemory memory;
    ASSERT_TRUE(memory.Alloc(16, GMEM_MOVEABLE));
    HGLOBAL h = memory.Detach();
    EXPECT_FALSE(memory.Get());
    memory.Attach(h);
    EXPECT_EQ(h, memory.Get());
    CGlobalLocker lock;
    void* p = nullptr;
    EXPECT_TRUE(lock.Lock(&p, memory));
    EXPECT_TRUE(p);
    lock.Unlock();
    EXPECT_FALSE(lock.Lock(&p, nullptr));
    memory.Free();
    EXPECT_FALSE(memory.Get());
}

TEST(Streams, ResourceStream)
{
    CStreamPtr stream;
    EXPECT_EQ(E_FAIL, CreateStreamOnResource(stream, L"NO_SUCH_RESOURCE", L"IMAGE"));
    EXPECT_FALSE(stream);
    // The string table is a resource of every test program: block 1 of RT_STRING.
    HRSRC info = ::FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(59139 / 16 + 1), RT_STRING);
    ASSERT_TRUE(info);
    ASSERT_EQ(S_OK, CreateStreamOnResource(stream, MAKEINTRESOURCEW(59139 / 16 + 1), RT_STRING));
    EXPECT_EQ(::SizeofResource(GetModuleHandleW(nullptr), info), IStreamGetSizeOrThrow(stream));
}

TEST(Streams, GetSizeFailureCarriesTheCodeText)
{
    try {
        IStreamGetSizeOrThrow(nullptr);
        FAIL() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(static_cast<UINT>(IDS_STREAM_GET_SIZE_FAILED), e.m_id);
        const std::wstring prefix = ByLanguage(L"Failed to get stream size - ", L"ストリームのサイズを取得できませんでした - ");
        ASSERT_EQ(0u, e.m_message.find(prefix));
        EXPECT_GT(e.m_message.size(), prefix.size());
        EXPECT_EQ(std::wstring::npos, e.m_message.find(L"%s"));
    }
}

TEST(CodePage, RoundTripsThroughUtf8AndShiftJis)
{
    const std::wstring text = L"abc \x65E5\x672C\x8A9E \xD83D\xDE00 <&>";
    std::string utf8;
    WStringToMultiByte(CP_UTF8, 0, text, utf8);
    EXPECT_EQ("abc \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xF0\x9F\x98\x80 <&>", utf8);
    std::wstring back;
    MultiByteToWString(CP_UTF8, 0, utf8, back);
    EXPECT_EQ(text, back);

    std::string sjis;
    WStringToMultiByte(932, 0, std::wstring(L"\x65E5\x672C"), sjis);
    EXPECT_EQ("\x93\xFA\x96\x7B", sjis);

    back = L"stale";
    MultiByteToWString(CP_UTF8, 0, "", 0, back);
    EXPECT_TRUE(back.empty());
    try {
        MultiByteToWString(CP_UTF8, MB_ERR_INVALID_CHARS, std::string("\xFF\xFE"), back);
        FAIL() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(static_cast<UINT>(IDS_TO_UNICODE_FAILED), e.m_id);
        EXPECT_NE(std::wstring::npos, e.m_message.find(L"65001"));
        EXPECT_TRUE(back.empty());
    }
}

TEST(LineEnds, Conversions)
{
    struct Case {
        const wchar_t* in;
        const wchar_t* crlf;
        const wchar_t* lf;
        const wchar_t* normal;
    } cases[] = {
        {L"a\nb\r\nc\n", L"a\r\nb\r\nc\r\n", L"a\nb\nc\n", L"a\nb\nc\n"},
        {L"\nx", L"\r\nx", L"\nx", L"\nx"},
        {L"x\n\ny", L"x\r\n\r\ny", L"x\n\ny", L"x\n\ny"},
        {L"\n\n", L"\r\n\r\n", L"\n\n", L"\n\n"},
        {L"a\n\n\nb", L"a\r\n\r\n\r\nb", L"a\n\n\nb", L"a\n\n\nb"},
        {L"\r\n\n\r", L"\r\n\r\n\r", L"\n\n\r", L"\n\n\n"},
        {L"a\r\n\r\nb", L"a\r\n\r\nb", L"a\n\nb", L"a\n\nb"},
        {L"a\rb", L"a\rb", L"a\rb", L"a\nb"},
        {L"", L"", L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.crlf, ToCRLF(c.in)) << c.in;
        EXPECT_EQ(c.lf, ToLF(c.in)) << c.in;
        EXPECT_EQ(c.normal, NormalizeLineEnds(c.in)) << c.in;
    }
    EXPECT_EQ(L"a<br>b<br>c<br>d", ReplaceLineEnds(L"a\nb\r\nc\rd", L"<br>"));
}

TEST(HexColor, ParseFormatInvert)
{
    struct Case {
        const wchar_t* text;
        bool ok;
        COLORREF color;
    } cases[] = {
        {L"F", true, 0x0F0F0F},   {L"80", true, 0x808080},  {L"FF8000", true, 0x0080FF},
        {L"ff8000", true, 0x0080FF}, {L"FFF", false, 0},     {L"", false, 0},
        {L"12345G", false, 0},    {L"1234567", false, 0},   {L" 80", false, 0},
    };
    for (const auto& c : cases) {
        COLORREF color = 0xDEAD;
        EXPECT_EQ(c.ok, ParseHexColor(color, c.text)) << c.text;
        EXPECT_EQ(c.ok ? c.color : 0xDEADu, color) << c.text;
    }
    EXPECT_EQ(L"FF8000", FormatHexColor(0x0080FF));
    EXPECT_EQ(L"000000", FormatHexColor(0));
    for (COLORREF c : {0x000000u, 0x123456u, 0xFFFFFFu, 0x0080FFu}) {
        COLORREF back = 0;
        ASSERT_TRUE(ParseHexColor(back, FormatHexColor(c)));
        EXPECT_EQ(c, back);
        EXPECT_EQ(0xFFFFFFu - c, InvertColor(c));
    }
    EXPECT_EQ(0u, InvertColor(0xFFFFFFFFu) >> 24);
    EXPECT_EQ(11, HexDigitValue(L'b'));
    EXPECT_EQ(11, HexDigitValue(L'B'));
    EXPECT_EQ(0, HexDigitValue(L'g'));
}

TEST(LineEnds, RandomizedInvariants)
{
    std::mt19937 rng(4711);
    const wchar_t alphabet[] = {L'a', L'\r', L'\n', L'\n'};
    std::uniform_int_distribution<int> pick(0, 3), length(0, 12);
    for (int i = 0; i < 5000; ++i) {
        std::wstring text;
        for (int n = length(rng); n > 0; --n) text += alphabet[pick(rng)];
        const std::wstring crlf = ToCRLF(text);
        for (size_t at = crlf.find(L'\n'); at != std::wstring::npos; at = crlf.find(L'\n', at + 1))
            ASSERT_TRUE(at > 0 && crlf[at - 1] == L'\r') << i;
        ASSERT_EQ(ToLF(text), ToLF(crlf)) << i;
        ASSERT_EQ(std::wstring::npos, NormalizeLineEnds(text).find(L'\r'));
    }
}
