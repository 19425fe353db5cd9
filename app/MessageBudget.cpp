#include "app/MessageBudget.h"

#include "ui/MessageBoxMeasure.h"

namespace fhw {

namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsBlank(wchar_t c) { return c == L' ' || c == 0x3000; }

// The longest middle-shortened form of `text` that the box draws within `width`.
std::wstring ShortenToWidth(const std::wstring& text, const CMessageMeasure& measure, int width)
{
    if (measure.Width(text) <= width) return text;
    size_t fits = 3, wide = text.size();
    while (wide - fits > 1) {
        const size_t middle = (fits + wide) / 2;
        (measure.Width(ShortenMiddle(text, middle)) <= width ? fits : wide) = middle;
    }
    return ShortenMiddle(text, fits);
}

std::wstring ShortenLine(const std::wstring& line, const CMessageMeasure& measure, int width)
{
    if (measure.Width(line) <= width) return line;
    std::wstring shortened;
    size_t start = 0;
    for (size_t i = 0; i <= line.size(); ++i) {
        if (i < line.size() && !IsBlank(line[i])) continue;
        shortened += ShortenToWidth(line.substr(start, i - start), measure, width);
        if (i < line.size()) shortened += line[i];
        start = i + 1;
    }
    return ShortenToWidth(shortened, measure, width);
}

} // namespace

std::wstring ShortenWideRuns(const std::wstring& text, const CMessageMeasure& measure, int width)
{
    std::wstring shortened;
    for (size_t start = 0;;) {
        const size_t end = text.find(L'\n', start);
        shortened += ShortenLine(text.substr(start, end == std::wstring::npos ? end : end - start), measure, width);
        if (end == std::wstring::npos) return shortened;
        shortened += L'\n';
        start = end + 1;
    }
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
