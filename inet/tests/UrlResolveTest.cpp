// Resolving references against a base: RFC 3986 section 5.4's examples and random references.
#include "inet/UrlComponents.h"
#include "inet/UrlText.h"
#include "inet/tests/RandomText.h"

#include <gtest/gtest.h>

namespace {

struct ResolveCase {
    const wchar_t* reference;
    const wchar_t* expected;
};

const ResolveCase kRfc3986Examples[] = {
    // Normal examples.
    {L"g:h", L"g:h"},
    {L"g", L"http://a/b/c/g"},
    {L"./g", L"http://a/b/c/g"},
    {L"g/", L"http://a/b/c/g/"},
    {L"/g", L"http://a/g"},
    {L"//g", L"http://g"},
    {L"?y", L"http://a/b/c/d;p?y"},
    {L"g?y", L"http://a/b/c/g?y"},
    {L"#s", L"http://a/b/c/d;p?q#s"},
    {L"g#s", L"http://a/b/c/g#s"},
    {L"g?y#s", L"http://a/b/c/g?y#s"},
    {L";x", L"http://a/b/c/;x"},
    {L"g;x", L"http://a/b/c/g;x"},
    {L"g;x?y#s", L"http://a/b/c/g;x?y#s"},
    {L"", L"http://a/b/c/d;p?q"},
    {L".", L"http://a/b/c/"},
    {L"./", L"http://a/b/c/"},
    {L"..", L"http://a/b/"},
    {L"../", L"http://a/b/"},
    {L"../g", L"http://a/b/g"},
    {L"../..", L"http://a/"},
    {L"../../", L"http://a/"},
    {L"../../g", L"http://a/g"},
    // Abnormal examples.
    {L"../../../g", L"http://a/g"},
    {L"../../../../g", L"http://a/g"},
    {L"/./g", L"http://a/g"},
    {L"/../g", L"http://a/g"},
    {L"g.", L"http://a/b/c/g."},
    {L".g", L"http://a/b/c/.g"},
    {L"g..", L"http://a/b/c/g.."},
    {L"..g", L"http://a/b/c/..g"},
    {L"./../g", L"http://a/b/g"},
    {L"./g/.", L"http://a/b/c/g/"},
    {L"g/./h", L"http://a/b/c/g/h"},
    {L"g/../h", L"http://a/b/c/h"},
    {L"g;x=1/./y", L"http://a/b/c/g;x=1/y"},
    {L"g;x=1/../y", L"http://a/b/c/y"},
    {L"g?y/./x", L"http://a/b/c/g?y/./x"},
    {L"g?y/../x", L"http://a/b/c/g?y/../x"},
    {L"g#s/./x", L"http://a/b/c/g#s/./x"},
    {L"g#s/../x", L"http://a/b/c/g#s/../x"},
    {L"http:g", L"http:g"},
};

TEST(UrlResolve, Rfc3986Examples)
{
    static_assert(std::size(kRfc3986Examples) == 42);
    CUrlComponents base;
    ASSERT_EQ(S_OK, base.Crack(L"http://a/b/c/d;p?q"));
    ASSERT_EQ(L"/b/c/d;p", base.m_path);
    ASSERT_EQ(L"?q", base.m_extra);
    for (const auto& c : kRfc3986Examples) {
        CUrlComponents resolved;
        ASSERT_EQ(S_OK, resolved.Resolve(base, c.reference)) << c.reference;
        EXPECT_EQ(c.expected, resolved.m_url) << c.reference;
        if (!HasUrlScheme(c.reference)) {
            EXPECT_EQ(resolved.m_path, resolved.m_dir + resolved.m_fileName) << c.reference;
            EXPECT_EQ(c.reference[0] == L'/' && c.reference[1] == L'/' ? L"g" : L"a", resolved.m_host);
        }
    }
}

TEST(UrlResolve, FieldsOfTheResult)
{
    CUrlComponents base;
    ASSERT_EQ(S_OK, base.Crack(L"ftp://h:2121/a/b/c.html?q#f"));
    const struct {
        const wchar_t* reference;
        const wchar_t* path;
        const wchar_t* extra;
        const wchar_t* host;
    } cases[] = {
        {L"../x.html", L"/a/x.html", L"", L"h"},
        {L"/y", L"/y", L"", L"h"},
        {L"#top", L"/a/b/c.html", L"?q#top", L"h"},
        {L"d%41.txt", L"/a/b/dA.txt", L"", L"h"},
        {L"ftp://other/z/../w", L"/w", L"", L"other"},
        {L"x\r\n.html?a=\t1", L"/a/b/x.html", L"?a=1", L"h"},
        {L".\n./x", L"/a/x", L"", L"h"},
        // A network-path reference is decoded once.
        {L"//h/%%34%31", L"/%41", L"", L"h"},
    };
    for (const auto& c : cases) {
        CUrlComponents resolved;
        ASSERT_EQ(S_OK, resolved.Resolve(base, c.reference)) << c.reference;
        EXPECT_EQ(c.path, resolved.m_path) << c.reference;
        EXPECT_EQ(c.extra, resolved.m_extra) << c.reference;
        EXPECT_EQ(c.host, resolved.m_host) << c.reference;
    }
    CUrlComponents resolved;
    ASSERT_EQ(S_OK, resolved.Resolve(base, L"../x.html"));
    EXPECT_EQ(L"2121", resolved.m_port);
    EXPECT_EQ(L"ftp://h:2121/a/x.html", resolved.m_url);
}

TEST(UrlResolve, RemoveDotSegmentsTable)
{
    const ResolveCase cases[] = {
        {L"/a/b/c/./../../g", L"/a/g"},
        {L"mid/content=5/../6", L"mid/6"},
        {L"/..", L"/"},
        {L"..", L""},
        {L"/a/..", L"/"},
        {L"a/..", L"/"},
        {L"/a//../b", L"/a/b"},
        {L"", L""},
        {L"/./.", L"/"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, RemoveDotSegments(c.reference)) << c.reference;
}

bool HasDotSegment(const std::wstring& path)
{
    size_t start = 0;
    for (;;) {
        const size_t end = path.find(L'/', start);
        const std::wstring segment = path.substr(start, end == std::wstring::npos ? end : end - start);
        if (segment == L"." || segment == L"..") return true;
        if (end == std::wstring::npos) return false;
        start = end + 1;
    }
}

// Resolved paths hold no dot segment; nothing throws; the parts put together give the path.
TEST(UrlResolve, RandomReferencesKeepTheInvariants)
{
    inettest::CRandomText random("CUrlComponents::Resolve");
    CUrlComponents base;
    ASSERT_EQ(S_OK, base.Crack(L"http://a/b/c/d;p?q"));
    const int count = inettest::RandomInputCount();
    for (int i = 0; i < count; ++i) {
        std::wstring reference = random.Below(2) ? random.Text() : random.Text(random.Below(40), L"./g?#;:%2e");
        // Tabs and line breaks are dropped before the reference is read: "W\nFc:" has a scheme.
        const std::wstring read = DropTabsAndLineBreaks(reference);
        if (HasUrlScheme(read.c_str()) || read.compare(0, 2, L"//") == 0) reference.insert(0, L"x/");
        CUrlComponents resolved;
        ASSERT_EQ(S_OK, resolved.Resolve(base, reference.c_str())) << i;
        ASSERT_FALSE(HasDotSegment(resolved.m_path)) << i;
        ASSERT_EQ(resolved.m_path, resolved.m_dir + resolved.m_fileName) << i;
        ASSERT_EQ(L"http://a" + resolved.m_path + resolved.m_extra, resolved.m_url) << i;
    }
}

} // namespace
