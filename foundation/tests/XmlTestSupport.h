#pragma once
// Shared pieces of the XML tests.
#include "foundation/XmlDocument.h"

#include <gtest/gtest.h>

#include <string>

inline const wchar_t kSettingsTemplate[] =
    L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    L"<FernhollowSetting xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    L"xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">\n</FernhollowSetting>\n";

// The document node's own name as the DOM reports it.
inline std::wstring DocumentNodeName(IXMLDOMDocument* doc)
{
    ATL::CComBSTR name;
    EXPECT_EQ(S_OK, doc->get_nodeName(&name));
    return name.m_str ? std::wstring(name.m_str) : std::wstring();
}

// Text of a node read straight from the DOM.
inline std::wstring DomText(IXMLDOMNode* node)
{
    ATL::CComBSTR text;
    EXPECT_EQ(S_OK, node->get_text(&text));
    return text.m_str ? std::wstring(text.m_str, text.Length()) : std::wstring();
}
