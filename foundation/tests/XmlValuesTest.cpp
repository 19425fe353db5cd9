#include "foundation/GlobalMemory.h"
#include "foundation/XmlDocument.h"
#include "ids/foundation.h"
#include "ids/xml.h"
#include "foundation/Exception.h"

#include "tests/support/TempFolder.h"
#include "XmlTestSupport.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <climits>

namespace {

CNamedIntTable MakeTable(std::initializer_list<std::pair<const wchar_t*, int>> entries)
{
    CNamedIntTable table;
    for (const auto& e : entries) table.push_back(boost::make_shared<CNamedInt>(e.second, e.first));
    return table;
}

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
        CXmlDocument writer;
        ASSERT_TRUE(writer.LoadFromText(L"<Root/>"));
        CXmlNodePtr root;
        ASSERT_TRUE(writer.SelectNodeOrFail(L"Root", root));
        ASSERT_TRUE(writer.WriteText(root, L"Value", text));
        HGLOBAL memory = writer.SaveToMemory();
        ASSERT_TRUE(memory);
        CGlobalMemory owner(memory);
        ASSERT_TRUE(m_in.LoadFromMemory(owner));
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
    const DWORD dwords[] = {0, 14, 0x80000000u, 0xFFFFFFFFu, 0x7FFFFFFFu};
    const long longs[] = {0, -1, LONG_MIN, LONG_MAX, -123456};
    const unsigned long uints[] = {0, 2147483648ul, 4294967295ul, 3000000000ul};
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(m_out.WriteHexNumber(m_outRoot, L"D" + ToText(i), dwords[i]));
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(m_out.WriteInt(m_outRoot, L"L" + ToText(i), longs[i]));
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(m_out.WriteUInt(m_outRoot, L"U" + ToText(i), uints[i]));
    ASSERT_TRUE(m_out.WriteHexWord(m_outRoot, L"W", 0xBEEF));
    ASSERT_TRUE(m_out.WriteHexByte(m_outRoot, L"B", 0x0A));
    ASSERT_TRUE(m_out.WriteFixed(m_outRoot, L"F1", -5, 1));
    ASSERT_TRUE(m_out.WriteFixed(m_outRoot, L"F2", LONG_MIN, 3));
    ASSERT_TRUE(m_out.WriteDouble(m_outRoot, L"Dbl", -1.25));
    ASSERT_TRUE(m_out.WriteColor(m_outRoot, L"C", RGB(255, 128, 0)));
    ASSERT_TRUE(m_out.WriteVersion(m_outRoot, L"V", PackVersion(1, 0, 0, 0)));
    Reload();

    EXPECT_EQ(L"0000000E", StoredText(L"D1"));
    EXPECT_EQ(L"80000000", StoredText(L"D2"));
    EXPECT_EQ(L"-2147483648", StoredText(L"L2"));
    EXPECT_EQ(L"BEEF", StoredText(L"W"));
    EXPECT_EQ(L"0A", StoredText(L"B"));
    EXPECT_EQ(L"-0.5", StoredText(L"F1"));
    EXPECT_EQ(L"FF8000", StoredText(L"C"));
    EXPECT_EQ(L"1.0.0.0", StoredText(L"V"));
    for (int i = 0; i < 5; ++i) {
        DWORD d = 1;
        ASSERT_TRUE(m_in.ReadHexNumber(m_inRoot, L"D" + ToText(i), d));
        EXPECT_EQ(dwords[i], d);
        long l = 1;
        ASSERT_TRUE(m_in.ReadLong(m_inRoot, L"L" + ToText(i), l));
        EXPECT_EQ(longs[i], l);
    }
    for (int i = 0; i < 4; ++i) {
        unsigned long u = 1;
        ASSERT_TRUE(m_in.ReadUInt(m_inRoot, L"U" + ToText(i), u)) << m_in.GetError().m_message;
        EXPECT_EQ(uints[i], u);
    }
    WORD w = 0;
    BYTE b = 0;
    long f = 0;
    double dbl = 0;
    COLORREF c = 0;
    DWORD v = 0;
    ASSERT_TRUE(m_in.ReadHexWord(m_inRoot, L"W", w));
    ASSERT_TRUE(m_in.ReadHexByte(m_inRoot, L"B", b));
    EXPECT_EQ(0xBEEF, w);
    EXPECT_EQ(0x0A, b);
    ASSERT_TRUE(m_in.ReadFixed(m_inRoot, L"F1", 1, f));
    EXPECT_EQ(-5, f);
    ASSERT_TRUE(m_in.ReadFixed(m_inRoot, L"F2", 3, f));
    EXPECT_EQ(LONG_MIN, f);
    ASSERT_TRUE(m_in.ReadDouble(m_inRoot, L"Dbl", dbl));
    EXPECT_EQ(-1.25, dbl);
    ASSERT_TRUE(m_in.ReadColor(m_inRoot, L"C", c));
    EXPECT_EQ(RGB(255, 128, 0), c);
    ASSERT_TRUE(m_in.ReadVersion(m_inRoot, L"V", v));
    EXPECT_EQ(0x01000000u, v);
    EXPECT_FALSE(m_in.HasError());
}

TEST_F(XmlValues, BoolsAndThreeStates)
{
    ASSERT_TRUE(m_out.WriteBool(m_outRoot, L"T", true));
    ASSERT_TRUE(m_out.WriteBool(m_outRoot, L"F", false));
    ASSERT_TRUE(m_out.WriteC3State(m_outRoot, L"S", C3STATE_OFF));
    EXPECT_THROW(m_out.WriteC3State(m_outRoot, L"X", 3), my::CException);
    Reload();
    EXPECT_EQ(L"true", StoredText(L"T"));
    EXPECT_EQ(L"false", StoredText(L"F"));
    EXPECT_EQ(L"OFF", StoredText(L"S"));
    bool t = false, f = true, optional = true;
    ASSERT_TRUE(m_in.ReadBool(m_inRoot, L"T", t));
    ASSERT_TRUE(m_in.ReadBool(m_inRoot, L"F", f));
    EXPECT_TRUE(t);
    EXPECT_FALSE(f);
    EXPECT_TRUE(m_in.ReadBoolOptional(m_inRoot, L"Absent", optional));
    EXPECT_TRUE(optional);
    EXPECT_FALSE(m_in.HasError());
    C3State s = C3STATE_UNDEF;
    ASSERT_TRUE(m_in.ReadC3State(m_inRoot, L"S", s));
    EXPECT_EQ(C3STATE_OFF, s);
}

TEST_F(XmlValues, BoolAcceptsOnlyTrueAndFalse)
{
    for (const wchar_t* text : {L"TRUE", L"True", L"1", L"", L"tru", L"true false", L"yes"}) {
        LoadValue(text);
        bool value = true;
        EXPECT_FALSE(m_in.ReadBool(m_inRoot, L"Value", value)) << text;
        ExpectFailure(IDS_XML_BAD_BOOL);
        EXPECT_EQ(static_cast<UINT>(E_FAIL), m_in.GetError().m_code);
        EXPECT_TRUE(value);
        EXPECT_FALSE(m_in.ReadBoolOptional(m_inRoot, L"Value", value));
    }
}

TEST_F(XmlValues, BadNumbersFailAndChangeNothing)
{
    struct Case {
        const wchar_t* text;
        UINT id;
        int kind; // 0 long, 1 uint, 2 dword, 3 version, 4 fixed(2)
    } cases[] = {
        {L"2147483648", IDS_XML_BAD_LONG, 0},  {L"-2147483649", IDS_XML_BAD_LONG, 0},
        {L"abc\n12", IDS_XML_BAD_LONG, 0},     {L"12\nabc", IDS_XML_BAD_LONG, 0},
        {L"1e5", IDS_XML_BAD_LONG, 0},         {L"4294967296", IDS_XML_BAD_SIZE_T, 1},
        {L"-1", IDS_XML_BAD_SIZE_T, 1},        {L"0x0E", IDS_XML_BAD_DWORD, 2},
        {L"E F", IDS_XML_BAD_DWORD, 2},         {L"256.0", IDS_XML_BAD_VERSION, 3},
        {L"1.2.3.4.5", IDS_XML_BAD_VERSION, 3}, {L"", IDS_XML_BAD_VERSION, 3},
        {L"1.-1", IDS_XML_BAD_VERSION, 3},     {L"21474836.48", IDS_XML_BAD_INT, 4},
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
        EXPECT_EQ(0u, m_in.GetError().m_code);
        EXPECT_NE(std::wstring::npos, m_in.GetError().m_message.find(c.text)) << c.text;
        EXPECT_EQ(7, l);
        EXPECT_EQ(7u, u);
        EXPECT_EQ(7u, d);
    }
}

TEST_F(XmlValues, MissingNodesFailWithTheirPath)
{
    LoadValue(L"1");
    long l = 7;
    EXPECT_FALSE(m_in.ReadLong(m_inRoot, L"Other", l));
    ExpectFailure(IDS_XML_NODE_NOT_FOUND, L"Other");
    EXPECT_EQ(7, l);
    std::wstring text = L"same";
    EXPECT_FALSE(m_in.ReadText(m_inRoot, L"Other", text));
    EXPECT_EQ(L"same", text);
}

TEST_F(XmlValues, RectanglesSizesAndPoints)
{
    const RECT rect = {LONG_MIN, -20, 1920, LONG_MAX};
    const SIZE size = {-1, 2147483647};
    ASSERT_TRUE(m_out.WriteRect(m_outRoot, L"NormalBounds", rect));
    ASSERT_TRUE(m_out.WriteSize(m_outRoot, L"Size", size));
    ASSERT_TRUE(m_out.WriteRectSize(m_outRoot, L"Both", rect, size));
    ASSERT_TRUE(m_out.WritePoint(m_outRoot, L"Point", 0.5, -3));
    // A rectangle lacking "bottom".
    CXmlNodePtr partial;
    ASSERT_TRUE(m_out.CreateElement(L"Partial", L"", partial));
    ASSERT_TRUE(m_out.WriteInt(partial, L"left", 1));
    ASSERT_TRUE(m_out.WriteInt(partial, L"top", 2));
    ASSERT_TRUE(m_out.WriteInt(partial, L"right", 3));
    ASSERT_TRUE(m_out.AppendChild(m_outRoot, partial));
    Reload();

    CXmlNodePtr bounds;
    ASSERT_TRUE(m_in.SelectChildOrFail(m_inRoot, L"NormalBounds", bounds));
    EXPECT_EQ(L"1920", StoredText(L"NormalBounds/right"));
    RECT r{};
    SIZE s{};
    ASSERT_TRUE(m_in.ReadRect(m_inRoot, L"NormalBounds", r));
    EXPECT_TRUE(EqualRect(&rect, &r));
    ASSERT_TRUE(m_in.ReadSize(m_inRoot, L"Size", s));
    EXPECT_EQ(size.cx, s.cx);
    EXPECT_EQ(size.cy, s.cy);
    r = {};
    s = {};
    ASSERT_TRUE(m_in.ReadRectSize(m_inRoot, L"Both", r, s));
    EXPECT_TRUE(EqualRect(&rect, &r));
    EXPECT_EQ(size.cy, s.cy);
    double x = 0, y = 0;
    ASSERT_TRUE(m_in.ReadPoint(m_inRoot, L"Point", x, y));
    EXPECT_EQ(0.5, x);
    EXPECT_EQ(-3.0, y);

    RECT p = {9, 9, 9, 9};
    EXPECT_FALSE(m_in.ReadRect(m_inRoot, L"Partial", p));
    CXmlNodePtr partialIn;
    ASSERT_TRUE(m_in.SelectChildOrFail(m_inRoot, L"Partial", partialIn));
    EXPECT_EQ(static_cast<UINT>(IDS_XML_NODE_NOT_FOUND), m_in.GetError().m_id);
    EXPECT_NE(std::wstring::npos,
              m_in.GetError().m_message.find(CXmlDocument::GetNodePath(partialIn) + L" -> bottom"));
    EXPECT_EQ(1, p.left);
    EXPECT_EQ(3, p.right);
    EXPECT_EQ(9, p.bottom);
}

TEST_F(XmlValues, EnumsAndFlags)
{
    const CNamedIntTable table = MakeTable({{L"A", 1}, {L"B", 2}, {L"AB", 3}, {L"High", INT_MIN}});
    ASSERT_TRUE(m_out.WriteFlags(m_outRoot, L"Flags", 3, table));
    ASSERT_TRUE(m_out.WriteFlags(m_outRoot, L"HighFlags", INT_MIN | 2 | 8, table));
    ASSERT_TRUE(m_out.WriteFlags(m_outRoot, L"NoFlags", 8, table));
    ASSERT_TRUE(m_out.WriteEnum(m_outRoot, L"Enum", 2, table));
    EXPECT_FALSE(m_out.WriteEnum(m_outRoot, L"Enum2", 5, table));
    EXPECT_EQ(static_cast<UINT>(IDS_XML_UNKNOWN_ENUM_VALUE), m_out.GetError().m_id);
    EXPECT_NE(std::wstring::npos, m_out.GetError().m_message.find(L"5"));
    Reload();
    EXPECT_EQ(L"A|B|AB", StoredText(L"Flags"));
    EXPECT_EQ(L"B|High", StoredText(L"HighFlags"));
    EXPECT_EQ(L"", StoredText(L"NoFlags"));
    int value = 0;
    ASSERT_TRUE(m_in.ReadFlags(m_inRoot, L"Flags", table, value));
    EXPECT_EQ(3, value);
    ASSERT_TRUE(m_in.ReadFlags(m_inRoot, L"HighFlags", table, value));
    EXPECT_EQ(INT_MIN | 2, value);
    ASSERT_TRUE(m_in.ReadFlags(m_inRoot, L"NoFlags", table, value));
    EXPECT_EQ(0, value);
    ASSERT_TRUE(m_in.ReadEnum(m_inRoot, L"Enum", table, value));
    EXPECT_EQ(2, value);

    LoadValue(L"A||B");
    EXPECT_FALSE(m_in.ReadFlags(m_inRoot, L"Value", table, value));
    ExpectFailure(IDS_XML_BAD_FLAGS);
    EXPECT_EQ(1, value); // the bits before the bad piece
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
    const std::string narrow("\x00\x7F\x80\xFF", 4);
    std::wstring longText;
    for (int i = 0; i < 5000; ++i) longText += L"\x3042<&>\"'\xD83D\xDE00 z";
    const std::wstring multiLine = L"line 1\r\nline 2\r\n\r\n<end> & \"done\"";
    ASSERT_TRUE(m_out.WriteRawBytes(m_outRoot, L"Raw", all));
    ASSERT_TRUE(m_out.WriteRawBytes(m_outRoot, L"Empty", {}));
    ASSERT_TRUE(m_out.WriteRawString(m_outRoot, L"RawS", narrow));
    ASSERT_TRUE(m_out.WriteText(m_outRoot, L"Long", longText));
    ASSERT_TRUE(m_out.WriteTextLF(m_outRoot, L"Lines", multiLine));
    ASSERT_TRUE(m_out.WriteText(m_outRoot, L"Short", L"abc"));
    Reload();
    EXPECT_EQ(L"007F80FF", StoredText(L"RawS"));
    std::vector<BYTE> bytes = {1};
    ASSERT_TRUE(m_in.ReadRawBytes(m_inRoot, L"Raw", bytes));
    EXPECT_EQ(all, bytes);
    ASSERT_TRUE(m_in.ReadRawBytes(m_inRoot, L"Empty", bytes));
    EXPECT_TRUE(bytes.empty());
    std::string s;
    ASSERT_TRUE(m_in.ReadRawString(m_inRoot, L"RawS", s));
    EXPECT_EQ(narrow, s);
    std::wstring text;
    ASSERT_TRUE(m_in.ReadText(m_inRoot, L"Long", text));
    EXPECT_EQ(longText, text);
    EXPECT_EQ(std::wstring::npos, StoredText(L"Lines").find(L'\r'));
    ASSERT_TRUE(m_in.ReadTextCRLF(m_inRoot, L"Lines", text));
    EXPECT_EQ(multiLine, text);

    wchar_t buffer[4] = {L'x', L'x', L'x', L'x'};
    ASSERT_TRUE(m_in.ReadTextToBuffer(m_inRoot, L"Short", buffer, 4));
    EXPECT_STREQ(L"abc", buffer);
    wchar_t small[3] = {L'q', L'q', L'q'};
    EXPECT_FALSE(m_in.ReadTextToBuffer(m_inRoot, L"Short", small, 3));
    EXPECT_EQ(static_cast<UINT>(IDS_XML_TEXT_TOO_LONG), m_in.GetError().m_id);
    EXPECT_EQ(L'q', small[0]);

    for (const wchar_t* bad : {L"0AF", L"0G", L"0A F"}) {
        LoadValue(bad);
        bytes = {9};
        EXPECT_FALSE(m_in.ReadRawBytes(m_inRoot, L"Value", bytes)) << bad;
        ExpectFailure(IDS_XML_BAD_RAW_BYTES);
        EXPECT_EQ(std::vector<BYTE>{9}, bytes);
    }
    LoadValue(L"0aff");
    ASSERT_TRUE(m_in.ReadRawBytes(m_inRoot, L"Value", bytes));
    EXPECT_EQ((std::vector<BYTE>{0x0A, 0xFF}), bytes);
}

TEST_F(XmlValues, UnknownThreeStateNameThrows)
{
    LoadValue(L"on");
    C3State s = C3STATE_ON;
    EXPECT_THROW(m_in.ReadC3State(m_inRoot, L"Value", s), my::CException);
    EXPECT_EQ(C3STATE_ON, s);
}

TEST_F(XmlValues, PathsRelativeToTheBaseFile)
{
    const std::wstring base = m_temp.Path(L"settings.config");
    struct Case {
        std::wstring path;
        std::wstring stored; // empty: stored as given
    } cases[] = {
        {m_temp.Path(L"data\\photo.jpg"), L"data\\photo.jpg"},
        {m_temp.Path(L"x.txt"), L"x.txt"},
        {L"D:\\elsewhere\\y.txt", L""},
        {L"\\\\server\\share\\z.txt", L""},
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
    ASSERT_TRUE(m_in.ReadPath(m_inRoot, L"NoBase", L"", back));
    EXPECT_EQ(L"rel\\file.txt", back);
    ASSERT_TRUE(m_in.ReadPath(m_inRoot, L"NoBase", L"C:\\base\\file.xml", back));
    EXPECT_EQ(L"C:\\base\\rel\\file.txt", back);
    back = L"unchanged";
    EXPECT_FALSE(m_in.ReadPath(m_inRoot, L"Missing", base, back));
    EXPECT_EQ(static_cast<UINT>(IDS_XML_NODE_NOT_FOUND), m_in.GetError().m_id);
    EXPECT_EQ(L"unchanged", back);
}
