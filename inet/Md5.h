#pragma once
// MD5 digests through the system's cryptography provider.
#include <windows.h>

#include <string>

HRESULT Md5Bytes(std::string& out, const std::string& data);
