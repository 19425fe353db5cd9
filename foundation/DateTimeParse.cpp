#include "foundation/DateTimeParse.h"

#include <boost/regex.hpp>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <vector>

// The separators include the full-width forms of the ASCII ones and, for dates, the middle dot.
#define FH_DATE_SEP L"\\s*[/／\\-－\\.．_＿・]\\s*"
#define FH_TIME_SEP L"\\s*[:：]\\s*"
#define FH_FRACTION_SEP L"\\s*[\\.．]\\s*"
#define FH_GAP L"[\\s,;，；、]+"
#define FH_OPT_GAP L"\\s*[\\s,;，；、]*"
#define FH_YMD L"^\\s*(\\d+)" FH_DATE_SEP L"(\\d+)" FH_DATE_SEP L"(\\d+)"
#define FH_Y_MD L"^\\s*(\\d+)\\s*年\\s*(\\d+)" FH_DATE_SEP L"(\\d+)"
#define FH_YMD_MARKS L"^\\s*(\\d+)\\s*年\\s*(\\d+)\\s*月\\s*(\\d+)\\s*日"
#define FH_HMSF L"(\\d+)" FH_TIME_SEP L"(\\d+)" FH_TIME_SEP L"(\\d+)" FH_FRACTION_SEP L"(\\d+)"
#define FH_HMS L"(\\d+)" FH_TIME_SEP L"(\\d+)" FH_TIME_SEP L"(\\d+)"
#define FH_HM L"(\\d+)" FH_TIME_SEP L"(\\d+)"
#define FH_Z L"\\s*[Zz]\\s*$"
#define FH_END L"\\s*$"

const DateTimeFormat g_dateTimeFormats[28] = {
    {FH_YMD L"\\s*[Tt]\\s*" FH_HMSF FH_Z, L"YMD1234"},
    {FH_YMD L"\\s*[Tt]\\s*" FH_HMS FH_Z, L"YMD123"},
    {FH_YMD L"\\s*[Tt]\\s*" FH_HM FH_Z, L"YMD12"},
    {FH_YMD L"\\s*[Tt]\\s*(\\d+)" FH_Z, L"YMD1"},
    {FH_YMD FH_Z, L"YMD"},
    {FH_YMD FH_GAP FH_HMSF FH_END, L"YMD1234"},
    {FH_YMD FH_GAP FH_HMS FH_END, L"YMD123"},
    {FH_YMD FH_GAP FH_HM FH_END, L"YMD12"},
    {FH_YMD FH_GAP L"(\\d+)" FH_END, L"YMD1"},
    {FH_YMD FH_END, L"YMD"},
    {FH_YMD FH_GAP L"(\\d+)\\s*時\\s*(\\d+)\\s*分\\s*(\\d+)\\s*秒\\s*" FH_END, L"YMD123"},
    {FH_YMD FH_GAP L"(\\d+)\\s*時\\s*(\\d+)\\s*分\\s*" FH_END, L"YMD12"},
    {FH_YMD FH_GAP L"(\\d+)\\s*時\\s*" FH_END, L"YMD1"},
    {FH_Y_MD FH_GAP FH_HMSF FH_END, L"YMD1234"},
    {FH_Y_MD FH_GAP FH_HMS FH_END, L"YMD123"},
    {FH_Y_MD FH_GAP FH_HM FH_END, L"YMD12"},
    {FH_Y_MD FH_GAP L"(\\d+)" FH_END, L"YMD1"},
    {FH_Y_MD FH_END, L"YMD"},
    {FH_YMD_MARKS FH_OPT_GAP FH_HMSF FH_END, L"YMD1234"},
    {FH_YMD_MARKS FH_OPT_GAP FH_HMS FH_END, L"YMD123"},
    {FH_YMD_MARKS FH_OPT_GAP FH_HM FH_END, L"YMD12"},
    {FH_YMD_MARKS FH_OPT_GAP L"(\\d+)" FH_END, L"YMD1"},
    {FH_YMD_MARKS L"\\s*" FH_END, L"YMD"},
    {L"^\\s*(\\d+)\\s*年\\s*(\\d+)\\s*月\\s*" FH_END, L"YM"},
    {L"^\\s*(\\d+)\\s*年\\s*" FH_END, L"Y"},
    {FH_YMD_MARKS FH_OPT_GAP L"(\\d+)\\s*時\\s*(\\d+)\\s*分\\s*(\\d+)\\s*秒" FH_END, L"YMD123"},
    {FH_YMD_MARKS FH_OPT_GAP L"(\\d+)\\s*時\\s*(\\d+)\\s*分" FH_END, L"YMD12"},
    {FH_YMD_MARKS FH_OPT_GAP L"(\\d+)\\s*時" FH_END, L"YMD1"},
};

namespace {

const size_t kLongestDateText = 256;

// The platform's own reading of the digits (full-width ones included); a number too large for
// 16 bits stays too large instead of wrapping round into a plausible value.
WORD ToWord(const std::wstring& digits)
{
    const int value = ::_wtoi(digits.c_str());
    return static_cast<WORD>(std::clamp(value, 0, 0xFFFF));
}

WORD ScaleDigits(const std::wstring& digits, int width)
{
    int value = ::_wtoi(digits.c_str());
    for (int n = static_cast<int>(digits.size()); n < width; ++n) value *= 10;
    return static_cast<WORD>(value);
}

// One to three digits are milliseconds; the next up to four are 100-ns units.
void StoreFraction(SystemTimeEx& out, const std::wstring& digits)
{
    out.wMilliseconds = digits.empty() ? 0 : ScaleDigits(digits.substr(0, 3), 3);
    if (digits.size() > 3) out.wTicks = ScaleDigits(digits.substr(3, 4), 4);
}

const std::vector<boost::wregex>& CompiledFormats()
{
    static const std::vector<boost::wregex> compiled = [] {
        std::vector<boost::wregex> list;
        for (const DateTimeFormat& format : g_dateTimeFormats) list.emplace_back(format.expression);
        return list;
    }();
    return compiled;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool IsExistingTime(const SystemTimeEx& st)
{
    if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12) return false;
    if (st.wDay < 1 || st.wDay > DaysInMonth(st.wYear, st.wMonth)) return false;
    return st.wHour < 24 && st.wMinute < 60 && st.wSecond < 60 && st.wMilliseconds < 1000 && st.wTicks < 10000;
}

// A match of the whole text: Boost's '^' and '$' also stand at line breaks, so a search would
// find a date on one line of several. Too long a match is no date (Boost throws past its limit).
bool MatchWhole(const std::wstring& text, boost::wsmatch& match, const boost::wregex& format)
{
    try {
        return boost::regex_match(text, match, format);
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

bool ParseDateTime(SystemTimeEx& out, const std::wstring& text)
{
    if (text.empty() || text == L"0") {
        out = SystemTimeEx();
        return true;
    }
    ResetSystemTime(out);
    // The longest form is some thirty characters: a text far longer is no date, and matching it
    // against the forms with their runs of optional blanks would take seconds.
    if (text.size() > kLongestDateText) return false;
    const std::vector<boost::wregex>& formats = CompiledFormats();
    for (size_t i = 0; i < formats.size(); ++i) {
        boost::wsmatch match;
        if (!MatchWhole(text, match, formats[i])) continue;
        const std::wstring key = g_dateTimeFormats[i].key;
        for (size_t at = 0; at < key.size(); ++at) {
            const std::wstring captured = match[static_cast<int>(at + 1)].str();
            switch (key[at]) {
            case L'Y': out.wYear = ToWord(captured); break;
            case L'M': out.wMonth = ToWord(captured); break;
            case L'D': out.wDay = ToWord(captured); break;
            case L'1': out.wHour = ToWord(captured); break;
            case L'2': out.wMinute = ToWord(captured); break;
            case L'3': out.wSecond = ToWord(captured); break;
            case L'4': StoreFraction(out, captured); break;
            default: break;
            }
        }
        return true;
    }
    return false;
}

bool FileTimeFromText(FILETIME& out, const std::wstring& text)
{
    SystemTimeEx st;
    if (!ParseDateTime(st, text) || !IsExistingTime(st)) return false;
    return SystemTimeExToFileTime(st, out);
}
