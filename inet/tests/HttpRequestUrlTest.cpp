// The request address record: its text form, ordering, display text and the browser POST.
#include "inet/HttpRequestUrl.h"
#include "inet/tests/RandomText.h"
#include "inet/tests/RecordingBrowser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

CHttpRequestUrl Target(const wchar_t* text)
{
    CHttpRequestUrl target;
    EXPECT_EQ(S_OK, target.CrackUrl(text)) << text;
    return target;
}

TEST(HttpRequestUrl, TextFormTable)
{
    const struct {
        const wchar_t* text;
        const wchar_t* url;
        CFormParams params;
        const wchar_t* host;
    } cases[] = {
        {L"http://h/a.cgi::b=2&a=1", L"http://h/a.cgi", {{L"a", L"1"}, {L"b", L"2"}}, L"h"},
        {L"http://h/a.cgi", L"http://h/a.cgi", {}, L"h"},
        {L"http://h::x=1", L"http://h", {{L"x", L"1"}}, L"h"},
        {L"http://[::1]:8080/p", L"http://[::1]:8080/p", {}, L"[::1]"},
        {L"http://[::1]:8080/p::k=v", L"http://[::1]:8080/p", {{L"k", L"v"}}, L"[::1]"},
        {L"http://h/p::a=b=c&=x&", L"http://h/p", {{L"a", L"b=c"}}, L"h"},
        {L"http://h/p::\u540d=\u5024", L"http://h/p", {{L"\u540d", L"\u5024"}}, L"h"},
    };
    for (const auto& c : cases) {
        const CHttpRequestUrl target = Target(c.text);
        EXPECT_EQ(c.url, target.m_url) << c.text;
        EXPECT_EQ(c.params, target.m_params) << c.text;
        if (c.host[0] != L'[') {
            EXPECT_EQ(c.host, target.m_host) << c.text;
        }
    }
    EXPECT_EQ(L"http://h/a.cgi::a=1&b=2", Target(L"http://h/a.cgi::b=2&a=1").ToText());
    EXPECT_EQ(L"::a=1&b=2", Target(L"http://h/a.cgi::b=2&a=1").ParamsSuffix());
    EXPECT_EQ(L"http://h/a.cgi", Target(L"http://h/a.cgi").ToText());
    EXPECT_EQ(L"", Target(L"http://h/a.cgi").ParamsSuffix());

    CHttpRequestUrl keeps;
    keeps.m_params = {{L"kept", L"1"}};
    std::wstring text = L"http://h/x";
    EXPECT_EQ(S_OK, keeps.SplitParamsFromUrl(text));
    EXPECT_EQ(L"http://h/x", text);
    EXPECT_EQ(1u, keeps.m_params.size());

    CUrlComponents base;
    ASSERT_EQ(S_OK, base.Crack(L"http://h/dir/page.html"));
    CHttpRequestUrl resolved;
    ASSERT_EQ(S_OK, resolved.CrackUrl(base, L"../up.cgi::q=1"));
    EXPECT_EQ(L"http://h/up.cgi::q=1", resolved.ToText());
}

TEST(HttpRequestUrl, Comparisons)
{
    CHttpRequestUrl a = Target(L"http://h::x=1"), b = Target(L"http://h/::x=1");
    EXPECT_TRUE(a.Equals(b));
    EXPECT_EQ(0, a.Compare(b));
    EXPECT_FALSE(a.Less(b) || b.Less(a));
    b.m_params[L"y"] = L"2";
    EXPECT_EQ(1, a.Compare(b));
    EXPECT_FALSE(a.Equals(b));
    EXPECT_EQ(2, a.Compare(Target(L"http://H/::x=1")));
    b = a;
    b.m_referrer = L"http://r/";
    EXPECT_FALSE(a.Equals(b));
    EXPECT_TRUE(a.Less(b) != b.Less(a));
    EXPECT_LT(CHttpRequestUrl::CompareLogical(Target(L"http://h/p2"), Target(L"http://h/p10")), 0);
    EXPECT_TRUE(CHttpRequestUrl::LessByUrl(Target(L"http://h/a"), Target(L"http://h/b")));
}

// Less is a strict weak ordering on a pool with look-alike URLs, and agrees with Equals.
TEST(HttpRequestUrl, LessIsAStrictWeakOrdering)
{
    std::vector<CHttpRequestUrl> pool;
    for (const wchar_t* text : {L"http://h", L"http://h/", L"http://h.", L"http://H", L"http://H/", L"http://h/a",
                                L"http://h::a=1", L"http://h/::a=1", L"http://h/::a=2", L"http://h/a?x",
                                L"http://h:81/", L"ftp://h/", L"http://h/a::a=1&b=2", L"http://h.:80/"}) {
        pool.push_back(Target(text));
        pool.push_back(pool.back());
        pool.back().m_referrer = L"r";
    }
    for (const auto& a : pool) {
        EXPECT_FALSE(a.Less(a)) << a.ToText();
        for (const auto& b : pool) {
            EXPECT_FALSE(a.Less(b) && b.Less(a)) << a.ToText() << L" " << b.ToText();
            const bool equivalent = !a.Less(b) && !b.Less(a);
            EXPECT_EQ(a.Equals(b), equivalent) << a.ToText() << L" " << b.ToText();
            for (const auto& c : pool) {
                if (a.Less(b) && b.Less(c)) {
                    EXPECT_TRUE(a.Less(c));
                }
                const bool bc = !b.Less(c) && !c.Less(b);
                if (equivalent && bc) {
                    EXPECT_TRUE(!a.Less(c) && !c.Less(a));
                }
            }
        }
    }
    std::sort(pool.begin(), pool.end(), [](const auto& a, const auto& b) { return a.Less(b); });
    EXPECT_TRUE(std::is_sorted(pool.begin(), pool.end(), [](const auto& a, const auto& b) { return a.Less(b); }));
}

TEST(HttpRequestUrl, CompactTextTable)
{
    const CHttpRequestUrl target = Target(L"http://h/one/two/three.html?q=1");
    const struct {
        int limit;
        const wchar_t* expected;
    } cases[] = {
        {100, L"http://h/one/two/three.html?q=1"},
        {31, L"http://h/one/two/three.html?q=1"},
        {30, L"http://h/.../three.html?q=1"},
        {27, L"http://h/.../three.html?q=1"},
        {26, L"three.html?q=1"},
        {14, L"three.html?q=1"},
        {10, L"three.h..."},
        {3, L"..."},
        {2, L".."},
        {0, L""},
        {-5, L""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, target.CompactText(c.limit)) << c.limit;

    // The tail beginning with the first segment's text does not stop the walk.
    EXPECT_EQ(L"http://h/a/b/a", Target(L"http://h/a/b/a").CompactText(50));
    EXPECT_EQ(L"http://h:81/.../a::p=1", Target(L"http://h:81/a/b/a::p=1").CompactText(22));
    EXPECT_EQ(L"http://h", Target(L"http://h").CompactText(8));
    EXPECT_EQ(L"htt...", Target(L"http://h").CompactText(6));
}

TEST(HttpRequestUrl, RandomTargetsKeepTheInvariants)
{
    inettest::CRandomText random("CHttpRequestUrl::CrackUrl and CompactText");
    const int count = inettest::RandomInputCount();
    int cracked = 0;
    for (int i = 0; i < count; ++i) {
        CHttpRequestUrl target;
        const std::wstring text = L"http://h/" + random.Text();
        if (FAILED(target.CrackUrl(text.c_str()))) continue;
        ++cracked;
        const int limit = static_cast<int>(random.Below(80)) - 5;
        ASSERT_LE(target.CompactText(limit).size(), static_cast<size_t>(std::max(limit, 0))) << i;
        for (const auto& [name, value] : target.m_params) {
            ASSERT_FALSE(name.empty()) << i;
            ASSERT_EQ(std::wstring::npos, (name + value).find(L'&')) << i;
        }
    }
    EXPECT_GT(cracked, count / 4);
}

class BrowserPost : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, ATL::CComObject<inettest::CRecordingBrowser>::CreateInstance(&m_browser));
        m_holder = static_cast<IWebBrowser2*>(m_browser);
    }

    ATL::CComObject<inettest::CRecordingBrowser>* m_browser = nullptr;
    ATL::CComPtr<IWebBrowser2> m_holder;
};

TEST_F(BrowserPost, WithoutParametersNavigatesPlainly)
{
    Target(L"http://h/page.html").PostToBrowser(m_holder, L"");
    ASSERT_EQ(1, m_browser->m_navigations);
    EXPECT_EQ(L"http://h/page.html", m_browser->m_url);
    EXPECT_EQ(L"", m_browser->m_headers);
    EXPECT_EQ(L"", m_browser->m_targetFrame);
    EXPECT_EQ(VT_EMPTY, m_browser->m_postDataType);
    EXPECT_EQ(VT_EMPTY, m_browser->m_flagsType);
}

TEST_F(BrowserPost, ParametersBecomeAnEncodedBody)
{
    CHttpRequestUrl target = Target(L"http://h/post.cgi::q=a&b=");
    target.m_params[L"q"] = L"a&b=c d";
    target.m_referrer = L"http://r/";
    target.PostToBrowser(m_holder, L"_blank");
    ASSERT_EQ(1, m_browser->m_navigations);
    EXPECT_EQ(L"http://h/post.cgi", m_browser->m_url);
    EXPECT_EQ(L"Referer: http://r/\r\nContent-Type: application/x-www-form-urlencoded\r\n", m_browser->m_headers);
    EXPECT_EQ(L"_blank", m_browser->m_targetFrame);
    EXPECT_EQ(VT_ARRAY | VT_UI1, m_browser->m_postDataType);
    EXPECT_EQ("b=&q=a%26b%3Dc%20d", m_browser->m_postData);
}

// A referrer holding a line break adds no header line of its own.
TEST_F(BrowserPost, ReferrerCannotAddHeaderLines)
{
    CHttpRequestUrl target = Target(L"http://h/page.html");
    target.m_referrer = L"http://r/\r\nX-Injected: 1\n";
    target.PostToBrowser(m_holder, L"");
    ASSERT_EQ(1, m_browser->m_navigations);
    EXPECT_EQ(L"Referer: http://r/X-Injected: 1\r\n", m_browser->m_headers);
}

TEST_F(BrowserPost, UnbuildableBodyNavigatesNowhere)
{
    CHttpRequestUrl target = Target(L"http://h/post.cgi");
    target.m_params[L"big"] = std::wstring(0x100001, L'x');
    target.PostToBrowser(m_holder, L"");
    EXPECT_EQ(0, m_browser->m_navigations);
}

} // namespace
