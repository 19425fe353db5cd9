// Time per character of the HTTP client's text parsers for a 400- and a 40,000-character input,
// alternating, with the ratio (1 = linear). Beside each: a plain copy of the same text, and for
// cracking WinINet's own InternetCrackUrlW, timed in the same rounds.
// Usage: inet_parsers_bench [rounds]   (default 9)
#include "inet/FormData.h"
#include "inet/HeaderParams.h"
#include "inet/PercentEncoding.h"
#include "inet/TextSplitting.h"
#include "inet/UrlComponents.h"
#include "tests/bench/BenchTiming.h"

#include <windows.h>

#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

std::wstring Repeat(const std::wstring& piece, size_t length)
{
    std::wstring text;
    while (text.size() < length) text += piece;
    text.resize(length);
    return text;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

struct CParser {
    const char* name;
    std::function<std::wstring(size_t)> input;
    std::function<void(const std::wstring&)> run;
};

// Nanoseconds per character: repeated until the round takes at least 20 ms.
double NanosPerChar(const std::function<void(const std::wstring&)>& run, const std::wstring& text)
{
    int repeats = 0;
    const double start = NowSeconds();
    double elapsed = 0;
    do {
        run(text);
        ++repeats;
        elapsed = NowSeconds() - start;
    } while (elapsed < 0.02);
    return elapsed * 1e9 / (static_cast<double>(repeats) * static_cast<double>(text.size()));
}

void CopyText(const std::wstring& text)
{
    volatile wchar_t sink = std::wstring(text).back();
    (void)sink;
}

void CrackWithWinInet(const std::wstring& text)
{
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
    ::InternetCrackUrlW(text.c_str(), 0, 0, &parts);
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const std::vector<CParser> parsers = {
        {"header lines",
         [](size_t n) { return Repeat(L"X-A: b; c=\"d;e\"; f='g'\r\nLong: " + std::wstring(40, L'h') + L"\r\n", n); },
         [](const std::wstring& t) {
             CHeaderMap h;
             ParseHeaderText(h, t);
         }},
        {"header, one token", [](size_t n) { return L"X: " + std::wstring(n - 3, L'a'); },
         [](const std::wstring& t) {
             CHeaderMap h;
             ParseHeaderText(h, t);
         }},
        {"url-encoded body", [](size_t n) { return Repeat(L"name=va%41ue&x=1+2&novalue&", n); },
         [](const std::wstring& t) {
             CFormParams p;
             ParseUrlEncoded(p, Narrow(t));
         }},
        {"url-encoded, one token", [](size_t n) { return std::wstring(n, L'a'); },
         [](const std::wstring& t) {
             CFormParams p;
             ParseUrlEncoded(p, Narrow(t));
         }},
        {"multipart",
         [](size_t n) {
             const std::wstring part = L"Content-Disposition: form-data; name=\"f\"\r\n\r\nv\r\n-\r\n--\r\n--B\r\n";
             return L"--B\r\n" + Repeat(part, n - 5);
         },
         [](const std::wstring& t) {
             CFormParams p;
             ParseMultipart(p, Narrow(t), L"B");
         }},
        {"multipart, one part",
         [](size_t n) {
             return L"--B\r\nContent-Disposition: form-data; name=f\r\n\r\n" + Repeat(L"\r\n-\r\n--\r\n--b", n - 48);
         },
         [](const std::wstring& t) {
             CFormParams p;
             ParseMultipart(p, Narrow(t), L"B");
         }},
        {"split parameters", [](size_t n) { return Repeat(L"a=\"b;c\\\"\"; d='e'; ", n); },
         [](const std::wstring& t) {
             std::list<std::wstring> l;
             SplitParameters(t, l);
         }},
        {"percent decoding", [](size_t n) { return Repeat(L"%41%0d%%2%e3x/", n); },
         [](const std::wstring& t) { (void)PercentDecode(t); }},
        {"cracking (InternetCrackUrlW)", [](size_t n) { return L"http://h/" + Repeat(L"a%41/b?", n - 9); },
         [](const std::wstring& t) { CrackWithWinInet(t); }},
        {"cracking (CUrlComponents)", [](size_t n) { return L"http://h/" + Repeat(L"a%41/b?", n - 9); },
         [](const std::wstring& t) {
             CUrlComponents u;
             u.Crack(t.c_str());
         }},
        {"resolving", [](size_t n) { return Repeat(L"a/./b/../c/", n); },
         [](const std::wstring& t) {
             static CUrlComponents base = [] {
                 CUrlComponents b;
                 b.Crack(L"http://h/x/y");
                 return b;
             }();
             CUrlComponents u;
             u.Resolve(base, t.c_str());
         }},
    };
    std::printf("%-30s %12s %12s %7s %14s\n", "parser", "ns/char 400", "ns/char 40k", "ratio", "copy ns/char");
    for (const auto& parser : parsers) {
        const std::wstring small = parser.input(400), large = parser.input(40000);
        std::vector<double> smallTimes, largeTimes, copyTimes;
        for (int round = 0; round < rounds; ++round) {
            smallTimes.push_back(NanosPerChar(parser.run, small));
            largeTimes.push_back(NanosPerChar(parser.run, large));
            copyTimes.push_back(NanosPerChar(CopyText, large));
        }
        const double s = Median(smallTimes), l = Median(largeTimes);
        std::printf("%-30s %12.2f %12.2f %7.2f %14.3f\n", parser.name, s, l, l / s, Median(copyTimes));
    }
    return 0;
}
