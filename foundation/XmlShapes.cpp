// Value encodings of several parts or of tables: rectangles, sizes, points, enumerations,
// flags, raw bytes and multi-line or bounded text.
#include "foundation/XmlDocument.h"

#include "foundation/HexColor.h"
#include "foundation/LineEnds.h"
#include "ids/xml.h"

#include <cstring>

namespace {

const CNamedInt* FindName(const CNamedIntTable& table, const std::wstring& name)
{
    for (const auto& entry : table)
        if (entry && entry->m_name == name) return entry.get();
    return nullptr;
}

std::wstring BytesToHex(const BYTE* data, size_t size)
{
    std::wstring text;
    text.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) text += FormatHex(data[i], 2);
    return text;
}

template <class Container> bool HexToBytes(const std::wstring& text, Container& out)
{
    if (text.size() % 2 != 0) return false;
    Container bytes;
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        if (!IsHexDigit(text[i]) || !IsHexDigit(text[i + 1])) return false;
        bytes.push_back(
            static_cast<typename Container::value_type>(HexDigitValue(text[i]) * 16 + HexDigitValue(text[i + 1])));
    }
    out.swap(bytes);
    return true;
}

} // namespace

bool CXmlDocument::WriteRect(IXMLDOMNode* parent, const std::wstring& name, const RECT& rect)
{
    CXmlNodePtr element;
    return CreateElement(name, std::wstring(), element) && WriteInt(element, L"left", rect.left) &&
           WriteInt(element, L"top", rect.top) && WriteInt(element, L"right", rect.right) &&
           WriteInt(element, L"bottom", rect.bottom) && AppendChild(parent, element);
}

bool CXmlDocument::ReadRect(IXMLDOMNode* node, const std::wstring& xpath, RECT& rect)
{
    CXmlNodePtr element;
    return SelectChildOrFail(node, xpath, element) && ReadLong(element, L"left", rect.left) &&
           ReadLong(element, L"top", rect.top) && ReadLong(element, L"right", rect.right) &&
           ReadLong(element, L"bottom", rect.bottom);
}

bool CXmlDocument::WriteSize(IXMLDOMNode* parent, const std::wstring& name, const SIZE& size)
{
    CXmlNodePtr element;
    return CreateElement(name, std::wstring(), element) && WriteInt(element, L"cx", size.cx) &&
           WriteInt(element, L"cy", size.cy) && AppendChild(parent, element);
}

bool CXmlDocument::ReadSize(IXMLDOMNode* node, const std::wstring& xpath, SIZE& size)
{
    CXmlNodePtr element;
    return SelectChildOrFail(node, xpath, element) && ReadLong(element, L"cx", size.cx) &&
           ReadLong(element, L"cy", size.cy);
}

bool CXmlDocument::WriteRectSize(IXMLDOMNode* parent, const std::wstring& name, const RECT& rect, const SIZE& size)
{
    CXmlNodePtr element;
    return CreateElement(name, std::wstring(), element) && WriteInt(element, L"left", rect.left) &&
           WriteInt(element, L"top", rect.top) && WriteInt(element, L"right", rect.right) &&
           WriteInt(element, L"bottom", rect.bottom) && WriteInt(element, L"cx", size.cx) &&
           WriteInt(element, L"cy", size.cy) && AppendChild(parent, element);
}

bool CXmlDocument::ReadRectSize(IXMLDOMNode* node, const std::wstring& xpath, RECT& rect, SIZE& size)
{
    CXmlNodePtr element;
    return SelectChildOrFail(node, xpath, element) && ReadLong(element, L"left", rect.left) &&
           ReadLong(element, L"top", rect.top) && ReadLong(element, L"right", rect.right) &&
           ReadLong(element, L"bottom", rect.bottom) && ReadLong(element, L"cx", size.cx) &&
           ReadLong(element, L"cy", size.cy);
}

bool CXmlDocument::WritePoint(IXMLDOMNode* parent, const std::wstring& name, double x, double y)
{
    CXmlNodePtr element;
    return CreateElement(name, std::wstring(), element) && WriteDouble(element, L"x", x) &&
           WriteDouble(element, L"y", y) && AppendChild(parent, element);
}

bool CXmlDocument::ReadPoint(IXMLDOMNode* node, const std::wstring& xpath, double& x, double& y)
{
    CXmlNodePtr element;
    return SelectChildOrFail(node, xpath, element) && ReadDouble(element, L"x", x) && ReadDouble(element, L"y", y);
}

bool CXmlDocument::WriteEnum(IXMLDOMNode* parent, const std::wstring& name, int value, const CNamedIntTable& table)
{
    for (const auto& entry : table)
        if (entry && entry->m_value == value) return WriteText(parent, name, entry->m_name);
    return SetErrorText(IDS_XML_UNKNOWN_ENUM_VALUE, ToText(value));
}

bool CXmlDocument::ReadEnum(IXMLDOMNode* node, const std::wstring& xpath, const CNamedIntTable& table, int& value)
{
    return ReadParsed(node, xpath, IDS_XML_BAD_ENUM, value, [&table](const std::wstring& text, int& out) {
        const CNamedInt* entry = FindName(table, text);
        if (entry) out = entry->m_value;
        return entry != nullptr;
    });
}

bool CXmlDocument::WriteFlags(IXMLDOMNode* parent, const std::wstring& name, int value, const CNamedIntTable& table)
{
    std::wstring text;
    bool first = true;
    for (const auto& entry : table) {
        if (!entry || (value & entry->m_value) != entry->m_value) continue;
        if (!first) text += L'|';
        text += entry->m_name;
        first = false;
    }
    return WriteText(parent, name, text);
}

bool CXmlDocument::ReadFlags(IXMLDOMNode* node, const std::wstring& xpath, const CNamedIntTable& table, int& value)
{
    std::wstring text;
    if (!ReadText(node, xpath, text)) return false;
    value = 0;
    std::vector<std::wstring> pieces;
    SplitText(text, L"|", pieces);
    for (const auto& piece : pieces) {
        const CNamedInt* entry = FindName(table, piece);
        if (!entry) return SetErrorText(IDS_XML_BAD_FLAGS, piece, LocationText(node, xpath));
        value |= entry->m_value;
    }
    return true;
}

bool CXmlDocument::WriteRawBytes(IXMLDOMNode* parent, const std::wstring& name, const std::vector<BYTE>& bytes)
{
    return WriteText(parent, name, BytesToHex(bytes.data(), bytes.size()));
}

bool CXmlDocument::ReadRawBytes(IXMLDOMNode* node, const std::wstring& xpath, std::vector<BYTE>& bytes)
{
    return ReadParsed(node, xpath, IDS_XML_BAD_RAW_BYTES, bytes, HexToBytes<std::vector<BYTE>>);
}

bool CXmlDocument::WriteRawString(IXMLDOMNode* parent, const std::wstring& name, const std::string& bytes)
{
    return WriteText(parent, name, BytesToHex(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size()));
}

bool CXmlDocument::ReadRawString(IXMLDOMNode* node, const std::wstring& xpath, std::string& bytes)
{
    return ReadParsed(node, xpath, IDS_XML_BAD_RAW_BYTES, bytes, HexToBytes<std::string>);
}

bool CXmlDocument::WriteTextLF(IXMLDOMNode* parent, const std::wstring& name, const std::wstring& text)
{
    return WriteText(parent, name, ToLF(text));
}

bool CXmlDocument::ReadTextCRLF(IXMLDOMNode* node, const std::wstring& xpath, std::wstring& text)
{
    std::wstring stored;
    if (!ReadText(node, xpath, stored)) return false;
    text = ToCRLF(stored);
    return true;
}

bool CXmlDocument::ReadTextToBuffer(IXMLDOMNode* node, const std::wstring& xpath, wchar_t* buffer, size_t capacity)
{
    std::wstring text;
    if (!ReadText(node, xpath, text)) return false;
    if (!buffer || text.size() >= capacity) return SetErrorText(IDS_XML_TEXT_TOO_LONG, text, LocationText(node, xpath));
    std::memcpy(buffer, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    return true;
}
