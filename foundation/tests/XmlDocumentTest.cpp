#include "foundation/GlobalMemory.h"
#include "foundation/ResString.h"
#include "foundation/XmlDocument.h"
#include "ids/xml.h"
#include "tests/support/TempFolder.h"
#include "XmlTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

TEST(XmlDocument, BrokenOrMissingSourcesFailAndKeepThePreviousDocument)
{
    CTempFolder temp;
    const std::string broken = "<?xml version=\"1.0\"?><Root><a></Root>";
    const std::wstring brokenFile = temp.WriteFile(L"bad.xml", broken);
    const std::wstring missingFile = temp.Path(L"none.xml");
    CGlobalMemory memory;
    ASSERT_TRUE(memory.Alloc(broken.size(), GMEM_MOVEABLE));
    memcpy(CGlobalLocker(memory).Get(), broken.data(), broken.size());

    CXmlDocument doc;
    EXPECT_FALSE(doc.LoadFromFile(missingFile));
    EXPECT_FALSE(doc.GetDocument()) << "no document is made before the file is found";

    ASSERT_TRUE(doc.LoadFromText(L"<Root><Value>kept</Value></Root>"));
    IXMLDOMDocument* before = doc.GetDocument();
    // Code 0: whatever failure the parser reports (S_FALSE alone must not read as success).
    const struct {
        std::function<bool()> load;
        UINT id;
        HRESULT code;
        std::wstring inMessage;
    } cases[] = {
        {[&] { return doc.LoadFromText(L"<Root><Value>x</Root>"); }, IDS_XML_PARSE_FAILED, 0, L""},
        {[&] { return doc.LoadFromText(L"<a>&bad;</a>"); }, IDS_XML_PARSE_FAILED, 0, L""},
        {[&] { return doc.LoadFromMemory(memory); }, IDS_XML_PARSE_FAILED, 0, L""},
        {[&] { return doc.LoadFromFile(brokenFile); }, IDS_XML_LOAD_FAILED, S_FALSE, brokenFile},
        {[&] { return doc.LoadFromFile(missingFile); }, IDS_XML_LOAD_FAILED, HResultFromWin32(2), missingFile},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        EXPECT_FALSE(c.load());
        EXPECT_EQ(c.id, doc.GetError().m_id);
        if (c.code) {
            EXPECT_EQ(static_cast<UINT>(c.code), doc.GetError().m_code);
        } else {
            EXPECT_TRUE(FAILED(static_cast<HRESULT>(doc.GetError().m_code)));
        }
        EXPECT_NE(std::wstring::npos, doc.GetError().m_message.find(c.inMessage));
        EXPECT_EQ(before, doc.GetDocument());
    }
    CXmlNodePtr root;
    ASSERT_TRUE(doc.SelectNodeOrFail(L"Root", root));
    EXPECT_TRUE(doc.NodeExists(root, L"Value"));
}

TEST(XmlDocument, NotFoundNamesTheNodePathAndCanBeCleared)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromText(kSettingsTemplate));
    CXmlNodePtr root, exec, flags;
    ASSERT_TRUE(doc.SelectNodeOrFail(L"FernhollowSetting", root));
    ASSERT_TRUE(doc.WriteText(root, L"Exec", L""));
    ASSERT_TRUE(doc.SelectChildOrFail(root, L"Exec", exec));
    EXPECT_FALSE(doc.SelectChildOrFail(exec, L"Flags", flags));
    EXPECT_FALSE(flags);
    const std::wstring location = DocumentNodeName(doc.GetDocument()) + L"/FernhollowSetting/Exec -> Flags";
    EXPECT_EQ(static_cast<UINT>(IDS_XML_NODE_NOT_FOUND), doc.GetError().m_id);
    EXPECT_NE(std::wstring::npos, doc.GetError().m_message.find(location)) << doc.GetError().m_message;

    EXPECT_TRUE(doc.ClearNotFoundError());
    EXPECT_FALSE(doc.HasError());
    EXPECT_FALSE(doc.SetErrorText(IDS_XML_GET_TEXT_FAILED, L"x"));
    EXPECT_FALSE(doc.ClearNotFoundError());
    EXPECT_EQ(static_cast<UINT>(IDS_XML_GET_TEXT_FAILED), doc.GetError().m_id);
}

TEST(XmlDocument, WritingTwiceMakesTwoSiblings)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromText(L"<Root/>"));
    CXmlNodePtr root;
    ASSERT_TRUE(doc.SelectNodeOrFail(L"Root", root));
    ASSERT_TRUE(doc.WriteText(root, L"Item", L"one"));
    ASSERT_TRUE(doc.WriteText(root, L"Item", std::wstring(L"two")));
    CXmlNodeListPtr items;
    ASSERT_TRUE(doc.SelectNodesOrFail(root, L"Item", items));
    long count = 0;
    ASSERT_TRUE(doc.GetNodeCount(items, count));
    ASSERT_EQ(2, count);
    CXmlNodePtr second;
    ASSERT_TRUE(doc.GetNodeItem(items, 1, second));
    EXPECT_EQ(L"two", DomText(second));
    EXPECT_FALSE(doc.GetNodeItem(items, 2, second));
    EXPECT_EQ(static_cast<UINT>(IDS_XML_NODE_ITEM_FAILED), doc.GetError().m_id);
}

TEST(XmlDocument, SaveAndLoadThroughFileAndMemory)
{
    CTempFolder temp;
    const std::wstring text = L"\x65E5\x672C\x8A9E <&>\"' \xD83D\xDE00";
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromText(kSettingsTemplate));
    CXmlNodePtr root;
    ASSERT_TRUE(doc.SelectNodeOrFail(L"FernhollowSetting", root));
    ASSERT_TRUE(doc.WriteText(root, L"Text", text));
    const std::wstring path = temp.Path(L"out.xml");
    ASSERT_TRUE(doc.SaveToFile(path));
    const std::string bytes = temp.ReadFile(L"out.xml");
    EXPECT_EQ(0u, bytes.find("<?xml version=\"1.0\" encoding=\"utf-8\"?>"));
    EXPECT_NE(std::string::npos, bytes.find("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E &lt;&amp;&gt;")) << bytes;

    HGLOBAL memory = doc.SaveToMemory();
    ASSERT_TRUE(memory) << doc.GetError().m_message;
    CGlobalMemory owner(memory);
    CXmlDocument fromFile, fromMemory;
    ASSERT_TRUE(fromFile.LoadFromFile(path));
    ASSERT_TRUE(fromMemory.LoadFromMemory(owner)) << fromMemory.GetError().m_message;
    for (CXmlDocument* loaded : {&fromFile, &fromMemory}) {
        std::wstring back;
        ASSERT_TRUE(loaded->SelectNodeOrFail(L"FernhollowSetting", root));
        ASSERT_TRUE(loaded->ReadText(root, L"Text", back));
        EXPECT_EQ(text, back);
    }

    EXPECT_FALSE(doc.SaveToFile(temp.Path(L"no\\such\\folder.xml")));
    EXPECT_EQ(static_cast<UINT>(IDS_XML_SAVE_FAILED), doc.GetError().m_id);
}
