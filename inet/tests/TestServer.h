#pragma once
// The loopback HTTP server the test command starts (inet/tests/http_test_server.py): its port
// and a refused port come through the environment.
#include <windows.h>

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

inline std::wstring ServerUrl(const std::wstring& path)
{
    return L"http://127.0.0.1:" + std::to_wstring(TestServerPort()) + path;
}

// Time limits of the tests, multiplied by FH_HTTP_TEST_TIME_SCALE (a whole number, 1 when unset)
// for machines slower or busier than a loaded 2-core runner.
inline DWORD TestTime(DWORD ms) { return ScaledTime(L"FH_HTTP_TEST_TIME_SCALE", ms); }

#define REQUIRE_TEST_SERVER()                                                                                          \
    if (TestServerPort() == 0) GTEST_SKIP() << "no test server: run through scripts/test.sh (FH_HTTP_TEST_PORT)"

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
