#pragma once
// Temporary download files: "FHD_", the process id in 8 hexadecimal digits, "_" and a serial,
// in the temporary folder, created only when the name was free.
#include "foundation/UniqueHandle.h"

#include <windows.h>

#include <string>

// A name for a new download file (not created).
HRESULT MakeDownloadFileName(std::wstring& path);
void MakeDownloadFileNameOrThrow(std::wstring& path);
// Names and creates the file in `folder` in one step (CREATE_NEW): no other file is taken over.
HRESULT CreateDownloadFile(const std::wstring& folder, std::wstring& path, CUniqueKernelHandle& file);
