// Cracking, building, comparing URLs, keys derived from them, and local paths.
#include "inet/UrlComponents.h"
#include "inet/UrlText.h"
#include "inet/tests/RandomText.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

CUrlComponents Cracked(const wchar_t* url)
{
    CUrlComponents parts;
    EXPECT_EQ(S_OK, parts.Crack(url)) << url;
    return parts;
}

TEST(UrlComponents, CrackTable)
{
    const struct {
        const wchar_t* url;
        const wchar_t *host, *path, *port, *scheme, *extra, *dir, *fileName, *ext, *text;
    } cases[] = {
        {L"ftp://h/dir/page.html?q=1#top", L"h", L"/dir/page.html", L"21", L"ftp:", L"?q=1#top", L"/dir/", L"page.html",
         L"html", L"ftp://h/dir/page.html?q=1#top"},
        {L"ftp://h:8080", L"h", L"", L"8080", L"ftp:", L"", L"", L"", L"", L"ftp://h:8080"},
        {L"http://h:80/a", L"h", L"/a", L"", L"http:", L"", L"/", L"a", L"", L"http://h:80/a"},
        {L" \t http://h/%41b%20c.TXT \r\n", L"h", L"/Ab c.TXT", L"", L"http:", L"", L"/", L"Ab c.TXT", L"TXT",
         L"http://h/Ab c.TXT"},
        {L"http://h/a%2Fb%3Fc", L"h", L"/a%2Fb%3Fc", L"", L"http:", L"", L"/", L"a%2Fb%3Fc", L"",
         L"http://h/a%2Fb%3Fc"},
    };
    for (const auto& c : cases) {
        const CUrlComponents parts = Cracked(c.url);
        EXPECT_EQ(c.host, parts.m_host) << c.url;
        EXPECT_EQ(c.path, parts.m_path) << c.url;
        EXPECT_EQ(c.port, parts.m_port) << c.url;
        EXPECT_EQ(c.scheme, parts.m_scheme) << c.url;
        EXPECT_EQ(c.extra, parts.m_extra) << c.url;
        EXPECT_EQ(c.dir, parts.m_dir) << c.url;
        EXPECT_EQ(c.fileName, parts.m_fileName) << c.url;
        EXPECT_EQ(c.ext, parts.m_ext) << c.url;
        EXPECT_EQ(c.text, parts.m_url) << c.url;
    }
}

// An escaped CR LF stays escaped, so it can never reach a request line raw.
TEST(UrlComponents, CrackKeepsControlEscapes)
{
    const CUrlComponents parts = Cracked(L"http://h/a%0D%0AX-Injected:%201%00b");
    EXPECT_EQ(L"/a%0D%0AX-Injected: 1%00b", parts.m_path);
    EXPECT_EQ(0u, inettest::CountControls(parts.m_url));

    CUrlComponents failed;
    failed.m_host = L"old";
    EXPECT_EQ(E_FAIL, failed.Crack(L"not a url"));
    EXPECT_EQ(L"", failed.m_host);
    EXPECT_EQ(L"", failed.m_url);
}

// Tabs and line breaks inside a URL text are dropped, as browsers drop them from a link: a raw
// CR LF in a path would reach the request line as it stands.
TEST(UrlComponents, CrackDropsTabsAndLineBreaks)
{
    const struct {
        const wchar_t* url;
        const wchar_t* path;
        const wchar_t* extra;
    } cases[] = {
        {L"http://h/a\r\nX-Injected: 1", L"/aX-Injected: 1", L""},
        {L"http://h/a/\n\tb.html?x=\r1", L"/a/b.html", L"?x=1"},
    };
    for (const auto& c : cases) {
        CUrlComponents parts;
        ASSERT_EQ(S_OK, parts.Crack(c.url));
        EXPECT_EQ(c.path, parts.m_path);
        EXPECT_EQ(c.extra, parts.m_extra);
        EXPECT_EQ(0u, inettest::CountControls(parts.m_url));
    }
}

// Hosts and ports are what the text says, or the crack fails. Port 0 is WinINet's default port,
// and that is http's even for https.
TEST(UrlComponents, HostsAndPortsAreNotGuessed)
{
    const struct {
        const wchar_t* url;
        bool ok;
    } ports[] = {
        {L"http://h:8080/", true},   {L"http://h:/", true},
        {L"http://[::1]:80/", true}, {L"http://u:p@h:1/", true},
        {L"http://h:65535", true},   {L"http://h:abc/", false},
        {L"http://h:99999/", false}, {L"http://h:65536/", false},
        {L"http://h:8a/", false},    {L"http://[::1/", false},
        {L"http://h:1:2/", false},   {L"http://h:0/", false},
        {L"http://h:00000/", false}, {L"https://127.0.0.1:0/x", false},
    };
    for (const auto& p : ports) {
        CUrlComponents parts;
        EXPECT_EQ(p.ok ? S_OK : E_FAIL, parts.Crack(p.url)) << p.url;
    }
    for (const wchar_t* url : {L"http://good.example%40evil.example/", L"http://evil.example%5C.good.example/"}) {
        CUrlComponents parts;
        const HRESULT hr = parts.Crack(url);
        EXPECT_TRUE(FAILED(hr) || parts.m_host != L"evil.example") << url;
    }
}

// The host and port are the ones RFC 3986 reads from the authority, or the crack fails; an
// explicit port stays apart from none, an empty one is none.
TEST(UrlComponents, CrackTakesTheAuthorityRfc3986Reads)
{
    const struct {
        const wchar_t* url;
        const wchar_t *host, *port;
        bool mayFail; // where the platform reads the text otherwise
    } cases[] = {
        {L"http://localhost#@127.0.0.1:8080/echo?x", L"localhost", L"", true},
        {L"http://good.example#x@evil.example:99999/?", L"good.example", L"", true},
        {L"http://a@evil.example@good.example/", L"good.example", L"", true},
        {L"http://a@b@good.example:81/", L"good.example", L"81", true},
        {L"http://[::1]/p", L"[::1]", L"", true},
        {L"http://[::1]:8080/p", L"[::1]", L"8080", true},
        {L"http://h:/x", L"h", L"", false},
        {L"https://h:80/", L"h", L"80", false},
        {L"https://h:/", L"h", L"443", false},
        {L"ftp://h:80/", L"h", L"80", false},
    };
    for (const auto& c : cases) {
        CUrlComponents parts;
        const HRESULT hr = parts.Crack(c.url);
        if (c.mayFail && hr == E_FAIL) continue;
        ASSERT_EQ(S_OK, hr) << c.url;
        EXPECT_EQ(c.host, parts.m_host) << c.url;
        EXPECT_EQ(c.port, parts.m_port) << c.url;
    }
    EXPECT_TRUE(Cracked(L"http://h:/x").Equals(Cracked(L"http://h/x")));
}

TEST(UrlComponents, HasUrlSchemeTable)
{
    const struct {
        const wchar_t* text;
        bool absolute;
    } cases[] = {
        {L"scheme://h/a", true},
        {L"mailto:x", true},
        {L"c:\\dir", true},
        {L"a+b-c.d:x", true},
        {L"/a:b", false},
        {L"a/b:c", false},
        {L"page.html?t=12:00", false},
        {L"1http:x", false},
        {L":x", false},
        {L"a b:c", false},
        {L"#a:b", false},
        {L"", false},
        {nullptr, false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.absolute, HasUrlScheme(c.text)) << (c.text ? c.text : L"null");
}

TEST(UrlComponents, Comparisons)
{
    const CUrlComponents a = Cracked(L"http://h");
    const CUrlComponents slash = Cracked(L"http://h/");
    const CUrlComponents upper = Cracked(L"http://H/");
    const CUrlComponents escaped = Cracked(L"http://h/a%2fb");
    const CUrlComponents plain = Cracked(L"http://h/a%2Fb");
    EXPECT_TRUE(a.Equals(slash));
    EXPECT_FALSE(slash.Equals(upper));
    EXPECT_FALSE(escaped.Equals(plain));
    EXPECT_FALSE(escaped.EqualsDecoded(plain));
    EXPECT_TRUE(a.EqualsDecoded(slash));

    const CUrlComponents page = Cracked(L"http://h/dir/page.html");
    EXPECT_EQ(0, page.Locate(Cracked(L"http://h/dir/sub/x")));
    EXPECT_EQ(1, page.Locate(Cracked(L"http://h/other")));
    EXPECT_EQ(2, page.Locate(Cracked(L"http://h:81/dir/x")));
    EXPECT_TRUE(page.IsSameServer(slash));
    EXPECT_EQ(L"html", Cracked(L"http://h/A.HtMl").GetExtensionLower());
}

TEST(UrlComponents, BuildAndServerTexts)
{
    std::wstring built;
    ASSERT_EQ(S_OK, Cracked(L"http://h/a/b.html?x=1").Build(built));
    EXPECT_EQ(L"http://h/a/b.html?x=1", built);
    CUrlComponents other = Cracked(L"ftp://h:2121/a");
    std::wostringstream server;
    other.WriteServer(server, true);
    EXPECT_EQ(L"ftp://h:2121", server.str());
    other.m_port.clear();
    ASSERT_EQ(S_OK, other.Build(built));
    EXPECT_EQ(L"ftp://h:80/a", built);

    // A port text that is no port (a local path may carry any) builds nothing.
    for (const wchar_t* port : {L"99999", L"65536", L"abc", L"8a", L"-1", L"0"}) {
        other.m_port = port;
        built = L"old";
        EXPECT_EQ(E_FAIL, other.Build(built)) << port;
    }
    other.m_port = L"65535";
    ASSERT_EQ(S_OK, other.Build(built));
    EXPECT_EQ(L"ftp://h:65535/a", built);

    const struct {
        const wchar_t* host;
        const wchar_t* key;
    } keys[] = {{L"a.b.c", L"super:b.c"},
                {L"b.c", L"sub:b.c"},
                {L"localhost", L"sub:localhost"},
                {L"w.x.y.z", L"super:x.y.z"},
                {L"", L""}};
    for (const auto& k : keys) {
        CUrlComponents parts;
        parts.m_host = k.host;
        std::wostringstream key;
        parts.WriteDomainKey(key);
        EXPECT_EQ(k.key, key.str()) << k.host;
    }
}

TEST(UrlComponents, DirectoryHash)
{
    CUrlComponents parts;
    parts.m_dir = L"abc";
    std::wstring hash = L"unchanged";
    ASSERT_EQ(S_OK, parts.GetDirectoryHash(hash, L"p-"));
    // 90 01 50 98 3c d2 4f b0 d6 96 3f 7d 28 e1 7f 72 without zero padding.
    EXPECT_EQ(L"p-90150983CD24FB0D6963F7D28E17F72", hash);
}

TEST(UrlComponents, LocalPathTable)
{
    const struct {
        const wchar_t* url;
        bool withServer;
        const wchar_t* local;
    } cases[] = {
        {L"http://h/a/b.html?x=1", true, L"http\uFF1Ah\\a\\b.html\uFF1Fx=1"},
        {L"ftp://h/a", true, L"ftp\uFF1Ah\uFF1A21\\a"},
        {L"http://h:8080/a/", true, L"http\uFF1Ah\uFF1A8080\\a\uFF0F"},
        {L"http://h/a/b?p=/x", false, L"\\a\\b\uFF1Fp=\uFF0Fx"},
        // Dot segments never reach the file system.
        {L"http://h/../../x", false, L"\\x"},
        {L"http://h/a/%2e%2e/x", false, L"\\a\\%2e%2e\\x"},
        {L"http://h/a/.../. ./x", false, L"\\a\\x"},
        // No UNC name, no device name.
        {L"http://h//evil/share/x", false, L"\\evil\\share\\x"},
        {L"http://h/a//b", true, L"http\uFF1Ah\\a\\b"},
        {L"http://h/con/AUX.txt/lpt1 .log/com10/console", false,
         L"\\\uFF43on\\\uFF21UX.txt\\\uFF4Cpt1 .log\\com10\\console"},
    };
    for (const auto& c : cases) {
        std::wstring local;
        Cracked(c.url).ToLocalPath(local, c.withServer);
        EXPECT_EQ(c.local, local) << c.url;
    }
    // A backslash inside a piece never becomes a folder separator.
    CUrlComponents parts;
    parts.m_path = L"/a\\..\\..\\b";
    std::wstring local;
    parts.ToLocalPath(local, false);
    EXPECT_EQ(L"\\a\uFF3C..\uFF3C..\uFF3Cb", local);
}

TEST(UrlComponents, FromLocalPathTable)
{
    const struct {
        const wchar_t* local;
        bool keepLast;
        const wchar_t* url;
        const wchar_t* path;
    } cases[] = {
        {L"ftp\uFF1Ah\\a\\b.html\uFF1Fx=1", true, L"ftp://h/a/b.html?x=1", L"/a/b.html"},
        {L"ftp\uFF1Ah\\a\\b.html\uFF1Fx=1", false, L"ftp://h/a", L"/a"},
        {L"http\uFF1Ah\uFF1A8080\\a\uFF0F", true, L"http://h:8080/a/", L"/a/"},
        {L"h\\a\\_cache\\b", true, L"//h/a", L"/a"},
        {L"h\\a\u3000note\\b\uFF0E", true, L"//h/a/b", L"/a/b"},
        {L"a:b:c:d\\x", true, L"///x", L"/x"},
        {L"h\\a\r\nX-Injected: 1\\b\t.html", true, L"//h/aX-Injected: 1/b.html", L"/aX-Injected: 1/b.html"},
        {L"h\\\uFF43on\\\uFF43ON.x", true, L"//h/con/cON.x", L"/con/cON.x"},
    };
    for (const auto& c : cases) {
        CUrlComponents parts;
        parts.FromLocalPath(c.local, c.keepLast);
        EXPECT_EQ(c.url, parts.m_url) << c.local;
        EXPECT_EQ(c.path, parts.m_path) << c.local;
    }
}

// Cracked parts put together give the path; nothing throws; no control is made.
TEST(UrlComponents, RandomUrlsKeepTheInvariants)
{
    inettest::CRandomText random("CUrlComponents::Crack, ToLocalPath and FromLocalPath");
    const int count = inettest::RandomInputCount();
    int cracked = 0;
    for (int i = 0; i < count; ++i) {
        CUrlComponents fromLocal;
        fromLocal.FromLocalPath(random.Text().c_str(), random.Below(2) == 0);
        ASSERT_EQ(fromLocal.m_path, fromLocal.m_dir + fromLocal.m_fileName) << i;

        const std::wstring url = L"http://h" + std::wstring(random.Below(2) ? L"/" : L":8") + random.Text();
        CUrlComponents parts;
        if (FAILED(parts.Crack(url.c_str()))) continue;
        ++cracked;
        ASSERT_EQ(parts.m_path, parts.m_dir + parts.m_fileName) << i;
        ASSERT_LE(inettest::CountControls(parts.m_url), inettest::CountControls(url)) << i;
        std::wstring local;
        parts.ToLocalPath(local, true);
        ASSERT_EQ(std::wstring::npos, local.find_first_of(L"/:*?\"<>|")) << i;
        for (size_t start = 0; start <= local.size();) {
            const size_t end = std::min(local.find(L'\\', start), local.size());
            const std::wstring piece = local.substr(start, end - start);
            ASSERT_TRUE(piece.find_first_not_of(L". ") != std::wstring::npos || piece.find(L'.') == std::wstring::npos)
                << i;
            start = end + 1;
        }
    }
    EXPECT_GT(cracked, count / 4);
}

} // namespace
