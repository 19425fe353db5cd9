// Header lines into headers with parameters.
#include "inet/HeaderParams.h"
#include "inet/tests/RandomText.h"

#include <gtest/gtest.h>

#include <ComPtr.h>

namespace {

TEST(HeaderParams, SplitHeaderLineTable)
{
    const struct {
        const wchar_t* line;
        bool ok;
        const wchar_t* name;
        const wchar_t* value;
    } cases[] = {
        {L"Content-Type: text/html", true, L"content-type", L"text/html"},
        {L"  X-Note : 'a value with blanks'  ", true, L"x-note", L"a value with blanks"},
        {L"X-Quoted: \"q v\"", true, L"x-quoted", L"q v"},
        {L"Host:127.0.0.1:8080", true, L"host", L"127.0.0.1:8080"},
        {L"User-Agent: Bob's client", true, L"user-agent", L"Bob's client"},
        {L"Empty:", true, L"empty", L""},
        {L"no colon here", false, L"", L""},
        {L": no name", false, L"", L""},
        {L"two words: x", false, L"", L""},
    };
    for (const auto& c : cases) {
        std::wstring name, value;
        EXPECT_EQ(c.ok, SplitHeaderLine(c.line, name, value)) << c.line;
        if (!c.ok) continue;
        EXPECT_EQ(c.name, name) << c.line;
        EXPECT_EQ(c.value, value) << c.line;
    }
}

TEST(HeaderParams, ParametersTable)
{
    CHeaderMap headers;
    ParseHeaderText(headers, L"Content-Disposition: form-data; NAME=\"field 1\"; filename=\"my file.txt\"\r\n"
                             L"Content-Type: multipart/mixed; boundary=----=_Part_0_1; x=a=b=c\r\n"
                             L"User-Agent: Bob's client\r\n"
                             L"X-Semi: \"a;b\"; p=\"x\\\"y\"\r\n"
                             L"garbage line\r\n");
    ASSERT_EQ(4u, headers.size());
    const CHeaderEntry& disposition = headers[L"content-disposition"];
    EXPECT_EQ(L"form-data", disposition.value);
    EXPECT_EQ(L"field 1", disposition.parameters.at(L"name"));
    EXPECT_EQ(L"my file.txt", disposition.parameters.at(L"filename"));
    const CHeaderEntry& type = headers[L"content-type"];
    EXPECT_EQ(L"multipart/mixed", type.value);
    EXPECT_EQ(L"----=_Part_0_1", type.parameters.at(L"boundary"));
    EXPECT_EQ(L"a=b=c", type.parameters.at(L"x"));
    EXPECT_EQ(L"Bob's client", headers[L"user-agent"].value);
    EXPECT_EQ(L"a;b", headers[L"x-semi"].value);
    EXPECT_EQ(L"x\"y", headers[L"x-semi"].parameters.at(L"p"));
}

TEST(HeaderParams, VariantText)
{
    CHeaderMap headers;
    ATL::CComVariant text(L"A: 1\r\nB: 2");
    EXPECT_EQ(S_OK, ParseHeaderText(headers, text));
    EXPECT_EQ(2u, headers.size());
    ATL::CComVariant empty;
    EXPECT_EQ(S_FALSE, ParseHeaderText(headers, empty));
    ATL::CComVariant number(7L);
    EXPECT_EQ(E_FAIL, ParseHeaderText(headers, number));
}

// Names are lower case, hold no blank, ':' or '='; a long line without separators is parsed
// in one pass (a backtracking pattern gave up on it).
TEST(HeaderParams, RandomHeaderTextsKeepTheInvariants)
{
    inettest::CRandomText random("ParseHeaderText");
    const int count = inettest::RandomInputCount();
    for (int i = 0; i < count; ++i) {
        CHeaderMap headers;
        ParseHeaderText(headers, random.Text());
        for (const auto& [name, entry] : headers) {
            ASSERT_FALSE(name.empty()) << i;
            ASSERT_EQ(std::wstring::npos, name.find_first_of(L" \t\r\n:")) << i;
            for (wchar_t c : name) ASSERT_EQ(towlower(c), c) << i;
            ASSERT_EQ(std::wstring::npos, entry.value.find_first_of(L"\r\n")) << i;
            for (const auto& parameter : entry.parameters) ASSERT_FALSE(parameter.first.empty()) << i;
        }
    }
    CHeaderMap headers;
    ParseHeaderText(headers, L"X: " + std::wstring(200000, L'a') + L"; " + std::wstring(200000, L'b'));
    EXPECT_EQ(200000u, headers[L"x"].value.size());
}

} // namespace
