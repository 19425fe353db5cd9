#include "foundation/CommandLine.h"
#include "foundation/Exception.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

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
    Args out;
    for (int i = 1; i < count; ++i) out.push_back(argv[i]);
    ::LocalFree(argv);
    return out;
}

class CRecordingParser : public CSimpleCommandLineParser {
public:
    using CSimpleCommandLineParser::Parse;
    void Parse(const std::vector<std::wstring>& arguments) override
    {
        ++m_calls;
        m_arguments = arguments;
        if (m_throw) throw my::CException(0u);
    }
    int m_calls = 0;
    bool m_throw = false;
    Args m_arguments;
};

} // namespace

TEST(CommandLine, SplitsLikeTheSystemWhereBothRulesAgree)
{
    const wchar_t* const lines[] = {
        L"",
        L"/start",
        L"a b c",
        L"  a  \t b\t\tc  ",
        L"\"C:\\Program Files\\Fern\\fern.exe\" /start",
        L"a\"b c\"d e",
        L"C:\\dir\\ \\\\server\\share\\x",
        L"\"a\tb\" c",
        L"\"unclosed rest of text",
        L"日本語 \"引数 です\" 終わり",
        L"trailing\\ back\\\\slashes\\",
    };
    for (const wchar_t* line : lines) {
        SCOPED_TRACE(line);
        EXPECT_EQ(Split(line), SystemSplit(line));
    }
}

TEST(CommandLine, WhereItsRulesDifferFromTheSystem)
{
    struct Case {
        const wchar_t* line;
        Args expected;
    };
    const Case cases[] = {
        {L"'C:\\My Files\\a.txt' b", {L"C:\\My Files\\a.txt", L"b"}},
        {L"\"it's here\" 'say \"hi\"'", {L"it's here", L"say \"hi\""}},
        {L"a \"\" b", {L"a", L"b"}},
        {L"\"\"", {}},
        {L"a\\\"b c\"", {L"a\\b c"}},
        {L"ab\"\"cd", {L"abcd"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(Split(c.line), c.expected);
    }
}

TEST(CommandLine, EscapeCharactersTakeTheNextCharacterLiterally)
{
    struct Case {
        const wchar_t* line;
        Args expected;
    };
    const Case cases[] = {
        {L"a^ b", {L"a b"}},
        {L"^\"x y^\"", {L"\"x", L"y\""}},
        {L"^^", {L"^"}},
        {L"end^", {L"end^"}},
        {L"\"in ^ quotes\"", {L"in ^ quotes"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(Split(c.line, L"^"), c.expected);
    }
}

TEST(CommandLine, SplitAppendsToWhatIsThere)
{
    Args out{L"kept"};
    SplitCommandLine(L"x,,y", L",", out, L"", L"");
    EXPECT_EQ(out, (Args{L"kept", L"x", L"y"}));
}

TEST(CommandLine, ParserKeepsTheTextAndCallsTheHandlerOnce)
{
    CRecordingParser parser;
    parser.Parse(std::wstring(L"\"C:\\Program Files\\fern.exe\" /start"));
    EXPECT_EQ(parser.m_calls, 1);
    EXPECT_EQ(parser.GetCommandLineText(), L"\"C:\\Program Files\\fern.exe\" /start");
    EXPECT_EQ(parser.m_arguments, (Args{L"C:\\Program Files\\fern.exe", L"/start"}));

    parser.Parse(std::wstring(L"   "));
    EXPECT_EQ(parser.m_calls, 2);
    EXPECT_TRUE(parser.m_arguments.empty());

    parser.m_throw = true;
    EXPECT_THROW(parser.Parse(std::wstring(L"x")), my::CException);
}

TEST(CommandLine, ProcessCommandLineStartsWithThisProgram)
{
    CRecordingParser parser;
    ParseProcessCommandLine(parser);
    EXPECT_EQ(parser.GetCommandLineText(), ::GetCommandLineW());
    ASSERT_FALSE(parser.m_arguments.empty());
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring first = parser.m_arguments.front();
    const std::wstring selfName = std::wstring(self).substr(std::wstring(self).find_last_of(L"\\/") + 1);
    EXPECT_EQ(_wcsicmp(first.substr(first.size() - std::min(first.size(), selfName.size())).c_str(),
                       selfName.c_str()),
              0)
        << first;
}

TEST(CommandLine, ReplaceAll)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* find;
        const wchar_t* with;
        const wchar_t* expected;
        bool replaced;
    };
    const Case cases[] = {
        {L"aaa", L"aa", L"b", L"ba", true},
        {L"abcabc", L"b", L"bb", L"abbcabbc", true},
        {L"abc", L"x", L"y", L"abc", false},
        {L"abc", L"", L"y", L"abc", false},
        {L"abc", nullptr, L"y", L"abc", false},
        {L"abc", L"b", nullptr, L"ac", true},
        {L"", L"a", L"b", L"", false},
        {L"日本の日本", L"日本", L"にほん", L"にほんのにほん", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::wstring out = L"old";
        EXPECT_EQ(ReplaceAllW(out, c.text, c.find, c.with), c.replaced);
        EXPECT_EQ(out, c.expected);
    }
    std::wstring out = L"old";
    EXPECT_FALSE(ReplaceAllW(out, nullptr, L"a", L"b"));
    EXPECT_TRUE(out.empty());

    std::wstring inPlace = L"x-y-z";
    EXPECT_TRUE(ReplaceAllW(inPlace, std::wstring(L"-"), std::wstring(L"--")));
    EXPECT_EQ(inPlace, L"x--y--z");
}

TEST(CommandLine, FormatIndexed)
{
    struct Case {
        const wchar_t* text;
        Args values;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"{0} ドライブから、{1} 個", {L"E", L"3"}, L"E ドライブから、3 個"},
        {L"{1}{0}{1}", {L"a", L"b"}, L"bab"},
        {L"{0} {2}", {L"a"}, L"a {2}"},
        {L"no markers", {L"a"}, L"no markers"},
        {L"{0}", {}, L"{0}"},
        // A value is text, never a template: its own markers stay as they are.
        {L"{0} and {1}", {L"name{1}", L"x"}, L"name{1} and x"},
        {L"{0}1}", {L"{"}, L"{1}"},
        {L"{10}{1}", {L"a", L"b", L"c", L"d", L"e", L"f", L"g", L"h", L"i", L"j", L"K"}, L"Kb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::wstring out = L"old";
        FormatIndexed(out, c.text, c.values, L"{", L"}");
        EXPECT_EQ(out, c.expected);
    }
    std::wstring out;
    FormatIndexed(out, L"<<0>> <0>", {L"v"}, L"<<", L">>");
    EXPECT_EQ(out, L"v <0>");
}

TEST(CommandLine, ExceptionWhatText)
{
    EXPECT_STREQ(ExceptionWhatText(std::runtime_error("disk full")), L"disk full");
    EXPECT_STREQ(ExceptionWhatText(std::exception()), L"Unknown exception");
    EXPECT_STREQ(ExceptionWhatText(my::CException(0u)), L"Unknown exception");
    // Bytes become characters of the same value, with no code-page conversion.
    EXPECT_STREQ(ExceptionWhatText(std::runtime_error("\xE6\x97\xA5")), L"\u00E6\u0097\u00A5");

    std::string longText;
    for (int i = 0; i < 300; ++i) longText.push_back(static_cast<char>('a' + i % 26));
    const wchar_t* text = ExceptionWhatText(std::runtime_error(longText));
    ASSERT_EQ(wcslen(text), 255u);
    for (size_t i = 0; i < 255; ++i) ASSERT_EQ(text[i], static_cast<wchar_t>(longText[i]));
}

TEST(CommandLine, RandomTextsAgreeWithTheSystemOnTheCommonRules)
{
    // Pieces on which both rule sets agree: no single quotes, no backslash before a quote,
    // no empty or adjacent quoted parts.
    const wchar_t* const plain[] = {L"a", L"Z", L"9", L"/", L"-", L"\\", L"日", L"é", L".", L":"};
    std::mt19937 rng(20240611);
    for (int round = 0; round < 2000; ++round) {
        std::wstring line;
        const int pieces = static_cast<int>(rng() % 12);
        for (int p = 0; p < pieces; ++p) {
            switch (rng() % 4) {
            case 0: line += (rng() % 2) ? L" " : L"\t"; break;
            case 1:
            case 2: line += plain[rng() % std::size(plain)]; break;
            case 3: {
                if (!line.empty() && line.back() == L'\\') line += L"x";
                std::wstring quoted = L"\"";
                const int n = 1 + static_cast<int>(rng() % 4);
                for (int i = 0; i < n; ++i) quoted += (rng() % 4 == 0) ? L" " : plain[rng() % 4];
                line += quoted + L"\"x";
                break;
            }
            }
        }
        ASSERT_EQ(Split(line), SystemSplit(line)) << line;
    }
}

TEST(CommandLine, RandomTextsKeepTheSplitterInvariants)
{
    const wchar_t alphabet[] = L"ab \t\"'\\^日";
    std::mt19937 rng(7);
    for (int round = 0; round < 5000; ++round) {
        std::wstring line;
        const int length = static_cast<int>(rng() % 24);
        for (int i = 0; i < length; ++i) line.push_back(alphabet[rng() % (std::size(alphabet) - 1)]);

        const Args args = Split(line, L"^");
        size_t total = 0;
        for (const auto& a : args) {
            ASSERT_FALSE(a.empty()) << line;
            total += a.size();
        }
        ASSERT_LE(total, line.size()) << line;
        ASSERT_EQ(Split(line, L"^"), args) << line;

        const bool hasQuote = line.find_first_of(L"\"'^") != std::wstring::npos;
        if (!hasQuote) {
            for (const auto& a : args) ASSERT_EQ(a.find_first_of(L" \t"), std::wstring::npos) << line;
        }
        // Without quotes or escapes, a further separated word becomes exactly one more argument.
        Args more = Split(line + L" \"\" ^ word", L"^");
        if (!hasQuote) {
            ASSERT_EQ(more.size(), args.size() + 1) << line;
            ASSERT_EQ(more.back(), L" word") << line;
        }
    }
}
