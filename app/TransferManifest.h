#pragma once
// What each source entry of a run holds, taken before the shell's operation, so that its arrival
// can be judged afterwards, also when the drive it came from has gone by then.
#include "foundation/VerifiedDelete.h"

#include <windows.h>

#include <list>
#include <string>
#include <vector>

namespace fhw {

class CTransferManifest {
public:
    // What a move by copy and delete made of one source: all of it went (every noted file was
    // deleted after its copy compared equal, every noted folder after it was left empty), or why
    // something stayed on the card. Partly: some files went, others stayed since their copies
    // differ; Vanished: the source went, but not through these deletes (a card's folder moved away
    // or unmounted); Missing: the source was not there when the manifest was taken.
    enum class Moved { All, NameStoodBefore, NotWhole, Partly, Changed, Undeleted, Vanished, Missing };

    // A noted file that stayed in its source (relative to it), and why.
    struct CStayedFile {
        std::wstring path;
        VerifiedDelete why;
    };
    struct CDeleted {
        Moved moved = Moved::Missing;
        size_t files = 0; // noted files deleted from the source
        std::vector<CStayedFile> stayed;
    };

    // Notes each source, and with `listTrees` every file (with its size) and folder under it, and
    // whether its name already stands in `destination` (when given). A source that is not there
    // any more never arrives in this run, whatever stands at the destination under its name.
    void Take(const std::list<std::wstring>& sources, bool listTrees, const std::wstring& destination = {});

    // The entries that stand whole in `destination`: every file noted with its size and every
    // folder. For a move whose source drive is still there the source must also be gone (the
    // shell leaves a source it skipped); once the destination itself has gone, a source gone
    // from a present drive counts, since the shell removes a source only after moving it. With
    // its drive gone, an entry whose name stood at the destination before cannot be told apart
    // from what stood there, and does not count.
    size_t CountArrived(const std::wstring& destination, bool move) const;

    // Deletes from source `index`, copied into `destination`, each noted file right after its bytes
    // compared equal with its copy (a read-only one too, as the shell's move takes it), then each
    // noted folder that is left empty, deepest first. Nothing is deleted when the name stood there
    // before the run or the copy lacks a noted file. What the manifest did not note stays, with the
    // folders that hold it. Says what became of the source, how many files went, and which noted
    // files stayed and why. Needs the trees.
    CDeleted DeleteVerified(size_t index, const std::wstring& destination) const;
    size_t Size() const { return m_entries.size(); }
    const std::wstring& Source(size_t index) const { return m_entries[index].source; }

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
        bool stood = false; // its name stood at the destination before the run
        std::vector<CItem> items;
    };
    static void ListFolder(const std::wstring& folder, const std::wstring& relative, std::vector<CItem>& items);
    static bool HasArrived(const CEntry& entry, const std::wstring& target);
    // Whether what stands in the source now is only what was noted, at the noted sizes.
    static bool HoldsOnlyNoted(const CEntry& entry);

    std::vector<CEntry> m_entries;
};

// True while the drive of `path` (a path starting with a letter and a colon) is there; other paths
// are taken as present.
bool IsDriveOfPathPresent(const std::wstring& path);
// True while `folder` is there as a folder on a drive that is there.
bool IsFolderPresent(const std::wstring& folder);

} // namespace fhw
