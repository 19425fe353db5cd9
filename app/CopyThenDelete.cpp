#include "app/CopyThenDelete.h"

#include "app/TransferManifest.h"
#include "foundation/PathHelpers.h"
#include "foundation/ScopeExit.h"
#include "foundation/Wine.h"
#include "shell/FileUtilities.h"

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

CFileOperationResult MoveByCopyThenDelete(CSHFileOperator& op, const CTransferManifest& manifest, CKeptSources& kept)
{
    op.m_wFunc = FO_COPY;
    const auto restore = ScopeExit([&op] { op.m_wFunc = FO_MOVE; });
    const CFileOperationResult copied = op.Execute();

    std::list<std::wstring> whole;
    for (size_t i = 0; i < manifest.Size(); ++i) {
        switch (manifest.CheckCopy(i, op.m_to)) {
        case CTransferManifest::Copy::Whole: whole.push_back(manifest.Source(i)); break;
        case CTransferManifest::Copy::NameStoodBefore: kept.stood.push_back(manifest.Source(i)); break;
        case CTransferManifest::Copy::NotWhole: kept.notWhole.push_back(manifest.Source(i)); break;
        case CTransferManifest::Copy::Missing: break;
        }
    }
    if (whole.empty()) return copied;
    // No question: the user asked for a move, and each of these stands whole at the destination.
    files::DeleteFiles(whole, op.m_hWnd, FOF_NOCONFIRMATION | FOF_NOERRORUI, nullptr);
    for (const std::wstring& source : whole)
        if (::GetFileAttributesW(source.c_str()) != INVALID_FILE_ATTRIBUTES) kept.undeleted.push_back(source);
    return copied;
}

} // namespace fhw
