#pragma once
// A diagnostic log in UTF-16 with CR LF line ends that several threads may write to: each takes
// the log's lock (CAutoLock<CAutoCriticalSection>) for the lines it writes.
#include "foundation/CriticalSection.h"
#include "foundation/Utf16Stream.h"

#include <boost/shared_ptr.hpp>

#include <string>

class CLogFile : public utf16_ofstream, public CAutoCriticalSection {
public:
    CLogFile() : CAutoCriticalSection(L"LogFile") {}

    // Each opening closes the file open before, empties the file it opens and writes the
    // byte-order mark; true when the file is open afterwards.
    bool OpenPath(const std::wstring& path);
    // "LOG.txt" in the user's application-data folder.
    bool OpenDefault();
    bool OpenBesideProgram(const std::wstring& fileName);
    // A file named after the local time, e.g. "2026_12_07 05_03_09 0042.txt".
    bool OpenDated(const std::wstring& folder);
    void CloseFile();

    std::wstring GetRequestedPath();
    std::wstring GetOpenedPath();

private:
    std::wstring m_requestedPath;
    std::wstring m_openedPath;
};

using CLogFilePtr = boost::shared_ptr<CLogFile>;

// The process-wide log; empty until one is opened.
extern CLogFilePtr g_logFile;

// The new log replaces the global one only when its file opened.
bool OpenGlobalLog(const std::wstring& path);
bool OpenGlobalLogDefault();
void CloseGlobalLog();

// Milliseconds since the previous call (since the tick count 0 on the first).
DWORD ElapsedTicks();

// The file name OpenDated uses for `time`.
std::wstring DatedLogFileName(const SYSTEMTIME& time);
