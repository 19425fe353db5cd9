#include "app/TransferManifest.h"

#include "foundation/UniqueHandle.h"
#include "foundation/VerifiedDelete.h"

#include <algorithm>
#include <unordered_map>

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

// The size of a file, ~0 for a folder; false when nothing stands there.
bool ReadItem(const std::wstring& path, ULONGLONG& size)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    size = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
               ? ~0ULL
               : (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
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
        ULONGLONG size = 0;
        entry.stood = !destination.empty() && ReadItem(folder + entry.name, size);
        entry.listed = ReadItem(source, size);
        if (entry.listed) {
            entry.items.push_back({std::wstring(), size});
            if (listTrees && size == kFolder) ListFolder(source, std::wstring(), entry.items);
        }
        m_entries.push_back(std::move(entry));
    }
}

void CTransferManifest::ListFolder(const std::wstring& folder, const std::wstring& relative, std::vector<CItem>& items)
{
    WIN32_FIND_DATAW data{};
    CUniqueFindHandle find(::FindFirstFileExW((WithSeparator(folder) + L"*").c_str(), FindExInfoBasic, &data,
                                              FindExSearchNameMatch, nullptr, 0));
    if (!find) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring below = relative + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            items.push_back({below, kFolder});
            ListFolder(WithSeparator(folder) + name, below, items);
        } else {
            items.push_back({below, (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow});
        }
    } while (::FindNextFileW(find.Get(), &data));
}

bool CTransferManifest::HasArrived(const CEntry& entry, const std::wstring& target)
{
    ULONGLONG size = 0;
    if (!entry.listed || !ReadItem(target, size) || size != entry.items.front().size) return false;
    if (entry.items.size() == 1) return true;
    // One walk of the destination's tree costs far less than a query per file.
    std::vector<CItem> found;
    ListFolder(target, std::wstring(), found);
    std::unordered_map<std::wstring, ULONGLONG> there;
    for (const CItem& item : found) there.emplace(item.relative, item.size);
    return std::all_of(entry.items.begin() + 1, entry.items.end(), [&there](const CItem& item) {
        const auto at = there.find(item.relative);
        return at != there.end() && at->second == item.size;
    });
}

bool CTransferManifest::HoldsOnlyNoted(const CEntry& entry)
{
    ULONGLONG size = 0;
    if (!ReadItem(entry.source, size)) return true;
    if (size != entry.items.front().size) return false;
    std::vector<CItem> now;
    if (size == kFolder) ListFolder(entry.source, std::wstring(), now);
    std::unordered_map<std::wstring, ULONGLONG> noted;
    for (const CItem& item : entry.items) noted.emplace(item.relative, item.size);
    return std::all_of(now.begin(), now.end(), [&noted](const CItem& item) {
        const auto at = noted.find(item.relative);
        return at != noted.end() && at->second == item.size;
    });
}

CTransferManifest::CDeleted CTransferManifest::DeleteVerified(size_t index, const std::wstring& destination) const
{
    const CEntry& entry = m_entries[index];
    CDeleted result;
    if (!entry.listed) return result;
    // What stood there may be an older file of the same name and size that the user kept.
    result.moved = Moved::NameStoodBefore;
    if (entry.stood) return result;
    const std::wstring target = WithSeparator(destination) + entry.name;
    result.moved = Moved::NotWhole;
    if (!HasArrived(entry, target)) return result;
    // File by file, so that what is written into the source meanwhile is never deleted uncopied.
    size_t noted = 0;
    bool differs = false;
    for (const CItem& item : entry.items) {
        if (item.size == kFolder) continue;
        ++noted;
        const VerifiedDelete deleted = DeleteFileIfSameAs(entry.source + item.relative, target + item.relative);
        if (deleted == VerifiedDelete::Deleted) {
            ++result.files;
            continue;
        }
        result.stayed.push_back({item.relative.empty() ? entry.name : item.relative.substr(1), deleted});
        differs |= deleted == VerifiedDelete::Differs;
    }
    // A folder is noted before what it holds: backwards, each comes after its contents.
    bool foldersRemoved = true;
    for (auto item = entry.items.rbegin(); item != entry.items.rend(); ++item)
        if (item->size == kFolder && !::RemoveDirectoryW((entry.source + item->relative).c_str()))
            foldersRemoved = false;
    ULONGLONG size = 0;
    // Gone, but not through these deletes: what it held may still stand wherever it went.
    if (!ReadItem(entry.source, size))
        result.moved = result.files == noted && foldersRemoved ? Moved::All : Moved::Vanished;
    else if (!HoldsOnlyNoted(entry))
        result.moved = Moved::Changed;
    else if (!differs)
        result.moved = Moved::Undeleted;
    else
        result.moved = result.files ? Moved::Partly : Moved::NotWhole;
    return result;
}

size_t CTransferManifest::CountArrived(const std::wstring& destination, bool move) const
{
    const std::wstring folder = WithSeparator(destination);
    const bool destinationThere = IsFolderPresent(destination);
    size_t arrived = 0;
    for (const CEntry& entry : m_entries) {
        if (move && IsDriveOfPathPresent(entry.source)) {
            ULONGLONG size = 0;
            if (!entry.listed || ReadItem(entry.source, size)) continue;
            if (!destinationThere) {
                ++arrived;
                continue;
            }
        } else if (move && entry.stood) {
            continue;
        }
        if (HasArrived(entry, folder + entry.name)) ++arrived;
    }
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
