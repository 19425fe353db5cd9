#include "app/PendingArrivals.h"

namespace fhw {

// A sequence rather than the tick count: an arrival and a take-up within one tick must still be
// ordered. Read and written on the user-interface thread only.
ArrivalStamp NextArrivalStamp()
{
    static ArrivalStamp last = 0;
    return ++last;
}

LetterVolumes VolumesOf(const TakenUpVolumes& takenUp)
{
    LetterVolumes volumes;
    for (const CTakenUpVolume& taken : takenUp) volumes.push_back(taken.volume);
    return volumes;
}

void CPendingArrivals::Arrived(DWORD mask, ArrivalStamp stamp)
{
    for (size_t i = 0; i < m_arrived.size(); ++i) {
        if (mask & (1u << i)) m_arrived[i] = stamp;
    }
}

void CPendingArrivals::Drop(DWORD mask)
{
    for (size_t i = 0; i < m_arrived.size(); ++i) {
        if (mask & (1u << i)) m_arrived[i].reset();
    }
}

DWORD CPendingArrivals::Mask() const
{
    DWORD mask = 0;
    for (size_t i = 0; i < m_arrived.size(); ++i) {
        if (m_arrived[i]) mask |= 1u << i;
    }
    return mask;
}

void CPendingArrivals::DropTakenUp(const TakenUpVolumes& takenUp)
{
    for (size_t i = 0; i < m_arrived.size(); ++i) {
        if (!m_arrived[i]) continue;
        const wchar_t letter = static_cast<wchar_t>(L'A' + i);
        std::optional<CLetterVolume> now; // read only for a letter that a run took up since
        for (const CTakenUpVolume& taken : takenUp) {
            if (taken.volume.letter != letter || taken.stamp <= *m_arrived[i]) continue;
            if (!now) now = m_volumeAt(letter);
            // Another card put in at the letter since the run listed its sources waits for its own run.
            if (!now->serial || *now == taken.volume) {
                m_arrived[i].reset();
                break;
            }
        }
    }
}

} // namespace fhw
