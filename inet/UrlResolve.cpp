// Resolving a reference against a base URL: RFC 3986 section 5.2 (parse, merge, remove dot
// segments). File-path canonicalisation gets it wrong (queries, fragments, "g;x", ".." at the root).
#include "inet/UrlComponents.h"

#include "foundation/NoThrow.h"
#include "inet/PercentEncoding.h"
#include "inet/UrlText.h"

namespace {

// A reference split at its first '#' and the first '?' before it, with its authority when it
// begins with "//". Path, query and fragment keep their '?' and '#'.
struct CReference {
    CReference(const std::wstring& text, bool mayHaveAuthority)
    {
        size_t end = text.find(L'#');
        if (end != std::wstring::npos) {
            hasFragment = true;
            fragment = text.substr(end);
        } else {
            end = text.size();
        }
        size_t queryAt = text.find(L'?');
        if (queryAt > end) queryAt = end;
        if (queryAt < end) {
            hasQuery = true;
            query = text.substr(queryAt, end - queryAt);
        }
        path = text.substr(0, queryAt);
        if (mayHaveAuthority && path.compare(0, 2, L"//") == 0) {
            const size_t slash = path.find(L'/', 2);
            authority = path.substr(0, slash);
            path = slash == std::wstring::npos ? std::wstring() : path.substr(slash);
            hasAuthority = true;
        }
    }

    std::wstring Recompose() const { return authority + RemoveDotSegments(path) + query + fragment; }

    std::wstring authority, path, query, fragment;
    bool hasAuthority = false, hasQuery = false, hasFragment = false;
};

std::wstring Merge(const CUrlComponents& base, const std::wstring& path)
{
    if (base.m_path.empty()) return L"/" + path;
    return base.m_path.substr(0, base.m_path.rfind(L'/') + 1) + path;
}

} // namespace

HRESULT CUrlComponents::Resolve(const CUrlComponents& base, const wchar_t* reference)
{
    return HResultOfCall([&]() -> HRESULT {
        const std::wstring text = DropTabsAndLineBreaks(reference ? reference : L"");
        // Cracking decodes a reference with a scheme itself; escapes never make a scheme.
        if (HasUrlScheme(text.c_str())) {
            const size_t colon = text.find(L':');
            const std::wstring target = text.substr(0, colon + 1) +
                                        CReference(text.substr(colon + 1), true).Recompose();
            return Crack(target.c_str());
        }
        // A network-path reference is cracked, which decodes it: decoded here first, "%%34%31" became "A".
        const CReference network(text, true);
        if (network.hasAuthority) {
            CUrlComponents resolved;
            const HRESULT hr = resolved.Crack((base.m_scheme + network.Recompose()).c_str());
            if (SUCCEEDED(hr)) *this = resolved;
            return hr;
        }
        return ResolveWithoutScheme(base, PercentDecode(text));
    });
}

HRESULT CUrlComponents::ResolveWithoutScheme(const CUrlComponents& base, const std::wstring& text)
{
    const CReference ref(text, false);
    const std::wstring baseQuery = base.m_extra.substr(0, base.m_extra.find(L'#'));
    std::wstring path, query = ref.query;
    if (ref.path.empty()) {
        path = base.m_path;
        if (!ref.hasQuery) query = baseQuery;
    } else if (ref.path[0] == L'/') {
        path = RemoveDotSegments(ref.path);
    } else {
        path = RemoveDotSegments(Merge(base, ref.path));
    }
    const CUrlComponents copy = base;
    *this = copy;
    SetPathAndExtra(path, query + ref.fragment);
    return S_OK;
}
