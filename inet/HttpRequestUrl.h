#pragma once
// The target of an HTTP request: a cracked URL, a referrer and form parameters, with a text
// form "URL::name=value&..." that parses back.
#include <exdisp.h>
#include <windows.h>

#include <list>
#include <string>

#include "inet/FormData.h"
#include "inet/UrlComponents.h"

// Between the URL and the form parameters in the text form.
extern const wchar_t kParamsSeparator[];

class CHttpRequestUrl : public CUrlComponents {
public:
    HRESULT CrackUrl(const wchar_t* text);
    HRESULT CrackUrl(const CUrlComponents& base, const wchar_t* text);
    HRESULT SplitParamsFromUrl(std::wstring& text);
    static size_t FindParamsSeparator(const std::wstring& text);

    std::wstring ToText() const;
    std::wstring ParamsSuffix() const;

    bool Equals(const CHttpRequestUrl& other) const;
    int Compare(const CHttpRequestUrl& other) const;
    bool Less(const CHttpRequestUrl& other) const;
    static int CompareLogical(const CHttpRequestUrl& a, const CHttpRequestUrl& b);
    static bool LessByUrl(const CHttpRequestUrl& a, const CHttpRequestUrl& b);

    static void SplitPath(const std::wstring& path, std::list<std::wstring>& segments);
    std::wstring CompactText(int maxLength) const;
    void PostToBrowser(IWebBrowser2* browser, const std::wstring& targetFrame) const;

    std::wstring m_referrer;
    CFormParams m_params;
};
