#pragma once
// Texts kept within the width a message box can show: a run that the box cannot wrap, wider than
// the room its text has, loses its middle.
#include <cstddef>
#include <string>

class CMessageMeasure;

namespace fhw {

// `text` with each line the box would draw wider than `width` shortened: first each run between
// blanks that is too wide by itself, in its middle (ShortenMiddle), keeping its start and its end;
// then, where the line is still too wide (a run of emoji joined to words), the line in its middle.
std::wstring ShortenWideRuns(const std::wstring& text, const CMessageMeasure& measure, int width);

// Shortens `text` to at most `max` characters by cutting its middle and putting an ellipsis
// there; never between the two halves of a surrogate pair.
std::wstring ShortenMiddle(const std::wstring& text, size_t max);

} // namespace fhw
