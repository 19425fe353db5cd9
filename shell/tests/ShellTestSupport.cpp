#include "shell/tests/ShellTestSupport.h"

#include <shellapi.h>

#include <random>

namespace {

void Walk(const std::wstring& root, const std::wstring& relative, std::map<std::wstring, std::string>& out)
{
    const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring child = relative.empty() ? name : relative + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[child] = "<dir>";
            Walk(root, child, out);
        } else {
            out[child] = ReadFileBytes(root + L"\\" + child);
        }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

} // namespace

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::string ReadFileBytes(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read) bytes.append(buffer, read);
    ::CloseHandle(file);
    return bytes;
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::map<std::wstring, std::string> Snapshot(const std::wstring& root)
{
    std::map<std::wstring, std::string> out;
    Walk(root, L"", out);
    return out;
}

void MakeSampleTree(const std::wstring& root, int seed)
{
    std::mt19937 random(static_cast<unsigned>(seed));
    auto bytes = [&random](size_t size) {
        std::string text(size, '\0');
        for (char& c : text) c = static_cast<char>(random() & 0xFF);
        return text;
    };
    ::CreateDirectoryW(root.c_str(), nullptr);
    ::CreateDirectoryW((root + L"\\sub").c_str(), nullptr);
    WriteFileBytes(root + L"\\IMG_0001.JPG", bytes(70000 + static_cast<size_t>(seed)));
    WriteFileBytes(root + L"\\IMG_0002.JPG", bytes(1));
    WriteFileBytes(root + L"\\empty.txt", std::string());
    WriteFileBytes(root + L"\\sub\\写真.raw", bytes(5000));
}

std::string Utf8(const std::wstring& text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                           nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}
