#include "app/MessageBudget.h"

namespace fhw {

namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// East Asian wide and full-width characters; a character outside the basic plane (a surrogate
// pair: CJK extensions, emoji) is taken as wide.
bool IsWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3040 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || c >= 0x10000;
}

// Walks one line as pieces that wrapping keeps together: a run of narrow characters, one wide
// character, or one blank; `piece` (width, is a blank) for each.
template <class Piece> void ForEachPiece(const std::wstring& line, Piece piece)
{
    size_t run = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        char32_t c = line[i];
        if (IsHighSurrogate(line[i]) && i + 1 < line.size() && IsLowSurrogate(line[i + 1])) {
            c = 0x10000 + ((static_cast<char32_t>(line[i]) - 0xD800) << 10) + (line[i + 1] - 0xDC00);
            ++i;
        }
        if (c == L' ' || c == 0x3000 || IsWide(c)) {
            if (run) piece(run, false);
            run = 0;
            piece(c == L' ' ? 1 : 2, c == L' ' || c == 0x3000);
        } else {
            ++run;
        }
    }
    if (run) piece(run, false);
}

template <class Line> void ForEachLine(const std::wstring& text, Line line)
{
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(L'\n', start);
        line(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) return;
        start = end + 1;
    }
}

} // namespace

size_t WrappedLines(const std::wstring& text)
{
    size_t lines = 0;
    ForEachLine(text, [&lines](const std::wstring& line) {
        size_t width = 0;
        ++lines;
        ForEachPiece(line, [&](size_t piece, bool blank) {
            if (width && width + piece > kMessageWrapUnits && !blank) {
                ++lines;
                width = 0;
            }
            width += piece;
        });
    });
    return lines;
}

bool FitsMessageWidth(const std::wstring& text)
{
    bool fits = true;
    ForEachLine(text, [&fits](const std::wstring& line) {
        ForEachPiece(line, [&fits](size_t piece, bool) { fits = fits && piece <= kMessageWidestRun; });
    });
    return fits;
}

std::wstring ShortenWideRuns(const std::wstring& text)
{
    std::wstring shortened;
    size_t start = 0;
    const auto run = [&](size_t end) {
        const std::wstring piece = text.substr(start, end - start);
        shortened += piece.size() > kMessageWidestRun ? ShortenMiddle(piece, kMessageWidestRun - 1) : piece;
    };
    // The places a run ends are those where ForEachPiece ends one; a surrogate pair counts as wide.
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\n' || c == L' ' || c == 0x3000 || IsWide(c) || IsHighSurrogate(c) || IsLowSurrogate(c)) {
            run(i);
            shortened += c;
            start = i + 1;
        }
    }
    run(text.size());
    return shortened;
}

std::wstring ShortenMiddle(const std::wstring& text, size_t max)
{
    if (text.size() <= max || max < 3) return text;
    size_t head = max / 2;
    const size_t tail = max - head - 1;
    if (IsHighSurrogate(text[head - 1])) --head;
    size_t from = text.size() - tail;
    if (IsLowSurrogate(text[from])) ++from;
    return text.substr(0, head) + L"\u2026" + text.substr(from);
}

} // namespace fhw
