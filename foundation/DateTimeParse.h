#pragma once
// A tolerant reader of dates and times written in Western and Japanese forms.
#include "foundation/SystemTimeEx.h"

#include <windows.h>

#include <string>

// One form: an expression anchored at both ends, and the key that names its captures in order:
// 'Y' year, 'M' month, 'D' day, '1' hour, '2' minute, '3' second, '4' fraction of a second.
struct DateTimeFormat {
    const wchar_t* expression;
    const wchar_t* key;
};

extern const DateTimeFormat g_dateTimeFormats[28];

// "0" and the empty text are the zero time. Numbers are taken as written, without a range
// check, except that one above 65535 becomes 65535 instead of wrapping round. A trailing Z is
// accepted and no time zone is applied. The whole text must be one form; a text of more than 256
// characters is none.
bool ParseDateTime(SystemTimeEx& out, const std::wstring& text);
// ParseDateTime, then only a time that exists (months 1 to 12, the days of that month, 24 hours
// and so on, from the year 1601) becomes a FILETIME.
bool FileTimeFromText(FILETIME& out, const std::wstring& text);
