#pragma once
// Wine's stand-in for the shell's move to another volume: the shell's copy, then the delete of
// each file whose copy compared equal. Windows never takes it.
#include "app/SourceVolume.h"
#include "app/TransferManifest.h"
#include "app/TransferOutcome.h"
#include "shell/SHFileOperator.h"

namespace fhw {

// True under Wine for a move whose sources lie on another volume than the destination or that
// lists files: Wine's shell moves nothing of a folder from another file system (and answers
// success), and refuses a move of several files with 1223 though nobody cancelled.
bool NeedsCopyThenDelete(const CSHFileOperator& op);

// Runs the move of `op` as a copy, then deletes of each source what `manifest` (taken with the
// trees and the destination before the run) verifies at the destination, and adds each source's
// verdict to `outcome`; once the card (`volume`) or the destination has gone, nothing more is
// deleted. The copy's result.
CFileOperationResult MoveByCopyThenDelete(CSHFileOperator& op, const CTransferManifest& manifest,
                                          const CSourceVolume& volume, CTransferOutcome& outcome);

} // namespace fhw
