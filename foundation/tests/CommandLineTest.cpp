#include "foundation/CommandLine.h"

#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <random>
#include <tuple>

namespace {

using Args = std::vector<std::wstring>;

Args Split(const std::wstring& text, const std::wstring& escapes = L"")
{
    Args out;
    SplitCommandLine(text, L" \t", out, L"\"'", escapes);
    return out;
}

// The system's own splitter; "prog " goes first because it treats the program name apart.
Args SystemSplit(const std::wstring& text)
{
    int count = 0;
    wchar_t** argv = ::CommandLineToArgvW((L"prog " + text).c_str(), &count);
    const Args out(argv + 1, argv + count);
    ::LocalFree(argv);
    return out;
}

} // namespace

// Random lines built from pieces on which both rule sets agree: no single quotes, no backslash
// before a quote, no empty or adjacent quoted parts. The fixed lines are what the pieces never
// make: a quoted program path, an unclosed quote, a backslash run at the end.
TEST(CommandLine, SplitsLikeTheSystemWhereBothRulesAgree)
{
    for (const wchar_t* line :
         {L"\"C:\\Program Files\\Fern\\fern.exe\" /start", L"\"unclosed rest of text", L"trailing\\ back\\\\slashes\\"})
        EXPECT_EQ(Split(line), SystemSplit(line)) << line;
    const wchar_t* const pieces[] = {L"a",       L"Z",          L"9", L"/", L"-",  L"\\",        L"日",
                                     L"é",       L".",          L":", L" ", L"\t", L"x\"a b\"x", L"x\"日 \\ 9\"x",
                                     L"x\" \"x", L"x\"/-\te\"x"};
    std::mt19937 rng(20240611);
    for (int round = 0; round < 2000; ++round) {
        std::wstring line;
        for (int n = static_cast<int>(rng() % 12); n > 0; --n) line += pieces[rng() % std::size(pieces)];
        ASSERT_EQ(Split(line), SystemSplit(line)) << line;
    }
}

TEST(CommandLine, WhereItsRulesDifferFromTheSystem)
{
    // With '^' as escape character: it takes the next character literally, outside quotes only.
    const std::pair<const wchar_t*, Args> cases[] = {
        {L"\"it's here\" 'say \"hi\"'", {L"it's here", L"say \"hi\""}},
        {L"a \"\" b", {L"a", L"b"}},
        {L"a\\\"b c\"", {L"a\\b c"}},
        {L"a^ b", {L"a b"}},
        {L"^\"x y^\"", {L"\"x", L"y\""}},
        {L"\"in ^ quotes\"", {L"in ^ quotes"}},
    };
    for (const auto& [line, expected] : cases) EXPECT_EQ(Split(line, L"^"), expected) << line;
}

TEST(CommandLine, IndexedPlaceholders)
{
    const std::tuple<const wchar_t*, Args, const wchar_t*> formats[] = {
        {L"{1} ドライブ{0}{1}", {L"a", L"E"}, L"E ドライブaE"},
        {L"{0} {2}", {L"a"}, L"a {2}"},
        // A value is text, never a template: its own markers stay as they are.
        {L"{0} and {1}", {L"name{1}", L"x"}, L"name{1} and x"},
        {L"{0}1}", {L"{"}, L"{1}"},
        {L"{10}{1}", {L"a", L"b", L"c", L"d", L"e", L"f", L"g", L"h", L"i", L"j", L"K"}, L"Kb"},
    };
    for (const auto& [text, values, expected] : formats) {
        std::wstring out = L"old";
        FormatIndexed(out, text, values, L"{", L"}");
        EXPECT_EQ(out, expected) << text;
    }
}
