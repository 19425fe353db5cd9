#include "foundation/Exception.h"
#include "foundation/XmlDocument.h"
#include "ids/xml.h"
#include "tests/support/TempFolder.h"
#include "XmlTestSupport.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <climits>

namespace {

// A document with an empty root, written by the test, saved through the DOM and loaded back.
class XmlValues : public testing::Test {
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
    void ExpectFailure(UINT id, const std::wstring& xpath = L"Value")
    {
        EXPECT_EQ(id, m_in.GetError().m_id);
        const std::wstring location = CXmlDocument::GetNodePath(m_inRoot) + L" -> " + xpath;
        EXPECT_NE(std::wstring::npos, m_in.GetError().m_message.find(location)) << m_in.GetError().m_message;
    }

    CTempFolder m_temp;
    CXmlDocument m_out, m_in;
    CXmlNodePtr m_outRoot, m_inRoot;
};

} // namespace

TEST_F(XmlValues, NumbersRoundTripIncludingExtremes)
{
    const long longs[] = {0, -1, LONG_MIN, LONG_MAX};
    const unsigned long uints[] = {14, 2147483648ul, 4294967295ul, 0};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(m_out.WriteHexNumber(m_outRoot, L"D" + ToText(i), uints[i]));
        ASSERT_TRUE(m_out.WriteInt(m_outRoot, L"L" + ToText(i), longs[i]));
        ASSERT_TRUE(m_out.WriteUInt(m_outRoot, L"U" + ToText(i), uints[i]));
    }
    ASSERT_TRUE(m_out.WriteFixed(m_outRoot, L"F", LONG_MIN, 3));
    ASSERT_TRUE(m_out.WriteVersion(m_outRoot, L"V", PackVersion(1, 0, 0, 0)));
    Reload();

    EXPECT_EQ(L"0000000E", StoredText(L"D0"));
    EXPECT_EQ(L"-2147483648", StoredText(L"L2"));
    EXPECT_EQ(L"1.0.0.0", StoredText(L"V"));
    for (int i = 0; i < 4; ++i) {
        DWORD d = 1;
        long l = 1;
        unsigned long u = 1;
        ASSERT_TRUE(m_in.ReadHexNumber(m_inRoot, L"D" + ToText(i), d));
        ASSERT_TRUE(m_in.ReadLong(m_inRoot, L"L" + ToText(i), l));
        ASSERT_TRUE(m_in.ReadUInt(m_inRoot, L"U" + ToText(i), u)) << m_in.GetError().m_message;
        EXPECT_EQ(uints[i], d);
        EXPECT_EQ(longs[i], l);
        EXPECT_EQ(uints[i], u);
    }
    long f = 0;
    DWORD v = 0;
    ASSERT_TRUE(m_in.ReadFixed(m_inRoot, L"F", 3, f));
    ASSERT_TRUE(m_in.ReadVersion(m_inRoot, L"V", v));
    EXPECT_EQ(LONG_MIN, f);
    EXPECT_EQ(0x01000000u, v);
}

TEST_F(XmlValues, BadNumbersFailWithTheirTextAndChangeNothing)
{
    struct Case {
        const wchar_t* text;
        UINT id;
        int kind; // 0 long, 1 uint, 2 dword, 3 version, 4 fixed(2)
    } cases[] = {
        {L"2147483648", IDS_XML_BAD_LONG, 0}, {L"abc\n12", IDS_XML_BAD_LONG, 0},
        {L"4294967296", IDS_XML_BAD_SIZE_T, 1}, {L"-1", IDS_XML_BAD_SIZE_T, 1},
        {L"E F", IDS_XML_BAD_DWORD, 2},       {L"256.0", IDS_XML_BAD_VERSION, 3},
        {L"21474836.48", IDS_XML_BAD_INT, 4},
    };
    for (const auto& c : cases) {
        LoadValue(c.text);
        long l = 7;
        unsigned long u = 7;
        DWORD d = 7;
        bool ok = true;
        switch (c.kind) {
        case 0: ok = m_in.ReadLong(m_inRoot, L"Value", l); break;
        case 1: ok = m_in.ReadUInt(m_inRoot, L"Value", u); break;
        case 2: ok = m_in.ReadHexNumber(m_inRoot, L"Value", d); break;
        case 3: ok = m_in.ReadVersion(m_inRoot, L"Value", d); break;
        default: ok = m_in.ReadFixed(m_inRoot, L"Value", 2, l); break;
        }
        EXPECT_FALSE(ok) << c.text;
        ExpectFailure(c.id);
        EXPECT_NE(std::wstring::npos, m_in.GetError().m_message.find(c.text)) << c.text;
        EXPECT_EQ(7, l);
        EXPECT_EQ(7u, u);
        EXPECT_EQ(7u, d);
    }
    long l = 7;
    EXPECT_FALSE(m_in.ReadLong(m_inRoot, L"Other", l));
    ExpectFailure(IDS_XML_NODE_NOT_FOUND, L"Other");
    EXPECT_EQ(7, l);
}

TEST_F(XmlValues, BoolsAreExactlyTrueOrFalse)
{
    ASSERT_TRUE(m_out.WriteBool(m_outRoot, L"T", true));
    ASSERT_TRUE(m_out.WriteBool(m_outRoot, L"F", false));
    ASSERT_TRUE(m_out.WriteC3State(m_outRoot, L"S", C3STATE_OFF));
    Reload();
    EXPECT_EQ(L"true", StoredText(L"T"));
    EXPECT_EQ(L"false", StoredText(L"F"));
    bool t = false, f = true;
    ASSERT_TRUE(m_in.ReadBool(m_inRoot, L"T", t));
    ASSERT_TRUE(m_in.ReadBool(m_inRoot, L"F", f));
    EXPECT_TRUE(t && !f);
    EXPECT_TRUE(m_in.ReadBoolOptional(m_inRoot, L"Absent", t));
    EXPECT_TRUE(t);
    C3State s = C3STATE_UNDEF;
    ASSERT_TRUE(m_in.ReadC3State(m_inRoot, L"S", s));
    EXPECT_EQ(C3STATE_OFF, s);

    for (const wchar_t* text : {L"TRUE", L"1", L""}) {
        LoadValue(text);
        bool value = true;
        EXPECT_FALSE(m_in.ReadBool(m_inRoot, L"Value", value)) << text;
        ExpectFailure(IDS_XML_BAD_BOOL);
        EXPECT_TRUE(value);
        EXPECT_FALSE(m_in.ReadBoolOptional(m_inRoot, L"Value", value));
    }
    LoadValue(L"on");
    EXPECT_THROW(m_in.ReadC3State(m_inRoot, L"Value", s), my::CException);
    EXPECT_EQ(C3STATE_OFF, s);
}

TEST_F(XmlValues, RectanglesAndNamedValues)
{
    CNamedIntTable table;
    for (const auto& [name, value] : {std::pair{L"A", 1}, {L"B", 2}, {L"AB", 3}, {L"High", INT_MIN}})
        table.push_back(boost::make_shared<CNamedInt>(value, name));
    const RECT rect = {LONG_MIN, -20, 1920, LONG_MAX};
    ASSERT_TRUE(m_out.WriteRect(m_outRoot, L"NormalBounds", rect));
    ASSERT_TRUE(m_out.WriteFlags(m_outRoot, L"Flags", INT_MIN | 2 | 8, table));
    ASSERT_TRUE(m_out.WriteEnum(m_outRoot, L"Enum", 2, table));
    EXPECT_FALSE(m_out.WriteEnum(m_outRoot, L"Enum2", 5, table));
    EXPECT_EQ(static_cast<UINT>(IDS_XML_UNKNOWN_ENUM_VALUE), m_out.GetError().m_id);
    Reload();
    EXPECT_EQ(L"1920", StoredText(L"NormalBounds/right"));
    EXPECT_EQ(L"B|High", StoredText(L"Flags"));
    RECT r{};
    ASSERT_TRUE(m_in.ReadRect(m_inRoot, L"NormalBounds", r));
    EXPECT_TRUE(EqualRect(&rect, &r));
    int value = 0;
    ASSERT_TRUE(m_in.ReadFlags(m_inRoot, L"Flags", table, value));
    EXPECT_EQ(INT_MIN | 2, value);
    ASSERT_TRUE(m_in.ReadEnum(m_inRoot, L"Enum", table, value));
    EXPECT_EQ(2, value);

    // A rectangle lacking "bottom" keeps the fields read before it.
    LoadValue(L"<left>1</left><top>2</top><right>3</right>");
    RECT p = {9, 9, 9, 9};
    EXPECT_FALSE(m_in.ReadRect(m_inRoot, L"Value", p));
    EXPECT_NE(std::wstring::npos, m_in.GetError().m_message.find(CXmlDocument::GetNodePath(m_inRoot) + L"/Value -> bottom"));
    EXPECT_EQ(3, p.right);
    EXPECT_EQ(9, p.bottom);
    LoadValue(L"A||B");
    EXPECT_FALSE(m_in.ReadFlags(m_inRoot, L"Value", table, value));
    ExpectFailure(IDS_XML_BAD_FLAGS);
    LoadValue(L"a");
    value = 42;
    EXPECT_FALSE(m_in.ReadEnum(m_inRoot, L"Value", table, value));
    ExpectFailure(IDS_XML_BAD_ENUM);
    EXPECT_EQ(42, value);
}

TEST_F(XmlValues, RawBytesAndTexts)
{
    std::vector<BYTE> all(256);
    for (int i = 0; i < 256; ++i) all[i] = static_cast<BYTE>(i);
    const std::wstring multiLine = L"line 1\r\nline 2\r\n\r\n<end> & \"done\"";
    ASSERT_TRUE(m_out.WriteRawBytes(m_outRoot, L"Raw", all));
    ASSERT_TRUE(m_out.WriteTextLF(m_outRoot, L"Lines", multiLine));
    ASSERT_TRUE(m_out.WriteText(m_outRoot, L"Short", L"abc"));
    Reload();
    std::vector<BYTE> bytes = {1};
    ASSERT_TRUE(m_in.ReadRawBytes(m_inRoot, L"Raw", bytes));
    EXPECT_EQ(all, bytes);
    std::wstring text;
    EXPECT_EQ(std::wstring::npos, StoredText(L"Lines").find(L'\r'));
    ASSERT_TRUE(m_in.ReadTextCRLF(m_inRoot, L"Lines", text));
    EXPECT_EQ(multiLine, text);
    // The buffer takes the text and its terminator, or nothing.
    wchar_t small[3] = {L'q', L'q', L'q'};
    EXPECT_FALSE(m_in.ReadTextToBuffer(m_inRoot, L"Short", small, 3));
    EXPECT_EQ(static_cast<UINT>(IDS_XML_TEXT_TOO_LONG), m_in.GetError().m_id);
    EXPECT_EQ(L'q', small[0]);

    LoadValue(L"0AF");
    bytes = {9};
    EXPECT_FALSE(m_in.ReadRawBytes(m_inRoot, L"Value", bytes));
    ExpectFailure(IDS_XML_BAD_RAW_BYTES);
    EXPECT_EQ(std::vector<BYTE>{9}, bytes);
}

TEST_F(XmlValues, PathsRelativeToTheBaseFile)
{
    const std::wstring base = m_temp.Path(L"settings.config");
    struct Case {
        std::wstring path;
        std::wstring stored; // empty: stored as given
    } cases[] = {
        {m_temp.Path(L"data\\photo.jpg"), L"data\\photo.jpg"},
        {L"D:\\elsewhere\\y.txt", L""},
        {m_temp.Path() + L"\\", L""},
        {m_temp.Path() + L"-sibling\\a.txt", L""},
    };
    int n = 0;
    for (const auto& c : cases) ASSERT_TRUE(m_out.WritePath(m_outRoot, L"P" + ToText(n++), c.path, base));
    ASSERT_TRUE(m_out.WritePath(m_outRoot, L"NoBase", L"rel\\file.txt", L""));
    Reload();
    n = 0;
    for (const auto& c : cases) {
        const std::wstring name = L"P" + ToText(n++);
        EXPECT_EQ(c.stored.empty() ? c.path : c.stored, StoredText(name));
        std::wstring back;
        ASSERT_TRUE(m_in.ReadPath(m_inRoot, name, base, back));
        EXPECT_EQ(c.path, back);
    }
    std::wstring back;
    ASSERT_TRUE(m_in.ReadPath(m_inRoot, L"NoBase", L"C:\\base\\file.xml", back));
    EXPECT_EQ(L"C:\\base\\rel\\file.txt", back);
    back = L"unchanged";
    EXPECT_FALSE(m_in.ReadPath(m_inRoot, L"Missing", base, back));
    EXPECT_EQ(L"unchanged", back);
}
