#pragma once
// A camera card: a folder with DCIM/<camera folders> and entries that are no camera folders,
// presented to the program as a removable drive through the drive tool; and the plain file
// helpers the tests and benchmarks share.
#include "tests/drivetool/MountManager.h"
#include "tests/support/FreeDriveLetters.h"
#include "tests/support/RemoveFolderTree.h"

#include <windows.h>

#include <map>
#include <string>
#include <vector>

// Relative path -> file bytes; folders carry the marker "<folder>".
using TreeSnapshot = std::map<std::wstring, std::string>;

TreeSnapshot SnapshotTree(const std::wstring& folder);
bool MakeFolders(const std::wstring& path);
// Writes the file, making its folders; true when all bytes were written.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// False when the file cannot be opened.
bool ReadFileBytes(const std::wstring& path, std::string& bytes);

class CCameraCard {
public:
    // Builds the card in `root`: DCIM with the camera folders `cameraFolders` (each with files
    // of varied sizes and a nested folder) and the entries MISC\, 100abcde\, 1000ABCDE\ and
    // readme.txt, which no camera pattern takes; its volume serial follows from `seed`.
    CCameraCard(const std::wstring& root, const std::vector<std::wstring>& cameraFolders, unsigned seed);

    const std::wstring& Root() const { return m_root; }
    // The snapshot of the card as built.
    const TreeSnapshot& Original() const { return m_original; }
    // The part of Original() under DCIM\<camera folders>, relative to DCIM.
    const TreeSnapshot& CameraPart() const { return m_cameraPart; }
    // Original() without the camera folders.
    TreeSnapshot WithoutCameraPart() const;

private:
    std::wstring m_root;
    TreeSnapshot m_cameraPart;
    TreeSnapshot m_original;
};

// Announces the arrival of the drive `letters` (one mask) to process `pid`'s windows, returning
// once they have handled it; false when no window took it. Sent from this process, so that the
// time between two announcements is the tests' own.
bool AnnounceArrival(const std::wstring& letters, DWORD pid);
// As the system announces an arrival: it waits 2 s for a window, busy or not, then gives up on it.
// False when the window did not take it in that time.
bool AnnounceArrivalAsTheSystem(const std::wstring& letters, DWORD pid);
// Announces an arrival and waits up to `ms` for the program to take it, busy as it may be: the
// notice is handled whenever its thread next dispatches. False when it was not taken in time.
bool AnnounceArrivalAndWait(const std::wstring& letters, DWORD pid, UINT ms);

// The free drive letters, from W down to P.
inline std::vector<wchar_t> FreeDriveLetters(size_t count) { return FreeDriveLetters(count, L'W', L'P'); }

// A removable drive over a folder; removed (undefined) on destruction when still defined.
class CCardDrive {
public:
    CCardDrive(wchar_t letter, std::wstring folder, DWORD pid)
        : m_letter(letter), m_folder(std::move(folder)), m_pid(pid)
    {}
    ~CCardDrive()
    {
        if (m_defined) RemoveDriveDefinition(m_letter);
    }
    CCardDrive(const CCardDrive&) = delete;
    CCardDrive& operator=(const CCardDrive&) = delete;

    bool Define();
    bool Undefine(); // as a card taken out while nobody is told
    bool Remove();   // undefine and announce

private:
    wchar_t m_letter;
    std::wstring m_folder;
    DWORD m_pid;
    bool m_defined = false;
};
