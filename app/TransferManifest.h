#pragma once
// What each source entry of a run holds, taken before the shell's operation, so that its arrival
// can be judged afterwards, also when the drive it came from has gone by then.
#include <windows.h>

#include <list>
#include <string>
#include <vector>

namespace fhw {

class CTransferManifest {
public:
    // Notes each source, and with `listTrees` every file (with its size) and folder under it. A
    // source that is not there any more never arrives in this run, whatever stands at the
    // destination under its name.
    void Take(const std::list<std::wstring>& sources, bool listTrees);

    // The entries that stand whole in `destination`: every file noted with its size and every
    // folder; for a move the source must also be gone while its drive is still there, since an
    // entry that vanished with its drive was not moved.
    size_t CountArrived(const std::wstring& destination, bool move) const;

private:
    static constexpr ULONGLONG kFolder = ~0ULL;
    struct CItem {
        std::wstring relative; // below the entry; empty for the entry itself
        ULONGLONG size;        // kFolder for a folder
    };
    struct CEntry {
        std::wstring source;
        std::wstring name;
        bool listed = false;
        std::vector<CItem> items;
    };
    static void ListFolder(const std::wstring& folder, const std::wstring& relative, std::vector<CItem>& items);
    static bool HasArrived(const CEntry& entry, const std::wstring& target);

    std::vector<CEntry> m_entries;
};

// True while the drive of `path` (a path starting with a letter and a colon) is there; other paths
// are taken as present.
bool IsDriveOfPathPresent(const std::wstring& path);

} // namespace fhw
