#include "foundation/AtlFile.h"

#include "foundation/Exception.h"
#include "ids/xml.h"

void AtlFileCreate(CFileHandle& file, const std::wstring& path)
{
    ThrowIfFailed(file.Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL),
                  IDS_FILE_OPEN_FAILED, path);
}

void AtlFileCreateForWrite(CFileHandle& file, const std::wstring& path)
{
    ThrowIfFailed(file.Open(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL),
                  IDS_FILE_CREATE_FAILED, path);
}
