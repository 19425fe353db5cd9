#pragma once
// The cards that arrived and wait for a run, one stamp per drive letter; and what a run hands back:
// the volumes it took up, each stamped when the run was done with its letter. A card is taken up
// once per arrival: an arrival told while a run waited in one of its dialogs, or told late, is
// done when that run took up the very volume now at its letter after the arrival came.
#include "shell/LetterVolumes.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace fhw {

// Orders the arrivals and the take-ups of one process; a later call gives a greater stamp.
using ArrivalStamp = std::uint64_t;
ArrivalStamp NextArrivalStamp();

struct CTakenUpVolume {
    CLetterVolume volume; // as noted when the run listed its sources
    ArrivalStamp stamp;   // when the run was done with the letter
};

using TakenUpVolumes = std::vector<CTakenUpVolume>;

LetterVolumes VolumesOf(const TakenUpVolumes& takenUp);

class CPendingArrivals {
public:
    using VolumeAt = std::function<CLetterVolume(wchar_t letter)>;

    explicit CPendingArrivals(VolumeAt volumeAt = VolumeAtLetter) : m_volumeAt(std::move(volumeAt)) {}

    // The drives of `mask` arrived at `stamp` (a repeated arrival counts from the latest).
    void Arrived(DWORD mask, ArrivalStamp stamp);
    // The drives of `mask` left, or a run took them, or gave them up.
    void Drop(DWORD mask);
    void Clear() { Drop(0xFFFFFFFF); }
    DWORD Mask() const;

    // Drops each pending letter at which `takenUp` holds a take-up later than its arrival of the
    // volume that stands there now; a volume that cannot be read now is no new card either.
    void DropTakenUp(const TakenUpVolumes& takenUp);

private:
    VolumeAt m_volumeAt;
    std::array<std::optional<ArrivalStamp>, 26> m_arrived;
};

} // namespace fhw
