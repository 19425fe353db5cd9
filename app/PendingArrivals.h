#pragma once
// The cards that arrived and wait for a run, and the cards that runs took up. An arrival is the
// card a run took up, and is dropped, while that very volume stands at its letter and no removal
// of the letter has been seen since the run took it up: neither a removal notice nor the run
// finding the card gone. Any other arrival is a new card, taken up after the run however late its
// notice is handled (a busy thread's notices come during the run on Windows, after it under Wine).
// A card that came back under a run's question holding sources the run's list lacked waits for a
// run of only those: the list serves that run and no other, and lives no longer than its wait.
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

// A run a card owes: of the sources on `volume` that `listed`, the list of the run it came back to,
// lacks.
struct COwedRun {
    CLetterVolume volume;
    std::list<std::wstring> listed;
};

using OwedRuns = std::vector<COwedRun>;

// Leaves out of `sources` on `volume` those that the run it owes has listed, and spends that run's
// list: it serves one listing only. How many it left out.
size_t LeaveOutOwed(OwedRuns& owed, const CLetterVolume& volume, std::list<std::wstring>& sources);

class CPendingArrivals {
public:
    using VolumeAt = std::function<CLetterVolume(wchar_t letter)>;

    explicit CPendingArrivals(VolumeAt volumeAt = VolumeAtLetter) : m_volumeAt(std::move(volumeAt)) {}

    // The drives of `mask` arrived.
    void Arrived(DWORD mask);
    // A removal of the drives of `mask` was told at `stamp`: their arrivals are dropped, and what
    // runs took up there before it is no card there any more.
    void Removed(DWORD mask, DriveEventStamp stamp);
    // A run took the drives of `mask`, or gave them up; a run their cards owed goes with them.
    void Drop(DWORD mask);
    void Clear() { Drop(0xFFFFFFFF); }
    // A run starts and takes every pending drive; the runs their cards owe, handed to it.
    OwedRuns TakeAll();
    DWORD Mask() const;

    // What a run took up, handed over when it ended: each volume holds at its letter unless the run
    // found it gone or a removal there was told after the run noted it. One that came back holding
    // sources the run's list lacked waits for a run of those when `followUp` (the program is armed);
    // else nothing follows and the list goes.
    void RunEnded(const TakenUpVolumes& takenUp, bool followUp);
    // Drops each pending arrival at whose letter a taken-up volume holds and stands now, and owes
    // nothing; a volume that cannot be read now is no new card either.
    void DropTakenUp();
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
