// A request target shortened for display: head, "/.../" and as many last segments as fit.
#include "inet/HttpRequestUrl.h"

#include <sstream>
#include <vector>

namespace {

// The text cut to the limit with "..." at its end; a limit below 3 keeps only dots.
std::wstring Ellipsized(const std::wstring& text, size_t limit)
{
    if (text.size() <= limit) return text;
    if (limit < 3) return std::wstring(limit, L'.');
    return text.substr(0, limit - 3) + L"...";
}

} // namespace

// Segments are counted, not recognised by their text: "/a/b/a" has three.
std::wstring CHttpRequestUrl::CompactText(int maxLength) const
{
    const size_t limit = maxLength < 0 ? 0 : static_cast<size_t>(maxLength);
    std::list<std::wstring> list;
    SplitPath(m_path, list);
    if (list.empty()) return Ellipsized(ToText(), limit);
    const std::vector<std::wstring> segments(list.begin(), list.end());
    std::wstring tail = segments.back() + m_extra + ParamsSuffix();
    if (tail.size() > limit) return Ellipsized(tail, limit);
    std::wostringstream server;
    server << m_scheme << L"//" << m_host;
    if (!m_port.empty()) server << L':' << m_port;
    const std::wstring head = server.str();
    std::wstring best = tail;
    for (size_t used = 1; used < segments.size(); ++used) {
        std::wstring candidate = head + L"/.../" + tail;
        if (candidate.size() > limit) return best;
        best.swap(candidate);
        tail = segments[segments.size() - 1 - used] + L'/' + tail;
    }
    std::wstring full = head + L'/' + tail;
    return full.size() <= limit ? full : best;
}
