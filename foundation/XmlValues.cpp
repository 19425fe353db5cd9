// Simple value encodings: one element whose text is the value.
#include "foundation/XmlDocument.h"

#include "foundation/HexColor.h"
#include "ids/xml.h"

#include <cstdlib>
#include <sstream>

bool CXmlDocument::WriteHexNumber(IXMLDOMNode* parent, const std::wstring& name, DWORD value)
{
    return WriteText(parent, name, FormatHex(value, 8));
}

bool CXmlDocument::ReadHexNumber(IXMLDOMNode* node, const std::wstring& xpath, DWORD& value)
{
    return ReadParsed(node, xpath, IDS_XML_BAD_DWORD, value, ParseHexNumber);
}

bool CXmlDocument::WriteHexWord(IXMLDOMNode* parent, const std::wstring& name, WORD value)
{
    return WriteText(parent, name, FormatHex(value, 4));
}

bool CXmlDocument::ReadHexWord(IXMLDOMNode* node, const std::wstring& xpath, WORD& value)
{
    return ReadParsed(node, xpath, IDS_XML_BAD_WORD, value, ParseHexWord);
}

bool CXmlDocument::WriteHexByte(IXMLDOMNode* parent, const std::wstring& name, BYTE value)
{
    return WriteText(parent, name, FormatHex(value, 2));
}

bool CXmlDocument::ReadHexByte(IXMLDOMNode* node, const std::wstring& xpath, BYTE& value)
{
    return ReadParsed(node, xpath, IDS_XML_BAD_BYTE, value, ParseHexByte);
}

bool CXmlDocument::WriteBool(IXMLDOMNode* parent, const std::wstring& name, bool value)
{
    return WriteText(parent, name, value ? L"true" : L"false");
}

bool CXmlDocument::ReadBool(IXMLDOMNode* node, const std::wstring& xpath, bool& value)
{
    std::wstring text;
    if (!ReadText(node, xpath, text)) return false;
    if (text == L"true")
        value = true;
    else if (text == L"false")
        value = false;
    else
        return SetErrorCode(IDS_XML_BAD_BOOL, E_FAIL, LocationText(node, xpath));
    return true;
}

bool CXmlDocument::ReadBoolOptional(IXMLDOMNode* node, const std::wstring& xpath, bool& value)
{
    return ReadBool(node, xpath, value) || ClearNotFoundError();
}

bool CXmlDocument::WriteInt(IXMLDOMNode* parent, const std::wstring& name, long value)
{
    return WriteText(parent, name, ToText(value));
}

bool CXmlDocument::ReadLong(IXMLDOMNode* node, const std::wstring& xpath, long& value)
{
    return ReadParsed(node, xpath, IDS_XML_BAD_LONG, value,
                      [](const std::wstring& text, long& out) { return ParseSignedNumber(text, 0, out); });
}

bool CXmlDocument::WriteFixed(IXMLDOMNode* parent, const std::wstring& name, long value, int decimals)
{
    return WriteText(parent, name, FormatFixed(value, decimals));
}

bool CXmlDocument::ReadFixed(IXMLDOMNode* node, const std::wstring& xpath, int decimals, long& value)
{
    return ReadParsed(node, xpath, IDS_XML_BAD_INT, value, [decimals](const std::wstring& text, long& out) {
        return ParseSignedNumber(text, decimals, out);
    });
}

bool CXmlDocument::WriteUInt(IXMLDOMNode* parent, const std::wstring& name, unsigned long value)
{
    return WriteText(parent, name, ToText(value));
}

bool CXmlDocument::ReadUInt(IXMLDOMNode* node, const std::wstring& xpath, unsigned long& value)
{
    return ReadParsed(node, xpath, IDS_XML_BAD_SIZE_T, value, ParseUnsignedNumber);
}

bool CXmlDocument::WriteDouble(IXMLDOMNode* parent, const std::wstring& name, double value)
{
    std::wostringstream os;
    os << value;
    return WriteText(parent, name, os.str());
}

bool CXmlDocument::ReadDouble(IXMLDOMNode* node, const std::wstring& xpath, double& value)
{
    std::wstring text;
    if (!ReadText(node, xpath, text)) return false;
    value = _wtof(text.c_str());
    return true;
}

bool CXmlDocument::WriteColor(IXMLDOMNode* parent, const std::wstring& name, COLORREF value)
{
    return WriteText(parent, name, FormatHexColor(value));
}

bool CXmlDocument::ReadColor(IXMLDOMNode* node, const std::wstring& xpath, COLORREF& value)
{
    return ReadParsed(node, xpath, IDS_XML_BAD_COLOR, value,
                      [](const std::wstring& text, COLORREF& out) { return ParseHexColor(out, text); });
}

bool CXmlDocument::WriteVersion(IXMLDOMNode* parent, const std::wstring& name, DWORD version)
{
    return WriteText(parent, name, FormatVersion(version));
}

bool CXmlDocument::ReadVersion(IXMLDOMNode* node, const std::wstring& xpath, DWORD& version)
{
    return ReadParsed(node, xpath, IDS_XML_BAD_VERSION, version, ParseVersion);
}

bool CXmlDocument::WriteC3State(IXMLDOMNode* parent, const std::wstring& name, C3State value)
{
    return WriteText(parent, name, C3StateToText(value));
}

bool CXmlDocument::ReadC3State(IXMLDOMNode* node, const std::wstring& xpath, C3State& value)
{
    std::wstring text;
    if (!ReadText(node, xpath, text)) return false;
    value = C3StateFromText(text);
    return true;
}
