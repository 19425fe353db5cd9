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

#include <memory>

namespace {

constexpr DWORD kYieldInterval = 1024 * 1024;

void RaiseIfFailed(HRESULT hr)
{
    if (FAILED(hr)) RaiseInternetError(IDS_DOWNLOAD_FAILED, hr);
}

} // namespace

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

// Chunked and close-delimited responses have no length (12150): they are read to the end.
DWORD CHttpRequestContext::QueryContentLengthOrUnknown()
{
    DWORD length = CInetStream::kUnknownLength;
    DWORD size = sizeof(length);
    if (::HttpQueryInfoW(m_request.GetHandle(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size,
                         nullptr))
        return length;
    const DWORD error = ::GetLastError();
    if (error == ERROR_HTTP_HEADER_NOT_FOUND) return CInetStream::kUnknownLength;
    throw CInternetException(m_request.GetHandle(), 10, error);
}

HRESULT CHttpRequestContext::ReadBlock(INTERNET_BUFFERSA& buffers, void* data, DWORD size)
{
    buffers = INTERNET_BUFFERSA{};
    buffers.dwStructSize = sizeof(INTERNET_BUFFERSA);
    buffers.lpvBuffer = data;
    buffers.dwBufferLength = size;
    return m_request.ReadEx(buffers);
}

void CHttpRequestContext::ReadLoop(CInetStream& sink)
{
    m_err = CSimpleErr();
    const DWORD length = QueryContentLengthOrUnknown();
    m_callback.SetProgressMax(length);
    sink.Begin(length, m_blockSize);
    RaiseIfFailed(m_callback.ReportProgress(BINDSTATUS_BEGINDOWNLOADDATA));
    m_callback.ClearProgress();
    DWORD last = ::GetTickCount();
    DWORD received = 0;
    DWORD sinceYield = 0;
    // A read WinINet could not be made to give up keeps writing here: then the block is never freed.
    auto buffers = std::make_unique<INTERNET_BUFFERSA>();
    void* data = nullptr;
    DWORD size = 0;
    sink.GetBuffer(data, size);
    HRESULT hr = ReadBlock(*buffers, data, size);
    for (;;) {
        if (FAILED(hr)) {
            if (m_request.HasUnsettledRead()) {
                sink.Abandon();
                static_cast<void>(buffers.release());
            }
            RaiseInternetError(IDS_INET_READ_FAILED, hr);
        }
        const DWORD now = ::GetTickCount();
        const DWORD count = buffers->dwBufferLength;
        if (count == 0) {
            if (length == 0 || length == CInetStream::kUnknownLength || received == length) break;
            if (now - last >= m_idleTimeout) throw my::CException(IDS_INET_READ_TIMEOUT, E_FAIL);
            ::Sleep(100);
        } else {
            last = now;
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
        sink.GetBuffer(data, size);
        hr = ReadBlock(*buffers, data, size);
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
