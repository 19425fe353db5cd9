#include "app/ExecChecks.h"

#include "foundation/Exception.h"
#include "foundation/NumberText.h"
#include "resource.h"

#include <boost/regex.hpp>
#include <shlwapi.h>

#include <cwctype>

namespace fhw {

std::wstring GetSourceFolder(const std::wstring& source, bool& perDrive)
{
    if (source.empty()) throw my::CException(IDS_SRC_FOLDER_EMPTY);
    perDrive = false;
    const wchar_t lead = static_cast<wchar_t>(std::towupper(source[0]));
    if (lead != L'\\') {
        const bool letter = lead >= L'A' && lead <= L'Z';
        if (letter && source.size() == 1) return std::wstring(1, lead) + L":\\";
        if (letter && source[1] == L':') {
            const wchar_t last = source.back();
            return last == L'\\' || last == L'/' ? source : source + L"\\";
        }
        throw my::CException(IDS_SRC_FOLDER_NOT_ABSOLUTE, source);
    }
    perDrive = !(source.size() > 1 && source[1] == L'\\');
    return source;
}

void CheckSrcFolder(const std::wstring& source)
{
    bool perDrive = false;
    GetSourceFolder(source, perDrive);
}

void CheckPattern(const std::wstring& pattern)
{
    if (pattern.size() > kMaxPatternLength)
        throw my::CException(IDS_PATTERN_TOO_LONG, ToWString(static_cast<unsigned long>(pattern.size())),
                             ToWString(static_cast<unsigned long>(kMaxPatternLength)));
    boost::wregex compiled(pattern);
}

void CheckDstFolder(const std::wstring& destination)
{
    if (destination.empty()) throw my::CException(IDS_DST_FOLDER_EMPTY);
    if (::PathIsRelativeW(destination.c_str())) throw my::CException(IDS_DST_FOLDER_RELATIVE, destination);
    if (::PathFileExistsW(destination.c_str()) && !::PathIsDirectoryW(destination.c_str()))
        throw my::CException(IDS_DST_FOLDER_IS_FILE, destination);
}

} // namespace fhw
