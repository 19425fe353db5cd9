#pragma once
// The library's two file helpers that open a file handle and throw when they cannot.
#include "foundation/FileHandle.h"

#include <string>

// Opens an existing file for reading (others may read, write and delete it meanwhile); throws
// 58988 with the path.
void AtlFileCreate(CFileHandle& file, const std::wstring& path);
// Creates the file for writing, or empties the one that is there (others may read it); throws
// 58986 with the path.
void AtlFileCreateForWrite(CFileHandle& file, const std::wstring& path);
