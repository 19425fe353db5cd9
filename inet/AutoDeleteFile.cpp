#include "inet/AutoDeleteFile.h"

#include "foundation/Exception.h"
#include "shell/FileUtilities.h"

CAutoDeleteFile::~CAutoDeleteFile()
{
    try {
        Delete();
    } catch (...) {}
}

void CAutoDeleteFile::Assign(const std::wstring& path)
{
    m_path = path;
    m_folder = false;
}

void CAutoDeleteFile::Release()
{
    m_path.clear();
    m_folder = false;
}

void CAutoDeleteFile::Delete()
{
    if (m_path.empty()) return;
    CSimpleErr err;
    try {
        if (m_folder)
            files::DeleteFolderOrThrow(m_path);
        else
            files::DeleteFileOrThrow(m_path);
        m_path.clear();
    } catch (...) {
        SetFromCurrentException(err);
    }
    m_err = err;
    if (m_throw && m_err.m_id != 0) throw my::CCtrlException(m_err);
}
