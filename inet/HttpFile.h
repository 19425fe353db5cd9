#pragma once
// An HTTP request (HttpOpenRequestW) and its operations: send, write, end, query, read.
#include "inet/InternetHandle.h"

#include <string>

class CHttpConnection;
class CInternetConnection;

class CInternetFile : public CInternetHandle {
public:
    CInternetFile() = default;
    ~CInternetFile() override;

    bool Close() override;
    CInternetSession* GetSession() const override;
    // A read was given up and WinINet may still write into its buffers.
    bool HasUnsettledRead() const { return m_unsettled; }

protected:
    // The end of a read or query that did not succeed at once: a blocking session throws (59357).
    HRESULT CompleteRead(CInternetSession* session, DWORD error);

    CInternetConnection* m_connection = nullptr;
};

class CHttpFile : public CInternetFile {
public:
    CHttpFile() = default;
    CHttpFile(CHttpConnection& connection, const wchar_t* verb, const wchar_t* objectName, const wchar_t* version,
              const wchar_t* referrer, const wchar_t** acceptTypes, DWORD flags);

    HRESULT OpenRequest(CHttpConnection& connection, const wchar_t* verb, const wchar_t* objectName,
                        const wchar_t* version, const wchar_t* referrer, const wchar_t** acceptTypes, DWORD flags);
    HRESULT SendRequest(const wchar_t* headers, DWORD headersLength, void* optional, DWORD optionalLength);
    HRESULT SendForm(const std::string& body, const std::wstring& charset);
    HRESULT SendForm(const std::wstring& body, const std::wstring& charset);
    HRESULT SendRequestEx();
    DWORD Write(const std::string& data);
    HRESULT EndRequest();
    // `index` picks one of several headers of the name and is moved on to the next.
    void QueryInfo(DWORD level, std::wstring& text, DWORD* index = nullptr);
    void QueryContentLength(DWORD& length);
    void QueryLastModified(SYSTEMTIME& time);
    HRESULT ReadEx(INTERNET_BUFFERSA& buffers);
    HRESULT QueryDataAvailable(DWORD& available);
    HRESULT ReadNoWait(INTERNET_BUFFERSA& buffers);
    void ReadAll(std::string& data);

    [[noreturn]] void ThrowSetOptionError();
    [[noreturn]] void ThrowReadError();
    [[noreturn]] void ThrowWriteError();
    [[noreturn]] void ThrowQueryInfoError();
};
