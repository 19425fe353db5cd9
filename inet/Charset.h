#pragma once
// Charset names as Windows code pages, and wide text into the bytes of a code page.
#include <windows.h>

#include <string>

// The most bytes a conversion may produce.
constexpr size_t kMaxConvertedBytes = 0x100000;

UINT CharsetToCodePage(const wchar_t* name);
bool WideToMultiByte(std::string& out, const std::wstring& text, UINT codePage);
char* WideToMultiByteBuffer(char* out, const wchar_t* text, int size, UINT codePage);
