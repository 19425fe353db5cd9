#pragma once
// Form parameters: encoded as application/x-www-form-urlencoded, written as plain text, and
// parsed back from url-encoded and multipart/form-data bodies.
#include <oaidl.h>
#include <windows.h>

#include <map>
#include <string>

#include "inet/HeaderParams.h"

using CFormParams = std::map<std::wstring, std::wstring>;

bool IsUnreserved(wchar_t c);
HRESULT FormEncode(const CFormParams& params, std::string& bytes, UINT codePage);
void FormatParameters(const CFormParams& params, std::wstring& text);

void ParseUrlEncoded(CFormParams& params, const std::string& bytes);
void ParseUrlEncoded(CFormParams& params, const std::wstring& text);
void ParseMultipart(CFormParams& params, const std::string& bytes, const std::wstring& boundary);
void AddFormPart(CFormParams& params, const CHeaderMap& partHeaders, const std::wstring& content);
HRESULT ParseFormBody(CFormParams& params, const VARIANT& body, const VARIANT& headers);

HRESULT ParamsToVariant(const CFormParams& params, VARIANT& value);
// Names and values unencoded, joined by "=" and "&", as UTF-16 bytes.
HRESULT ParamsToVariantUtf16(const CFormParams& params, VARIANT& value);
