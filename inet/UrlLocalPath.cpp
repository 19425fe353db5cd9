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

// The path with dot segments applied, and those a root left behind dropped.
std::wstring PathWithoutDotSegments(const std::wstring& path)
{
    const std::wstring applied = RemoveDotSegments(path);
    std::wstring out;
    size_t start = 0;
    while (start <= applied.size()) {
        size_t end = applied.find(L'/', start);
        if (end == std::wstring::npos) end = applied.size();
        const std::wstring segment = applied.substr(start, end - start);
        if (!IsDotSegment(segment)) {
            out += segment;
            if (end < applied.size()) out += L'/';
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
    std::wstring path = PathWithoutDotSegments(m_path);
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
    SplitAtBackslash(localPath, pieces);
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
