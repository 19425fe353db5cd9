#pragma once
// Conversions between FILETIME, SYSTEMTIME and local time, keeping the 100-ns remainder below
// the millisecond that SYSTEMTIME cannot hold.
#include <windows.h>

struct SystemTimeEx {
    WORD wYear = 0;
    WORD wMonth = 0;
    WORD wDayOfWeek = 0;
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
    // 100-ns units below the millisecond (0 to 9999).
    WORD wTicks = 0;

    SystemTimeEx() = default;
    SystemTimeEx(const SYSTEMTIME& st);
    SYSTEMTIME ToSystemTime() const;
};

bool IsZeroSystemTime(const SYSTEMTIME& st);
bool IsZeroSystemTime(const SystemTimeEx& st);
void ResetSystemTime(SYSTEMTIME& st);
void ResetSystemTime(SystemTimeEx& st);

// Writes the whole of `out`: wTicks is 0 when the time falls on a millisecond.
bool FileTimeToSystemTimeEx(const FILETIME& ft, SystemTimeEx& out);
bool SystemTimeExToFileTime(const SystemTimeEx& st, FILETIME& out);
bool SystemTimeExToLocal(const SystemTimeEx& utc, SYSTEMTIME& local);
bool LocalSystemTimeExToFileTime(const SystemTimeEx& local, FILETIME& utc);
bool LocalSystemTimeExToFileTime(SystemTimeEx local, FILETIME* utc);
bool LocalFileTimeToFileTime(const FILETIME& local, FILETIME& utc);
bool FileTimeToLocalSystemTime(const FILETIME& ft, SYSTEMTIME& local);
bool FileTimeToSystemTime(const FILETIME& ft, SYSTEMTIME& out);

inline void CopyFileTime(FILETIME& to, const FILETIME& from) { to = from; }
inline FILETIME MakeFileTime(DWORD low, DWORD high) { return FILETIME{low, high}; }
inline ULONGLONG FileTimeToNumber(const FILETIME& ft)
{
    return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}
inline FILETIME NumberToFileTime(ULONGLONG value)
{
    return FILETIME{static_cast<DWORD>(value & 0xFFFFFFFFu), static_cast<DWORD>(value >> 32)};
}
FILETIME AddToFileTime(const FILETIME& ft, DWORD offsetLow, DWORD offsetHigh);
FILETIME FileTimeFromUnixTime(LONG seconds);

int CompareFileTimeZeroFirst(const FILETIME& a, const FILETIME& b);
int CompareFileTime(const FILETIME& a, const FILETIME& b);
