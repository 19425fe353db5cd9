#include "foundation/XmlDocument.h"

#include "ids/xml.h"

#include <list>

std::wstring CXmlDocument::GetNodePath(IXMLDOMNode* node)
{
    if (!node) return L"(!null)";
    std::list<std::wstring> names;
    CXmlNodePtr current(node);
    while (current) {
        ATL::CComBSTR name;
        if (SUCCEEDED(current->get_nodeName(&name)) && name.m_str)
            names.emplace_front(name.m_str, name.Length());
        else
            names.emplace_front(L"(!name)");
        CXmlNodePtr parent;
        if (FAILED(current->get_parentNode(&parent))) break;
        current = std::move(parent);
    }
    std::wstring path;
    for (const auto& name : names) {
        if (!path.empty()) path += L'/';
        path += name;
    }
    return path;
}

std::wstring CXmlDocument::LocationText(IXMLDOMNode* node, const std::wstring& xpath)
{
    std::wstring text = GetNodePath(node);
    if (!xpath.empty()) text += L" -> " + xpath;
    return text;
}

bool CXmlDocument::SelectNodeOrFail(const std::wstring& xpath, CXmlNodePtr& out)
{
    out.Release();
    if (!m_doc) return SetErrorCode(IDS_XML_SELECT_NODE_FAILED, E_POINTER, xpath);
    const HRESULT hr = m_doc->selectSingleNode(MakeBstr(xpath), &out);
    if (FAILED(hr)) return SetErrorCode(IDS_XML_SELECT_NODE_FAILED, hr, xpath);
    if (!out) return SetErrorCode(IDS_XML_NODE_NOT_FOUND, E_FAIL, xpath);
    return true;
}

bool CXmlDocument::SelectChildOrFail(IXMLDOMNode* node, const std::wstring& xpath, CXmlNodePtr& out)
{
    out.Release();
    if (!node) return SetErrorCode(IDS_XML_SELECT_NODE_FAILED, E_POINTER, LocationText(node, xpath));
    const HRESULT hr = node->selectSingleNode(MakeBstr(xpath), &out);
    if (FAILED(hr)) return SetErrorCode(IDS_XML_SELECT_NODE_FAILED, hr, LocationText(node, xpath));
    if (!out) return SetErrorCode(IDS_XML_NODE_NOT_FOUND, E_FAIL, LocationText(node, xpath));
    return true;
}

bool CXmlDocument::SelectChildOrSelf(IXMLDOMNode* node, const std::wstring& xpath, CXmlNodePtr& out)
{
    if (xpath.empty()) {
        out = node;
        return true;
    }
    return SelectChildOrFail(node, xpath, out);
}

bool CXmlDocument::SelectNodesOrFail(IXMLDOMNode* node, const std::wstring& xpath, CXmlNodeListPtr& out)
{
    out.Release();
    if (!node) return SetErrorCode(IDS_XML_SELECT_NODES_FAILED, E_POINTER, LocationText(node, xpath));
    const HRESULT hr = node->selectNodes(MakeBstr(xpath), &out);
    if (FAILED(hr)) return SetErrorCode(IDS_XML_SELECT_NODES_FAILED, hr, LocationText(node, xpath));
    if (!out) return SetErrorCode(IDS_XML_NODES_NOT_FOUND, E_FAIL, LocationText(node, xpath));
    return true;
}

bool CXmlDocument::NodeExists(IXMLDOMNode* node, const std::wstring& xpath)
{
    if (!node) return false;
    CXmlNodePtr found;
    return SUCCEEDED(node->selectSingleNode(MakeBstr(xpath), &found)) && found;
}

bool CXmlDocument::GetNodeCount(IXMLDOMNodeList* list, long& count)
{
    if (!list) return SetErrorCode(IDS_XML_NODE_COUNT_FAILED, E_POINTER);
    const HRESULT hr = list->get_length(&count);
    if (FAILED(hr)) return SetErrorCode(IDS_XML_NODE_COUNT_FAILED, hr);
    return true;
}

bool CXmlDocument::GetNodeItem(IXMLDOMNodeList* list, long index, CXmlNodePtr& out)
{
    out.Release();
    if (!list) return SetErrorCode(IDS_XML_NODE_ITEM_FAILED, E_POINTER);
    const HRESULT hr = list->get_item(index, &out);
    if (FAILED(hr)) return SetErrorCode(IDS_XML_NODE_ITEM_FAILED, hr);
    if (!out) return SetErrorCode(IDS_XML_NODE_ITEM_FAILED, E_INVALIDARG);
    return true;
}

bool CXmlDocument::CreateElement(const std::wstring& name, const std::wstring& namespaceUri, CXmlNodePtr& out)
{
    out.Release();
    if (!m_doc) return SetErrorCode(IDS_XML_CREATE_NODE_FAILED, E_POINTER);
    VARIANT type;
    ::VariantInit(&type);
    type.vt = VT_I4;
    type.lVal = NODE_ELEMENT;
    const HRESULT hr = m_doc->createNode(type, MakeBstr(name), MakeBstr(namespaceUri), &out);
    if (FAILED(hr)) return SetErrorCode(IDS_XML_CREATE_NODE_FAILED, hr);
    if (!out) return SetErrorCode(IDS_XML_CREATE_NODE_FAILED, E_FAIL);
    return true;
}

bool CXmlDocument::CreateElementOrSelf(IXMLDOMNode* node, const std::wstring& name, const std::wstring& namespaceUri,
                                       CXmlNodePtr& out)
{
    if (name.empty()) {
        out = node;
        return true;
    }
    return CreateElement(name, namespaceUri, out);
}

bool CXmlDocument::AppendChild(IXMLDOMNode* parent, IXMLDOMNode* child)
{
    if (!parent || !child) return SetErrorCode(IDS_XML_ADD_NODE_FAILED, E_POINTER);
    CXmlNodePtr added;
    const HRESULT hr = parent->appendChild(child, &added);
    if (FAILED(hr)) return SetErrorCode(IDS_XML_ADD_NODE_FAILED, hr);
    return true;
}

bool CXmlDocument::AppendChildUnlessSame(IXMLDOMNode* parent, IXMLDOMNode* child)
{
    if (parent == child) return true;
    return AppendChild(parent, child);
}

bool CXmlDocument::SetText(IXMLDOMNode* node, const std::wstring& text)
{
    if (!node) return SetErrorCode(IDS_XML_SET_TEXT_FAILED, E_POINTER);
    const HRESULT hr = node->put_text(MakeBstr(text));
    if (FAILED(hr)) return SetErrorCode(IDS_XML_SET_TEXT_FAILED, hr);
    return true;
}

bool CXmlDocument::GetText(IXMLDOMNode* node, std::wstring& text)
{
    if (!node) return SetErrorCode(IDS_XML_GET_TEXT_FAILED, E_POINTER);
    ATL::CComBSTR value;
    const HRESULT hr = node->get_text(&value);
    if (FAILED(hr)) return SetErrorCode(IDS_XML_GET_TEXT_FAILED, hr);
    if (value.m_str)
        text.assign(value.m_str, value.Length());
    else
        text.clear();
    return true;
}

bool CXmlDocument::WriteText(IXMLDOMNode* parent, const std::wstring& name, const std::wstring& text)
{
    CXmlNodePtr element;
    return CreateElement(name, std::wstring(), element) && SetText(element, text) && AppendChild(parent, element);
}

bool CXmlDocument::WriteText(IXMLDOMNode* parent, const std::wstring& name, const wchar_t* text)
{
    return WriteText(parent, name, std::wstring(text ? text : L""));
}

bool CXmlDocument::ReadText(IXMLDOMNode* node, const std::wstring& xpath, std::wstring& text)
{
    if (xpath.empty()) return GetText(node, text);
    CXmlNodePtr child;
    return SelectChildOrFail(node, xpath, child) && GetText(child, text);
}
