#pragma once
// A private folder on another file system than the temporary folder: under /dev/shm, a tmpfs on
// Debian, which needs no privilege. Wine's shell moves folders across file systems differently.
#include <string>

class COtherFileSystemFolder {
public:
    // Makes the folder; Path() is empty and Reason() says why when none could be had. `beside` is a
    // folder (the temporary one) whose file system the new folder must not share.
    explicit COtherFileSystemFolder(const std::wstring& beside);
    ~COtherFileSystemFolder();
    COtherFileSystemFolder(const COtherFileSystemFolder&) = delete;
    COtherFileSystemFolder& operator=(const COtherFileSystemFolder&) = delete;

    const std::wstring& Path() const { return m_path; }
    const std::string& Reason() const { return m_reason; }

private:
    std::wstring m_path;
    std::string m_reason;
};
