// URLs as relative local paths and back.
#include "inet/UrlComponents.h"

#include "inet/CharacterMaps.h"
#include "inet/TextSplitting.h"
#include "inet/UrlText.h"

#include <iterator>
#include <list>
#include <sstream>
#include <vector>

namespace {

// Dots and blanks alone name the folder itself or its parent once Windows strips trailing
// dots and blanks ("..", ". .", "... "): such a segment would let a URL climb out of its folder.
bool IsDotSegment(const std::wstring& segment)
{
    return segment.find(L'.') != std::wstring::npos && segment.find_first_not_of(L". ") == std::wstring::npos;
}

// A name Windows takes for a device in any folder: CON, PRN, AUX, NUL, COM0-9, LPT0-9 (also
// with superscript digits), CONIN$, CONOUT$, whatever follows a dot and however it is cased.
bool IsDeviceName(const std::wstring& segment)
{
    std::wstring base = segment.substr(0, segment.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.pop_back();
    ToLowerAsciiInPlace(base);
    if (base == L"con" || base == L"prn" || base == L"aux" || base == L"nul" || base == L"conin$" || base == L"conout$")
        return true;
    if (base.size() != 4 || (base.compare(0, 3, L"com") != 0 && base.compare(0, 3, L"lpt") != 0)) return false;
    const wchar_t digit = base[3];
    return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
}

// The same name with its first character in full width, which Windows reads as a plain name;
// `FromLocalPath` turns it back.
constexpr wchar_t kFullWidthOffset = 0xFEE0;

// The path with dot segments applied and those a root left behind dropped, without empty
// segments ("//evil/share" would make a UNC name) and with device names made plain names.
std::wstring PathForFiles(const std::wstring& path)
{
    const std::wstring applied = RemoveDotSegments(path);
    std::wstring out;
    size_t start = 0;
    while (start <= applied.size()) {
        size_t end = applied.find(L'/', start);
        if (end == std::wstring::npos) end = applied.size();
        std::wstring segment = applied.substr(start, end - start);
        const bool keepSlash = end < applied.size() && (!segment.empty() || start == 0);
        if (IsDeviceName(segment)) segment[0] = static_cast<wchar_t>(segment[0] + kFullWidthOffset);
        if (!IsDotSegment(segment)) {
            out += segment;
            if (keepSlash && (out.empty() || out.back() != L'/')) out += L'/';
        }
        start = end + 1;
    }
    return out;
}

} // namespace

void CUrlComponents::ToLocalPath(std::wstring& out, bool withServer) const
{
    std::wostringstream text;
    if (withServer) WriteServer(text, false);
    std::wstring path = PathForFiles(m_path);
    if (!path.empty() && path.back() == L'/') path.back() = L'\uFF0F';
    std::wstring extra = m_extra;
    for (wchar_t& c : extra) {
        if (c == L'/') c = L'\uFF0F';
    }
    text << path << extra;
    out = text.str();
    ToPathCharacters(out);
}

void CUrlComponents::FromLocalPath(const wchar_t* localPath, bool keepLast)
{
    Clear();
    std::list<std::wstring> pieces;
    // Tabs and line breaks go as they do from a cracked URL: they would reach a request raw.
    SplitAtBackslash(DropTabsAndLineBreaks(localPath ? localPath : L"").c_str(), pieces);
    if (!keepLast && !pieces.empty()) pieces.pop_back();
    for (auto it = pieces.begin(); it != pieces.end(); ++it) {
        if (it->empty() || (*it)[0] == L'_') {
            pieces.erase(it, pieces.end());
            break;
        }
    }
    for (auto it = pieces.begin(); it != pieces.end();) {
        CutAtIdeographicSpace(*it);
        if (it->empty()) {
            it = pieces.erase(it);
        } else {
            FromPathCharacters(*it);
            std::wstring plain = *it;
            plain[0] = static_cast<wchar_t>(plain[0] - kFullWidthOffset);
            if (plain[0] < 0x80 && IsDeviceName(plain)) it->swap(plain);
            ++it;
        }
    }
    if (pieces.empty()) return;
    const size_t query = pieces.back().find(L'?');
    if (query != std::wstring::npos) {
        m_extra = pieces.back().substr(query);
        pieces.back().erase(query);
    }
    std::list<std::wstring> serverList;
    SplitAny(pieces.front(), L":", serverList);
    const std::vector<std::wstring> server(serverList.begin(), serverList.end());
    if (server.empty()) return;
    if (server.size() == 1) {
        m_host = server[0];
    } else if (server.size() <= 3) {
        m_scheme = server[0] + L':';
        m_host = server[1];
        if (server.size() == 3) m_port = server[2];
    }
    m_path = L"/";
    for (auto it = std::next(pieces.begin()); it != pieces.end(); ++it) {
        if (it != std::next(pieces.begin())) m_path += L'/';
        m_path += *it;
    }
    if (!m_path.empty() && m_path.back() == L'\uFF0E') m_path.pop_back();
    SetPathAndExtra(m_path, m_extra);
}
