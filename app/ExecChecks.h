#pragma once
// The execute settings' three checks, used by a run and by the settings form when it applies.
#include <string>

namespace fhw {

// The folder a source setting names: "\X" is looked for on every drive (perDrive), "E:\X", "E:"
// or "e" name one folder, and "\\server\share" is used as it stands. Throws 178 or 179.
std::wstring GetSourceFolder(const std::wstring& source, bool& perDrive);
void CheckSrcFolder(const std::wstring& source);
// Longer than any real pattern: compiling grows faster than the length (a pattern of 1 MB took
// minutes), so a longer one is refused before it is compiled.
constexpr size_t kMaxPatternLength = 4096;
// The longest path Windows accepts; a folder setting holds no more.
constexpr size_t kMaxPathLength = 32767;
// A pattern longer than kMaxPatternLength throws 193; one that does not compile throws boost::regex_error.
void CheckPattern(const std::wstring& pattern);
// Empty (180), relative (181) or an existing file (182) throws; a missing folder passes.
void CheckDstFolder(const std::wstring& destination);

} // namespace fhw
