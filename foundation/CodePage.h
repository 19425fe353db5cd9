#pragma once
// Code-page conversion between wide and narrow strings.
#include <windows.h>

#include <string>

void MultiByteToWString(UINT codePage, DWORD flags, const char* bytes, size_t length, std::wstring& out);
void MultiByteToWString(UINT codePage, DWORD flags, const std::string& bytes, std::wstring& out);
void WStringToMultiByte(UINT codePage, DWORD flags, const wchar_t* text, size_t length, std::string& out);
void WStringToMultiByte(UINT codePage, DWORD flags, const std::wstring& text, std::string& out);
