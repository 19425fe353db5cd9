#pragma once
// Which volume stands at each drive letter, told apart by its serial number: a card swapped in a
// reader keeps the letter and its disk's device path.
#include <windows.h>

#include <optional>
#include <vector>

struct CLetterVolume {
    wchar_t letter = 0;
    std::optional<DWORD> serial; // none: no volume there, or none that tells its serial
    bool operator==(const CLetterVolume&) const = default;
};

using LetterVolumes = std::vector<CLetterVolume>;

// The volume that stands at drive `letter` (either case) now.
CLetterVolume VolumeAtLetter(wchar_t letter);

// The letters of `now` whose volume `known` did not hold at that letter and `takenUp` did not
// either. A volume that cannot be read (no medium, a failed query) is no new one.
DWORD NewVolumeLetters(const LetterVolumes& now, const LetterVolumes& known, const LetterVolumes& takenUp);

// `now`, in which each letter whose volume cannot be read keeps the volume `known` held there: one
// failed query does not forget a card, which would then count as new when it reads again.
LetterVolumes KeepKnownWhereUnread(LetterVolumes now, const LetterVolumes& known);
