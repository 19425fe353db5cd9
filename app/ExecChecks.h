#pragma once
// The execute job's validation of its three settings texts; each throws the message of the fault.
#include <string>

namespace fhw {

// The folder a run examines: "\DCIM" is per drive (perDrive true), "E" becomes "E:\", "d:\Photos"
// gets its trailing backslash, a network path "\\server\share" stays as written.
std::wstring GetSourceFolder(const std::wstring& source, bool& perDrive);
void CheckSrcFolder(const std::wstring& source);
// Compiles the file-name pattern; a syntax error throws boost::regex_error.
void CheckPattern(const std::wstring& pattern);
// A destination that does not exist yet passes.
void CheckDstFolder(const std::wstring& destination);

} // namespace fhw
