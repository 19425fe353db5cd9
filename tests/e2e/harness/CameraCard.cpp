#include "CameraCard.h"

#include "tests/drivetool/Broadcast.h"

#include <dbt.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace {

std::string RandomBytes(std::mt19937& random, size_t size)
{
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

} // namespace

TreeSnapshot SnapshotTree(const std::wstring& folder)
{
    TreeSnapshot out;
    std::error_code error; // a missing folder is an empty tree
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
        std::string& bytes = out[entry.path().lexically_relative(folder).wstring()];
        if (entry.is_directory())
            bytes = "<folder>";
        else if (!ReadFileBytes(entry.path().wstring(), bytes))
            bytes = "<unreadable>";
    }
    return out;
}

bool MakeFolders(const std::wstring& path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return !error;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    MakeFolders(path.substr(0, path.find_last_of(L'\\')));
    std::ofstream file(std::filesystem::path(path), std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}

bool ReadFileBytes(const std::wstring& path, std::string& bytes)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return file.is_open();
}

CCameraCard::CCameraCard(const std::wstring& root, const std::vector<std::wstring>& cameraFolders, unsigned seed)
    : m_root(root)
{
    std::mt19937 random(seed);
    static const size_t sizes[] = {0, 1, 511, 4096, 70001, 300000};
    const std::wstring dcim = root + L"\\DCIM";
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
    m_cameraPart = SnapshotTree(dcim); // nothing else on the card yet
    WriteFileBytes(dcim + L"\\MISC\\note.txt", "not a camera folder");
    WriteFileBytes(dcim + L"\\100abcde\\IMG_0001.JPG", RandomBytes(random, 2000));
    WriteFileBytes(dcim + L"\\1000ABCDE\\IMG_0002.JPG", RandomBytes(random, 3000));
    WriteFileBytes(dcim + L"\\readme.txt", "card readme");
    WriteFileBytes(root + L"\\MISC\\settings.dat", RandomBytes(random, 100));
    // Wine reads a drive's volume serial from this file when the drive is defined; without it every
    // card at one letter answers the same serial.
    char serial[16];
    _snprintf(serial, sizeof(serial), "%08x", 0xCA4D0000u + seed);
    WriteFileBytes(root + L"\\.windows-serial", serial);
    m_original = SnapshotTree(root);
}

TreeSnapshot CCameraCard::WithoutCameraPart() const
{
    TreeSnapshot rest = m_original;
    for (const auto& entry : m_cameraPart) rest.erase(L"DCIM\\" + entry.first);
    return rest;
}

namespace {

DWORD MaskOf(const std::wstring& letters)
{
    DWORD mask = 0;
    for (wchar_t letter : letters) mask |= 1u << (letter - L'A');
    return mask;
}

} // namespace

bool AnnounceArrival(const std::wstring& letters, DWORD pid)
{
    return BroadcastVolumeChange(DBT_DEVICEARRIVAL, MaskOf(letters), pid) > 0;
}

bool AnnounceArrivalAsTheSystem(const std::wstring& letters, DWORD pid)
{
    return BroadcastVolumeChange(DBT_DEVICEARRIVAL, MaskOf(letters), pid, 2000, false) > 0;
}

bool AnnounceArrivalAndWait(const std::wstring& letters, DWORD pid, UINT ms)
{
    return BroadcastVolumeChange(DBT_DEVICEARRIVAL, MaskOf(letters), pid, ms, false) > 0;
}

bool CCardDrive::Define()
{
    const std::string unixFolder = ToUnixPath(m_folder);
    m_defined = !unixFolder.empty() && DefineRemovableDrive(m_letter, unixFolder) == ERROR_SUCCESS;
    return m_defined;
}

bool CCardDrive::Undefine()
{
    if (RemoveDriveDefinition(m_letter) != ERROR_SUCCESS) return false;
    m_defined = false;
    return true;
}

bool CCardDrive::Remove()
{
    if (!Undefine()) return false;
    BroadcastVolumeChange(DBT_DEVICEREMOVECOMPLETE, 1u << (m_letter - L'A'), m_pid);
    return true;
}
