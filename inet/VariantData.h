#pragma once
// POST data and headers in the forms a browser control hands them over: byte arrays and BSTRs
// inside VARIANTs.
#include <oaidl.h>
#include <windows.h>

#include <string>

HRESULT VariantToByteString(std::string& bytes, const VARIANT& value);
HRESULT VariantToWString(std::wstring& text, const VARIANT& value);
std::wstring VariantToText(const VARIANT* value);

HRESULT ByteStringToVariant(VARIANT& value, const char* data, size_t length);
HRESULT ByteStringToVariant(VARIANT& value, const std::string& data);
// The text as bytes of the thread's ANSI code page.
HRESULT WStringToVariantBytes(VARIANT& value, const std::wstring& text);
// The text's own UTF-16 bytes, two a character.
HRESULT WStringToVariantUtf16(VARIANT& value, const std::wstring& text);
