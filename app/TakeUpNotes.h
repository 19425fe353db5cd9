#pragma once
// What one run notes of the drives it takes up, as it lists their sources and as their question
// is answered; handed to the arrival record when the run ends, so that an arrival of such a drive,
// told meanwhile or late, does not take it up again.
#include "app/PendingArrivals.h"

#include <list>
#include <optional>
#include <string>

namespace fhw {

class CTakeUpNotes {
public:
    CTakeUpNotes() : m_volumeAt(VolumeAtLetter) {}
    explicit CTakeUpNotes(CPendingArrivals::VolumeAt volumeAt) : m_volumeAt(std::move(volumeAt)) {}

    // The run lists the sources on the drive at `letter` (0 for a path without one), of `type`,
    // whose source folder is or is not there. The noted volume; none when not noted.
    std::optional<CLetterVolume> Listed(wchar_t letter, UINT type, bool folderThere);
    // The question about the drive listed last was answered, OK or Cancel, and the card it asked
    // about stands at its letter. `listed` is the run's list when the card now holds a source that
    // the list lacks, else empty.
    void Answered(std::list<std::wstring> listed);
    // The run found the card listed last gone.
    void Gone();
    // The card listed last came back under its question holding a source the list lacks.
    bool OwesRun() const { return m_noted && !m_volumes.back().listed.empty(); }

    const TakenUpVolumes& Volumes() const { return m_volumes; }

private:
    CPendingArrivals::VolumeAt m_volumeAt;
    TakenUpVolumes m_volumes;
    bool m_noted = false; // the drive listed last
};

} // namespace fhw
