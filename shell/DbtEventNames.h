#pragma once
// Names of the device-broadcast event codes, for diagnostics.
#include <map>
#include <string>

extern const std::map<unsigned, std::wstring> DbtEventNames;

// The name of `code`, or `defaultText` followed by "[0x<code in upper-case hex>]".
std::wstring GetDbtEventName(const std::wstring& defaultText, unsigned code);
