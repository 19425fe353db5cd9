#pragma once
// The HTTP client's exception: a library exception that also keeps the WinINet handle, the
// client error code (which picks the message), the Win32 error number and the server's.
#include "foundation/Exception.h"

#include <windows.h>

#include <wininet.h>

#include <list>
#include <string>
#include <utility>

using InternetErrorIdList = std::list<std::pair<DWORD, UINT>>;

// Client error code -> string id, in code order; codes not listed map to 59364.
const InternetErrorIdList& GetInternetErrorIdList();
InternetErrorIdList::const_iterator FindInternetErrorId(DWORD code);
UINT GetInternetErrorId(DWORD code);

// The system's text of `hr`, with WinINet's own message table as a further source.
std::wstring GetNetMessage(HRESULT hr);

// A Win32 error number as HRESULT; 0 and below are kept as they are.
HRESULT InternetErrorToHResult(DWORD errorNumber);

class CInternetException : public my::CException {
public:
    CInternetException(HINTERNET handle, DWORD code);
    CInternetException(HINTERNET handle, DWORD code, DWORD errorNumber);
    CInternetException(const CInternetException&) = default;
    CInternetException& operator=(const CInternetException&) = default;

    HINTERNET GetHandle() const { return m_handle; }
    DWORD GetClientCode() const { return m_clientCode; }
    DWORD GetErrorNumber() const { return m_errorNumber; }
    DWORD GetResponseErrorNumber() const { return m_responseErrorNumber; }

private:
    void Build(DWORD errorNumber);

    HINTERNET m_handle = nullptr;
    DWORD m_clientCode = 0;
    DWORD m_errorNumber = 0;
    DWORD m_responseErrorNumber = 0;
};
