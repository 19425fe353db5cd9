#include "foundation/VerifiedDelete.h"

#include "foundation/FileHandle.h"

namespace {

bool SetAttributes(HANDLE file, DWORD attributes)
{
    // Zero times are left as they are.
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

// Why a copy that could not be opened was not compared: gone, it differs; there, another program
// holds it without sharing reads, and it was not read.
VerifiedDelete CopyNotOpened(HRESULT opened)
{
    return IsNotFound(opened) ? VerifiedDelete::Differs : VerifiedDelete::CopyUnreadable;
}

// Why `path`, which could not be opened to be deleted, stays: compared through a handle that only
// reads and shares everything (a viewer that shares reads only lets that one through).
VerifiedDelete CompareUndeletable(const std::wstring& path, const std::wstring& copy)
{
    CFileHandle file, other;
    const HRESULT opened = file.Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     OPEN_EXISTING, 0);
    if (IsNotFound(opened)) return VerifiedDelete::Gone;
    if (FAILED(opened)) return VerifiedDelete::Unreadable;
    if (const HRESULT copied = other.OpenForRead(copy); FAILED(copied)) return CopyNotOpened(copied);
    return CompareFiles(file, other) ? VerifiedDelete::Failed : VerifiedDelete::Differs;
}

} // namespace

VerifiedDelete DeleteFileIfSameAs(const std::wstring& path, const std::wstring& copy)
{
    CFileHandle file, other;
    const HRESULT opened = file.Open(path, GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
    if (IsNotFound(opened)) return VerifiedDelete::Gone;
    if (FAILED(opened)) return CompareUndeletable(path, copy);
    if (const HRESULT copied = other.OpenForRead(copy); FAILED(copied)) return CopyNotOpened(copied);
    if (!CompareFiles(file, other)) return VerifiedDelete::Differs;
    FILE_BASIC_INFO basic{};
    if (!::GetFileInformationByHandleEx(file.Get(), FileBasicInfo, &basic, sizeof basic)) return VerifiedDelete::Failed;
    const DWORD attributes = basic.FileAttributes;
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !SetAttributes(file.Get(), attributes & ~FILE_ATTRIBUTE_READONLY)) return VerifiedDelete::Failed;
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (::SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition, sizeof disposition))
        return VerifiedDelete::Deleted;
    if (readOnly) SetAttributes(file.Get(), attributes);
    return VerifiedDelete::Failed;
}
