#include "foundation/Utf16Stream.h"

// Never destroyed: a log still open when the process ends flushes through the facet from its own
// destructor, which may run after this file's objects are gone.
utf16_codecvt& g_utf16Codecvt = *new utf16_codecvt();

// Converts as much as fits and reports partial whenever input is left over: a stream told "ok"
// with text left would drop that text.
std::codecvt_base::result utf16_codecvt::do_out(state_type&, const intern_type* from, const intern_type* fromEnd,
                                                const intern_type*& fromNext, extern_type* to, extern_type* toEnd,
                                                extern_type*& toNext) const
{
    const intern_type* in = from;
    extern_type* out = to;
    for (; in < fromEnd; ++in) {
        const unsigned c = static_cast<unsigned>(*in);
        if (c == L'\r') continue;
        const size_t need = c == L'\n' ? 4 : 2;
        if (static_cast<size_t>(toEnd - out) < need) break;
        if (c == L'\n') {
            *out++ = '\r';
            *out++ = '\0';
        }
        *out++ = static_cast<extern_type>(c & 0xFF);
        *out++ = static_cast<extern_type>((c >> 8) & 0xFF);
    }
    fromNext = in;
    toNext = out;
    return in == fromEnd ? ok : partial;
}

utf16_filebuf* utf16_filebuf::open(const std::wstring& path)
{
    pubimbue(std::locale(std::locale::classic(), &g_utf16Codecvt));
    if (!std::basic_filebuf<wchar_t>::open(path.c_str(),
                                           std::ios_base::out | std::ios_base::trunc | std::ios_base::binary)) {
        return nullptr;
    }
    return this;
}

void utf16_ofstream::open(const std::wstring& path)
{
    if (!m_buffer.open(path)) {
        setstate(std::ios_base::failbit);
        return;
    }
    clear();
    put(static_cast<wchar_t>(0xFEFF));
}

void utf16_ofstream::close()
{
    if (!m_buffer.close()) setstate(std::ios_base::failbit);
}
