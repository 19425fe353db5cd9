// Navigating a browser control to a request target with its form parameters as POST data.
#include "inet/HttpRequestUrl.h"

#include <AtlException.h>
#include <ComPtr.h>

namespace {

void SetBstr(VARIANT& value, const std::wstring& text)
{
    ::VariantClear(&value);
    BSTR bstr = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!bstr) ATL::AtlThrow(E_OUTOFMEMORY);
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = bstr;
}

} // namespace

void CHttpRequestUrl::PostToBrowser(IWebBrowser2* browser, const std::wstring& targetFrame) const
{
    std::wstring headerText;
    if (!m_referrer.empty()) headerText += L"Referer: " + m_referrer + L"\r\n";
    if (!m_params.empty()) headerText += L"Content-Type: application/x-www-form-urlencoded\r\n";

    ATL::CComVariant flags, headers, frame, postData;
    SetBstr(headers, headerText);
    SetBstr(frame, targetFrame);
    if (!m_params.empty() && FAILED(ParamsToVariant(m_params, postData))) return;
    if (!browser) return;
    ATL::CComBSTR url(m_url.c_str(), static_cast<UINT>(m_url.size()));
    if (!url.m_str) ATL::AtlThrow(E_OUTOFMEMORY);
    browser->Navigate(url, &flags, &frame, &postData, &headers);
}
