#pragma once
// A file (or folder tree) removed again when the owner goes, unless released.
#include "foundation/SimpleErr.h"

#include <string>

class CAutoDeleteFile : public CHasErr<CSimpleErr> {
public:
    CAutoDeleteFile() = default;
    CAutoDeleteFile(const CAutoDeleteFile&) = delete;
    CAutoDeleteFile& operator=(const CAutoDeleteFile&) = delete;
    virtual ~CAutoDeleteFile();

    void Assign(const std::wstring& path);
    void Release();
    void Delete();
    void SetThrow(bool throwOnFailure) { m_throw = throwOnFailure; }
    const std::wstring& GetPath() const { return m_path; }

private:
    bool m_folder = false;
    bool m_throw = false;
    std::wstring m_path;
};
