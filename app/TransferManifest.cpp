#include "app/TransferManifest.h"

#include "foundation/UniqueHandle.h"

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

void CTransferManifest::Take(const std::list<std::wstring>& sources, bool listTrees)
{
    m_entries.clear();
    for (const std::wstring& source : sources) {
        CEntry entry;
        entry.source = source;
        entry.name = FileNameOf(source);
        ULONGLONG size = 0;
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

size_t CTransferManifest::CountArrived(const std::wstring& destination, bool move) const
{
    const std::wstring folder = WithSeparator(destination);
    size_t arrived = 0;
    for (const CEntry& entry : m_entries) {
        if (move) {
            ULONGLONG size = 0;
            if (!IsDriveOfPathPresent(entry.source) || ReadItem(entry.source, size)) continue;
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

} // namespace fhw
