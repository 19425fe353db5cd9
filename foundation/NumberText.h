#pragma once
// Number-to-text helpers for message arguments.
#include <string>

std::wstring ToWString(unsigned long value);
std::wstring ToWString(long value);
std::wstring ToWString(double value);
std::wstring ToHexWString(unsigned int value);
std::wstring ToHexWString(long value);
