#pragma once
// Splitting a command line into arguments for an option handler, and the small text
// functions the application's messages use (replace all, indexed placeholders).
#include <exception>
#include <string>
#include <vector>

class CCommandLineParserUtil {};

class CSimpleCommandLineParser : public CCommandLineParserUtil {
public:
    // Keeps the text, splits it at blanks and tabs with '"' and '\'' as quotes, and hands the
    // arguments (the program path first) to the option handler below.
    virtual void Parse(const std::wstring& commandLine);
    // The option handler each concrete parser implements; its exceptions pass to the caller.
    virtual void Parse(const std::vector<std::wstring>& arguments) = 0;
    virtual ~CSimpleCommandLineParser() = default;

    const std::wstring& GetCommandLineText() const { return m_commandLine; }

protected:
    std::wstring m_commandLine;
};

// Parses the process's own command line.
void ParseProcessCommandLine(CSimpleCommandLineParser& parser);

// Appends the arguments of text to out. Runs of separators make no empty argument; a quote runs
// to the same quote character and joins the characters around it; an escape character takes the
// next character literally (outside quotes).
void SplitCommandLine(const std::wstring& text, const std::wstring& separators, std::vector<std::wstring>& out,
                      const std::wstring& quotes, const std::wstring& escapes);

// Replaces every occurrence of find, left to right, without rescanning inserted text; true when
// something was replaced.
bool ReplaceAllW(std::wstring& out, const wchar_t* text, const wchar_t* find, const wchar_t* replacement);
bool ReplaceAllW(std::wstring& text, const std::wstring& find, const std::wstring& replacement);

// Fills open + i + close (i in decimal) with values[i].
void FormatIndexed(std::wstring& out, const std::wstring& text, const std::vector<std::wstring>& values,
                   const std::wstring& open, const std::wstring& close);

// what() widened byte by byte, at most 255 characters; the buffer is reused by the next call on
// the same thread.
const wchar_t* ExceptionWhatText(const std::exception& e);
