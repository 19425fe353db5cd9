#include "foundation/LogFile.h"

#include "foundation/AppInfo.h"
#include "foundation/PathHelpers.h"
#include "foundation/PlatformPaths.h"

#include <shlobj.h>

#include <atomic>
#include <cstdio>

CLogFilePtr g_logFile;

bool CLogFile::OpenPath(const std::wstring& path)
{
    CAutoLock<CAutoCriticalSection> lock(*this);
    m_requestedPath = path;
    m_openedPath.clear();
    if (is_open()) close();
    open(path);
    if (!is_open()) return false;
    m_openedPath = path;
    return true;
}

bool CLogFile::OpenDefault()
{
    CAutoLock<CAutoCriticalSection> lock(*this);
    std::wstring path;
    if (!GetSpecialFolderPath(path, nullptr, CSIDL_APPDATA, true)) return false;
    return OpenPath(AppendPath(path, L"LOG.txt"));
}

bool CLogFile::OpenBesideProgram(const std::wstring& fileName)
{
    CAutoLock<CAutoCriticalSection> lock(*this);
    std::wstring path, name;
    GetModuleFilePath(path);
    if (path.empty() || !SplitFileName(path, name)) return OpenPath(fileName);
    return OpenPath(AppendPath(path, fileName));
}

bool CLogFile::OpenDated(const std::wstring& folder)
{
    CAutoLock<CAutoCriticalSection> lock(*this);
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return OpenPath(path + DatedLogFileName(now));
}

void CLogFile::CloseFile()
{
    CAutoLock<CAutoCriticalSection> lock(*this);
    if (is_open()) close();
}

std::wstring CLogFile::GetRequestedPath()
{
    CAutoLock<CAutoCriticalSection> lock(*this);
    return m_requestedPath;
}

std::wstring CLogFile::GetOpenedPath()
{
    CAutoLock<CAutoCriticalSection> lock(*this);
    return m_openedPath;
}

std::wstring DatedLogFileName(const SYSTEMTIME& time)
{
    wchar_t name[64] = L"";
    ::_snwprintf(name, 63, L"%04u_%02u_%02u %02u_%02u_%02u %04u.txt", time.wYear, time.wMonth, time.wDay, time.wHour,
                 time.wMinute, time.wSecond, time.wMilliseconds);
    return name;
}

bool OpenGlobalLog(const std::wstring& path)
{
    CLogFilePtr log(new CLogFile());
    if (!log->OpenPath(path)) return false;
    g_logFile = log;
    return true;
}

bool OpenGlobalLogDefault()
{
    CLogFilePtr log(new CLogFile());
    g_logFile = log;
    return log->OpenDefault();
}

void CloseGlobalLog()
{
    if (!g_logFile) return;
    g_logFile->CloseFile();
    g_logFile.reset();
}

DWORD ElapsedTicks()
{
    static std::atomic<DWORD> previous{0};
    const DWORD now = ::GetTickCount();
    return now - previous.exchange(now);
}
