#include "inet/CharacterMaps.h"

#include <cwchar>

namespace {

// The characters a file name cannot hold, and their full-width look-alikes (the quotation
// mark becomes U+201D); a no-break space becomes a plain space.
const wchar_t kFileNameFrom[] = L"/\\:*?\"<>|\u00A0";
const wchar_t kFileNameTo[] = L"\uFF0F\uFF3C\uFF1A\uFF0A\uFF1F\u201D\uFF1C\uFF1E\uFF5C ";
// The same, but a slash becomes a folder separator.
const wchar_t kPathTo[] = L"\\\uFF3C\uFF1A\uFF0A\uFF1F\u201D\uFF1C\uFF1E\uFF5C ";
const wchar_t kFromPathFrom[] = L"\\\uFF3C\uFF0F\uFF1A\uFF0A\uFF1F\u201D\uFF1C\uFF1E\uFF5C";
const wchar_t kFromPathTo[] = L"/\\/:*?\"<>|";

} // namespace

bool MapCharacters(std::wstring& text, const std::wstring& from, const std::wstring& to)
{
    if (from.size() != to.size()) return false;
    for (wchar_t& c : text) {
        const size_t at = from.find(c);
        if (at != std::wstring::npos) c = to[at];
    }
    return true;
}

void ToFileNameCharacters(std::wstring& text) { MapCharacters(text, kFileNameFrom, kFileNameTo); }
void ToPathCharacters(std::wstring& text) { MapCharacters(text, kFileNameFrom, kPathTo); }
void FromPathCharacters(std::wstring& text) { MapCharacters(text, kFromPathFrom, kFromPathTo); }
void NoBreakSpaceToSpace(std::wstring& text) { MapCharacters(text, L"\u00A0", L" "); }

bool CutAtIdeographicSpace(std::wstring& text)
{
    const size_t at = text.find(L'\u3000');
    if (at == std::wstring::npos) return false;
    text.resize(at);
    return true;
}

void ToLowerAsciiInPlace(std::wstring& text)
{
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
}

int ToInt(const wchar_t* text) { return text ? _wtoi(text) : 0; }
