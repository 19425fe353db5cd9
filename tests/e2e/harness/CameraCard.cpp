#include "CameraCard.h"

#include "DebuggedProgram.h"

#include <random>

const char kFolderMark[] = "<folder>";

namespace {

void Walk(const std::wstring& folder, const std::wstring& relative, TreeSnapshot& out)
{
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring rel = relative.empty() ? name : relative + L"\\" + name;
        const std::wstring path = folder + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[rel] = kFolderMark;
            Walk(path, rel, out);
        } else if (!ReadFileBytes(path, out[rel])) {
            out[rel] = "<unreadable>";
        }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

std::string RandomBytes(std::mt19937& random, size_t size)
{
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

bool StartsWithFolder(const std::wstring& path, const std::wstring& folder)
{
    return path == folder || path.compare(0, folder.size() + 1, folder + L"\\") == 0;
}

} // namespace

TreeSnapshot SnapshotTree(const std::wstring& folder)
{
    TreeSnapshot out;
    Walk(folder, std::wstring(), out);
    return out;
}

bool MakeFolders(const std::wstring& path)
{
    for (size_t at = 3; (at = path.find(L'\\', at)) != std::wstring::npos; ++at)
        ::CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    return ::CreateDirectoryW(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    MakeFolders(path.substr(0, path.find_last_of(L'\\')));
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(h);
    return ok && written == bytes.size();
}

bool ReadFileBytes(const std::wstring& path, std::string& bytes)
{
    bytes.clear();
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(h, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
    ::CloseHandle(h);
    return true;
}

CCameraCard::CCameraCard(const std::wstring& root, const std::vector<std::wstring>& cameraFolders, unsigned seed)
    : m_root(root), m_cameraFolders(cameraFolders)
{
    std::mt19937 random(seed);
    static const size_t sizes[] = {0, 1, 511, 4096, 70001, 300000};
    const std::wstring dcim = root + L"\\DCIM";
    MakeFolders(dcim);
    int n = 1;
    for (const std::wstring& camera : cameraFolders) {
        for (size_t size : sizes) {
            wchar_t name[32];
            _snwprintf(name, 32, L"\\IMG_%04d.JPG", n++);
            WriteFileBytes(dcim + L"\\" + camera + name, RandomBytes(random, size));
        }
        WriteFileBytes(dcim + L"\\" + camera + L"\\nested\\clip.mov", RandomBytes(random, 12345));
        MakeFolders(dcim + L"\\" + camera + L"\\empty");
    }
    WriteFileBytes(dcim + L"\\MISC\\note.txt", "not a camera folder");
    WriteFileBytes(dcim + L"\\100abcde\\IMG_0001.JPG", RandomBytes(random, 2000));
    WriteFileBytes(dcim + L"\\1000ABCDE\\IMG_0002.JPG", RandomBytes(random, 3000));
    WriteFileBytes(dcim + L"\\readme.txt", "card readme");
    WriteFileBytes(root + L"\\MISC\\settings.dat", RandomBytes(random, 100));
    m_original = SnapshotTree(root);
}

TreeSnapshot CCameraCard::CameraPart() const
{
    TreeSnapshot part;
    for (const auto& [path, bytes] : m_original) {
        if (path.compare(0, 5, L"DCIM\\") != 0) continue;
        const std::wstring rel = path.substr(5);
        for (const std::wstring& camera : m_cameraFolders)
            if (StartsWithFolder(rel, camera)) part[rel] = bytes;
    }
    return part;
}

TreeSnapshot CCameraCard::WithoutCameraPart() const
{
    TreeSnapshot rest = m_original;
    for (const auto& entry : CameraPart()) rest.erase(L"DCIM\\" + entry.first);
    return rest;
}

int RunDriveTool(const std::wstring& args, DWORD pid)
{
    // Beside the test programs, or in tests\ beside the benchmarks' folder.
    std::wstring tool = OwnFolderFile(L"drivetool.exe");
    if (::GetFileAttributesW(tool.c_str()) == INVALID_FILE_ATTRIBUTES) tool = ParentFolderFile(L"tests\\drivetool.exe");
    std::wstring command = L"\"" + tool + L"\" " + args;
    if (pid) command += L" --to " + std::to_wstring(pid);
    return static_cast<int>(RunToExit(command, CREATE_NO_WINDOW, 30000));
}

std::vector<wchar_t> FreeDriveLetters(size_t count)
{
    std::vector<wchar_t> letters;
    wchar_t root[] = L"A:\\";
    for (wchar_t letter = L'W'; letter >= L'P' && letters.size() < count; --letter) {
        root[0] = letter;
        if (::GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR) letters.push_back(letter);
    }
    return letters;
}

CCardDrive::~CCardDrive()
{
    if (m_defined) Undefine();
}

bool CCardDrive::Tool(const std::wstring& verb, bool defines)
{
    std::wstring args = verb + L" " + m_letter;
    if (defines) args += L" \"" + m_folder + L"\"";
    const bool ok = RunDriveTool(args, m_pid) == 0;
    if (ok) m_defined = defines;
    return ok;
}
