#include "foundation/CommandLine.h"

#include "foundation/SimpleErr.h"

#include <windows.h>

#include <algorithm>

void CSimpleCommandLineParser::Parse(const std::wstring& commandLine)
{
    m_commandLine = commandLine;
    std::vector<std::wstring> arguments;
    SplitCommandLine(commandLine, L" \t", arguments, L"\"'", L"");
    Parse(arguments);
}

void ParseProcessCommandLine(CSimpleCommandLineParser& parser)
{
    const wchar_t* line = ::GetCommandLineW();
    parser.Parse(std::wstring(line ? line : L""));
}

void SplitCommandLine(const std::wstring& text, const std::wstring& separators, std::vector<std::wstring>& out,
                      const std::wstring& quotes, const std::wstring& escapes)
{
    std::wstring current;
    wchar_t openQuote = 0;
    bool escaped = false;
    for (wchar_t c : text) {
        if (openQuote) {
            if (c == openQuote)
                openQuote = 0;
            else
                current.push_back(c);
        } else if (escaped) {
            current.back() = c;
            escaped = false;
        } else if (quotes.find(c) != std::wstring::npos) {
            openQuote = c;
        } else if (separators.find(c) == std::wstring::npos) {
            current.push_back(c);
            if (escapes.find(c) != std::wstring::npos) escaped = true;
        } else if (!current.empty()) {
            out.push_back(current);
            current.clear();
        }
    }
    if (!current.empty()) out.push_back(current);
}

bool ReplaceAllW(std::wstring& out, const wchar_t* text, const wchar_t* find, const wchar_t* replacement)
{
    if (!text) {
        out.clear();
        return false;
    }
    std::wstring source(text);
    if (!find || !*find) {
        out.swap(source);
        return false;
    }
    const std::wstring what(find);
    const std::wstring with(replacement ? replacement : L"");
    std::wstring result;
    result.reserve(source.size());
    bool replaced = false;
    size_t from = 0;
    for (size_t at = source.find(what); at != std::wstring::npos; at = source.find(what, from)) {
        result.append(source, from, at - from);
        result += with;
        from = at + what.size();
        replaced = true;
    }
    result.append(source, from, std::wstring::npos);
    out.swap(result);
    return replaced;
}

bool ReplaceAllW(std::wstring& text, const std::wstring& find, const std::wstring& replacement)
{
    std::wstring result;
    const bool replaced = ReplaceAllW(result, text.c_str(), find.c_str(), replacement.c_str());
    text.swap(result);
    return replaced;
}

// One pass over the text: a value is never searched for placeholders itself, so a value that
// happens to contain "{1}" (a file name, user text) is kept as it stands.
void FormatIndexed(std::wstring& out, const std::wstring& text, const std::vector<std::wstring>& values,
                   const std::wstring& open, const std::wstring& close)
{
    if (values.empty()) {
        out = text;
        return;
    }
    std::vector<std::wstring> markers;
    markers.reserve(values.size());
    for (size_t i = 0; i < values.size(); ++i) markers.push_back(open + std::to_wstring(i) + close);
    std::wstring result;
    result.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        size_t matched = values.size();
        for (size_t i = 0; i < markers.size(); ++i) {
            if (text.compare(pos, markers[i].size(), markers[i]) == 0) {
                matched = i;
                break;
            }
        }
        if (matched < values.size()) {
            result += values[matched];
            pos += markers[matched].size();
        } else {
            result.push_back(text[pos++]);
        }
    }
    out.swap(result);
}

const wchar_t* ExceptionWhatText(const std::exception& e)
{
    thread_local wchar_t buffer[256];
    const std::wstring what = WidenWhat(e);
    what.copy(buffer, 255);
    buffer[std::min<size_t>(what.size(), 255)] = L'\0';
    return buffer;
}
