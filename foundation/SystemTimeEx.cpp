#include "foundation/SystemTimeEx.h"

namespace {

// 1970-01-01 in 100-ns units since 1601-01-01.
const ULONGLONG kUnixEpoch = 116444736000000000ull;
const ULONGLONG kTicksPerSecond = 10000000ull;

bool IsZeroFileTime(const FILETIME& ft) { return ft.dwLowDateTime == 0 && ft.dwHighDateTime == 0; }

// Times from 2^63 on are no times: the local-time shift would wrap them round into 1601.
bool IsTime(const FILETIME& ft) { return (ft.dwHighDateTime & 0x80000000u) == 0; }

} // namespace

SystemTimeEx::SystemTimeEx(const SYSTEMTIME& st)
    : wYear(st.wYear), wMonth(st.wMonth), wDayOfWeek(st.wDayOfWeek), wDay(st.wDay), wHour(st.wHour),
      wMinute(st.wMinute), wSecond(st.wSecond), wMilliseconds(st.wMilliseconds)
{}

SYSTEMTIME SystemTimeEx::ToSystemTime() const
{
    return SYSTEMTIME{wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds};
}

bool IsZeroSystemTime(const SYSTEMTIME& st)
{
    return !st.wYear && !st.wMonth && !st.wDayOfWeek && !st.wDay && !st.wHour && !st.wMinute && !st.wSecond &&
           !st.wMilliseconds;
}

bool IsZeroSystemTime(const SystemTimeEx& st) { return IsZeroSystemTime(st.ToSystemTime()) && !st.wTicks; }

void ResetSystemTime(SYSTEMTIME& st) { st = SYSTEMTIME{0, 1, 0, 1, 0, 0, 0, 0}; }

void ResetSystemTime(SystemTimeEx& st)
{
    st = SystemTimeEx();
    st.wMonth = 1;
    st.wDay = 1;
}

// SYSTEMTIME drops what lies below the millisecond: converting back tells how much that was.
bool FileTimeToSystemTimeEx(const FILETIME& ft, SystemTimeEx& out)
{
    SYSTEMTIME st = {};
    if (!::FileTimeToSystemTime(&ft, &st)) return false;
    FILETIME back = {};
    if (!::SystemTimeToFileTime(&st, &back)) return false;
    const ULONGLONG given = FileTimeToNumber(ft), truncated = FileTimeToNumber(back);
    if (truncated > given) return false;
    out = SystemTimeEx(st);
    out.wTicks = static_cast<WORD>(given - truncated);
    return true;
}

bool SystemTimeExToFileTime(const SystemTimeEx& st, FILETIME& out)
{
    const SYSTEMTIME plain = st.ToSystemTime();
    FILETIME ft = {};
    if (!::SystemTimeToFileTime(&plain, &ft)) return false;
    out = NumberToFileTime(FileTimeToNumber(ft) + st.wTicks);
    return true;
}

bool SystemTimeExToLocal(const SystemTimeEx& utc, SYSTEMTIME& local)
{
    FILETIME ft = {}, localFt = {};
    return SystemTimeExToFileTime(utc, ft) && ::FileTimeToLocalFileTime(&ft, &localFt) &&
           ::FileTimeToSystemTime(&localFt, &local);
}

bool LocalSystemTimeExToFileTime(const SystemTimeEx& local, FILETIME& utc)
{
    FILETIME localFt = {};
    return SystemTimeExToFileTime(local, localFt) && ::LocalFileTimeToFileTime(&localFt, &utc);
}

bool LocalSystemTimeExToFileTime(SystemTimeEx local, FILETIME* utc)
{
    return utc && LocalSystemTimeExToFileTime(local, *utc);
}

bool LocalFileTimeToFileTime(const FILETIME& local, FILETIME& utc) { return ::LocalFileTimeToFileTime(&local, &utc); }

bool FileTimeToLocalSystemTime(const FILETIME& ft, SYSTEMTIME& local)
{
    FILETIME localFt = {};
    return IsTime(ft) && ::FileTimeToLocalFileTime(&ft, &localFt) && ::FileTimeToSystemTime(&localFt, &local);
}

bool FileTimeToSystemTime(const FILETIME& ft, SYSTEMTIME& out) { return ::FileTimeToSystemTime(&ft, &out); }

FILETIME AddToFileTime(const FILETIME& ft, DWORD offsetLow, DWORD offsetHigh)
{
    return NumberToFileTime(FileTimeToNumber(ft) + FileTimeToNumber(MakeFileTime(offsetLow, offsetHigh)));
}

FILETIME FileTimeFromUnixTime(LONG seconds)
{
    const LONGLONG ticks = static_cast<LONGLONG>(seconds) * static_cast<LONGLONG>(kTicksPerSecond);
    return NumberToFileTime(static_cast<ULONGLONG>(ticks) + kUnixEpoch);
}

int CompareFileTimeZeroFirst(const FILETIME& a, const FILETIME& b)
{
    const bool zeroA = IsZeroFileTime(a), zeroB = IsZeroFileTime(b);
    if (zeroA || zeroB) return zeroA == zeroB ? 0 : (zeroA ? -1 : 1);
    return CompareFileTime(a, b);
}

int CompareFileTime(const FILETIME& a, const FILETIME& b) { return static_cast<int>(::CompareFileTime(&a, &b)); }
