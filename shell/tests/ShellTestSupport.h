#pragma once
// A private temporary folder per test (on the Wine drive, so moves stay on one file system),
// and helpers to build and compare real trees of files.
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <map>
#include <string>


void WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);
bool IsFolder(const std::wstring& path);
bool IsFile(const std::wstring& path);

// Relative path -> contents of every file below `root` ("<dir>" for folders).
std::map<std::wstring, std::string> Snapshot(const std::wstring& root);

// A folder with a few files of distinct sizes and a sub-folder, contents derived from `seed`.
void MakeSampleTree(const std::wstring& root, int seed);

// For failure messages: gtest prints narrow text.
std::string Utf8(const std::wstring& text);
