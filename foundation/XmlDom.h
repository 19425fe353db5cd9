#pragma once
// The system's XML DOM interfaces. msxml.h, not msxml2.h: the latter redefines CLSID_DOMDocument
// to a symbol the import libraries lack. mingw's msxml.h declares no __uuidof, so the
// interfaces this library holds in CComPtr get theirs here.
#include <ComPtr.h>
#include <msxml.h>

__CRT_UUID_DECL(IXMLDOMDocument, 0x2933bf81, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)
__CRT_UUID_DECL(IXMLDOMNode, 0x2933bf80, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)
__CRT_UUID_DECL(IXMLDOMNodeList, 0x2933bf82, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)
__CRT_UUID_DECL(IXMLDOMParseError, 0x3efaa426, 0x272f, 0x11d2, 0x83, 0x6f, 0x00, 0x00, 0xf8, 0x7a, 0x77, 0x82)

using CXmlDocPtr = ATL::CComPtr<IXMLDOMDocument>;
using CXmlNodePtr = ATL::CComPtr<IXMLDOMNode>;
using CXmlNodeListPtr = ATL::CComPtr<IXMLDOMNodeList>;

#include <AtlException.h>

#include <string>

// A BSTR for one DOM call; an empty string gives an empty BSTR, never null.
inline ATL::CComBSTR MakeBstr(const std::wstring& text)
{
    ATL::CComBSTR bstr(text.data(), static_cast<UINT>(text.size()));
    if (!bstr.m_str) ATL::AtlThrow(E_OUTOFMEMORY);
    return bstr;
}
