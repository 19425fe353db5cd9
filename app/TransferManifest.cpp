#include "app/TransferManifest.h"

#include "foundation/FileHandle.h"
#include "foundation/SystemTimeEx.h"
#include "foundation/UniqueHandle.h"
#include "foundation/VerifiedDelete.h"
#include "foundation/Wine.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace fhw {

namespace {

std::wstring WithSeparator(std::wstring folder)
{
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    return folder;
}

std::wstring FileNameOf(const std::wstring& path)
{
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

// A folder (relative to its source, empty for the source itself) as the message names it.
std::wstring FolderNameIn(const std::wstring& name, const std::wstring& folder)
{
    return (folder.empty() ? name : folder.substr(1)) + L"\\";
}

// Whether `relative` lies in one of `folders` (relative as well; empty for the source itself).
bool IsUnder(const std::wstring& relative, const std::vector<std::wstring>& folders)
{
    return std::any_of(folders.begin(), folders.end(),
                       [&relative](const std::wstring& folder) { return relative.rfind(folder + L"\\", 0) == 0; });
}

ULONGLONG FileSize(DWORD high, DWORD low) { return (static_cast<ULONGLONG>(high) << 32) | low; }

// The size of a file, ~0 for a folder, and its last-write time; false when nothing stands there.
bool ReadItem(const std::wstring& path, ULONGLONG& size, ULONGLONG* written = nullptr)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    size = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? ~0ULL : FileSize(data.nFileSizeHigh, data.nFileSizeLow);
    if (written) *written = FileTimeToNumber(data.ftLastWriteTime);
    return true;
}

// How a copy stands beside its card file: the same (or cut short of a card file as noted), or
// differing with the side that changed, where that is known; Unread where either could not be read
// to compare.
enum class Beside { Same, CopyChanged, CardChanged, Unsure, Unread };

// How a copy is held against its card file: byte for byte, by size and last-write time alone (a
// copy run, where the card keeps every original), or already known to differ.
enum class Held { ByBytes, ByStamps, KnownToDiffer };

// A file as listed: its size and last-write time.
struct CStamp {
    ULONGLONG size = 0;
    ULONGLONG written = 0;
};

bool StampOf(HANDLE file, CStamp& stamp)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file, &info)) return false;
    stamp = {FileSize(info.nFileSizeHigh, info.nFileSizeLow), FileTimeToNumber(info.ftLastWriteTime)};
    return true;
}

// Which side of a copy that differs from its card file changed: the card when only the card file
// moved from its listing, the copy when only the copy moved from the card file's listed last-write
// time (the shell's copy carries it); when neither or both moved, it cannot be told.
Beside SideThatChanged(bool cardMoved, bool copyMoved)
{
    if (cardMoved == copyMoved) return Beside::Unsure;
    return cardMoved ? Beside::CardChanged : Beside::CopyChanged;
}

// A file of a copy beside its card file, held as `held` says; `listed` is the card file as noted,
// null for a file the card gained since.
Beside CompareWithCard(const std::wstring& copyPath, const std::wstring& cardPath, Held held, const CStamp* listed)
{
    CStamp copy, card;
    if (!ReadItem(copyPath, copy.size, &copy.written)) return Beside::Unread;
    if (copy.size == ~0ULL) return Beside::Unsure;
    int same = 0;
    if (held == Held::ByStamps) {
        // A copy whose original went from the card is the only one known.
        if (!ReadItem(cardPath, card.size, &card.written))
            return IsNotFound(HRESULT_FROM_WIN32(::GetLastError())) ? Beside::CardChanged : Beside::Unread;
        if (card.size == ~0ULL) return Beside::Unsure;
        if (!listed) return copy.size == card.size && copy.written == card.written ? Beside::Same : Beside::Unsure;
        same = copy.size == listed->size && copy.written == listed->written ? 2 : copy.size < listed->size ? 1 : 0;
    } else {
        // One that another program holds is still on the card, only not compared.
        CFileHandle copyFile, cardFile;
        if (const HRESULT opened = cardFile.OpenForRead(cardPath); FAILED(opened))
            return IsNotFound(opened) ? Beside::CardChanged : Beside::Unread;
        if (held == Held::ByBytes) {
            if (FAILED(copyFile.OpenForRead(copyPath))) return Beside::Unread;
            same = CompareFileContents(copyFile, cardFile);
        }
        if (!StampOf(cardFile.Get(), card)) return Beside::Unread;
        if (same == 2) return Beside::Same;
        if (!listed) return Beside::Unsure;
    }
    const bool cardMoved = card.size != listed->size || card.written != listed->written;
    // A copy cut short holds nothing the card lacks only while the card file is as it was noted: a
    // copy that is whole but shorter than a card file that grew is the only intact original.
    if (same == 2 || (same == 1 && !cardMoved)) return cardMoved ? Beside::CardChanged : Beside::Same;
    // A copy cut short never got its card file's time, so that tells nothing of it.
    const bool copyMoved = copy.size >= listed->size && copy.written != listed->written;
    return SideThatChanged(cardMoved, copyMoved);
}

} // namespace

void CTransferManifest::Take(const std::list<std::wstring>& sources, bool listTrees, const std::wstring& destination)
{
    m_entries.clear();
    const std::wstring folder = WithSeparator(destination);
    for (const std::wstring& source : sources) {
        CEntry entry;
        entry.source = source;
        entry.name = FileNameOf(source);
        ULONGLONG size = 0, written = 0;
        entry.stood = !destination.empty() && ReadItem(folder + entry.name, size);
        entry.listed = ReadItem(source, size, &written);
        if (entry.listed) {
            entry.items.push_back({std::wstring(), size, written});
            if (listTrees && size == kFolder) ListFolder(source, std::wstring(), entry.items, &entry.unlisted);
        }
        m_entries.push_back(std::move(entry));
    }
}

bool CTransferManifest::ListFolder(const std::wstring& folder, const std::wstring& relative, std::vector<CItem>& items,
                                   std::vector<std::wstring>* unlisted)
{
    const auto failed = [&] {
        if (unlisted) unlisted->push_back(relative);
        return false;
    };
    WIN32_FIND_DATAW data{};
    CUniqueFindHandle find(::FindFirstFileExW((WithSeparator(folder) + L"*").c_str(), FindExInfoBasic, &data,
                                              FindExSearchNameMatch, nullptr, 0));
    // A folder lists at least "." and ".."; only a root may list nothing. A folder held without
    // sharing answers ERROR_SHARING_VIOLATION.
    if (!find) return ::GetLastError() == ERROR_FILE_NOT_FOUND || failed();
    bool whole = true;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring below = relative + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            items.push_back({below, kFolder});
            whole = ListFolder(WithSeparator(folder) + name, below, items, unlisted) && whole;
        } else {
            items.push_back(
                {below, FileSize(data.nFileSizeHigh, data.nFileSizeLow), FileTimeToNumber(data.ftLastWriteTime)});
        }
    } while (::FindNextFileW(find.Get(), &data));
    return ::GetLastError() == ERROR_NO_MORE_FILES ? whole : failed();
}

bool CTransferManifest::HasArrived(const CEntry& entry, const std::wstring& target)
{
    ULONGLONG size = 0;
    if (!entry.listed || !entry.unlisted.empty() || !ReadItem(target, size) || size != entry.items.front().size)
        return false;
    if (entry.items.size() == 1) return true;
    // One walk of the destination's tree costs far less than a query per file. A copy that cannot
    // be listed is not known to be whole.
    std::vector<CItem> found;
    if (!ListFolder(target, std::wstring(), found)) return false;
    std::unordered_map<std::wstring, ULONGLONG> there;
    for (const CItem& item : found) there.emplace(item.relative, item.size);
    return std::all_of(entry.items.begin() + 1, entry.items.end(), [&there](const CItem& item) {
        const auto at = there.find(item.relative);
        return at != there.end() && at->second == item.size;
    });
}

void CTransferManifest::ListLeftOver(const CEntry& entry, CDeleted& result)
{
    std::unordered_set<std::wstring> named;
    for (const CStayedFile& file : result.stayed) named.insert(file.path);
    const auto add = [&](const std::wstring& path, Why why) {
        if (named.insert(path).second) result.stayed.push_back({path, why});
    };
    ULONGLONG size = 0;
    if (!ReadItem(entry.source, size)) return;
    if (size != kFolder) {
        add(entry.name, Why::Added); // deleted, and there again
        return;
    }
    std::unordered_set<std::wstring> notedFolders;
    for (const CItem& item : entry.items)
        if (item.size == kFolder) notedFolders.insert(item.relative);
    std::vector<CItem> now;
    std::vector<std::wstring> unlisted;
    ListFolder(entry.source, std::wstring(), now, &unlisted);
    // A folder that cannot be listed holds what is not known: it is not taken as empty.
    const std::unordered_set<std::wstring> unknown(unlisted.begin(), unlisted.end());
    for (const std::wstring& folder : unlisted) add(FolderNameIn(entry.name, folder), Why::Unlisted);
    if (now.empty() && unknown.empty()) add(entry.name + L"\\", Why::Undeleted);
    for (size_t i = 0; i < now.size(); ++i) {
        const std::wstring path = now[i].relative.substr(1);
        if (now[i].size != kFolder) {
            add(path, Why::Added);
            continue;
        }
        if (unknown.count(now[i].relative)) continue;
        // What a folder holds is listed right after it.
        const bool empty = i + 1 == now.size() || now[i + 1].relative.rfind(now[i].relative + L"\\", 0) != 0;
        if (empty) add(path + L"\\", notedFolders.count(now[i].relative) ? Why::Undeleted : Why::Added);
    }
}

CTransferManifest::Moved CTransferManifest::JudgeIncompleteCopy(const CEntry& entry, const std::wstring& target,
                                                                bool readBytes, std::vector<CStayedFile>& stayed)
{
    ULONGLONG size = 0;
    if (!ReadItem(entry.source, size)) return Moved::Gone;
    std::unordered_map<std::wstring, const CItem*> noted;
    for (const CItem& item : entry.items) noted.emplace(item.relative, &item);
    // Everything that stands in the copy, also what came into the source after it was noted.
    std::vector<CItem> copied;
    bool cardChanged = false, unsure = false, copyChanged = false, unread = false;
    const bool copyThere = ReadItem(target, size);
    if (copyThere) {
        copied.push_back({std::wstring(), size});
        // A copy that cannot be listed cannot be compared: both are kept.
        if (size == kFolder && !ListFolder(target, std::wstring(), copied)) unread = true;
    }
    std::unordered_set<std::wstring> came;
    for (const CItem& file : copied) {
        if (file.size == kFolder) continue;
        came.insert(file.relative);
        const auto at = noted.find(file.relative);
        const bool isNoted = at != noted.end() && at->second->size != kFolder;
        const CStamp listed{isNoted ? at->second->size : 0, isNoted ? at->second->written : 0};
        switch (CompareWithCard(target + file.relative, entry.source + file.relative,
                                readBytes ? Held::ByBytes : Held::ByStamps, isNoted ? &listed : nullptr)) {
        case Beside::Same: break;
        case Beside::CopyChanged: copyChanged = true; break;
        case Beside::CardChanged: cardChanged = true; break;
        case Beside::Unsure: unsure = true; break;
        case Beside::Unread: unread = true; break;
        }
    }
    // A noted file that never came because the card would not give it: the copy lacks it for that.
    for (const CItem& item : entry.items) {
        CFileHandle card;
        if (item.size == kFolder || came.count(item.relative)) continue;
        const HRESULT opened = card.OpenForRead(entry.source + item.relative);
        if (FAILED(opened) && !IsNotFound(opened))
            stayed.push_back({item.relative.empty() ? entry.name : item.relative.substr(1), Why::Unread});
    }
    // Nothing of a folder the card would not list is known to have come.
    for (const std::wstring& folder : entry.unlisted)
        stayed.push_back({FolderNameIn(entry.name, folder), Why::Unlisted});
    if (cardChanged) return Moved::Changed;
    if (unread) return Moved::Uncompared;
    if (unsure) return Moved::Differs;
    if (copyChanged) return Moved::CopyChanged;
    return copyThere ? Moved::NotWhole : Moved::NotCopied;
}

CTransferManifest::Moved CTransferManifest::JudgeCopy(size_t index, const std::wstring& destination,
                                                      std::vector<CStayedFile>& stayed) const
{
    const CEntry& entry = m_entries[index];
    if (!entry.listed) return Moved::Missing;
    if (entry.stood) return Moved::NameStoodBefore;
    return JudgeIncompleteCopy(entry, WithSeparator(destination) + entry.name, false, stayed);
}

CTransferManifest::CDeleted CTransferManifest::DeleteVerified(size_t index, const std::wstring& destination) const
{
    const CEntry& entry = m_entries[index];
    CDeleted result;
    if (!entry.listed) return result;
    ULONGLONG size = 0;
    result.stands = true;
    // What stood there may be an older file of the same name and size that the user kept.
    result.moved = Moved::NameStoodBefore;
    if (entry.stood) return result;
    const std::wstring target = WithSeparator(destination) + entry.name;
    if (!HasArrived(entry, target)) {
        result.moved = JudgeIncompleteCopy(entry, target, true, result.stayed);
        result.stands = ReadItem(entry.source, size);
        return result;
    }
    // File by file, so that what is written into the source meanwhile is never deleted uncopied.
    size_t gone = 0;
    bool cardChanged = false, copyChanged = false, unsure = false, unreadable = false, uncompared = false;
    for (const CItem& item : entry.items) {
        if (item.size == kFolder) continue;
        const std::wstring named = item.relative.empty() ? entry.name : item.relative.substr(1);
        switch (DeleteFileIfSameAs(entry.source + item.relative, target + item.relative)) {
        case VerifiedDelete::Deleted: ++result.files; break;
        case VerifiedDelete::Differs: {
            result.stayed.push_back({named, Why::Differs});
            const CStamp listed{item.size, item.written};
            switch (
                CompareWithCard(target + item.relative, entry.source + item.relative, Held::KnownToDiffer, &listed)) {
            case Beside::CopyChanged: copyChanged = true; break;
            case Beside::CardChanged: cardChanged = true; break;
            case Beside::Unread: uncompared = true; break;
            default: unsure = true; break;
            }
            break;
        }
        case VerifiedDelete::CopyUnreadable:
            result.stayed.push_back({named, Why::CopyUnreadable});
            uncompared = true;
            break;
        case VerifiedDelete::Failed: result.stayed.push_back({named, Why::Undeleted}); break;
        case VerifiedDelete::Unreadable:
            result.stayed.push_back({named, Why::Unreadable});
            unreadable = true;
            break;
        case VerifiedDelete::Gone:
            result.stayed.push_back({named, Why::Gone});
            ++gone;
            break;
        }
    }
    // A folder is noted before what it holds: backwards, each comes after its contents.
    bool rootRemoved = entry.items.front().size != kFolder && result.files == 1;
    for (auto item = entry.items.rbegin(); item != entry.items.rend(); ++item)
        if (item->size == kFolder && ::RemoveDirectoryW((entry.source + item->relative).c_str()) &&
            item->relative.empty())
            rootRemoved = true;
    result.stands = ReadItem(entry.source, size);
    if (!result.stands) {
        // Gone, but not through these deletes: what it held may still stand wherever it went. Emptied
        // by them, also where another hand took files whose copies stood whole, it left the card whole.
        result.moved = rootRemoved ? Moved::All : Moved::Gone;
        return result;
    }
    ListLeftOver(entry, result);
    const auto named = [&result](Why why) {
        return std::any_of(result.stayed.begin(), result.stayed.end(),
                           [why](const CStayedFile& file) { return file.why == why; });
    };
    const bool added = named(Why::Added);
    // A folder left that cannot be listed may hold what the copy lacks: both are kept.
    uncompared = uncompared || named(Why::Unlisted);
    // The copy holds the only versions from before a change on the card; else both are kept, and
    // the card keeps the originals where only copies changed. A difference beside what could not
    // be read is not known to be the only one.
    if (result.files || gone)
        result.moved = Moved::Partly;
    else if (cardChanged || added)
        result.moved = Moved::Changed;
    else if (uncompared || (unreadable && (unsure || copyChanged)))
        result.moved = Moved::Uncompared;
    else if (unsure)
        result.moved = Moved::Differs;
    else if (copyChanged)
        result.moved = Moved::CopyChanged;
    else if (unreadable)
        result.moved = Moved::Unverified;
    else
        result.moved = Moved::Undeleted;
    return result;
}

CTransferManifest::Moved CTransferManifest::JudgeMove(size_t index, const std::wstring& destination,
                                                      std::vector<CStayedFile>& stayed) const
{
    const CEntry& entry = m_entries[index];
    if (!entry.listed) return Moved::Missing;
    ULONGLONG size = 0;
    const std::wstring target = WithSeparator(destination) + entry.name;
    if (!ReadItem(entry.source, size)) {
        // The shell removes a source only once it has moved it, so where its name stands it took it
        // there; on Windows also into a folder of that name that stood, which it merges. Wine's shell
        // leaves a folder whose name stood where it is. Nothing of it there: another hand took it.
        if (!ReadItem(target, size) || (entry.stood && RunningUnderWine())) return Moved::Gone;
        ListUnchecked(entry, target, stayed);
        return stayed.empty() ? Moved::All : Moved::Unconfirmed;
    }
    CDeleted split;
    if (size == kFolder && entry.items.front().size == kFolder && SplitByMove(entry, target, split)) {
        stayed = std::move(split.stayed);
        return Moved::Partly;
    }
    // Nothing of it left the card for the destination: what stands there is a copy, held against the
    // card as a copy run holds one; a file found on neither side is named beside it.
    Moved moved = Moved::NameStoodBefore;
    if (!entry.stood) {
        moved = JudgeIncompleteCopy(entry, target, false, stayed);
        if (moved == Moved::NotWhole && HasArrived(entry, target)) moved = Moved::Undeleted;
    }
    for (CStayedFile& file : split.stayed)
        if (file.why == Why::Vanished) stayed.push_back(std::move(file));
    return moved;
}

bool CTransferManifest::SplitByMove(const CEntry& entry, const std::wstring& target, CDeleted& result)
{
    // A folder that cannot be listed is not known, never empty: nothing of it is taken as gone from
    // the card or as standing at the destination.
    const auto filesIn = [](const std::wstring& folder, std::vector<std::wstring>& unlisted) {
        std::vector<CItem> items;
        ULONGLONG size = 0;
        if (ReadItem(folder, size) && size == kFolder) ListFolder(folder, std::wstring(), items, &unlisted);
        std::unordered_set<std::wstring> files;
        for (const CItem& item : items)
            if (item.size != kFolder) files.insert(item.relative);
        return files;
    };
    std::vector<std::wstring> cardUnlisted, copyUnlisted;
    const std::unordered_set<std::wstring> onCard = filesIn(entry.source, cardUnlisted),
                                           atDestination = filesIn(target, copyUnlisted);
    size_t unconfirmed = 0;
    for (const CItem& item : entry.items) {
        if (item.size == kFolder || IsUnder(item.relative, cardUnlisted)) continue;
        const std::wstring path = item.relative.substr(1);
        const bool copyUnknown = IsUnder(item.relative, copyUnlisted);
        if (onCard.count(item.relative)) {
            result.stayed.push_back({path, copyUnknown                          ? Why::NotMovedCopyUnlisted
                                           : atDestination.count(item.relative) ? Why::NotMovedBesideCopy
                                                                                : Why::NotMoved});
        } else if (atDestination.count(item.relative)) {
            ++result.files;
        } else {
            // Left the card: where the destination cannot be listed it may stand there.
            result.stayed.push_back({path, copyUnknown ? Why::LeftUnconfirmed : Why::Vanished});
            if (copyUnknown) ++unconfirmed;
        }
    }
    if (!result.files && !unconfirmed) return false;
    // What the card gained, folders it would not list, folders left empty.
    ListLeftOver(entry, result);
    return true;
}

void CTransferManifest::ListUnchecked(const CEntry& entry, const std::wstring& target, std::vector<CStayedFile>& stayed)
{
    for (const std::wstring& folder : entry.unlisted)
        stayed.push_back({FolderNameIn(entry.name, folder), Why::UnlistedBefore});
    std::vector<CItem> found;
    std::vector<std::wstring> unlisted;
    ULONGLONG size = 0;
    if (ReadItem(target, size)) {
        found.push_back({std::wstring(), size});
        if (size == kFolder) ListFolder(target, std::wstring(), found, &unlisted);
    }
    for (const std::wstring& folder : unlisted)
        stayed.push_back({FolderNameIn(entry.name, folder), Why::LeftUnconfirmed});
    std::unordered_map<std::wstring, ULONGLONG> there;
    for (const CItem& item : found) there.emplace(item.relative, item.size);
    // Files only: a folder that did not come loses nothing the files in it do not tell.
    for (const CItem& item : entry.items) {
        if (item.size == kFolder || IsUnder(item.relative, unlisted)) continue;
        const std::wstring path = item.relative.empty() ? entry.name : item.relative.substr(1);
        const auto at = there.find(item.relative);
        if (at == there.end() || at->second == kFolder)
            stayed.push_back({path, Why::Vanished});
        else if (at->second != item.size)
            stayed.push_back({path, Why::Resized});
    }
}

bool CTransferManifest::Arrived(size_t index, const std::wstring& destination, bool move, bool sourceThere,
                                bool destinationThere) const
{
    const CEntry& entry = m_entries[index];
    if (move && sourceThere) {
        ULONGLONG size = 0;
        if (!entry.listed || ReadItem(entry.source, size)) return false;
        if (!destinationThere) return true;
    } else if (move && entry.stood) {
        return false;
    }
    return HasArrived(entry, WithSeparator(destination) + entry.name);
}

size_t CTransferManifest::CountArrived(const std::wstring& destination, bool move, bool sourceThere) const
{
    const bool destinationThere = IsFolderPresent(destination);
    size_t arrived = 0;
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (Arrived(i, destination, move, sourceThere, destinationThere)) ++arrived;
    return arrived;
}

bool IsDriveOfPathPresent(const std::wstring& path)
{
    if (path.size() < 2 || path[1] != L':') return true;
    const wchar_t root[] = {path[0], L':', L'\\', L'\0'};
    const UINT type = ::GetDriveTypeW(root);
    return type != DRIVE_NO_ROOT_DIR && type != DRIVE_UNKNOWN;
}

bool IsFolderPresent(const std::wstring& folder)
{
    if (!IsDriveOfPathPresent(folder)) return false;
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace fhw
