// The XML document layer over the system's DOM: loading, failures that keep the previous
// document, node paths in messages, saving, and the text forms of typed values.
#include "foundation/Exception.h"
#include "foundation/GlobalMemory.h"
#include "foundation/ResString.h"
#include "foundation/XmlDocument.h"
#include "ids/xml.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <climits>
#include <functional>

namespace {

const wchar_t kSettingsTemplate[] =
    L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    L"<FernhollowSetting xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    L"xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">\n</FernhollowSetting>\n";

// Text of a node read straight from the DOM.
std::wstring DomText(IXMLDOMNode* node)
{
    ATL::CComBSTR text;
    EXPECT_EQ(S_OK, node->get_text(&text));
    return text.m_str ? std::wstring(text.m_str, text.Length()) : std::wstring();
}

// A document with an empty root, written by the test, saved through the DOM and loaded back.
class Xml : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_out.LoadFromText(kSettingsTemplate));
        ASSERT_TRUE(m_out.SelectNodeOrFail(L"FernhollowSetting", m_outRoot));
    }

    void Reload()
    {
        const std::wstring path = m_temp.Path(L"values.xml");
        ASSERT_TRUE(m_out.SaveToFile(path)) << m_out.GetError().m_message;
        ASSERT_TRUE(m_in.LoadFromFile(path)) << m_in.GetError().m_message;
        ASSERT_TRUE(m_in.SelectNodeOrFail(L"FernhollowSetting", m_inRoot));
    }

    // A document whose root holds one element <Value> with the given text.
    void LoadValue(const std::wstring& text)
    {
        ASSERT_TRUE(m_in.LoadFromText(L"<Root><Value>" + text + L"</Value></Root>"));
        ASSERT_TRUE(m_in.SelectNodeOrFail(L"Root", m_inRoot));
    }

    std::wstring StoredText(const std::wstring& name)
    {
        CXmlNodePtr node;
        EXPECT_TRUE(m_in.SelectChildOrFail(m_inRoot, name, node));
        return node ? DomText(node) : std::wstring();
    }

    // The failure names what was looked for: the node path and the XPath.
    void ExpectFailure(UINT id)
    {
        EXPECT_EQ(id, m_in.GetError().m_id);
        const std::wstring location = CXmlDocument::GetNodePath(m_inRoot) + L" -> Value";
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
    const std::wstring missingFile = m_temp.Path(L"none.xml");
    CGlobalMemory memory;
    ASSERT_TRUE(memory.Alloc(broken.size(), GMEM_MOVEABLE));
    memcpy(CGlobalLocker(memory).Get(), broken.data(), broken.size());

    EXPECT_FALSE(m_in.LoadFromFile(missingFile));
    EXPECT_FALSE(m_in.GetDocument()) << "no document is made before the file is found";
    ASSERT_TRUE(m_in.LoadFromText(L"<Root><Value>kept</Value></Root>"));
    IXMLDOMDocument* before = m_in.GetDocument();
    // Code 0: whatever failure the parser reports (S_FALSE alone must not read as success).
    const struct {
        std::function<bool()> load;
        UINT id;
        HRESULT code;
        std::wstring inMessage;
    } cases[] = {
        {[&] { return m_in.LoadFromText(L"<Root><Value>x</Root>"); }, IDS_XML_PARSE_FAILED, 0, L""},
        {[&] { return m_in.LoadFromMemory(memory); }, IDS_XML_PARSE_FAILED, 0, L""},
        {[&] { return m_in.LoadFromFile(brokenFile); }, IDS_XML_LOAD_FAILED, S_FALSE, brokenFile},
        {[&] { return m_in.LoadFromFile(missingFile); }, IDS_XML_LOAD_FAILED, HResultFromWin32(2), missingFile},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        EXPECT_FALSE(c.load());
        EXPECT_EQ(c.id, m_in.GetError().m_id);
        if (c.code) {
            EXPECT_EQ(static_cast<UINT>(c.code), m_in.GetError().m_code);
        } else {
            EXPECT_TRUE(FAILED(static_cast<HRESULT>(m_in.GetError().m_code)));
        }
        EXPECT_NE(std::wstring::npos, m_in.GetError().m_message.find(c.inMessage));
        EXPECT_EQ(before, m_in.GetDocument());
    }
    ASSERT_TRUE(m_in.SelectNodeOrFail(L"Root", m_inRoot));
    EXPECT_EQ(L"kept", StoredText(L"Value"));
}

TEST_F(Xml, NotFoundNamesTheNodePathAndCanBeCleared)
{
    CXmlNodePtr exec, flags;
    ASSERT_TRUE(m_out.WriteText(m_outRoot, L"Exec", L""));
    ASSERT_TRUE(m_out.SelectChildOrFail(m_outRoot, L"Exec", exec));
    EXPECT_FALSE(m_out.SelectChildOrFail(exec, L"Flags", flags));
    EXPECT_FALSE(flags);
    // Node paths start with the document node's own name.
    ATL::CComBSTR documentName;
    ASSERT_EQ(S_OK, m_out.GetDocument()->get_nodeName(&documentName));
    const std::wstring location = std::wstring(documentName.m_str) + L"/FernhollowSetting/Exec -> Flags";
    EXPECT_EQ(static_cast<UINT>(IDS_XML_NODE_NOT_FOUND), m_out.GetError().m_id);
    EXPECT_NE(std::wstring::npos, m_out.GetError().m_message.find(location)) << m_out.GetError().m_message;

    EXPECT_TRUE(m_out.ClearNotFoundError());
    EXPECT_FALSE(m_out.HasError());
}

TEST_F(Xml, SaveAndLoadThroughFileAndMemory)
{
    const std::wstring text = L"\x65E5\x672C\x8A9E <&>\"' \xD83D\xDE00";
    ASSERT_TRUE(m_out.WriteText(m_outRoot, L"Text", text));
    Reload();
    const std::string bytes = m_temp.ReadFile(L"values.xml");
    EXPECT_EQ(0u, bytes.find("<?xml version=\"1.0\" encoding=\"utf-8\"?>"));
    EXPECT_NE(std::string::npos, bytes.find("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E &lt;&amp;&gt;")) << bytes;
    EXPECT_EQ(text, StoredText(L"Text"));

    CGlobalMemory memory(m_out.SaveToMemory());
    ASSERT_TRUE(memory.Get()) << m_out.GetError().m_message;
    ASSERT_TRUE(m_in.LoadFromMemory(memory)) << m_in.GetError().m_message;
    ASSERT_TRUE(m_in.SelectNodeOrFail(L"FernhollowSetting", m_inRoot));
    EXPECT_EQ(text, StoredText(L"Text"));
    EXPECT_FALSE(m_out.SaveToFile(m_temp.Path(L"no\\such\\folder.xml")));
    EXPECT_EQ(static_cast<UINT>(IDS_XML_SAVE_FAILED), m_out.GetError().m_id);
}

// Every number reader goes through one parse-and-report path; the cases below are the text
// forms that differ per type (and 2^32-1, which must not come back saturated at 2^31-1).
TEST_F(Xml, ValuesRoundTripThroughTheirTextForms)
{
    ASSERT_TRUE(m_out.WriteUInt(m_outRoot, L"U", 4294967295ul));
    ASSERT_TRUE(m_out.WriteHexNumber(m_outRoot, L"D", 14));
    ASSERT_TRUE(m_out.WriteBool(m_outRoot, L"T", true));
    ASSERT_TRUE(m_out.WriteBool(m_outRoot, L"B", false));
    ASSERT_TRUE(m_out.WriteC3State(m_outRoot, L"S", C3STATE_OFF));
    Reload();
    const std::pair<const wchar_t*, const wchar_t*> stored[] = {
        {L"U", L"4294967295"}, {L"D", L"0000000E"}, {L"T", L"true"}, {L"B", L"false"},
    };
    for (const auto& [name, text] : stored) EXPECT_EQ(text, StoredText(name));
    unsigned long u = 0;
    DWORD d = 0;
    bool t = false, b = true;
    C3State s = C3STATE_UNDEF;
    ASSERT_TRUE(m_in.ReadUInt(m_inRoot, L"U", u)) << m_in.GetError().m_message;
    ASSERT_TRUE(m_in.ReadHexNumber(m_inRoot, L"D", d));
    ASSERT_TRUE(m_in.ReadBool(m_inRoot, L"T", t));
    ASSERT_TRUE(m_in.ReadBool(m_inRoot, L"B", b));
    ASSERT_TRUE(m_in.ReadC3State(m_inRoot, L"S", s));
    EXPECT_EQ(4294967295ul, u);
    EXPECT_EQ(14u, d);
    EXPECT_TRUE(t && !b);
    EXPECT_EQ(C3STATE_OFF, s);
    EXPECT_TRUE(m_in.ReadBoolOptional(m_inRoot, L"Absent", t));
    EXPECT_TRUE(t);
}

TEST_F(Xml, BadValuesFailNamingTheirNodeAndChangeNothing)
{
    CNamedIntTable table{boost::make_shared<CNamedInt>(2, L"B")};
    long l = 7;
    unsigned long u = 7;
    DWORD d = 7;
    int e = 7;
    bool b = true;
    wchar_t buffer[4] = {L'q', L'q', L'q', L'q'};
    const struct {
        const wchar_t* text;
        UINT id;
        std::function<bool()> read;
    } cases[] = {
        {L"abc\n12", IDS_XML_BAD_LONG, [&] { return m_in.ReadLong(m_inRoot, L"Value", l); }},
        {L"4294967296", IDS_XML_BAD_SIZE_T, [&] { return m_in.ReadUInt(m_inRoot, L"Value", u); }},
        {L"E F", IDS_XML_BAD_DWORD, [&] { return m_in.ReadHexNumber(m_inRoot, L"Value", d); }},
        {L"256.0", IDS_XML_BAD_VERSION, [&] { return m_in.ReadVersion(m_inRoot, L"Value", d); }},
        {L"21474836.48", IDS_XML_BAD_INT, [&] { return m_in.ReadFixed(m_inRoot, L"Value", 2, l); }},
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
    EXPECT_EQ(7u, d);
    EXPECT_EQ(7, e);
    EXPECT_TRUE(b);
    EXPECT_EQ(L'q', buffer[0]);
    // The same text fits once the terminator has room.
    ASSERT_TRUE(m_in.ReadTextToBuffer(m_inRoot, L"Value", buffer, 4));
    EXPECT_STREQ(L"abc", buffer);
    C3State s = C3STATE_OFF;
    LoadValue(L"on");
    EXPECT_THROW(m_in.ReadC3State(m_inRoot, L"Value", s), my::CException);
    EXPECT_EQ(C3STATE_OFF, s);
}

TEST_F(Xml, NamedValuesAndAnIncompleteRectangle)
{
    CNamedIntTable table;
    for (const auto& [name, value] : {std::pair{L"A", 1}, {L"B", 2}, {L"AB", 3}, {L"High", INT_MIN}})
        table.push_back(boost::make_shared<CNamedInt>(value, name));
    ASSERT_TRUE(m_out.WriteFlags(m_outRoot, L"Flags", INT_MIN | 2 | 8, table));
    ASSERT_TRUE(m_out.WriteEnum(m_outRoot, L"Enum", 2, table));
    EXPECT_FALSE(m_out.WriteEnum(m_outRoot, L"Unknown", 5, table));
    EXPECT_EQ(static_cast<UINT>(IDS_XML_UNKNOWN_ENUM_VALUE), m_out.GetError().m_id);
    Reload();
    EXPECT_EQ(L"B|High", StoredText(L"Flags"));
    int value = 0;
    ASSERT_TRUE(m_in.ReadFlags(m_inRoot, L"Flags", table, value));
    EXPECT_EQ(INT_MIN | 2, value);
    ASSERT_TRUE(m_in.ReadEnum(m_inRoot, L"Enum", table, value));
    EXPECT_EQ(2, value);

    // Rectangles round-trip in the settings tests; one lacking "bottom" keeps the fields read before it.
    LoadValue(L"<left>1</left><top>2</top><right>3</right>");
    RECT p = {9, 9, 9, 9};
    EXPECT_FALSE(m_in.ReadRect(m_inRoot, L"Value", p));
    const std::wstring location = CXmlDocument::GetNodePath(m_inRoot) + L"/Value -> bottom";
    EXPECT_NE(std::wstring::npos, m_in.GetError().m_message.find(location));
    EXPECT_EQ(3, p.right);
    EXPECT_EQ(9, p.bottom);
    LoadValue(L"A||B");
    EXPECT_FALSE(m_in.ReadFlags(m_inRoot, L"Value", table, value));
    ExpectFailure(IDS_XML_BAD_FLAGS);
}

TEST_F(Xml, PathsUnderTheBaseFileFolderAreStoredRelative)
{
    const std::wstring base = m_temp.Path(L"settings.config");
    // Path and stored text: the folder itself and a sibling folder sharing its name's start stay whole.
    const std::pair<std::wstring, std::wstring> cases[] = {
        {m_temp.Path(L"data\\photo.jpg"), L"data\\photo.jpg"},
        {m_temp.Path() + L"\\", m_temp.Path() + L"\\"},
        {m_temp.Path() + L"-sibling\\a.txt", m_temp.Path() + L"-sibling\\a.txt"},
    };
    int n = 0;
    for (const auto& [path, stored] : cases)
        ASSERT_TRUE(m_out.WritePath(m_outRoot, L"P" + ToText(n++), path, base));
    Reload();
    n = 0;
    for (const auto& [path, stored] : cases) {
        const std::wstring name = L"P" + ToText(n++);
        EXPECT_EQ(stored, StoredText(name));
        std::wstring back;
        ASSERT_TRUE(m_in.ReadPath(m_inRoot, name, base, back));
        EXPECT_EQ(path, back);
    }
}
