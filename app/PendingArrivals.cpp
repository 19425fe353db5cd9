#include "app/PendingArrivals.h"

#include <algorithm>

namespace fhw {

namespace {

template <class Each> void ForEachLetter(DWORD mask, Each each)
{
    for (size_t i = 0; i < 26; ++i) {
        if (mask & (1u << i)) each(i);
    }
}

} // namespace

// A sequence rather than the tick count: a take-up and a removal within one tick must still be
// ordered. Read and written on the user-interface thread only.
DriveEventStamp NextDriveEventStamp()
{
    static DriveEventStamp last = 0;
    return ++last;
}

void CPendingArrivals::Arrived(DWORD mask)
{
    ForEachLetter(mask, [this](size_t i) { m_pending[i] = true; });
}

void CPendingArrivals::Removed(DWORD mask, DriveEventStamp stamp)
{
    ForEachLetter(mask, [&](size_t i) {
        m_pending[i] = false;
        m_removed[i] = std::max(m_removed[i], stamp);
        m_takenUp[i].reset();
        m_listed[i].clear();
    });
}

void CPendingArrivals::Drop(DWORD mask)
{
    ForEachLetter(mask, [this](size_t i) {
        m_pending[i] = false;
        m_listed[i].clear();
    });
}

OwedRuns CPendingArrivals::TakeAll()
{
    OwedRuns owed;
    ForEachLetter(0xFFFFFFFF, [&](size_t i) {
        if (m_pending[i] && m_takenUp[i] && !m_listed[i].empty()) owed.push_back({*m_takenUp[i], m_listed[i]});
    });
    Clear();
    return owed;
}

DWORD CPendingArrivals::Mask() const
{
    DWORD mask = 0;
    ForEachLetter(0xFFFFFFFF, [&](size_t i) {
        if (m_pending[i]) mask |= 1u << i;
    });
    return mask;
}

void CPendingArrivals::RunEnded(const TakenUpVolumes& takenUp, bool followUp)
{
    for (const CTakenUpVolume& taken : takenUp) {
        const wchar_t letter = taken.volume.letter;
        if (letter < L'A' || letter > L'Z') continue;
        const size_t i = letter - L'A';
        // Told of a removal only after the run (Wine's busy thread), it still came after the take-up.
        if (taken.gone || m_removed[i] > taken.stamp) {
            m_takenUp[i].reset();
            m_listed[i].clear();
            continue;
        }
        m_takenUp[i] = taken.volume;
        m_listed[i].clear();
        // The sources it came back with get a run, also when its arrival is never told.
        if (followUp && !taken.listed.empty()) {
            m_listed[i] = taken.listed;
            m_pending[i] = true;
        }
    }
}

void CPendingArrivals::DropTakenUp()
{
    ForEachLetter(0xFFFFFFFF, [this](size_t i) {
        if (!m_pending[i] || !m_takenUp[i] || !m_listed[i].empty()) return;
        const CLetterVolume now = m_volumeAt(static_cast<wchar_t>(L'A' + i));
        // Another card put in at the letter, unannounced, is a new one.
        if (!now.serial || now == *m_takenUp[i]) m_pending[i] = false;
    });
}

size_t LeaveOutOwed(OwedRuns& owed, const CLetterVolume& volume, std::list<std::wstring>& sources)
{
    const auto run = std::find_if(owed.begin(), owed.end(), [&](const COwedRun& o) { return o.volume == volume; });
    if (run == owed.end()) return 0;
    const std::list<std::wstring> listed = std::move(run->listed);
    owed.erase(run);
    return std::erase_if(sources, [&listed](const std::wstring& source) {
        return std::find(listed.begin(), listed.end(), source) != listed.end();
    });
}

LetterVolumes CPendingArrivals::TakenUp() const
{
    LetterVolumes volumes;
    for (const std::optional<CLetterVolume>& volume : m_takenUp) {
        if (volume) volumes.push_back(*volume);
    }
    return volumes;
}

} // namespace fhw
