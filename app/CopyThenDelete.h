#pragma once
// Wine's stand-in for the shell's move to another volume: the shell's copy, then the delete of
// each file whose copy compared equal. Windows never takes it.
#include "app/TransferManifest.h"
#include "shell/SHFileOperator.h"

#include <list>
#include <string>
#include <vector>

namespace fhw {

// A source whose copy lacks something or differs, and what stands of that copy at the destination
// (empty when nothing does).
struct CIncompleteCopy {
    std::wstring source;
    std::wstring copy;
};

// A source of which some files left the card after their copies compared equal: the copy at the
// destination holds the only ones of those. The files that stayed, and why.
struct CPartlyMoved {
    std::wstring source;
    std::wstring copy;
    std::vector<CTransferManifest::CStayedFile> stayed;
};

// The sources that stayed where they were, and why.
struct CKeptSources {
    std::list<std::wstring> stood; // the name stood at the destination before the run
    std::list<CIncompleteCopy> notWhole;
    std::list<CPartlyMoved> partly;
    std::list<std::wstring> changed;   // it holds what it did not hold when the run began
    std::list<std::wstring> undeleted; // the copy is whole, the delete failed
    std::list<std::wstring> vanished;  // gone from its drive, though not through the deletes
    size_t partlyArrived = 0;          // sources that still stand, of which files left the card
    bool Empty() const
    {
        return stood.empty() && notWhole.empty() && partly.empty() && changed.empty() && undeleted.empty() &&
               vanished.empty();
    }
};

// True under Wine for a move whose sources lie on another volume than the destination or that
// lists files: Wine's shell moves nothing of a folder from another file system (and answers
// success), and refuses a move of several files with 1223 though nobody cancelled.
bool NeedsCopyThenDelete(const CSHFileOperator& op);

// Runs the move of `op` as a copy, then deletes of each source what `manifest` (taken with the
// trees and the destination before the run) verifies at the destination. The copy's result.
CFileOperationResult MoveByCopyThenDelete(CSHFileOperator& op, const CTransferManifest& manifest, CKeptSources& kept);

} // namespace fhw
