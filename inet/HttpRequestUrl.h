#pragma once
// PLACEHOLDER, TO BE REPLACED by the request address record of the text half of the library
// (branch i16-inet-text); written against its declared signature only.
#include "inet/FormData.h"
#include "inet/UrlComponents.h"

class CHttpRequestUrl : public CUrlComponents {
public:
    HRESULT CrackUrl(const wchar_t* text) { return Crack(text); }

    std::wstring m_referrer;
    CFormParams m_params;
};
