#pragma once
// Requests to the loopback test server through the request context, with short time-outs.
#include "inet/HttpRequestContext.h"
#include "inet/HttpRequestUrl.h"
#include "inet/tests/TestServer.h"

#include <string>

inline CHttpRequestUrl TestTarget(const std::wstring& path)
{
    CHttpRequestUrl target;
    EXPECT_EQ(target.CrackUrl(ServerUrl(path).c_str()), S_OK) << path;
    return target;
}

// Time-outs short enough for the failing cases, long enough for a loaded machine.
inline void UseTestTimeouts(CHttpRequestContext& context)
{
    context.SetWaitTimeout(TestTime(3000));
    context.SetIdleTimeout(TestTime(1500));
}

// The download files of this process left in the temporary folder.
inline int CountDownloadFiles()
{
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    wchar_t pattern[MAX_PATH + 32] = {};
    _snwprintf(pattern, MAX_PATH + 31, L"%sFHD_%08lx_*", folder, static_cast<unsigned long>(::GetCurrentProcessId()));
    WIN32_FIND_DATAW data{};
    const HANDLE find = ::FindFirstFileW(pattern, &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do {
        ++count;
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return count;
}

// Sends a GET for `path` and reads the body into memory; the error record tells the outcome.
inline std::string GetBody(CHttpRequestContext& context, const std::wstring& path,
                           IBindStatusCallback* progress = nullptr)
{
    std::string body;
    context.Request(TestTarget(path), progress);
    if (!context.HasError()) context.ReadToMemory(body);
    return body;
}
