#include "foundation/DateTimeText.h"

#include <sstream>

namespace {

const int kTextBuffer = 64;

} // namespace

// Each call formats into its own buffer, so two threads may write times at once.
void FormatDate(const SYSTEMTIME& st, std::wstring& out, const std::wstring& picture)
{
    out.clear();
    wchar_t buffer[kTextBuffer] = L"";
    const wchar_t* format = picture.empty() ? L"yyyy/MM/dd" : picture.c_str();
    if (::GetDateFormatW(LOCALE_SYSTEM_DEFAULT, 0, &st, format, buffer, kTextBuffer) > 0) out = buffer;
}

void FormatTime(const SYSTEMTIME& st, std::wstring& out, const std::wstring& picture)
{
    out.clear();
    wchar_t buffer[kTextBuffer] = L"";
    const wchar_t* format = picture.empty() ? L"H:mm:ss" : picture.c_str();
    if (::GetTimeFormatW(LOCALE_SYSTEM_DEFAULT, 0, &st, format, buffer, kTextBuffer) > 0) out = buffer;
}

void WriteDate(const SYSTEMTIME& st, std::wostream& os)
{
    std::wstring date;
    FormatDate(st, date, std::wstring());
    os << (date.empty() ? L"?/?/?" : date);
}

void FormatDateTime(const SystemTimeEx& st, std::wostream& os)
{
    if (IsZeroSystemTime(st)) {
        os << L"0";
        return;
    }
    const SYSTEMTIME plain = st.ToSystemTime();
    WriteDate(plain, os);
    std::wstring time;
    FormatTime(plain, time, std::wstring());
    os << L' ' << (time.empty() ? L"?:?:?" : time);
}

void WriteFileTimeNumbers(std::wostream& os, const FILETIME& ft)
{
    os << ft.dwHighDateTime << L'-' << ft.dwLowDateTime;
}

std::wstring FileTimeToLocalText(const FILETIME& ft)
{
    // A value that is no time at all has no local time either (the shift would wrap it round).
    SystemTimeEx utc, st;
    FILETIME local = {};
    if (!FileTimeToSystemTimeEx(ft, utc) || !::FileTimeToLocalFileTime(&ft, &local) ||
        !FileTimeToSystemTimeEx(local, st)) {
        return std::wstring();
    }
    std::wostringstream os;
    FormatDateTime(st, os);
    return os.str();
}

std::wstring FileTimeToText(const FILETIME& ft)
{
    std::wostringstream os;
    SystemTimeEx utc;
    if (FileTimeToSystemTimeEx(ft, utc)) {
        FormatDateTime(utc, os);
    } else {
        os << L"?";
    }
    os << L", ";
    const std::wstring local = FileTimeToLocalText(ft);
    os << (local.empty() ? L"?" : local) << L", ";
    WriteFileTimeNumbers(os, ft);
    return os.str();
}
