#pragma once
// A thin layer over the system's XML DOM. Operations return true on success; on failure they
// record an error state {message id, code, text} and return false (nothing XML-related throws
// but a failed BSTR allocation). Typed values are stored as element text, one element each.
#include "foundation/NamedInt.h"
#include "foundation/SimpleErr.h"
#include "foundation/ValueText.h"
#include "foundation/XmlDom.h"

#include <windows.h>

#include <string>
#include <vector>

class CXmlDocument : public CHasErr<CSimpleErr> {
public:
    CXmlDocument() = default;
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;
    virtual ~CXmlDocument() = default;

    IXMLDOMDocument* GetDocument() const { return m_doc; }

    // Error state; each returns true exactly when id is 0.
    bool SetErrorCode(UINT id, HRESULT code);
    bool SetErrorCode(UINT id, HRESULT code, const std::wstring& argument);
    bool SetErrorText(UINT id, const std::wstring& argument);
    bool SetErrorText(UINT id, const std::wstring& argument, const std::wstring& location);
    // Clears a "node not found" state (an optional node that is absent); false for any other.
    bool ClearNotFoundError();

    // A load replaces the document only when it succeeds.
    bool LoadFromText(const std::wstring& text);
    bool LoadFromFile(const std::wstring& path);
    bool LoadFromMemory(HGLOBAL memory);

    bool SaveToFile(const std::wstring& path);
    bool SaveToStream(IStream* stream);
    // The caller owns the returned memory; 0 on failure.
    HGLOBAL SaveToMemory();

    bool SelectNodeOrFail(const std::wstring& xpath, CXmlNodePtr& out);
    bool SelectChildOrFail(IXMLDOMNode* node, const std::wstring& xpath, CXmlNodePtr& out);
    bool SelectChildOrSelf(IXMLDOMNode* node, const std::wstring& xpath, CXmlNodePtr& out);
    bool SelectNodesOrFail(IXMLDOMNode* node, const std::wstring& xpath, CXmlNodeListPtr& out);
    bool NodeExists(IXMLDOMNode* node, const std::wstring& xpath);
    bool GetNodeCount(IXMLDOMNodeList* list, long& count);
    bool GetNodeItem(IXMLDOMNodeList* list, long index, CXmlNodePtr& out);
    // Names from the document node down, joined by "/"; "(!null)" for no node.
    static std::wstring GetNodePath(IXMLDOMNode* node);

    bool CreateElement(const std::wstring& name, const std::wstring& namespaceUri, CXmlNodePtr& out);
    bool CreateElementOrSelf(IXMLDOMNode* node, const std::wstring& name, const std::wstring& namespaceUri,
                             CXmlNodePtr& out);
    bool AppendChild(IXMLDOMNode* parent, IXMLDOMNode* child);
    bool AppendChildUnlessSame(IXMLDOMNode* parent, IXMLDOMNode* child);
    bool SetText(IXMLDOMNode* node, const std::wstring& text);
    bool GetText(IXMLDOMNode* node, std::wstring& text);
    // Appends a new element `name` holding `text`; nothing existing is replaced.
    bool WriteText(IXMLDOMNode* parent, const std::wstring& name, const std::wstring& text);
    bool WriteText(IXMLDOMNode* parent, const std::wstring& name, const wchar_t* text);
    // An empty xpath reads the node's own text.
    bool ReadText(IXMLDOMNode* node, const std::wstring& xpath, std::wstring& text);

    // Value encodings. Readers leave `value` unchanged when they fail, unless noted.
    bool WriteHexNumber(IXMLDOMNode* parent, const std::wstring& name, DWORD value);
    bool ReadHexNumber(IXMLDOMNode* node, const std::wstring& xpath, DWORD& value);
    bool WriteHexWord(IXMLDOMNode* parent, const std::wstring& name, WORD value);
    bool ReadHexWord(IXMLDOMNode* node, const std::wstring& xpath, WORD& value);
    bool WriteHexByte(IXMLDOMNode* parent, const std::wstring& name, BYTE value);
    bool ReadHexByte(IXMLDOMNode* node, const std::wstring& xpath, BYTE& value);
    bool WriteBool(IXMLDOMNode* parent, const std::wstring& name, bool value);
    bool ReadBool(IXMLDOMNode* node, const std::wstring& xpath, bool& value);
    // An absent node is no failure: the value stays as it was.
    bool ReadBoolOptional(IXMLDOMNode* node, const std::wstring& xpath, bool& value);
    bool WriteInt(IXMLDOMNode* parent, const std::wstring& name, long value);
    bool ReadLong(IXMLDOMNode* node, const std::wstring& xpath, long& value);
    bool WriteFixed(IXMLDOMNode* parent, const std::wstring& name, long value, int decimals);
    bool ReadFixed(IXMLDOMNode* node, const std::wstring& xpath, int decimals, long& value);
    bool WriteUInt(IXMLDOMNode* parent, const std::wstring& name, unsigned long value);
    bool ReadUInt(IXMLDOMNode* node, const std::wstring& xpath, unsigned long& value);
    bool WriteDouble(IXMLDOMNode* parent, const std::wstring& name, double value);
    bool ReadDouble(IXMLDOMNode* node, const std::wstring& xpath, double& value);
    bool WriteColor(IXMLDOMNode* parent, const std::wstring& name, COLORREF value);
    bool ReadColor(IXMLDOMNode* node, const std::wstring& xpath, COLORREF& value);
    bool WriteEnum(IXMLDOMNode* parent, const std::wstring& name, int value, const CNamedIntTable& table);
    bool ReadEnum(IXMLDOMNode* node, const std::wstring& xpath, const CNamedIntTable& table, int& value);
    bool WriteFlags(IXMLDOMNode* parent, const std::wstring& name, int value, const CNamedIntTable& table);
    // Sets value to 0 first; on a bad piece it keeps the bits read before it.
    bool ReadFlags(IXMLDOMNode* node, const std::wstring& xpath, const CNamedIntTable& table, int& value);
    // Both throw my::CException for an unknown value or name.
    bool WriteC3State(IXMLDOMNode* parent, const std::wstring& name, C3State value);
    bool ReadC3State(IXMLDOMNode* node, const std::wstring& xpath, C3State& value);
    bool WriteVersion(IXMLDOMNode* parent, const std::wstring& name, DWORD version);
    bool ReadVersion(IXMLDOMNode* node, const std::wstring& xpath, DWORD& version);
    // Composite readers fill their fields in order: a failure keeps the fields read before it.
    bool WriteRect(IXMLDOMNode* parent, const std::wstring& name, const RECT& rect);
    bool ReadRect(IXMLDOMNode* node, const std::wstring& xpath, RECT& rect);
    bool WriteSize(IXMLDOMNode* parent, const std::wstring& name, const SIZE& size);
    bool ReadSize(IXMLDOMNode* node, const std::wstring& xpath, SIZE& size);
    bool WriteRectSize(IXMLDOMNode* parent, const std::wstring& name, const RECT& rect, const SIZE& size);
    bool ReadRectSize(IXMLDOMNode* node, const std::wstring& xpath, RECT& rect, SIZE& size);
    bool WritePoint(IXMLDOMNode* parent, const std::wstring& name, double x, double y);
    bool ReadPoint(IXMLDOMNode* node, const std::wstring& xpath, double& x, double& y);
    bool WriteRawBytes(IXMLDOMNode* parent, const std::wstring& name, const std::vector<BYTE>& bytes);
    bool ReadRawBytes(IXMLDOMNode* node, const std::wstring& xpath, std::vector<BYTE>& bytes);
    bool WriteRawString(IXMLDOMNode* parent, const std::wstring& name, const std::string& bytes);
    bool ReadRawString(IXMLDOMNode* node, const std::wstring& xpath, std::string& bytes);
    // CR LF is stored as LF and read back as CR LF.
    bool WriteTextLF(IXMLDOMNode* parent, const std::wstring& name, const std::wstring& text);
    bool ReadTextCRLF(IXMLDOMNode* node, const std::wstring& xpath, std::wstring& text);
    // A path under the base file's folder is stored relative to it; a relative text is read
    // back against that folder.
    bool WritePath(IXMLDOMNode* parent, const std::wstring& name, const std::wstring& path,
                   const std::wstring& baseFile);
    bool ReadPath(IXMLDOMNode* node, const std::wstring& xpath, const std::wstring& baseFile, std::wstring& path);
    // Copies the text and its terminator only when it fits; the buffer is untouched otherwise.
    bool ReadTextToBuffer(IXMLDOMNode* node, const std::wstring& xpath, wchar_t* buffer, size_t capacity);

protected:
    // "node path -> xpath": where a value was looked for, for messages.
    static std::wstring LocationText(IXMLDOMNode* node, const std::wstring& xpath);

    CXmlDocPtr m_doc;

private:
    bool CreateDocument(CXmlDocPtr& doc);
    // `path`, when given, leads the detail (a file that was read but not parsed).
    bool SetParseError(IXMLDOMDocument* doc, UINT id, const std::wstring& path = std::wstring());
    template <class T, class Parse>
    bool ReadParsed(IXMLDOMNode* node, const std::wstring& xpath, UINT id, T& value, Parse parse);
};

template <class T, class Parse>
bool CXmlDocument::ReadParsed(IXMLDOMNode* node, const std::wstring& xpath, UINT id, T& value, Parse parse)
{
    std::wstring text;
    if (!ReadText(node, xpath, text)) return false;
    T parsed{};
    if (!parse(text, parsed)) return SetErrorText(id, text, LocationText(node, xpath));
    value = parsed;
    return true;
}
