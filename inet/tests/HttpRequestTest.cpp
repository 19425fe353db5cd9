#include "inet/tests/RequestTestSupport.h"

#include "foundation/Wine.h"
#include "ids/inet.h"
#include "inet/tests/LoopbackListener.h"

namespace {

std::string Echo(CHttpRequestContext& context, CHttpRequestUrl target)
{
    context.Request(target, nullptr);
    EXPECT_FALSE(context.HasError()) << context.GetError().m_message;
    std::string echo;
    context.ReadToMemory(echo);
    return echo;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(HttpRequest, AGetWithoutParametersSendsNoFormHeaders)
{
    REQUIRE_TEST_SERVER();
    CHttpRequestContext context;
    UseTestTimeouts(context);
    // The fragment stays in the record and off the wire.
    CHttpRequestUrl target = TestTarget(L"/echo/get?q=1#frag");
    EXPECT_EQ(target.m_extra, L"?q=1#frag");
    // Line breaks in the referrer cannot add header lines of their own.
    target.m_referrer = L"http://referrer.test/page\r\nX-Injected: 1";
    const std::string echo = Echo(context, target);
    EXPECT_EQ(echo.rfind("GET /echo/get?q=1 HTTP/1.1\r\n", 0), 0u) << echo;
    EXPECT_EQ(target.m_extra, L"?q=1#frag");
    EXPECT_FALSE(Has(echo, "Content-Type:")) << echo;
    EXPECT_FALSE(Has(echo, "Content-Length:")) << echo;
    EXPECT_TRUE(Has(echo, "Referer: http://referrer.test/pageX-Injected: 1\r\n")) << echo;
    EXPECT_FALSE(Has(echo, "\r\nX-Injected")) << echo;
    // No agent name: the program's own name.
    EXPECT_TRUE(Has(echo, "User-Agent: inet_tests\r\n")) << echo;
}

TEST(HttpRequest, APostSendsItsParametersInKeyOrder)
{
    REQUIRE_TEST_SERVER();
    const struct {
        const wchar_t* charset;
        const wchar_t* value;
        const char* type;
        const char* body;
    } cases[] = {
        {L"utf-8", L"\u3042", "Content-Type: application/x-www-form-urlencoded;charset=utf-8\r\n",
         "a=%E3%81%82&b=2%20%26%3D&c%2Bd=~-._"},
        {L"shift_jis", L"\u3042", "Content-Type: application/x-www-form-urlencoded;charset=shift_jis\r\n",
         "a=%82%A0&b=2%20%26%3D&c%2Bd=~-._"},
        {L"", L"x", "Content-Type: application/x-www-form-urlencoded\r\n", "a=x&b=2%20%26%3D&c%2Bd=~-._"},
    };
    for (const auto& c : cases) {
        CHttpRequestContext context;
        UseTestTimeouts(context);
        context.SetCharset(c.charset);
        context.SetAgentName(L"fernhollow-test/1.0");
        CHttpRequestUrl target = TestTarget(L"/echo/post");
        target.m_params = {{L"c+d", L"~-._"}, {L"b", L"2 &="}, {L"a", c.value}};
        target.m_referrer = L"http://r/";
        const std::string echo = Echo(context, target);
        const std::string body = c.body;
        EXPECT_EQ(echo.rfind("POST /echo/post HTTP/1.1\r\n", 0), 0u) << echo;
        EXPECT_TRUE(Has(echo, c.type)) << echo;
        EXPECT_TRUE(Has(echo, "Content-Length: " + std::to_string(body.size()) + "\r\n")) << echo;
        EXPECT_TRUE(Has(echo, "Referer: http://r/\r\n")) << echo;
        EXPECT_TRUE(Has(echo, "User-Agent: fernhollow-test/1.0\r\n")) << echo;
        EXPECT_EQ(echo.substr(echo.size() - body.size() - 4), "\r\n\r\n" + body) << echo;
    }
}

TEST(HttpRequest, OnlyTheFourSuccessStatusesAreAccepted)
{
    REQUIRE_TEST_SERVER();
    const struct {
        const wchar_t* path;
        UINT id;
    } cases[] = {{L"/status/200", 0},     {L"/status/201", 0},     {L"/status/202", 0},     {L"/status/203", 0},
                 {L"/status/204", 58753}, {L"/status/206", 58753}, {L"/status/199", 58753}, {L"/status/403", 58753},
                 {L"/status/500", 58753}, {L"/status/404", 58753}};
    for (const auto& c : cases) {
        CHttpRequestContext context;
        UseTestTimeouts(context);
        context.Request(TestTarget(c.path), nullptr);
        EXPECT_EQ(context.GetError().m_id, c.id) << c.path;
        if (c.id) {
            EXPECT_NE(context.GetError().m_message.find(std::wstring(c.path).substr(8)), std::wstring::npos);
        }
    }
    EXPECT_TRUE(CHttpRequestContext::IsSuccessStatus(L"203"));
    EXPECT_FALSE(CHttpRequestContext::IsSuccessStatus(L"2000"));
    EXPECT_FALSE(CHttpRequestContext::IsSuccessStatus(L"20"));
}

TEST(HttpRequest, RedirectsEndInTheTargetsBodyOrAClearFailure)
{
    REQUIRE_TEST_SERVER();
    for (const int code : {301, 302, 303, 307, 308}) {
        CHttpRequestContext context;
        UseTestTimeouts(context);
        const std::string body = GetBody(context, L"/redirect/" + std::to_wstring(code) + L"?to=/bytes/10");
        if (code == 308 && context.HasError() && !RunningUnderWine()) {
            // WinINet may not follow 308: the status itself is reported.
            EXPECT_EQ(context.GetError().m_id, 58753u) << code;
            EXPECT_NE(context.GetError().m_message.find(std::to_wstring(code)), std::wstring::npos) << code;
            continue;
        }
        EXPECT_FALSE(context.HasError()) << code << L" " << context.GetError().m_message;
        EXPECT_EQ(body, PatternBytes(0, 10)) << code;
        EXPECT_FALSE(context.GetStatusCallback().GetRedirects().empty()) << code;
    }

    // A form posted to a redirect: 301, 302 and 303 go on as a GET without the form, 307 and 308
    // send it again. On Windows, WinINet follows; whatever arrives is then the new address's
    // answer or a clear failure, never the old address's answer.
    const struct {
        int code;
        const char* line;
        bool form;
    } posts[] = {{301, "GET /echo/moved HTTP/1.1\r\n", false},
                 {302, "GET /echo/moved HTTP/1.1\r\n", false},
                 {303, "GET /echo/moved HTTP/1.1\r\n", false},
                 {307, "POST /echo/moved HTTP/1.1\r\n", true},
                 {308, "POST /echo/moved HTTP/1.1\r\n", true}};
    for (const auto& p : posts) {
        CHttpRequestContext context;
        UseTestTimeouts(context);
        CHttpRequestUrl target = TestTarget(L"/redirect/" + std::to_wstring(p.code) + L"?to=/echo/moved");
        target.m_params = {{L"a", L"1"}};
        target.m_referrer = L"http://r/";
        context.Request(target, nullptr);
        std::string echo;
        if (!context.HasError()) context.ReadToMemory(echo);
        if (!RunningUnderWine()) {
            if (context.HasError()) {
                EXPECT_EQ(context.GetError().m_id, 58753u) << p.code << L" " << context.GetError().m_message;
            } else {
                EXPECT_NE(echo.find(" /echo/moved HTTP/1.1\r\n"), std::string::npos) << echo;
            }
            continue;
        }
        ASSERT_FALSE(context.HasError()) << p.code << L" " << context.GetError().m_message;
        EXPECT_EQ(echo.rfind(p.line, 0), 0u) << p.code << " " << echo;
        EXPECT_TRUE(Has(echo, "Referer: http://r/\r\n")) << p.code << " " << echo;
        EXPECT_EQ(Has(echo, "Content-Type: application/x-www-form-urlencoded\r\n"), p.form) << p.code << " " << echo;
        EXPECT_EQ(Has(echo, "Content-Length: 3\r\n"), p.form) << p.code << " " << echo;
        EXPECT_EQ(echo.substr(echo.size() - 4), p.form ? "\na=1" : "\r\n\r\n") << p.code << " " << echo;
        EXPECT_EQ(context.GetStatusCallback().GetRedirects().size(), 1u) << p.code;
    }
}

// Under Wine the library follows redirects itself: a new address gets every check a request's own
// address gets, and nothing of a refused one is sent.
TEST(HttpRequest, ARedirectToAnAddressThatCannotBeRequestedIsNotFollowed)
{
    REQUIRE_TEST_SERVER();
    if (!RunningUnderWine()) GTEST_SKIP() << "WinINet follows redirects itself on Windows";
    const std::wstring key = L"to" + std::to_wstring(::GetTickCount());
    const std::wstring port = std::to_wstring(TestServerPort());
    const struct {
        std::wstring location;
        UINT id;
    } cases[] = {
        // The server sends these controls raw in its Location line.
        {L"/count/" + key + L"%01", IDS_INET_CONTROL_IN_TARGET},
        {L"/count/" + key + L"?%7F", IDS_INET_CONTROL_IN_TARGET},
        {L"http://127.0.0.1:99999/count/" + key, IDS_INET_BAD_REDIRECT},
        {L"http://127.0.0.1:0/count/" + key, IDS_INET_BAD_REDIRECT},
        {L"http://127.0.0.1:" + port + L"abc/count/" + key, IDS_INET_BAD_REDIRECT},
        {L"ftp://127.0.0.1:" + port + L"/count/" + key, IDS_INET_BAD_REDIRECT},
    };
    for (const auto& c : cases) {
        CHttpRequestContext context;
        UseTestTimeouts(context);
        // Set apart from the crack, which would decode the escapes the server is to send.
        CHttpRequestUrl target = TestTarget(L"/redirect/302");
        target.m_extra = L"?to=" + c.location;
        context.Request(target, nullptr);
        EXPECT_EQ(context.GetError().m_id, c.id) << c.location << L" " << context.GetError().m_message;
    }
    CHttpRequestContext reader;
    EXPECT_EQ(GetBody(reader, L"/counter/" + key), "0");
}

TEST(HttpRequest, ARedirectLoopEndsAfterTwentyRedirects)
{
    REQUIRE_TEST_SERVER();
    // Per process: the tests of both languages run at once against one server.
    const std::wstring key = L"self" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                             std::to_wstring(::GetTickCount());
    const struct {
        std::wstring path;
        UINT id;
        bool counted;
    } cases[] = {{L"/loop/5", 0, false},
                 {L"/loop/100", IDS_INET_TOO_MANY_REDIRECTS, false},
                 {L"/selfloop/" + key, IDS_INET_TOO_MANY_REDIRECTS, true}};
    for (const auto& c : cases) {
        CHttpRequestContext context;
        UseTestTimeouts(context);
        const std::string body = GetBody(context, c.path);
        EXPECT_EQ(context.GetError().m_id, c.id) << c.path << L" " << context.GetError().m_message;
        const size_t redirects = context.GetStatusCallback().GetRedirects().size();
        EXPECT_EQ(body, c.id ? "" : PatternBytes(0, 10)) << c.path;
        EXPECT_GE(redirects, c.id ? 20u : 5u) << c.path;
        EXPECT_LE(redirects, c.id ? 21u : 5u) << c.path;
        if (!c.counted) continue;
        // No request reaches the server after the call has returned.
        CHttpRequestContext reader;
        const std::string atReturn = GetBody(reader, L"/counter/" + key);
        ::Sleep(3000);
        const std::string later = GetBody(reader, L"/counter/" + key);
        EXPECT_EQ(later, atReturn);
        // The first request and twenty redirects; WinINet on Windows counts its own.
        if (RunningUnderWine()) {
            EXPECT_LE(std::atoi(later.c_str()), 21) << later;
        }
    }
}

// A step from https down to http is refused before anything goes to the new address, unless the
// caller allowed it; upward and secure steps are followed. What arrived is asked of the server.
TEST(HttpRequest, ARedirectFromHttpsToHttpIsRefusedUnlessAllowed)
{
    REQUIRE_TLS_TEST_SERVER();
    const std::wstring key = L"down" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                             std::to_wstring(::GetTickCount());
    const struct {
        bool fromSecure, toSecure;
        int code;
        bool form, allowed, refused;
    } cases[] = {
        {true, false, 302, false, false, true},  {true, false, 307, true, false, true},
        {true, false, 302, false, true, false},  {true, false, 307, true, true, false},
        {true, true, 302, false, false, false},  {true, true, 307, true, false, false},
        {false, true, 302, false, false, false},
    };
    int row = 0;
    for (const auto& c : cases) {
        const std::wstring record = key + L"_" + std::to_wstring(++row);
        const std::wstring to = (c.toSecure ? TlsServerUrl : ServerUrl)(L"/record/" + record);
        const std::wstring from = (c.fromSecure ? TlsServerUrl : ServerUrl)(L"/redirect/" + std::to_wstring(c.code));
        CHttpRequestUrl target;
        ASSERT_EQ(target.CrackUrl(from.c_str()), S_OK);
        target.m_extra = L"?to=" + to;
        target.m_referrer = from;
        if (c.form) target.m_params = {{L"card", L"4111111111111111"}};
        CHttpRequestContext context;
        UseTestTimeouts(context);
        if (c.allowed)
            context.SetRequestFlags(CHttpRequestContext::kDefaultRequestFlags | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP);
        context.Request(target, nullptr);
        std::string echo;
        if (!context.HasError()) context.ReadToMemory(echo);
        CHttpRequestContext reader;
        const std::string arrived = GetBody(reader, L"/recorded/" + record);
        if (c.refused) {
            EXPECT_EQ(context.GetError().m_id, static_cast<UINT>(IDS_INET_HTTP_REQUEST_FAILED)) << row;
            EXPECT_EQ(context.GetError().m_code, static_cast<UINT>(0x80072F08)) << row;
            // WinINet's own text for the code.
            EXPECT_EQ(context.GetError().m_message.find(L"Unknown HRESULT"), std::wstring::npos)
                << context.GetError().m_message;
            EXPECT_EQ(arrived, "") << row;
            continue;
        }
        ASSERT_FALSE(context.HasError()) << row << L" " << context.GetError().m_message;
        const std::string line = (c.form ? "POST /record/" : "GET /record/") +
                                 std::string(record.begin(), record.end());
        EXPECT_EQ(echo.rfind(line + " HTTP/1.1\r\n", 0), 0u) << row << " " << echo;
        EXPECT_EQ(Has(echo, "\r\n\r\ncard=4111111111111111"), c.form) << row << " " << echo;
        EXPECT_EQ(arrived, echo) << row;
        EXPECT_EQ(context.GetStatusCallback().GetRedirects().size(), 1u) << row;
    }
}

// The record lives as long as the context: one request adds at most the 21 of a loop that fails,
// and every later request adds its own.
TEST(HttpRequest, AReusedContextRecordsTheRedirectsOfEveryRequest)
{
    REQUIRE_TEST_SERVER();
    CHttpRequestContext context;
    UseTestTimeouts(context);
    const auto recorded = [&context] { return context.GetStatusCallback().GetRedirects().size(); };
    for (int i = 0; i < 23; ++i) {
        EXPECT_EQ(GetBody(context, L"/loop/1"), PatternBytes(0, 10)) << i << L" " << context.GetError().m_message;
    }
    EXPECT_EQ(recorded(), 23u);
    GetBody(context, L"/loop/100");
    EXPECT_EQ(context.GetError().m_id, static_cast<UINT>(IDS_INET_TOO_MANY_REDIRECTS));
    const size_t afterLoop = recorded();
    EXPECT_GE(afterLoop, 23u + 20u);
    EXPECT_LE(afterLoop, 23u + 21u);
    EXPECT_EQ(GetBody(context, L"/loop/2"), PatternBytes(0, 10)) << context.GetError().m_message;
    ASSERT_EQ(recorded(), afterLoop + 2);
    EXPECT_EQ(context.GetStatusCallback().GetRedirects().back(), ServerUrl(L"/loop/0"));
}

TEST(HttpRequest, ANotFoundPathIsRetriedOnceEncodedInTheCharset)
{
    REQUIRE_TEST_SERVER();
    CHttpRequestContext context;
    UseTestTimeouts(context);
    context.SetCharset(L"utf-8");
    const std::string body = GetBody(context, L"/encoded-only/\u3042");
    EXPECT_FALSE(context.HasError()) << context.GetError().m_message;
    EXPECT_EQ(body, "/encoded-only/%e3%81%82");

    const std::wstring key = std::to_wstring(::GetTickCount());
    const struct {
        const wchar_t* charset;
        const char* count;
    } cases[] = {{L"utf-8", "2"}, {L"", "1"}, {L"latin1", "1"}};
    for (const auto& c : cases) {
        CHttpRequestContext counted;
        UseTestTimeouts(counted);
        counted.SetCharset(c.charset);
        const std::wstring counter = key + c.charset;
        GetBody(counted, L"/count/" + counter);
        EXPECT_EQ(counted.GetError().m_id, 58753u) << c.charset;
        CHttpRequestContext reader;
        EXPECT_EQ(GetBody(reader, L"/counter/" + counter), c.count) << c.charset;
    }
}

TEST(HttpRequest, HttpsAddressesAreSentSecureToTheirOwnPort)
{
    REQUIRE_TEST_SERVER();
    // A listener of the test's own sees the TLS handshake (record type 22) on the port the
    // address names, 80 included; no plain request reaches it.
    for (const u_short wanted : {0, 80}) {
        CLoopbackListener listener(wanted, TestTime(3000));
        if (listener.Port() == 0) {
            std::printf("[ skipped  ] port %u cannot be bound here: not checked\n", wanted);
            continue;
        }
        CHttpRequestContext context;
        UseTestTimeouts(context);
        CHttpRequestUrl target;
        ASSERT_EQ(target.CrackUrl((L"https://127.0.0.1:" + std::to_wstring(listener.Port()) + L"/bytes/10").c_str()),
                  S_OK);
        context.Request(target, nullptr);
        EXPECT_TRUE(context.HasError());
        EXPECT_NE(context.GetError().m_id, 58753u) << context.GetError().m_message;
        const std::string received = listener.Received();
        EXPECT_EQ(received.substr(0, 1), "\x16") << listener.Port() << ": " << received;
        std::string plain = GetBody(context, L"/bytes/10");
        EXPECT_EQ(plain, PatternBytes(0, 10));
    }
}

// A control character the request would put on the wire, or a port that is no port, is refused
// before anything is sent.
TEST(HttpRequest, ControlCharactersAndBadPortsAreRefusedBeforeAnythingIsSent)
{
    REQUIRE_TEST_SERVER();
    const std::wstring key = L"ctl" + std::to_wstring(::GetTickCount());
    const struct {
        const wchar_t *path, *extra, *host, *agent, *referrer, *port;
        UINT id;
    } cases[] = {
        {L"\r\nX-Injected: 1", L"", nullptr, L"", L"", nullptr, IDS_INET_CONTROL_IN_TARGET},
        {L"", L"?a\nX-Injected: 1", nullptr, L"", L"", nullptr, IDS_INET_CONTROL_IN_TARGET},
        {L"\x01", L"", nullptr, L"", L"", nullptr, IDS_INET_CONTROL_IN_TARGET},
        {L"", L"", L"127.0.0.1\r\nX-Injected: 1", L"", L"", nullptr, IDS_INET_CONTROL_IN_TARGET},
        {L"", L"", nullptr, L"agent\r\nX-Injected: 1", L"", nullptr, IDS_INET_CONTROL_IN_AGENT},
        {L"", L"", nullptr, L"", L"http://r/\x7F", nullptr, IDS_INET_CONTROL_IN_HEADER},
        // As a local path can give them: cut to 16 bits, or read as 0 (WinINet's default port).
        {L"", L"", nullptr, L"", L"", L"106419", IDS_INET_BAD_PORT},
        {L"", L"", nullptr, L"", L"", L"abc", IDS_INET_BAD_PORT},
        {L"", L"", nullptr, L"", L"", L"0", IDS_INET_BAD_PORT},
        {L"", L"", nullptr, L"", L"", L"65536", IDS_INET_BAD_PORT},
        {L"", L"", nullptr, L"", L"", L"-1", IDS_INET_BAD_PORT},
    };
    for (const auto& c : cases) {
        CHttpRequestContext context;
        UseTestTimeouts(context);
        context.SetAgentName(c.agent);
        CHttpRequestUrl target = TestTarget(L"/count/" + key);
        target.m_path += c.path;
        target.m_extra = c.extra;
        if (c.host) target.m_host = c.host;
        if (c.port) target.m_port = c.port;
        target.m_referrer = c.referrer;
        context.Request(target, nullptr);
        EXPECT_EQ(context.GetError().m_id, c.id) << target.m_path << target.m_extra << c.agent;
    }
    CHttpRequestContext reader;
    EXPECT_EQ(GetBody(reader, L"/counter/" + key), "0");

    // A local path with a line break makes one request line, as the server receives it.
    CHttpRequestUrl local;
    local.FromLocalPath(
        (L"http\uFF1A127.0.0.1\uFF1A" + std::to_wstring(TestServerPort()) + L"\\rawecho\\a\r\nX: 1").c_str(), true);
    CHttpRequestContext context;
    UseTestTimeouts(context);
    const std::string echo = Echo(context, local);
    EXPECT_EQ(echo.rfind("GET /rawecho/aX:", 0), 0u) << echo;
    EXPECT_EQ(echo.find("\r\nX:"), std::string::npos) << echo;
}

// A kept-alive connection the server closes without an answer is a failed request, not a status.
TEST(HttpRequest, AConnectionClosedWithoutAnAnswerIsANetworkFailure)
{
    REQUIRE_TEST_SERVER();
    {
        CHttpRequestContext first;
        UseTestTimeouts(first);
        ASSERT_EQ(GetBody(first, L"/drop-second"), "kept");
    }
    CHttpRequestContext second;
    UseTestTimeouts(second);
    const std::string body = GetBody(second, L"/drop-second");
    // Windows sends the request again on a new connection.
    if (!second.HasError()) {
        EXPECT_EQ(body, "kept");
        return;
    }
    EXPECT_EQ(second.GetError().m_id, static_cast<UINT>(IDS_INET_HTTP_REQUEST_FAILED)) << second.GetError().m_message;
    EXPECT_EQ(second.GetError().m_code, static_cast<UINT>(HRESULT_FROM_WIN32(ERROR_INTERNET_CONNECTION_ABORTED)));
}

TEST(HttpRequest, RefusedAndSilentServersFailWithinTheirTimeouts)
{
    REQUIRE_TEST_SERVER();
    CHttpRequestContext refused;
    UseTestTimeouts(refused);
    CHttpRequestUrl target;
    ASSERT_EQ(target.CrackUrl((L"http://127.0.0.1:" + std::to_wstring(RefusedPort()) + L"/").c_str()), S_OK);
    DWORD start = ::GetTickCount();
    refused.Request(target, nullptr);
    EXPECT_EQ(refused.GetError().m_id, static_cast<UINT>(IDS_INET_HTTP_REQUEST_FAILED));
    EXPECT_EQ(refused.GetError().m_code, static_cast<UINT>(HRESULT_FROM_WIN32(ERROR_INTERNET_CANNOT_CONNECT)));
    EXPECT_LT(::GetTickCount() - start, TestTime(3000));

    // Giving up takes the one time-out and a short settle, not the time-out twice.
    CHttpRequestContext silent;
    silent.SetWaitTimeout(2000);
    start = ::GetTickCount();
    silent.Request(TestTarget(L"/hang"), nullptr);
    const DWORD spent = ::GetTickCount() - start;
    EXPECT_EQ(silent.GetError().m_id, static_cast<UINT>(IDS_INET_HTTP_REQUEST_FAILED));
    EXPECT_EQ(silent.GetError().m_code, static_cast<UINT>(HRESULT_FROM_WIN32(ERROR_INTERNET_TIMEOUT)));
    EXPECT_GE(spent, 1900u);
    EXPECT_LT(spent, TestTime(3300));
}

TEST(HttpRequest, ContentDispositionNames)
{
    REQUIRE_TEST_SERVER();
    const struct {
        const wchar_t* header;
        const wchar_t* name;
    } cases[] = {
        {L"attachment; filename=\"my file.txt\"", L"my file.txt"},
        {L"attachment; filename=plain.txt; size=3", L"plain.txt"},
        {L"attachment; FileName=\"upper.txt\"", L"upper.txt"},
        {L"attachment; filename=\"a;b.txt\"", L"a;b.txt"},
        {L"attachment; filename=\"say \\\"hi\\\".txt\"", L"say \"hi\".txt"},
        {L"attachment; filename = spaced.txt", L"spaced.txt"},
        {L"inline; name=x", L""},
        {L"attachment; filename=\"\"", L""},
    };
    for (const auto& c : cases) {
        CHttpRequestContext context;
        UseTestTimeouts(context);
        std::wstring query;
        for (const wchar_t ch : std::wstring(c.header)) {
            wchar_t hex[4] = {};
            _snwprintf(hex, 3, L"%02X", static_cast<unsigned>(ch));
            query += L'%';
            query += hex;
        }
        CHttpRequestUrl target = TestTarget(L"/disposition");
        target.m_extra = L"?v=" + query;
        context.Request(target, nullptr);
        ASSERT_FALSE(context.HasError()) << context.GetError().m_message;
        std::wstring name = L"old";
        context.GetContentDispositionFileName(name);
        EXPECT_EQ(name, c.name) << c.header;
        EXPECT_EQ(context.GetError().m_id, *c.name ? 0u : 59363u) << c.header;
    }
}

TEST(HttpRequest, LengthAndDateQueries)
{
    REQUIRE_TEST_SERVER();
    CHttpRequestContext context;
    UseTestTimeouts(context);
    context.Request(TestTarget(L"/last-modified"), nullptr);
    ASSERT_FALSE(context.HasError());
    EXPECT_EQ(context.GetContentLength(), 5u);
    SYSTEMTIME time{};
    context.GetLastModified(time);
    EXPECT_EQ(time.wYear, 1994);
    EXPECT_EQ(time.wMinute, 12);
}

} // namespace
