#include "app/RunJudgement.h"

#include "app/TransferManifest.h"
#include "foundation/PathHelpers.h"

namespace fhw {

namespace {

using Moved = CTransferManifest::Moved;

// The path at `destination` of what the copy of `source` left there; empty when nothing stands there.
std::wstring CopyAt(const std::wstring& source, const std::wstring& destination)
{
    std::wstring name;
    GetFileName(source, name);
    const std::wstring copy = CombinePath(destination, name);
    return ::GetFileAttributesW(copy.c_str()) == INVALID_FILE_ATTRIBUTES ? std::wstring() : copy;
}

} // namespace

CRunEnds CRunEnds::Of(const CSourceVolume& volume, const std::wstring& destination)
{
    return {volume.IsThere(), IsFolderPresent(destination)};
}

CSourceOutcome JudgeDeleted(const CTransferManifest& manifest, size_t index, const std::wstring& destination,
                            CTransferManifest::CDeleted deleted, const CRunEnds& ends)
{
    CSourceOutcome outcome{manifest.Source(index), CopyAt(manifest.Source(index), destination), deleted.moved};
    if (!ends.Both() && deleted.moved != Moved::All && deleted.moved != Moved::Missing) {
        // What the deletes took from the card stands only at the destination, whatever went since.
        outcome.moved = deleted.files ? Moved::Partly : Moved::Removed;
    } else {
        outcome.stayed = std::move(deleted.stayed);
    }
    outcome.whole = outcome.moved == Moved::All ||
                    manifest.Arrived(index, destination, true, ends.source, ends.destination);
    return outcome;
}

void JudgeShellOperation(const CTransferManifest& manifest, const std::wstring& destination, bool move,
                         const CSourceVolume& volume, CTransferOutcome& outcome)
{
    const CRunEnds ends = CRunEnds::Of(volume, destination);
    outcome.movedByShell = move;
    for (size_t i = 0; i < manifest.Size(); ++i) {
        CSourceOutcome source{manifest.Source(i), CopyAt(manifest.Source(i), destination)};
        source.whole = manifest.Arrived(i, destination, move, ends.source, ends.destination);
        if (source.whole)
            source.moved = Moved::All;
        else if (!ends.Both())
            source.moved = Moved::Removed;
        else // judged from what stands where, in the classes of the move by copy and delete
            source.moved = move ? manifest.JudgeMove(i, destination, source.stayed)
                                : manifest.JudgeCopy(i, destination, source.stayed);
        outcome.sources.push_back(std::move(source));
    }
}

} // namespace fhw
