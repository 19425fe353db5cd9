#pragma once
// The message of a run whose sources did not all go whole, read from its one list of verdicts.
#include "app/TransferOutcome.h"

#include <windows.h>

#include <string>

namespace fhw {

// Message `headId` with the drive, the operation `verb`, the sources handed to the shell and how
// many of them arrived whole or in part; then, for each kind of source that is named one by one,
// its paragraph. The whole text keeps within the lines a message box shows on the screen: each
// list names the sources that fit, then says how many more there are; a path too wide for the
// screen is shortened in its middle.
std::wstring ComposeOutcomeMessage(UINT headId, wchar_t drive, const std::wstring& verb,
                                   const CTransferOutcome& outcome);

} // namespace fhw
