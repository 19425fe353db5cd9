#pragma once
// Wine's stand-in for the shell's move to another volume: the shell's copy, then the delete of
// each file whose copy compared equal. Windows never takes it.
#include "app/TransferManifest.h"
#include "shell/SHFileOperator.h"

#include <list>
#include <string>
#include <vector>

namespace fhw {

// What a move by copy and delete made of one source that did not go whole, and what stands of
// it at the destination (`copy`, empty when nothing does under its name).
struct CSourceOutcome {
    std::wstring source;
    std::wstring copy;
    CTransferManifest::Moved moved;
    size_t files = 0;    // left the card through the deletes
    bool stands = false; // still on the card
    std::vector<CTransferManifest::CStayedFile> stayed;
};

// The sources that did not go whole, in the order of the run.
struct CKeptSources {
    std::vector<CSourceOutcome> outcomes;
    bool Empty() const { return outcomes.empty(); }
    // Sources that still stand, of which files left the card.
    size_t PartlyArrived() const;
};

// True under Wine for a move whose sources lie on another volume than the destination or that
// lists files: Wine's shell moves nothing of a folder from another file system (and answers
// success), and refuses a move of several files with 1223 though nobody cancelled.
bool NeedsCopyThenDelete(const CSHFileOperator& op);

// Runs the move of `op` as a copy, then deletes of each source what `manifest` (taken with the
// trees and the destination before the run) verifies at the destination. The copy's result.
CFileOperationResult MoveByCopyThenDelete(CSHFileOperator& op, const CTransferManifest& manifest, CKeptSources& kept);

} // namespace fhw
