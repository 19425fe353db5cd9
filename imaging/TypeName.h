#pragma once
// Readable run-time type names for diagnostic texts.
#include <string>
#include <typeinfo>

std::wstring RuntimeTypeName(const std::type_info& type);
