#pragma once
// Each source's verdict, made from what stands at both ends of the run when it is judged: a
// verdict made while an end was going is not known to be right, so only what is sure of it stands.
#include "app/SourceVolume.h"
#include "app/TransferOutcome.h"

#include <string>

namespace fhw {

// Whether the card the sources came from and the destination folder are there now.
struct CRunEnds {
    bool source = true;
    bool destination = true;
    static CRunEnds Of(const CSourceVolume& volume, const std::wstring& destination);
    bool Both() const { return source && destination; }
};

// Source `index` of `manifest` after its deletes gave `deleted`, judged with the ends as they were
// once those were done.
CSourceOutcome JudgeDeleted(const CTransferManifest& manifest, size_t index, const std::wstring& destination,
                            CTransferManifest::CDeleted deleted, const CRunEnds& ends);

// Each source after the shell's own copy or move into `destination`: it arrived whole, or it is
// judged by what stands on the card and in its copy, listed, never read.
void JudgeShellOperation(const CTransferManifest& manifest, const std::wstring& destination, bool move,
                         const CSourceVolume& volume, CTransferOutcome& outcome);

} // namespace fhw
