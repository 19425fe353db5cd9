#pragma once
// What a run made of each source it handed to the shell, judged once from what stands where: the
// message and its counts are all read from it, so that they cannot disagree.
#include "app/TransferManifest.h"

#include <string>
#include <vector>

namespace fhw {

struct CSourceOutcome {
    std::wstring source;
    std::wstring copy; // what of it stands at the destination under its name; empty when nothing
    CTransferManifest::Moved moved = CTransferManifest::Moved::NotArrived;
    // Its copy stood whole at the destination when it was judged (Gone and Removed count it arrived).
    bool whole = false;
    // What of it is not where a whole move puts it, and why; judged while both ends were there, else
    // left out.
    std::vector<CTransferManifest::CStayedFile> stayed;

    // Each source counts in one class: arrived whole (or taken to the destination by the shell's
    // own move where not all of it could be checked), partly arrived (files left the card while
    // others stayed), or neither.
    bool CountsArrived() const;
    bool CountsPartly() const { return moved == CTransferManifest::Moved::Partly; }
};

struct CTransferOutcome {
    std::vector<CSourceOutcome> sources; // in the order of the run
    bool sourceGone = false;             // the card went (pulled, or another volume at its letter)
    bool destinationGone = false;
    bool cancelled = false; // the shell stopped on the user's word, both ends there
    // The shell moved the files itself: what left the card was not compared by the program first.
    bool movedByShell = false;

    size_t Arrived() const;
    size_t Partly() const;
    // Every source arrived whole, none of them to be told (gone from the card by another hand), both
    // ends there, nothing cancelled.
    bool Whole() const;
    // Something of some source is to be told beside the counts.
    bool HasListed() const;
};

// True for the verdicts that the message names one by one.
bool IsListed(CTransferManifest::Moved moved);

} // namespace fhw
