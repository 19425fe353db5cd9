#pragma once
// One HTTP exchange in one call: an asynchronous session, the connection, a GET or form POST
// with its headers, the status check, and the download of the body into memory or a temporary
// file. Request, ReadToMemory and ReadToFile never throw: the outcome is left in the error record.
// The header queries GetContentLength, GetLastModified and GetContentDispositionFileName clear the
// record and throw CInternetException (59363) when the response has no such header or the query
// fails; GetContentDispositionFileName sets the record to 59363 when the header names no file.
#include "foundation/SimpleErr.h"
#include "inet/HttpConnection.h"
#include "inet/HttpFile.h"
#include "inet/InternetSession.h"
#include "inet/InternetStatusCallbackBS.h"

#include <urlmon.h>

#include <optional>
#include <string>

class CHttpRequestUrl;
class CInetStream;
class CUrlComponents;

class CHttpRequestContext : public CHasErr<CSimpleErr> {
public:
    static constexpr DWORD kDefaultIdleTimeout = 60000;
    static constexpr DWORD kDefaultBlockSize = 16384;
    static constexpr DWORD kDefaultRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                                  INTERNET_FLAG_KEEP_CONNECTION;

    CHttpRequestContext() = default;
    CHttpRequestContext(const CHttpRequestContext&) = delete;
    CHttpRequestContext& operator=(const CHttpRequestContext&) = delete;

    void SetRequestFlags(DWORD flags) { m_requestFlags = flags; }
    // The port for addresses that name none and are not https.
    void UseSecurePort() { m_port = INTERNET_DEFAULT_HTTPS_PORT; }
    void SetCharset(const std::wstring& charset) { m_charset = charset; }
    void SetAgentName(const std::wstring& agent) { m_agent = agent; }
    // Longest silence of the server while an operation pends.
    void SetWaitTimeout(DWORD ms) { m_waitTimeout = ms; }
    // Kept for callers: a read learns the end of the body from the data-available query, so a
    // body that ends short of its length fails at once and no run of empty reads is waited out.
    void SetIdleTimeout(DWORD ms) { m_idleTimeout = ms; }
    void SetReadBlockSize(DWORD bytes) { m_blockSize = bytes ? bytes : kDefaultBlockSize; }

    void Request(const CHttpRequestUrl& target, IBindStatusCallback* progress);
    void ReadToMemory(std::string& body);
    void ReadToFile(std::wstring& path);

    DWORD GetContentLength();
    void GetLastModified(SYSTEMTIME& time);
    void GetContentDispositionFileName(std::wstring& name);
    static bool IsSuccessStatus(const std::wstring& status);

    const CInternetStatusCallbackBS& GetStatusCallback() const { return m_callback; }
    CHttpFile& GetRequest() { return m_request; }

private:
    template <class F> void Guarded(F&& operation)
    {
        m_err = CSimpleErr();
        try {
            operation();
        } catch (...) {
            SetFromCurrentException(m_err);
        }
    }
    void RunRequest(const CHttpRequestUrl& target, IBindStatusCallback* progress);
    struct CHop;
    struct CMessage;
    CHop CheckedHop(const CUrlComponents& address) const;
    std::wstring Exchange(const CHop& hop, const CMessage& message, UINT codePage, DWORD flags);
    struct CReadRequest;
    void ReadLoop(CInetStream& sink);
    void DownloadToFile(std::wstring& path);
    std::optional<ULONGLONG> QueryDeclaredLength();
    bool QueryHeader(DWORD level, std::wstring& text, DWORD* index = nullptr);
    HRESULT ReadAvailable(CReadRequest& io, void* data, DWORD size);
    void CheckStatus();

    std::wstring m_charset;
    std::string m_text;
    std::wstring m_agent;
    DWORD m_waitTimeout = CInternetStatusCallbackBS::kDefaultTimeout;
    DWORD m_idleTimeout = kDefaultIdleTimeout;
    DWORD m_blockSize = kDefaultBlockSize;
    DWORD m_requestFlags = kDefaultRequestFlags;
    INTERNET_PORT m_port = INTERNET_DEFAULT_HTTP_PORT;
    // Declared before the handles so that it outlives them: closing a handle still notifies it.
    CInternetStatusCallbackBS m_callback;
    CInternetSession m_session;
    CHttpConnection m_connection;
    CHttpFile m_request;
};

// Throws the message `id` with the system text of `hr`; an abort (E_ABORT) is 58749.
[[noreturn]] void RaiseInternetError(UINT id, HRESULT hr);
