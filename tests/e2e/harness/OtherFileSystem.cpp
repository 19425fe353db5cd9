#include "OtherFileSystem.h"

#include "UnixScript.h"
#include "tests/drivetool/MountManager.h"
#include "tests/support/RemoveFolderTree.h"

#include <windows.h>

COtherFileSystemFolder::COtherFileSystemFolder(const std::wstring& beside)
{
    const std::wstring shm = FromUnixPath("/dev/shm");
    const DWORD attributes = shm.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(shm.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        m_reason = "no /dev/shm on this machine";
        return;
    }
    std::wstring path;
    for (unsigned n = ::GetTickCount() ^ ::GetCurrentProcessId();; ++n) {
        path = shm + L"\\fh-e2e-" + std::to_wstring(n);
        if (::CreateDirectoryW(path.c_str(), nullptr)) break;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) {
            m_reason = "cannot make a folder under /dev/shm";
            return;
        }
    }
    // The script leaves its marker only when the two device numbers differ.
    const std::wstring script = L"[ $(stat -c %d '" + UnixPathOf(path) + L"') != $(stat -c %d '" + UnixPathOf(beside) +
                                L"') ] || exit 1";
    if (!RunUnixScript(script, beside + L"\\other-fs.done", 5000)) {
        RemoveFolderTree(path);
        m_reason = "/dev/shm is on the same file system as the temporary folder";
        return;
    }
    m_path = path;
}

COtherFileSystemFolder::~COtherFileSystemFolder()
{
    if (!m_path.empty()) RemoveFolderTree(m_path);
}
