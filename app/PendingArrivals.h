#pragma once
// The cards that arrived and wait for a run, and the cards that runs took up. An arrival is the
// card a run took up, and is dropped, while that very volume stands at its letter and no removal
// of the letter has been seen since the run took it up: neither a removal notice nor the run
// finding the card gone. Any other arrival is a new card, taken up after the run however late its
// notice is handled (a busy thread's notices come during the run on Windows, after it under Wine).
// A card that came back under a run's question holding sources the run's list lacked waits for a
// run of only those.
#include "shell/LetterVolumes.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <list>
#include <optional>
#include <string>
#include <vector>

namespace fhw {

// Orders the take-ups and the removals of one process; a later call gives a greater stamp.
using DriveEventStamp = std::uint64_t;
DriveEventStamp NextDriveEventStamp();

struct CTakenUpVolume {
    CLetterVolume volume;  // as noted when the run listed its sources, or had its question answered
    DriveEventStamp stamp; // when it was noted
    bool gone = false;     // the run found the card gone afterwards
    // The run's list, when the card came back under its question holding sources the list lacks:
    // its arrival then brings only those.
    std::list<std::wstring> listed;
};

using TakenUpVolumes = std::vector<CTakenUpVolume>;

class CPendingArrivals {
public:
    using VolumeAt = std::function<CLetterVolume(wchar_t letter)>;

    explicit CPendingArrivals(VolumeAt volumeAt = VolumeAtLetter) : m_volumeAt(std::move(volumeAt)) {}

    // The drives of `mask` arrived.
    void Arrived(DWORD mask);
    // A removal of the drives of `mask` was told at `stamp`: their arrivals are dropped, and what
    // runs took up there before it is no card there any more.
    void Removed(DWORD mask, DriveEventStamp stamp);
    // A run took the drives of `mask`, or gave them up.
    void Drop(DWORD mask);
    void Clear() { Drop(0xFFFFFFFF); }
    DWORD Mask() const;

    // What a run took up, handed over when it ended: each volume holds at its letter unless the run
    // found it gone or a removal there was told after the run noted it. One that came back holding
    // sources the run's list lacked waits for a run of those.
    void RunEnded(const TakenUpVolumes& takenUp);
    // Drops each pending arrival at whose letter a taken-up volume holds and stands now, and owes
    // nothing; a volume that cannot be read now is no new card either.
    void DropTakenUp();
    // Leaves out of `sources` on `volume` those that a run's list held when the card came back
    // with others; how many it left out.
    size_t LeaveOutListed(const CLetterVolume& volume, std::list<std::wstring>& sources) const;
    // The taken-up volumes that hold: a card found unannounced is none of them.
    LetterVolumes TakenUp() const;

private:
    VolumeAt m_volumeAt;
    std::array<bool, 26> m_pending{};
    std::array<DriveEventStamp, 26> m_removed{}; // the latest removal told at each letter
    std::array<std::optional<CLetterVolume>, 26> m_takenUp;
    std::array<std::list<std::wstring>, 26> m_listed; // what the run that took it up listed, when owing
};

} // namespace fhw
