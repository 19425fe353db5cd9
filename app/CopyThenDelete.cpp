#include "app/CopyThenDelete.h"

#include "app/TransferManifest.h"
#include "foundation/PathHelpers.h"
#include "foundation/ScopeExit.h"
#include "foundation/Wine.h"

#include <algorithm>
#include <vector>

namespace fhw {

namespace {

// The volume that holds `path`; empty when the system cannot tell.
std::wstring VolumeOf(const std::wstring& path)
{
    std::vector<wchar_t> volume(path.size() + MAX_PATH);
    if (!::GetVolumePathNameW(path.c_str(), volume.data(), static_cast<DWORD>(volume.size()))) return {};
    return volume.data();
}

// The path at `destination` of what the copy of `source` left there; empty when nothing stands there.
std::wstring CopyAt(const std::wstring& source, const std::wstring& destination)
{
    std::wstring name;
    GetFileName(source, name);
    const std::wstring copy = CombinePath(destination, name);
    return ::GetFileAttributesW(copy.c_str()) == INVALID_FILE_ATTRIBUTES ? std::wstring() : copy;
}

} // namespace

size_t CKeptSources::PartlyArrived() const
{
    return static_cast<size_t>(std::count_if(outcomes.begin(), outcomes.end(), [](const CSourceOutcome& outcome) {
        return outcome.moved == CTransferManifest::Moved::Partly && outcome.stands;
    }));
}

bool NeedsCopyThenDelete(const CSHFileOperator& op)
{
    if (op.m_wFunc != FO_MOVE || !RunningUnderWine()) return false;
    const std::wstring target = VolumeOf(op.m_to);
    return std::any_of(op.m_from.begin(), op.m_from.end(), [&target](const std::wstring& source) {
        const DWORD attributes = ::GetFileAttributesW(source.c_str());
        const bool file = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
        const std::wstring volume = VolumeOf(source);
        return file || target.empty() || volume.empty() || !EqualsNoCase(volume, target);
    });
}

CFileOperationResult MoveByCopyThenDelete(CSHFileOperator& op, const CTransferManifest& manifest, CKeptSources& kept)
{
    op.m_wFunc = FO_COPY;
    const auto restore = ScopeExit([&op] { op.m_wFunc = FO_MOVE; });
    const CFileOperationResult copied = op.Execute();

    for (size_t i = 0; i < manifest.Size(); ++i) {
        const std::wstring& source = manifest.Source(i);
        CTransferManifest::CDeleted deleted = manifest.DeleteVerified(i, op.m_to);
        if (deleted.moved == CTransferManifest::Moved::All || deleted.moved == CTransferManifest::Moved::Missing)
            continue;
        kept.outcomes.push_back(
            {source, CopyAt(source, op.m_to), deleted.moved, deleted.files, deleted.stands, std::move(deleted.stayed)});
    }
    return copied;
}

} // namespace fhw
