#include "inet/HttpRequestContext.h"

#include "foundation/Exception.h"
#include "foundation/PlatformPaths.h"
#include "ids/inet.h"
#include "ids/paths.h"
#include "ids/xml.h"
#include "inet/AutoDeleteFile.h"
#include "inet/DownloadFile.h"
#include "inet/InetStream.h"
#include "inet/InternetException.h"

#include <cerrno>
#include <cwchar>
#include <memory>

namespace {

constexpr DWORD kYieldInterval = 1024 * 1024;

void RaiseIfFailed(HRESULT hr)
{
    if (FAILED(hr)) RaiseInternetError(IDS_DOWNLOAD_FAILED, hr);
}

} // namespace

// What a read hands to WinINet besides the data: a heap block of its own too.
struct CHttpRequestContext::CReadRequest {
    INTERNET_BUFFERSA buffers;
    DWORD available;
};

void CHttpRequestContext::ReadToMemory(std::string& body)
{
    Guarded([&] {
        CInetMemStream sink(body);
        ReadLoop(sink);
    });
}

void CHttpRequestContext::ReadToFile(std::wstring& path)
{
    Guarded([&] { DownloadToFile(path); });
}

// The declared length, or none: chunked and close-delimited responses have none (12150). Read as
// text, so that no value a server sends (4294967295 included) can stand for "none". Lengths that
// differ make the body's end unknowable (RFC 9112 section 6.3); WinINet would take the first.
std::optional<ULONGLONG> CHttpRequestContext::QueryDeclaredLength()
{
    std::optional<ULONGLONG> declared;
    std::wstring text;
    for (DWORD index = 0; QueryHeader(HTTP_QUERY_CONTENT_LENGTH, text, &index);) {
        errno = 0;
        const ULONGLONG length = _wcstoui64(text.c_str(), nullptr, 10);
        if (text.empty() || text.find_first_not_of(L"0123456789") != std::wstring::npos || errno == ERANGE ||
            (declared && *declared != length))
            throw CInternetException(m_request.GetHandle(), 10, ERROR_HTTP_INVALID_HEADER);
        declared = length;
    }
    return declared;
}

// False when the response has no such header (or no further one); other failures throw (59363).
bool CHttpRequestContext::QueryHeader(DWORD level, std::wstring& text, DWORD* index)
{
    try {
        m_request.QueryInfo(level, text, index);
        return true;
    } catch (const CInternetException& e) {
        if (e.GetErrorNumber() != ERROR_HTTP_HEADER_NOT_FOUND) throw;
        return false;
    }
}

// Reads what has arrived, at most `size` bytes, and waits only while nothing has: Wine completes
// a plain read only once its whole block is filled, so a slow body would seem silent. 0 bytes only
// at the end of the body.
HRESULT CHttpRequestContext::ReadAvailable(CReadRequest& io, void* data, DWORD size)
{
    for (;;) {
        io.buffers = INTERNET_BUFFERSA{};
        io.buffers.dwStructSize = sizeof(INTERNET_BUFFERSA);
        io.buffers.lpvBuffer = data;
        io.buffers.dwBufferLength = size;
        HRESULT hr = m_request.ReadNoWait(io.buffers);
        if (FAILED(hr) || (hr == S_OK && io.buffers.dwBufferLength)) return hr;
        if (hr == S_FALSE) continue;
        // Nothing had arrived, or the body has ended: only the query tells which.
        do {
            hr = m_request.QueryDataAvailable(io.available);
        } while (hr == S_FALSE);
        if (FAILED(hr) || io.available == 0) return hr;
    }
}

void CHttpRequestContext::ReadLoop(CInetStream& sink)
{
    m_err = CSimpleErr();
    const std::optional<ULONGLONG> length = QueryDeclaredLength();
    // Progress reports and sinks see a known length as at most 0xFFFFFFFE.
    const DWORD reported = length ? static_cast<DWORD>(std::min<ULONGLONG>(*length, CInetStream::kUnknownLength - 1))
                                  : CInetStream::kUnknownLength;
    m_callback.SetProgressMax(reported);
    sink.Begin(reported, m_blockSize);
    RaiseIfFailed(m_callback.ReportProgress(BINDSTATUS_BEGINDOWNLOADDATA));
    m_callback.ClearProgress();
    ULONGLONG received = 0;
    DWORD sinceYield = 0;
    // A read WinINet could not be made to give up keeps writing here: then the block is never freed.
    auto io = std::make_unique<CReadRequest>();
    for (;;) {
        void* data = nullptr;
        DWORD size = 0;
        sink.GetBuffer(data, size);
        const HRESULT hr = ReadAvailable(*io, data, size);
        if (FAILED(hr)) {
            if (m_request.HasUnsettledRead()) {
                sink.Abandon();
                static_cast<void>(io.release());
            }
            RaiseInternetError(IDS_INET_READ_FAILED, hr);
        }
        const DWORD count = io->buffers.dwBufferLength;
        // No bytes only at the end of the body: one that ends short of its length was cut off.
        if (count == 0) {
            if (!length || received == *length) break;
            throw my::CException(IDS_INET_READ_TIMEOUT, E_FAIL);
        }
        sink.Commit(data, count);
        received += count;
        // Yields to other threads once a megabyte, not at every block: under Wine every Sleep(0)
        // gives the core to any other runnable process and, on a busy machine, doubled the time.
        sinceYield += count;
        if (sinceYield >= kYieldInterval) {
            sinceYield = 0;
            ::Sleep(0);
        }
        RaiseIfFailed(m_callback.ReportProgress(BINDSTATUS_DOWNLOADINGDATA));
    }
    sink.End();
    CheckStatus();
    RaiseIfFailed(m_callback.ReportEnd());
}

void CHttpRequestContext::DownloadToFile(std::wstring& path)
{
    std::wstring folder;
    const HRESULT hr = GetTempFolderPathHr(folder);
    if (FAILED(hr)) throw my::CException(IDS_TEMP_PATH_FAILED, hr);
    std::wstring temp;
    CUniqueKernelHandle file;
    const HRESULT created = CreateDownloadFile(folder, temp, file);
    if (FAILED(created)) throw my::CException(IDS_FILE_OPEN_FAILED, created, temp);
    CAutoDeleteFile autoDelete;
    autoDelete.Assign(temp);
    {
        // Closed (and the close checked) before the auto-delete object may remove the file.
        CInetFileStream sink(std::move(file));
        ReadLoop(sink);
    }
    if (!HasError()) {
        autoDelete.Release();
        path = temp;
    }
}
