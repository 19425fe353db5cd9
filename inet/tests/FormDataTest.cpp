// Form data: the url-encoded form both ways, multipart bodies, and the VARIANT forms.
#include "inet/FormData.h"
#include "inet/VariantData.h"
#include "inet/tests/RandomText.h"

#include <gtest/gtest.h>

#include <ComPtr.h>

namespace {

std::string Encoded(const CFormParams& params, UINT codePage)
{
    std::string bytes = "old";
    EXPECT_EQ(S_OK, FormEncode(params, bytes, codePage));
    return bytes;
}

// Expected texts as Python's urllib.parse.quote(text, safe='') writes them.
TEST(FormData, EncodeTable)
{
    const struct {
        CFormParams params;
        UINT codePage;
        const char* expected;
    } cases[] = {
        {{{L"q", L"a&b=c"}}, CP_UTF8, "q=a%26b%3Dc"},
        {{{L"a b", L"1+1=2%"}}, CP_UTF8, "a%20b=1%2B1%3D2%25"},
        {{{L"k", L"-._~*'()!#?/"}}, CP_UTF8, "k=-._~%2A%27%28%29%21%23%3F%2F"},
        {{{L"\u3042", L"\u3044"}}, CP_UTF8, "%E3%81%82=%E3%81%84"},
        {{{L"\u3042", L"x"}}, 932, "%82%A0=x"},
        {{{L"b", L"2"}, {L"a", L"1"}, {L"c", L""}}, CP_UTF8, "a=1&b=2&c="},
        {{}, CP_UTF8, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, Encoded(c.params, c.codePage));
}

TEST(FormData, EncodeFailureIsNoEmptyBody)
{
    std::string bytes = "old";
    EXPECT_TRUE(FAILED(FormEncode({{L"a", L"b"}}, bytes, 51932)));
    EXPECT_EQ("old", bytes);
    EXPECT_TRUE(FAILED(FormEncode({{L"big", std::wstring(0x100001, L'x')}}, bytes, CP_UTF8)));
    EXPECT_EQ("old", bytes);
    std::wstring text;
    FormatParameters({{L"a", L"1&2"}, {L"b", L""}}, text);
    EXPECT_EQ(L"a=1&2&b=", text);
}

TEST(FormData, ParseUrlEncodedTable)
{
    const struct {
        const char* body;
        CFormParams expected;
    } cases[] = {
        {"a=1&b=2", {{L"a", L"1"}, {L"b", L"2"}}},
        {"%41=+%20", {{L"%41", L"+%20"}}},
        {"a=b=c&&d=", {{L"a", L"b=c"}, {L"d", L""}}},
        {" a = b &novalue&=v&a=2", {{L"a", L"2"}}},
        {"", {}},
    };
    for (const auto& c : cases) {
        CFormParams params = {{L"stale", L"x"}};
        ParseUrlEncoded(params, std::string(c.body));
        EXPECT_EQ(c.expected, params) << c.body;
    }
    CFormParams wide;
    ParseUrlEncoded(wide, std::wstring(L"\u540d=\u5024"));
    EXPECT_EQ((CFormParams{{L"\u540d", L"\u5024"}}), wide);
}

// Quotes in a url-encoded body are data: a value sent as "a b" keeps its quotes.
TEST(FormData, ParseUrlEncodedKeepsQuotes)
{
    const CFormParams expected = {{L"q", L"\"a b\""}, {L"r", L"'x'"}, {L"\"n\"", L"1"}};
    CFormParams params;
    ParseUrlEncoded(params, std::string("q=\"a b\"&r='x'&\"n\"=1"));
    EXPECT_EQ(expected, params);
    std::wstring text;
    FormatParameters(expected, text);
    CFormParams back;
    ParseUrlEncoded(back, text);
    EXPECT_EQ(expected, back);
}

std::string Crlf(const char* text)
{
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n') out += '\r';
        out += *p;
    }
    return out;
}

TEST(FormData, Rfc7578Example)
{
    const std::string body = Crlf("--AaB03x\n"
                                  "content-disposition: form-data; name=\"field1\"\n"
                                  "content-type: text/plain;charset=UTF-8\n"
                                  "content-transfer-encoding: quoted-printable\n"
                                  "\n"
                                  "Joe owes =E2=82=AC100.\n"
                                  "--AaB03x\n");
    CFormParams params;
    ParseMultipart(params, body, L"AaB03x");
    EXPECT_EQ((CFormParams{{L"field1", L"Joe owes =E2=82=AC100."}}), params);
}

TEST(FormData, MultipartTable)
{
    const std::string binary("\x00\xFF\r\n--b\r\n-\r\n\r\n\x80'\"", 17);
    const std::string body = "preamble\r\n--xyz \t\r\n"
                             "Content-Disposition: form-data; name=\"note\"\r\n\r\n"
                             "it's two\r\nlines\r\n"
                             "--xyz\r\n"
                             "Content-Disposition: form-data; name=\"file\"; filename=\"my file.bin\"\r\n"
                             "Content-Type: application/octet-stream\r\n\r\n" +
                             binary +
                             "\r\n--xyz\r\n"
                             "Content-Disposition: form-data; name=\"empty\"\r\n\r\n"
                             "\r\n--xyz\r\n"
                             "Content-Disposition: attachment; name=\"skipped\"\r\n\r\nx\r\n"
                             "--xyz--\r\nepilogue\r\n--xyz\r\nContent-Disposition: form-data; name=\"after\"\r\n\r\ny";
    CFormParams params;
    ParseMultipart(params, body, L"xyz");
    ASSERT_EQ(3u, params.size());
    EXPECT_EQ(L"it's two\r\nlines", params[L"note"]);
    EXPECT_EQ(L"", params[L"empty"]);
    std::string file;
    for (wchar_t c : params[L"file"]) file += static_cast<char>(c);
    EXPECT_EQ(binary, file);

    ParseMultipart(params, body, L"");
    EXPECT_TRUE(params.empty());
    ParseMultipart(params, "--q\r\nContent-Disposition: form-data; name=a\r\n\r\nno end", L"q");
    EXPECT_EQ((CFormParams{{L"a", L"no end"}}), params);
}

TEST(FormData, ParseFormBodyChoosesByContentType)
{
    CFormParams params;
    ATL::CComVariant body, headers(L"Content-Type: multipart/form-data; boundary=\"b 1\"\r\n");
    const std::string multipart = "--b 1\r\nContent-Disposition: form-data; name=n\r\n\r\nv\r\n--b 1--";
    ASSERT_EQ(S_OK, ByteStringToVariant(body, multipart));
    EXPECT_EQ(S_OK, ParseFormBody(params, body, headers));
    EXPECT_EQ((CFormParams{{L"n", L"v"}}), params);

    ATL::CComVariant plain(L"Content-Type: application/x-www-form-urlencoded");
    ASSERT_EQ(S_OK, ByteStringToVariant(body, std::string("x=1&y=2")));
    EXPECT_EQ(S_OK, ParseFormBody(params, body, plain));
    EXPECT_EQ((CFormParams{{L"x", L"1"}, {L"y", L"2"}}), params);

    ATL::CComVariant text(L"not bytes");
    EXPECT_EQ(E_FAIL, ParseFormBody(params, text, plain));
    EXPECT_TRUE(params.empty());
}

TEST(FormData, VariantConversions)
{
    ATL::CComVariant value;
    ASSERT_EQ(S_OK, ByteStringToVariant(value, std::string("a\0b", 3)));
    EXPECT_EQ(VT_ARRAY | VT_UI1, V_VT(&value));
    std::string bytes;
    EXPECT_EQ(S_OK, VariantToByteString(bytes, value));
    EXPECT_EQ(std::string("a\0b", 3), bytes);

    VARIANT byRef;
    ::VariantInit(&byRef);
    V_VT(&byRef) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&byRef) = &value;
    EXPECT_EQ(S_OK, VariantToByteString(bytes, byRef));
    EXPECT_EQ(3u, bytes.size());

    ATL::CComVariant empty;
    EXPECT_EQ(S_FALSE, VariantToByteString(bytes, empty));
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(S_OK, ByteStringToVariant(value, std::string()));
    EXPECT_EQ(VT_EMPTY, V_VT(&value));

    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    ATL::CComVariant twoDimensions;
    V_VT(&twoDimensions) = VT_ARRAY | VT_UI1;
    V_ARRAY(&twoDimensions) = ::SafeArrayCreate(VT_UI1, 2, bounds);
    EXPECT_EQ(E_FAIL, VariantToByteString(bytes, twoDimensions));

    ASSERT_EQ(S_OK, WStringToVariantUtf16(value, L"\u3042b"));
    EXPECT_EQ(S_OK, VariantToByteString(bytes, value));
    EXPECT_EQ(std::string("\x42\x30\x62\x00", 4), bytes);
    ASSERT_EQ(S_OK, WStringToVariantBytes(value, L"ab"));
    EXPECT_EQ(S_OK, VariantToByteString(bytes, value));
    EXPECT_EQ("ab", bytes);

    EXPECT_EQ(L"", VariantToText(nullptr));
    ATL::CComVariant number(-12L), text(L"t");
    EXPECT_EQ(L"-12", VariantToText(&number));
    EXPECT_EQ(L"t", VariantToText(&text));
    EXPECT_EQ(L"", VariantToText(&empty));
    std::wstring wide;
    EXPECT_EQ(S_OK, VariantToWString(wide, text));
    EXPECT_EQ(L"t", wide);
    EXPECT_EQ(E_FAIL, VariantToWString(wide, number));

    CFormParams params = {{L"a", L"1 2"}};
    ASSERT_EQ(S_OK, ParamsToVariant(params, value));
    EXPECT_EQ(S_OK, VariantToByteString(bytes, value));
    EXPECT_EQ("a=1%202", bytes);
    ASSERT_EQ(S_OK, ParamsToVariantUtf16(params, value));
    EXPECT_EQ(S_OK, VariantToByteString(bytes, value));
    EXPECT_EQ(std::string("a\0=\0001\0 \0002\0", 10), bytes);
}

// Bodies written here parse back equal; raw bytes never crash the parsers.
TEST(FormData, RandomBodiesParseBack)
{
    inettest::CRandomText random("FormEncode/ParseUrlEncoded/ParseMultipart");
    const int count = inettest::RandomInputCount();
    for (int i = 0; i < count; ++i) {
        CFormParams params;
        const size_t fields = random.Below(4);
        for (size_t f = 0; f < fields; ++f) {
            params[L"n" + std::to_wstring(f) + random.Text(random.Below(8), L"ab;&='\"\\")] = random.Text(
                random.Below(40), L"xy;&=%+' \"\\\r\n-\u3042");
        }

        // Url-encoded: a separator inside a name or value never splits it.
        std::string body;
        ASSERT_EQ(S_OK, FormEncode(params, body, CP_UTF8)) << i;
        CFormParams parsed, expected;
        ParseUrlEncoded(parsed, body);
        for (const auto& [name, value] : params) {
            std::string pair;
            ASSERT_EQ(S_OK, FormEncode({{name, value}}, pair, CP_UTF8));
            const size_t equals = pair.find('=');
            const std::wstring encodedName(pair.begin(), pair.begin() + equals);
            expected[encodedName] = std::wstring(pair.begin() + equals + 1, pair.end());
        }
        ASSERT_EQ(expected, parsed) << i;

        // Multipart: text fields with quoted names, and a file of any bytes.
        std::string multipart = "--B0\r\n";
        std::string binary = random.Bytes();
        for (size_t at; (at = binary.find("\r\n--B0")) != std::string::npos;) binary.erase(at, 2);
        for (const auto& [name, value] : params) {
            std::string quoted;
            for (wchar_t c : name) {
                if (c == L'"' || c == L'\\') quoted += '\\';
                quoted += static_cast<char>(c);
            }
            std::string content;
            for (wchar_t c : value) content += c == L'\u3042' ? '?' : static_cast<char>(c);
            multipart += "Content-Disposition: form-data; name=\"" + quoted + "\"\r\n\r\n" + content + "\r\n--B0\r\n";
        }
        multipart += "Content-Disposition: form-data; name=\"f\"; filename=\"x\"\r\n\r\n" + binary + "\r\n--B0--\r\n";
        CFormParams parts;
        ParseMultipart(parts, multipart, L"B0");
        ASSERT_EQ(params.size() + 1, parts.size()) << i;
        for (const auto& [name, value] : params) {
            std::wstring plain = value;
            for (wchar_t& c : plain) c = c == L'\u3042' ? L'?' : c;
            ASSERT_EQ(plain, parts[name]) << i;
        }
        const std::wstring& file = parts[L"f"];
        ASSERT_EQ(binary.size(), file.size()) << i;
        for (size_t b = 0; b < binary.size(); ++b) ASSERT_EQ(static_cast<unsigned char>(binary[b]), file[b]) << i;

        CFormParams raw;
        ParseMultipart(raw, random.Bytes(), L"B0");
        ParseUrlEncoded(raw, random.Bytes());
    }
}

} // namespace
