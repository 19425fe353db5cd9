#include "app/CopyThenDelete.h"

#include "app/RunJudgement.h"
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

} // namespace

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

CFileOperationResult MoveByCopyThenDelete(CSHFileOperator& op, const CTransferManifest& manifest,
                                          const CSourceVolume& volume, CTransferOutcome& outcome)
{
    op.m_wFunc = FO_COPY;
    const auto restore = ScopeExit([&op] { op.m_wFunc = FO_MOVE; });
    const CFileOperationResult copied = op.Execute();

    CRunEnds ends = CRunEnds::Of(volume, op.m_to);
    for (size_t i = 0; i < manifest.Size(); ++i) {
        CTransferManifest::CDeleted deleted;
        deleted.moved = CTransferManifest::Moved::Removed;
        if (ends.Both()) {
            deleted = manifest.DeleteVerified(i, op.m_to);
            ends = CRunEnds::Of(volume, op.m_to);
        }
        outcome.sources.push_back(JudgeDeleted(manifest, i, op.m_to, std::move(deleted), ends));
    }
    return copied;
}

} // namespace fhw
