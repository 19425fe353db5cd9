#include "foundation/CodePage.h"
#include "foundation/Exception.h"
#include "foundation/HexColor.h"
#include "foundation/ResString.h"
#include "foundation/StreamIo.h"
#include "foundation/Streams.h"
#include "ids/xml.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

template <class Action> my::CException Caught(Action action)
{
    try {
        action();
    } catch (const my::CException& e) {
        return e;
    }
    ADD_FAILURE() << "no exception";
    return my::CException(0);
}

} // namespace

// Each code page's own bytes for the same text; the way back gives the text again.
TEST(CodePages, RoundTripsThroughEachCodePage)
{
    const std::tuple<UINT, std::wstring, std::string> cases[] = {
        {CP_UTF8, std::wstring(L"日本\0x", 4), std::string("\xE6\x97\xA5\xE6\x9C\xAC\0x", 8)},
        {932, std::wstring(L"日本\0x", 4), std::string("\x93\xFA\x96\x7B\0x", 6)},
        {20932, L"日本", "\xC6\xFC\xCB\xDC"},
        {1252, L"caf\x00e9", "caf\xE9"},
        {CP_UTF8, L"\U0002000B", "\xF0\xA0\x80\x8B"}, // a surrogate pair
        {CP_UTF8, L"", ""},
    };
    for (const auto& [codePage, wide, bytes] : cases) {
        std::string narrow = "old";
        WStringToMultiByte(codePage, 0, wide, narrow);
        EXPECT_EQ(narrow, bytes) << codePage;
        std::wstring back = L"old";
        MultiByteToWString(codePage, 0, bytes, back);
        EXPECT_EQ(back, wide) << codePage;
    }
    std::wstring out = L"old";
    MultiByteToWString(CP_UTF8, 0, nullptr, 0, out);
    EXPECT_EQ(out, L"") << "a length of 0 needs no text at all";
}

TEST(CodePages, FailuresNameTheCodePageAndLeaveTheResultEmpty)
{
    std::wstring wide = L"old";
    my::CException e = Caught([&] { MultiByteToWString(CP_UTF8, MB_ERR_INVALID_CHARS, std::string("a\xFF"), wide); });
    EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_TO_UNICODE_FAILED));
    EXPECT_NE(e.m_message.find(L"65001"), std::wstring::npos) << e.m_message;
    EXPECT_TRUE(wide.empty());
    e = Caught([&] { MultiByteToWString(12345, 0, std::string("abc"), wide); });
    EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_TO_UNICODE_FAILED));
    EXPECT_NE(e.m_message.find(L"12345"), std::wstring::npos) << e.m_message;

    std::string narrow = "old";
    e = Caught([&] { WStringToMultiByte(12345, 0, std::wstring(L"abc"), narrow); });
    EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_TO_MULTIBYTE_FAILED));
    EXPECT_NE(e.m_message.find(L"12345"), std::wstring::npos) << e.m_message;
    EXPECT_TRUE(narrow.empty());
    // A lone surrogate has no UTF-8 form when the system is asked to refuse it.
    e = Caught([&] { WStringToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, std::wstring(L"a\xD800"), narrow); });
    EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_TO_MULTIBYTE_FAILED));
}

TEST(HexColors, ParseOneTwoOrSixDigitsAndFormatBack)
{
    const std::tuple<std::wstring, bool, COLORREF> cases[] = {
        {L"F", true, 0x0F0F0F},
        {L"0", true, 0},
        {L"a", true, 0x0A0A0A},
        {L"80", true, 0x808080},
        {L"fF", true, 0xFFFFFF},
        {L"FF8000", true, 0x0080FF},
        {L"0000ff", true, 0xFF0000},
        {L"123456", true, 0x563412},
        {L"", false, 0},
        {L"FFF", false, 0},
        {L"FFFF", false, 0},
        {L"12345", false, 0},
        {L"1234567", false, 0},
        {L"GG", false, 0},
        {L" 80", false, 0},
        {L"#FF8000", false, 0},
        {L"８０", false, 0}, // full-width digits
    };
    for (const auto& [text, valid, color] : cases) {
        COLORREF out = 0xABCDEF;
        EXPECT_EQ(ParseHexColor(out, text), valid) << text;
        if (valid) {
            EXPECT_EQ(out, color) << text;
        }
    }
    for (COLORREF color : {0x000000u, 0x0080FFu, 0xFFFFFFu, 0x123456u, 0x0A0B0Cu}) {
        const std::wstring text = FormatHexColor(color);
        EXPECT_EQ(text.size(), 6u);
        COLORREF back = 0;
        ASSERT_TRUE(ParseHexColor(back, text)) << text;
        EXPECT_EQ(back, color) << text;
    }
    EXPECT_EQ(FormatHexColor(0x0080FF), L"FF8000");
    EXPECT_EQ(InvertColor(0xFF123456), 0x00EDCBA9u);
    EXPECT_EQ(HexDigitValue(L'g'), 0);
    EXPECT_EQ(HexDigitValue(L'B'), 11);
}

// The stream holds a copy of exactly the resource's bytes, as the system's own resource calls give
// them; a missing resource empties the holder.
TEST(ResourceStreams, CopyTheResourceBytesOrFailWithEFail)
{
    const HMODULE module = GetResourceInstance();
    const struct {
        const wchar_t* name;
        const wchar_t* type;
    } cases[] = {
        {MAKEINTRESOURCEW(64100), L"IMAGE"}, {MAKEINTRESOURCEW(64102), L"PNG"}, {MAKEINTRESOURCEW(1), RT_MANIFEST}};
    for (const auto& c : cases) {
        HRSRC found = ::FindResourceW(module, c.name, c.type);
        ASSERT_TRUE(found);
        const DWORD size = ::SizeofResource(module, found);
        const char* data = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
        ASSERT_TRUE(data && size);
        CStreamPtr stream;
        ASSERT_EQ(CreateStreamOnResource(stream, c.name, c.type), S_OK);
        ASSERT_EQ(IStreamGetSizeOrThrow(stream), size);
        std::string bytes(size, '\0');
        IStreamRead(stream, bytes.data(), size);
        EXPECT_EQ(bytes, std::string(data, size));
        char more = 0;
        EXPECT_THROW(IStreamRead(stream, &more, 1), my::CException) << "nothing past the resource";
    }
    CStreamPtr stream;
    ASSERT_EQ(CreateStreamOnResource(stream, MAKEINTRESOURCEW(64100), L"IMAGE"), S_OK);
    EXPECT_EQ(CreateStreamOnResource(stream, MAKEINTRESOURCEW(64999), L"IMAGE"), E_FAIL);
    EXPECT_FALSE(stream) << "what the holder held is released first";
    EXPECT_EQ(CreateStreamOnResource(stream, MAKEINTRESOURCEW(64100), L"NOSUCHTYPE"), E_FAIL);
}
