#pragma once
// The message of a run whose sources did not all go whole, read from its one list of verdicts.
#include "app/TransferOutcome.h"

#include <windows.h>

#include <string>

class CMessageMeasure;

namespace fhw {

// Message `headId` with the drive, the operation `verb`, the sources handed to the shell and how
// many of them arrived whole or in part; then, for each kind of source that is named one by one,
// its paragraph. The whole box keeps within `measure`'s bound, its text measured as the box draws
// it: the paragraphs whose folders hold the only copies name theirs first, then the others; each
// list names the sources that fit, then says how many more there are; a run too wide for the box
// is shortened in its middle.
std::wstring ComposeOutcomeMessage(UINT headId, wchar_t drive, const std::wstring& verb,
                                   const CTransferOutcome& outcome, const CMessageMeasure& measure);

// The size an outcome box keeps within on `workArea` of a monitor at `dpi`: the work area, and never
// more than one of 1280 x 800 shows at that monitor's scale, so that a long list does not fill a
// large screen, and a scaled monitor names what an unscaled one does.
SIZE OutcomeMessageBound(const RECT& workArea, UINT dpi);

} // namespace fhw
