// The XML document layer over the system's DOM: loading, failures that keep the previous
// document, node paths in messages, and the text forms of typed values.
#include "foundation/XmlDocument.h"
#include "foundation/GlobalMemory.h"
#include "ids/xml.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <climits>
#include <functional>

namespace {

// A document with an empty root, written by the test, saved to memory through the DOM and
// loaded back (files are saved and loaded in the settings tests).
class Xml : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_out.LoadFromText(L"<?xml version=\"1.0\" encoding=\"utf-8\"?><Root/>"));
        ASSERT_TRUE(m_out.SelectNodeOrFail(L"Root", m_outRoot));
    }

    void Reload()
    {
        CGlobalMemory memory(m_out.SaveToMemory());
        ASSERT_TRUE(memory.Get()) << m_out.GetError().m_message;
        ASSERT_TRUE(m_in.LoadFromMemory(memory)) << m_in.GetError().m_message;
        ASSERT_TRUE(m_in.SelectNodeOrFail(L"Root", m_inRoot));
    }

    // A document whose root holds one element <Value> with the given text.
    void LoadValue(const std::wstring& text)
    {
        ASSERT_TRUE(m_in.LoadFromText(L"<Root><Value>" + text + L"</Value></Root>"));
        ASSERT_TRUE(m_in.SelectNodeOrFail(L"Root", m_inRoot));
    }

    // The text of a child of the loaded root, read straight from the DOM.
    std::wstring StoredText(const std::wstring& name)
    {
        CXmlNodePtr node;
        ATL::CComBSTR text;
        EXPECT_TRUE(m_in.SelectChildOrFail(m_inRoot, name, node) && node->get_text(&text) == S_OK) << name;
        return text.m_str ? std::wstring(text.m_str, text.Length()) : std::wstring();
    }

    // The failure names what was looked for: the node path, which starts with the document
    // node's own name, and the XPath.
    void ExpectFailure(UINT id)
    {
        ATL::CComBSTR document;
        ASSERT_EQ(S_OK, m_in.GetDocument()->get_nodeName(&document));
        EXPECT_EQ(id, m_in.GetError().m_id);
        const std::wstring location = std::wstring(document.m_str) + L"/Root -> Value";
        EXPECT_NE(std::wstring::npos, m_in.GetError().m_message.find(location)) << m_in.GetError().m_message;
    }

    CTempFolder m_temp;
    CXmlDocument m_out, m_in;
    CXmlNodePtr m_outRoot, m_inRoot;
};

} // namespace

TEST_F(Xml, BrokenOrMissingSourcesFailAndKeepThePreviousDocument)
{
    const std::string broken = "<?xml version=\"1.0\"?><Root><a></Root>";
    const std::wstring brokenFile = m_temp.WriteFile(L"bad.xml", broken);
    CGlobalMemory memory;
    ASSERT_TRUE(memory.Alloc(broken.size(), GMEM_MOVEABLE));
    memcpy(CGlobalLocker(memory).Get(), broken.data(), broken.size());

    LoadValue(L"kept");
    IXMLDOMDocument* before = m_in.GetDocument();
    // The DOM answers S_FALSE for a document it cannot parse: that is a failure too.
    const struct {
        std::function<bool()> load;
        UINT id;
        std::wstring inMessage;
    } cases[] = {
        {[&] { return m_in.LoadFromText(L"<Root><Value>x</Root>"); }, IDS_XML_PARSE_FAILED, L""},
        {[&] { return m_in.LoadFromMemory(memory); }, IDS_XML_PARSE_FAILED, L""},
        {[&] { return m_in.LoadFromFile(brokenFile); }, IDS_XML_LOAD_FAILED, brokenFile},
        {[&] { return m_in.LoadFromFile(m_temp.Path(L"none.xml")); }, IDS_XML_LOAD_FAILED, m_temp.Path(L"none.xml")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        EXPECT_FALSE(c.load());
        EXPECT_EQ(c.id, m_in.GetError().m_id);
        EXPECT_NE(0u, m_in.GetError().m_code);
        EXPECT_NE(std::wstring::npos, m_in.GetError().m_message.find(c.inMessage));
        EXPECT_EQ(before, m_in.GetDocument());
    }
    EXPECT_EQ(L"kept", StoredText(L"Value"));

    // A file that was read but not parsed says what the parser said, as text does, not the
    // system text of S_FALSE.
    CXmlDocument fromText;
    ASSERT_FALSE(fromText.LoadFromText(std::wstring(broken.begin(), broken.end())));
    ASSERT_FALSE(m_in.LoadFromFile(brokenFile));
    EXPECT_EQ(fromText.GetError().m_code, m_in.GetError().m_code);
    std::wstring reason = fromText.GetError().m_message;
    reason = reason.substr(reason.find(L"\n\n") + 2);
    EXPECT_NE(std::wstring::npos, m_in.GetError().m_message.find(reason)) << "no parser reason";
}

// Every number reader goes through one parse-and-report path; the cases below are the text
// forms that differ per type (and 2^32-1, which must not come back saturated at 2^31-1).
TEST_F(Xml, ValuesRoundTripThroughTheirTextForms)
{
    const std::wstring text = L"\x65E5\x672C\x8A9E <&>\"' \xD83D\xDE00";
    ASSERT_TRUE(m_out.WriteText(m_outRoot, L"Text", text));
    ASSERT_TRUE(m_out.WriteUInt(m_outRoot, L"U", 4294967295ul));
    ASSERT_TRUE(m_out.WriteHexNumber(m_outRoot, L"D", 14));
    ASSERT_TRUE(m_out.WriteBool(m_outRoot, L"B", false));
    Reload();
    const std::pair<const wchar_t*, std::wstring> stored[] = {
        {L"Text", text},
        {L"U", L"4294967295"},
        {L"D", L"0000000E"},
        {L"B", L"false"},
    };
    for (const auto& [name, expected] : stored) EXPECT_EQ(expected, StoredText(name));
    unsigned long u = 0;
    bool b = true;
    ASSERT_TRUE(m_in.ReadUInt(m_inRoot, L"U", u)) << m_in.GetError().m_message;
    ASSERT_TRUE(m_in.ReadBool(m_inRoot, L"B", b));
    EXPECT_EQ(4294967295ul, u);
    EXPECT_FALSE(b);
    // An absent optional value keeps what was there and leaves no error behind.
    EXPECT_TRUE(m_in.ReadBoolOptional(m_inRoot, L"Absent", b));
    EXPECT_FALSE(b);
    EXPECT_FALSE(m_in.HasError());
}

TEST_F(Xml, BadValuesFailNamingTheirNodeAndChangeNothing)
{
    CNamedIntTable table{boost::make_shared<CNamedInt>(2, L"B")};
    long l = 7;
    unsigned long u = 7;
    int e = 7;
    bool b = true;
    wchar_t buffer[4] = {L'q', L'q', L'q', L'q'};
    const struct {
        const wchar_t* text;
        UINT id;
        std::function<bool()> read;
    } cases[] = {
        {L"", IDS_XML_NODE_NOT_FOUND, [&] { return m_in.ReadLong(m_inRoot, L"Value/Flags", l); }},
        {L"abc\n12", IDS_XML_BAD_LONG, [&] { return m_in.ReadLong(m_inRoot, L"Value", l); }},
        {L"4294967296", IDS_XML_BAD_SIZE_T, [&] { return m_in.ReadUInt(m_inRoot, L"Value", u); }},
        {L"b", IDS_XML_BAD_ENUM, [&] { return m_in.ReadEnum(m_inRoot, L"Value", table, e); }},
        {L"TRUE", IDS_XML_BAD_BOOL, [&] { return m_in.ReadBool(m_inRoot, L"Value", b); }},
        {L"1", IDS_XML_BAD_BOOL, [&] { return m_in.ReadBoolOptional(m_inRoot, L"Value", b); }},
        {L"abc", IDS_XML_TEXT_TOO_LONG, [&] { return m_in.ReadTextToBuffer(m_inRoot, L"Value", buffer, 3); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        LoadValue(c.text);
        EXPECT_FALSE(c.read());
        ExpectFailure(c.id);
        // The bool message names only the node.
        if (c.id != IDS_XML_BAD_BOOL) {
            EXPECT_NE(std::wstring::npos, m_in.GetError().m_message.find(c.text));
        }
    }
    EXPECT_EQ(7, l);
    EXPECT_EQ(7u, u);
    EXPECT_EQ(7, e);
    EXPECT_TRUE(b);
    EXPECT_EQ(L'q', buffer[0]);
    // The same text fits once the terminator has room.
    ASSERT_TRUE(m_in.ReadTextToBuffer(m_inRoot, L"Value", buffer, 4));
    EXPECT_STREQ(L"abc", buffer);
}

TEST_F(Xml, NamedFlagsKeepTheHighBitAndUnknownNamesOrValuesFail)
{
    CNamedIntTable table;
    for (const auto& [name, value] : {std::pair{L"A", 1}, {L"B", 2}, {L"AB", 3}, {L"High", INT_MIN}})
        table.push_back(boost::make_shared<CNamedInt>(value, name));
    ASSERT_TRUE(m_out.WriteFlags(m_outRoot, L"Flags", INT_MIN | 2 | 8, table));
    EXPECT_FALSE(m_out.WriteEnum(m_outRoot, L"Unknown", 5, table));
    EXPECT_EQ(static_cast<UINT>(IDS_XML_UNKNOWN_ENUM_VALUE), m_out.GetError().m_id);
    Reload();
    EXPECT_EQ(L"B|High", StoredText(L"Flags"));
    int value = 0;
    ASSERT_TRUE(m_in.ReadFlags(m_inRoot, L"Flags", table, value));
    EXPECT_EQ(INT_MIN | 2, value);
    LoadValue(L"A||B");
    EXPECT_FALSE(m_in.ReadFlags(m_inRoot, L"Value", table, value));
    ExpectFailure(IDS_XML_BAD_FLAGS);
}
