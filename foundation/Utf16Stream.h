#pragma once
// A wide output file stream that writes UTF-16LE with CR LF line ends and a byte-order mark.
#include <cwchar>
#include <fstream>
#include <locale>
#include <ostream>
#include <string>

// Each wide character becomes two bytes, low byte first; a line feed becomes CR LF and a carriage
// return is dropped, so text with either line end comes out with CR LF once.
class utf16_codecvt : public std::codecvt<wchar_t, char, std::mbstate_t> {
public:
    // refs 1: the locales that hold the facet never delete it.
    explicit utf16_codecvt(size_t refs = 1) : std::codecvt<wchar_t, char, std::mbstate_t>(refs) {}
    ~utf16_codecvt() override = default;

protected:
    result do_out(state_type& state, const intern_type* from, const intern_type* fromEnd, const intern_type*& fromNext,
                  extern_type* to, extern_type* toEnd, extern_type*& toNext) const override;
    // The stream sizes its byte buffer by this: a line feed takes four bytes.
    int do_max_length() const noexcept override { return 4; }
    bool do_always_noconv() const noexcept override { return false; }
    int do_encoding() const noexcept override { return 0; }
};

extern utf16_codecvt& g_utf16Codecvt;

class utf16_filebuf : public std::basic_filebuf<wchar_t> {
public:
    // Binary output, truncating, shared for reading and writing; the facet is installed first.
    utf16_filebuf* open(const std::wstring& path);
};

class utf16_ofstream : public std::basic_ostream<wchar_t> {
public:
    utf16_ofstream() : std::basic_ostream<wchar_t>(&m_buffer) {}
    utf16_ofstream(const utf16_ofstream&) = delete;
    utf16_ofstream& operator=(const utf16_ofstream&) = delete;

    // Sets the fail state when the file cannot be opened; an opened file starts with U+FEFF.
    void open(const std::wstring& path);
    // Sets the fail state when the close fails.
    void close();
    bool is_open() const { return m_buffer.is_open(); }

private:
    utf16_filebuf m_buffer;
};
