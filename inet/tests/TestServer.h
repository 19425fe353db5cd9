#pragma once
// The loopback HTTP server the test command starts (inet/tests/http_test_server.py): its port,
// a refused port, its TLS port and the TLS listener's root come through the environment.
#include <windows.h>

#include "inet/tests/TestRootStore.h"
#include "tests/support/ScaledTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

inline std::wstring EnvironmentText(const wchar_t* name)
{
    wchar_t value[64] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, value, 64);
    return n > 0 && n < 64 ? std::wstring(value, n) : std::wstring();
}

inline INTERNET_PORT TestServerPort()
{
    return static_cast<INTERNET_PORT>(_wtoi(EnvironmentText(L"FH_HTTP_TEST_PORT").c_str()));
}
inline INTERNET_PORT RefusedPort()
{
    return static_cast<INTERNET_PORT>(_wtoi(EnvironmentText(L"FH_HTTP_REFUSED_PORT").c_str()));
}

inline INTERNET_PORT TlsServerPort()
{
    return static_cast<INTERNET_PORT>(_wtoi(EnvironmentText(L"FH_HTTPS_TEST_PORT").c_str()));
}

inline std::wstring ServerUrl(const std::wstring& path)
{
    return L"http://127.0.0.1:" + std::to_wstring(TestServerPort()) + path;
}
inline std::wstring TlsServerUrl(const std::wstring& path)
{
    return L"https://localhost:" + std::to_wstring(TlsServerPort()) + path;
}

// Empty when the TLS listener can be used; else why not. The root is stored once a process.
inline std::string TlsServerUnusable()
{
    static const std::string why = [] {
        if (TlsServerPort() == 0)
            return std::string("no TLS listener: run through scripts/test.sh (FH_HTTPS_TEST_PORT)");
        std::string root(8192, '\0');
        const DWORD n = ::GetEnvironmentVariableA("FH_HTTPS_TEST_ROOT", root.data(), 8192);
        if (n == 0 || n >= 8192) return std::string("no test root (FH_HTTPS_TEST_ROOT)");
        root.resize(n);
        std::string failure;
        return TrustTestRoot(root, failure) ? std::string() : failure;
    }();
    return why;
}

// Time limits of the tests, multiplied by FH_HTTP_TEST_TIME_SCALE (a whole number, 1 when unset)
// for machines slower or busier than a loaded 2-core runner.
inline DWORD TestTime(DWORD ms) { return ScaledTime(L"FH_HTTP_TEST_TIME_SCALE", ms); }

#define REQUIRE_TEST_SERVER()                                                                                          \
    if (TestServerPort() == 0) GTEST_SKIP() << "no test server: run through scripts/test.sh (FH_HTTP_TEST_PORT)"

#define REQUIRE_TLS_TEST_SERVER()                                                                                      \
    REQUIRE_TEST_SERVER();                                                                                             \
    if (const std::string why = TlsServerUnusable(); !why.empty()) GTEST_SKIP() << why

// Byte i of the server's pattern bodies.
inline std::string PatternBytes(size_t offset, size_t size)
{
    std::string out(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        const size_t k = (offset + i) % 65521;
        out[i] = static_cast<char>((k * 7 + k / 251) & 0xFF);
    }
    return out;
}
