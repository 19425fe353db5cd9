#include "foundation/XmlDocument.h"

#include "foundation/GlobalMemory.h"
#include "foundation/LastError.h"
#include "foundation/ResString.h"
#include "foundation/Streams.h"
#include "foundation/TextHelpers.h"
#include "ids/xml.h"

#include <shlwapi.h>

bool CXmlDocument::SetErrorCode(UINT id, HRESULT code)
{
    if (id == 0) {
        m_err.Set(0);
        return true;
    }
    m_err.SetWithCode(id, code);
    return false;
}

bool CXmlDocument::SetErrorCode(UINT id, HRESULT code, const std::wstring& argument)
{
    if (id == 0) {
        m_err.Set(0);
        return true;
    }
    m_err.SetWithCode(id, code, argument);
    return false;
}

bool CXmlDocument::SetErrorText(UINT id, const std::wstring& argument)
{
    m_err.Set(id, argument);
    return id == 0;
}

bool CXmlDocument::SetErrorText(UINT id, const std::wstring& argument, const std::wstring& location)
{
    m_err.Set(id, argument, location);
    return id == 0;
}

bool CXmlDocument::ClearNotFoundError()
{
    if (m_err.m_id != IDS_XML_SELECT_NODE_FAILED && m_err.m_id != IDS_XML_NODE_NOT_FOUND) return false;
    m_err.Set(0);
    return true;
}

bool CXmlDocument::CreateDocument(CXmlDocPtr& doc)
{
    doc.Release();
    HRESULT hr = ::CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_ALL, IID_IXMLDOMDocument,
                                    reinterpret_cast<void**>(&doc));
    if (FAILED(hr)) return SetErrorCode(IDS_XML_CREATE_FAILED, hr);
    hr = doc->put_async(VARIANT_FALSE);
    if (FAILED(hr)) return SetErrorCode(IDS_XML_CREATE_FAILED, hr);
    return true;
}

// The DOM answers S_FALSE for a document it cannot parse; its parse-error object says why
// (under Wine it is a stub: line 0, reason "error").
bool CXmlDocument::SetParseError(IXMLDOMDocument* doc, UINT id, const std::wstring& path)
{
    HRESULT code = E_FAIL;
    std::wstring detail;
    ATL::CComPtr<IXMLDOMParseError> error;
    if (SUCCEEDED(doc->get_parseError(&error)) && error) {
        long errorCode = 0;
        if (SUCCEEDED(error->get_errorCode(&errorCode)) && FAILED(errorCode)) code = errorCode;
        ATL::CComBSTR reason;
        if (SUCCEEDED(error->get_reason(&reason)) && reason.m_str) detail.assign(reason.m_str, reason.Length());
        TrimBy(detail, IsSpaceOrCr);
        long line = 0;
        if (SUCCEEDED(error->get_line(&line)) && line > 0) {
            std::wstring at;
            FormatResString(at, IDS_XML_PARSE_ERROR_AT, ToText(line).c_str(), detail.c_str());
            detail.swap(at);
        }
    }
    if (!path.empty()) detail = detail.empty() ? path : path + L"\n" + detail;
    return SetErrorCode(id, code, detail);
}

bool CXmlDocument::LoadFromText(const std::wstring& text)
{
    CXmlDocPtr doc;
    if (!CreateDocument(doc)) return false;
    VARIANT_BOOL ok = VARIANT_FALSE;
    const HRESULT hr = doc->loadXML(MakeBstr(text), &ok);
    if (FAILED(hr)) return SetErrorCode(IDS_XML_CREATE_ROOT_FAILED, hr);
    if (hr != S_OK || ok != VARIANT_TRUE) return SetParseError(doc, IDS_XML_PARSE_FAILED);
    m_doc = std::move(doc);
    return true;
}

bool CXmlDocument::LoadFromFile(const std::wstring& path)
{
    if (!::PathFileExistsW(path.c_str()))
        return SetErrorCode(IDS_XML_LOAD_FAILED, FailureFromWin32(ERROR_FILE_NOT_FOUND), path);
    CXmlDocPtr doc;
    if (!CreateDocument(doc)) return false;
    ATL::CComVariant source(path.c_str());
    if (!source.bstrVal) ATL::AtlThrow(E_OUTOFMEMORY);
    VARIANT_BOOL ok = VARIANT_FALSE;
    const HRESULT hr = doc->load(source, &ok);
    if (FAILED(hr)) return SetErrorCode(IDS_XML_LOAD_FAILED, hr, path);
    // Read but not parsed: the parser's reason and line, not the system text of S_FALSE.
    if (hr != S_OK || ok != VARIANT_TRUE) return SetParseError(doc, IDS_XML_LOAD_FAILED, path);
    m_doc = std::move(doc);
    return true;
}

bool CXmlDocument::LoadFromMemory(HGLOBAL memory)
{
    CXmlDocPtr doc;
    if (!CreateDocument(doc)) return false;
    CStreamPtr stream;
    HRESULT hr = ::CreateStreamOnHGlobal(memory, FALSE, &stream);
    if (FAILED(hr)) return SetErrorCode(IDS_MEMORY_STREAM_OPEN_FAILED, hr);
    ATL::CComVariant source(static_cast<IUnknown*>(stream));
    VARIANT_BOOL ok = VARIANT_FALSE;
    hr = doc->load(source, &ok);
    if (FAILED(hr)) return SetErrorCode(IDS_XML_PARSE_FAILED, hr, std::wstring());
    if (hr != S_OK || ok != VARIANT_TRUE) return SetParseError(doc, IDS_XML_PARSE_FAILED);
    m_doc = std::move(doc);
    return true;
}

bool CXmlDocument::SaveToFile(const std::wstring& path)
{
    if (!m_doc) return SetErrorCode(IDS_XML_SAVE_FAILED, E_POINTER);
    ATL::CComVariant target(path.c_str());
    if (!target.bstrVal) ATL::AtlThrow(E_OUTOFMEMORY);
    const HRESULT hr = m_doc->save(target);
    if (FAILED(hr)) return SetErrorCode(IDS_XML_SAVE_FAILED, hr);
    return true;
}

bool CXmlDocument::SaveToStream(IStream* stream)
{
    if (!m_doc) return SetErrorCode(IDS_XML_SAVE_FAILED, E_POINTER);
    ATL::CComVariant target(static_cast<IUnknown*>(stream));
    const HRESULT hr = m_doc->save(target);
    if (FAILED(hr)) return SetErrorCode(IDS_XML_SAVE_FAILED, hr);
    return true;
}

HGLOBAL CXmlDocument::SaveToMemory()
{
    m_err.Set(0);
    CGlobalMemory memory;
    CStreamPtr stream; // released before the memory it writes to
    try {
        CreateMemoryStreamOwned(stream, memory);
    } catch (...) {
        SetFromCurrentException(m_err);
    }
    if (HasError() || !SaveToStream(stream)) return nullptr;
    stream.Release();
    return memory.Detach();
}
