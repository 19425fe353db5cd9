#pragma once
// How much room a message box's text takes, told from the text alone, so that a long message can
// be bounded before it is shown. Widths are in units of a narrow character; an East Asian wide
// character takes two. Lines wrap as message boxes wrap them: at blanks and on either side of a
// wide character; a run without such a place widens the box instead.
#include <cstddef>
#include <string>

namespace fhw {

// Wine wraps message text at about 290 pixels, some 48 narrow characters of its message font; a
// box on Windows is wider, so counting lines at this width never counts too few.
constexpr size_t kMessageWrapUnits = 48;
// A run that cannot wrap and is wider than this would push the box past a screen 1280 pixels wide.
constexpr size_t kMessageWidestRun = 100;
// Lines of text that leave a box with its title and buttons on a work area 800 pixels high: Wine
// gives a line 12 pixels and the rest of the box about 75, so 54 lines take some 720 pixels; a
// box on Windows has taller lines but wraps them far wider, into fewer than counted here.
constexpr size_t kMessageLines = 54;

// The lines `text` takes once wrapped ("\n" ends a line; an empty line counts).
size_t WrappedLines(const std::wstring& text);
// False when a run of `text` cannot wrap and is wider than kMessageWidestRun.
bool FitsMessageWidth(const std::wstring& text);

// `text` with each run that cannot wrap and is wider than kMessageWidestRun shortened in its
// middle (ShortenMiddle), keeping its start and its end; one unit is left for the ellipsis, which a
// message font may draw wide.
std::wstring ShortenWideRuns(const std::wstring& text);

// Shortens `text` to at most `max` characters by cutting its middle and putting an ellipsis
// there; never between the two halves of a surrogate pair.
std::wstring ShortenMiddle(const std::wstring& text, size_t max);

} // namespace fhw
