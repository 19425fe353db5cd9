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
    // What became of one source. Judged by a move by copy and delete once its deletes are done:
    // All: all of it left the card, every noted file deleted after its copy compared equal (or taken
    // from the card by another hand after a whole copy), every noted folder once left empty;
    // NotWhole: nothing left, and every file of the copy stands byte for byte on the card; Partly:
    // files left through the deletes while others stayed; Changed: nothing left, and the copy holds
    // what the card no longer does (the versions from before a change on the card); CopyChanged:
    // nothing left, a copy differs from its card file, which stands as it was listed (the card
    // keeps the originals); Differs: nothing left, a copy was read and differs from its card file,
    // and which of them changed cannot be told; Uncompared: nothing left, and a copy or its card
    // file could not be read, or a folder of either listed, to compare (the rest may differ as
    // well); Undeleted: nothing left, the copy is whole and compared equal but the deletes failed;
    // Unverified: nothing left, the copy is whole but files of the card could not be read to
    // compare; Gone: the source went from the card, not through these deletes (moved away, deleted
    // by another program); Missing: it was not there when the manifest was taken; NotCopied:
    // nothing left, and nothing of it stands at the destination. A copy that did not come whole is
    // judged the same way, and so is the shell's own move, by what stands where (its Partly: files
    // left the card for the destination, or may have where it cannot be listed, while others
    // stayed; its Gone: nothing of it stands at the destination). Unconfirmed: the shell's own move
    // took it from the card to where its name stands, but not all of it is known to stand there.
    // NotArrived: not judged, only known not to stand whole at the destination; Removed: an end of
    // the run went before the source could be judged, so what the card holds of it is not known.
    enum class Moved {
        All,
        NameStoodBefore,
        NotWhole,
        NotCopied,
        Partly,
        Changed,
        CopyChanged,
        Differs,
        Uncompared,
        Undeleted,
        Unverified,
        Gone,
        Unconfirmed,
        Missing,
        NotArrived,
        Removed
    };

    // Why something of a source is not where a whole move puts it. Differs: it stayed, its copy
    // differs; Undeleted: it stayed, its copy compared equal; Unreadable: it stayed, it could not be
    // read to compare; CopyUnreadable: it stayed, its copy could not be read to compare (another
    // program holds it without sharing reads); Added: the card gained it after the manifest was
    // taken; Gone: another hand took it from the card, so its copy at the destination is the only
    // one; Unread: it never came, the card would not give it to be read; Unlisted: a folder the card
    // would not list, so what it holds is not known and nothing of it is taken as copied. Of the
    // shell's own move, judged by listing alone: NotMoved: the shell left it on the card and nothing
    // of its name stands at the destination; NotMovedBesideCopy: the shell left it on the card and
    // a file of its name stands at the destination too, not compared; NotMovedCopyUnlisted: the
    // shell left it on the card, and the destination folder could not be listed; LeftUnconfirmed: it
    // left the card, and the destination folder (or it, a folder) could not be listed to find it;
    // Vanished: it left the card, and nothing of its name stands at the destination; UnlistedBefore:
    // a folder the card would not list before the run, so what it held is not known to stand at
    // the destination; Resized: it stands at the destination at another size than it was listed.
    enum class Why {
        Differs,
        Undeleted,
        Unreadable,
        CopyUnreadable,
        Added,
        Gone,
        Unread,
        Unlisted,
        NotMoved,
        NotMovedBesideCopy,
        NotMovedCopyUnlisted,
        LeftUnconfirmed,
        Vanished,
        UnlistedBefore,
        Resized
    };
    // A file (or a folder left empty, with a trailing backslash) relative to its source, and why.
    struct CStayedFile {
        std::wstring path;
        Why why;
    };
    struct CDeleted {
        Moved moved = Moved::Missing;
        size_t files = 0;    // noted files deleted from the source
        bool stands = false; // the source is still on the card
        std::vector<CStayedFile> stayed;
    };

    // Notes each source, and with `listTrees` every file (with its size and last-write time) and
    // folder under it, and whether its name already stands in `destination` (when given). A source
    // that is not there any more never arrives in this run, whatever stands at the destination under
    // its name; nor does one with a folder that could not be listed, since what it holds is not
    // known.
    void Take(const std::list<std::wstring>& sources, bool listTrees, const std::wstring& destination = {});

    // Whether source `index` stands whole in `destination`: every file noted with its size and every
    // folder. For a move whose source drive is still there (`sourceThere`) the source must also be
    // gone (the shell leaves a source it skipped); once the destination itself has gone, a source
    // gone from a present drive counts, since the shell removes a source only after moving it. With
    // its drive gone, an entry whose name stood at the destination before cannot be told apart
    // from what stood there, and does not count.
    bool Arrived(size_t index, const std::wstring& destination, bool move, bool sourceThere,
                 bool destinationThere) const;
    size_t CountArrived(const std::wstring& destination, bool move, bool sourceThere) const;

    // Deletes from source `index`, copied into `destination`, each noted file right after its bytes
    // compared equal with its copy (a read-only one too, as the shell's move takes it), then each
    // noted folder that is left empty, deepest first. Nothing is deleted when the name stood there
    // before the run or the copy lacks a noted file. What the manifest did not note stays, with the
    // folders that hold it. Says what became of the source, how many files went, and what of it is
    // not where a whole move puts it, and why. Needs the trees.
    CDeleted DeleteVerified(size_t index, const std::wstring& destination) const;
    // What became of source `index` after a copy into `destination` that did not bring it whole,
    // nothing deleted; `stayed` gets the noted files that never came because the card would not
    // give them, and the folders it would not list. The card keeps every original, so the copy is
    // judged as a copy's arrival is, by names, sizes and last-write times, without reading a byte.
    Moved JudgeCopy(size_t index, const std::wstring& destination, std::vector<CStayedFile>& stayed) const;
    // What became of source `index` after the shell's own move into `destination` that did not
    // bring it whole, judged by listing the card and the destination, without reading a byte: a
    // folder that lost files to the destination (or to one that cannot be listed) while others
    // stayed is Partly, `stayed` getting those and why; one gone from the card is Unconfirmed where
    // its name stands at the destination, `stayed` getting what could not be found there and why,
    // else Gone; one the card still holds whole is judged as a copy is (Undeleted where its copy
    // stands whole). A noted file found on neither side is named as Vanished.
    Moved JudgeMove(size_t index, const std::wstring& destination, std::vector<CStayedFile>& stayed) const;
    size_t Size() const { return m_entries.size(); }
    const std::wstring& Source(size_t index) const { return m_entries[index].source; }

private:
    static constexpr ULONGLONG kFolder = ~0ULL;
    struct CItem {
        std::wstring relative; // below the entry; empty for the entry itself
        ULONGLONG size;        // kFolder for a folder
        ULONGLONG written = 0; // last-write time
    };
    struct CEntry {
        std::wstring source;
        std::wstring name;
        bool listed = false;
        bool stood = false; // its name stood at the destination before the run
        std::vector<CItem> items;
        std::vector<std::wstring> unlisted; // folders (relative) whose listing failed
    };
    // Adds what `folder` holds, all the way down; false when a listing failed (another program
    // holds a folder without sharing, a damaged card): what it holds is then not known, never
    // empty. `unlisted` gets each such folder.
    static bool ListFolder(const std::wstring& folder, const std::wstring& relative, std::vector<CItem>& items,
                           std::vector<std::wstring>* unlisted = nullptr);
    static bool HasArrived(const CEntry& entry, const std::wstring& target);
    // A folder split by the shell's move across volumes, which takes it file by file: a file in
    // use or a full destination leaves the moved files only at the destination. True once a noted
    // file left the card for `target`, or for it where it cannot be listed; `result` then gets how
    // many stand there, and what stayed or is not confirmed there, and why. `result.stayed` names
    // the noted files found on neither side also when false.
    static bool SplitByMove(const CEntry& entry, const std::wstring& target, CDeleted& result);
    // What of a source the shell took from the card is not found at `target` as it was noted, and
    // why: folders the card would not list before the run, folders of `target` that cannot be
    // listed, files on neither side, files at another size.
    static void ListUnchecked(const CEntry& entry, const std::wstring& target, std::vector<CStayedFile>& stayed);
    // What stands in the source once the deletes are done that they did not leave behind
    // themselves: what it gained, and noted folders left empty that could not be removed.
    static void ListLeftOver(const CEntry& entry, CDeleted& result);
    // For a copy that is not whole, by everything that stands in it: NotWhole while each of its files
    // is equal to a file on the card (byte for byte with `readBytes`, else by size and last-write
    // time), or cut short of a card file still as noted; Changed where the copy may hold the only
    // intact original (its card file changed or went); else Differs where a copy could not be read
    // or listed or which side changed cannot be told; else CopyChanged; NotCopied when nothing of
    // it stands there; Gone when the source itself went. `stayed` as for JudgeCopy.
    static Moved JudgeIncompleteCopy(const CEntry& entry, const std::wstring& target, bool readBytes,
                                     std::vector<CStayedFile>& stayed);

    std::vector<CEntry> m_entries;
};

// True while the drive of `path` (a path starting with a letter and a colon) is there; other paths
// are taken as present.
bool IsDriveOfPathPresent(const std::wstring& path);
// True while `folder` is there as a folder on a drive that is there.
bool IsFolderPresent(const std::wstring& folder);

} // namespace fhw
