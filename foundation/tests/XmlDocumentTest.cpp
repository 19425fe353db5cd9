#include "foundation/GlobalMemory.h"
#include "foundation/XmlDocument.h"
#include "ids/xml.h"
#include "tests/support/UiLanguage.h"

#include "tests/support/TempFolder.h"
#include "XmlTestSupport.h"

#include <gtest/gtest.h>

TEST(XmlDocument, InterfaceIdsMatchTheImportLibrary)
{
    EXPECT_TRUE(IsEqualGUID(__uuidof(IXMLDOMDocument), IID_IXMLDOMDocument));
    EXPECT_TRUE(IsEqualGUID(__uuidof(IXMLDOMNode), IID_IXMLDOMNode));
    EXPECT_TRUE(IsEqualGUID(__uuidof(IXMLDOMNodeList), IID_IXMLDOMNodeList));
    EXPECT_TRUE(IsEqualGUID(__uuidof(IXMLDOMParseError), IID_IXMLDOMParseError));
}

TEST(XmlDocument, MissingFileFailsBeforeAnyDocumentIsMade)
{
    CTempFolder temp;
    CXmlDocument doc;
    const std::wstring path = temp.Path(L"none.xml");
    EXPECT_FALSE(doc.LoadFromFile(path));
    EXPECT_EQ(static_cast<UINT>(IDS_XML_LOAD_FAILED), doc.GetError().m_id);
    EXPECT_EQ(0x80070002u, doc.GetError().m_code);
    EXPECT_NE(std::wstring::npos, doc.GetError().m_message.find(path));
    EXPECT_FALSE(doc.GetDocument());
}

TEST(XmlDocument, BrokenTextFailsAndKeepsThePreviousDocument)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromText(L"<Root><Value>kept</Value></Root>"));
    IXMLDOMDocument* before = doc.GetDocument();
    for (const wchar_t* broken : {L"<Root><Value>x</Root>", L"", L"not xml at all", L"<a>&bad;</a>"}) {
        EXPECT_FALSE(doc.LoadFromText(broken)) << broken;
        EXPECT_EQ(static_cast<UINT>(IDS_XML_PARSE_FAILED), doc.GetError().m_id) << broken;
        EXPECT_TRUE(FAILED(static_cast<HRESULT>(doc.GetError().m_code)));
        EXPECT_EQ(0u, doc.GetError().m_message.find(
                          ByLanguage(L"Failed to parse XML document - ", L"XMLドキュメントを解析できませんでした - ")));
        EXPECT_EQ(before, doc.GetDocument());
    }
    CXmlNodePtr root;
    ASSERT_TRUE(doc.SelectNodeOrFail(L"Root", root));
    std::wstring text;
    ASSERT_TRUE(doc.ReadText(root, L"Value", text));
    EXPECT_EQ(L"kept", text);
}

TEST(XmlDocument, BrokenFileFailsWithFalseCodeAndKeepsThePreviousDocument)
{
    CTempFolder temp;
    temp.WriteFile(L"bad.xml", "<?xml version=\"1.0\"?><Root><a></Root>");
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromText(L"<Root/>"));
    IXMLDOMDocument* before = doc.GetDocument();
    EXPECT_FALSE(doc.LoadFromFile(temp.Path(L"bad.xml")));
    EXPECT_EQ(static_cast<UINT>(IDS_XML_LOAD_FAILED), doc.GetError().m_id);
    EXPECT_EQ(static_cast<UINT>(S_FALSE), doc.GetError().m_code);
    EXPECT_NE(std::wstring::npos, doc.GetError().m_message.find(temp.Path(L"bad.xml")));
    EXPECT_EQ(before, doc.GetDocument());
}

TEST(XmlDocument, BrokenMemoryFailsAndKeepsThePreviousDocument)
{
    const char broken[] = "<Root><a></Root>";
    CGlobalMemory memory;
    ASSERT_TRUE(memory.Alloc(sizeof(broken) - 1, GMEM_MOVEABLE));
    {
        CGlobalLocker lock(memory);
        memcpy(lock.Get(), broken, sizeof(broken) - 1);
    }
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromText(L"<Root/>"));
    IXMLDOMDocument* before = doc.GetDocument();
    EXPECT_FALSE(doc.LoadFromMemory(memory));
    EXPECT_EQ(static_cast<UINT>(IDS_XML_PARSE_FAILED), doc.GetError().m_id);
    EXPECT_EQ(before, doc.GetDocument());
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
    EXPECT_EQ(static_cast<UINT>(E_FAIL), doc.GetError().m_code);
    EXPECT_NE(std::wstring::npos, doc.GetError().m_message.find(location)) << doc.GetError().m_message;

    EXPECT_TRUE(doc.ClearNotFoundError());
    EXPECT_EQ(0u, doc.GetError().m_id);
    EXPECT_EQ(0u, doc.GetError().m_code);
    EXPECT_TRUE(doc.GetError().m_message.empty());
    EXPECT_FALSE(doc.ClearNotFoundError());

    EXPECT_FALSE(doc.SetErrorText(IDS_XML_GET_TEXT_FAILED, L"x"));
    EXPECT_FALSE(doc.ClearNotFoundError());
    EXPECT_EQ(static_cast<UINT>(IDS_XML_GET_TEXT_FAILED), doc.GetError().m_id);
    EXPECT_TRUE(doc.SetErrorText(0, L""));
    EXPECT_FALSE(doc.HasError());

    EXPECT_FALSE(doc.SelectNodeOrFail(L"Missing", root));
    EXPECT_TRUE(doc.ClearNotFoundError());
    // A failing selection (Wine's XPath compiler crashes on malformed expressions, so set it).
    EXPECT_FALSE(doc.SetErrorCode(IDS_XML_SELECT_NODE_FAILED, E_INVALIDARG, L"x"));
    EXPECT_TRUE(doc.ClearNotFoundError());
    EXPECT_FALSE(doc.HasError());
}

TEST(XmlDocument, NodePaths)
{
    EXPECT_EQ(L"(!null)", CXmlDocument::GetNodePath(nullptr));
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromText(L"<a><b><c/></b></a>"));
    CXmlNodePtr c;
    ASSERT_TRUE(doc.SelectNodeOrFail(L"a/b/c", c));
    EXPECT_EQ(DocumentNodeName(doc.GetDocument()) + L"/a/b/c", CXmlDocument::GetNodePath(c));
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
    CXmlNodePtr beyond;
    EXPECT_FALSE(doc.GetNodeItem(items, 2, beyond));
    EXPECT_EQ(static_cast<UINT>(IDS_XML_NODE_ITEM_FAILED), doc.GetError().m_id);

    std::wstring own;
    ASSERT_TRUE(doc.ReadText(second, L"", own));
    EXPECT_EQ(L"two", own);
    ASSERT_TRUE(doc.ReadText(root, L"", own));
    EXPECT_EQ(L"onetwo", own);
    EXPECT_TRUE(doc.NodeExists(root, L"Item"));
    EXPECT_FALSE(doc.NodeExists(root, L"Other"));
    EXPECT_FALSE(doc.NodeExists(nullptr, L"Item"));
}

TEST(XmlDocument, SelfForms)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromText(L"<Root/>"));
    CXmlNodePtr root, same, made;
    ASSERT_TRUE(doc.SelectNodeOrFail(L"Root", root));
    ASSERT_TRUE(doc.SelectChildOrSelf(root, L"", same));
    EXPECT_EQ(root.p, same.p);
    ASSERT_TRUE(doc.CreateElementOrSelf(root, L"", L"", made));
    EXPECT_EQ(root.p, made.p);
    EXPECT_TRUE(doc.AppendChildUnlessSame(root, made));
    ASSERT_TRUE(doc.CreateElementOrSelf(root, L"Child", L"", made));
    EXPECT_NE(root.p, made.p);
    EXPECT_TRUE(doc.AppendChildUnlessSame(root, made));
    EXPECT_TRUE(doc.NodeExists(root, L"Child"));
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

    CXmlDocument fromFile;
    ASSERT_TRUE(fromFile.LoadFromFile(path));
    std::wstring back;
    ASSERT_TRUE(fromFile.SelectNodeOrFail(L"FernhollowSetting", root));
    ASSERT_TRUE(fromFile.ReadText(root, L"Text", back));
    EXPECT_EQ(text, back);

    HGLOBAL memory = doc.SaveToMemory();
    ASSERT_TRUE(memory) << doc.GetError().m_message;
    CGlobalMemory owner(memory);
    CXmlDocument fromMemory;
    ASSERT_TRUE(fromMemory.LoadFromMemory(owner)) << fromMemory.GetError().m_message;
    ASSERT_TRUE(fromMemory.SelectNodeOrFail(L"FernhollowSetting", root));
    ASSERT_TRUE(fromMemory.ReadText(root, L"Text", back));
    EXPECT_EQ(text, back);
}

TEST(XmlDocument, SaveIntoAMissingFolderFails)
{
    CTempFolder temp;
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromText(L"<Root/>"));
    EXPECT_FALSE(doc.SaveToFile(temp.Path(L"no\\such\\folder.xml")));
    EXPECT_EQ(static_cast<UINT>(IDS_XML_SAVE_FAILED), doc.GetError().m_id);

    CXmlDocument empty;
    EXPECT_FALSE(empty.SaveToFile(temp.Path(L"x.xml")));
    EXPECT_EQ(nullptr, empty.SaveToMemory());
    EXPECT_EQ(static_cast<UINT>(IDS_XML_SAVE_FAILED), empty.GetError().m_id);
}
