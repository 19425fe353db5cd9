#include "app/TakeUpNotes.h"

namespace fhw {

// Every drive the run takes up is noted, whatever its type: Windows tells the arrival of a fixed
// USB disk as it tells a card's, and may tell it more than once. A drive is asked for its volume
// only once its folder is found, unless it is removable (a card without the folder is taken up
// too): a network drive may be slow to answer.
std::optional<CLetterVolume> CTakeUpNotes::Listed(wchar_t letter, UINT type, bool folderThere)
{
    m_noted = false;
    const bool removable = type == DRIVE_REMOVABLE || type == DRIVE_CDROM;
    if (!letter || (!folderThere && !removable)) return std::nullopt;
    m_volumes.push_back({m_volumeAt(letter), NextDriveEventStamp()});
    m_noted = true;
    return m_volumes.back().volume;
}

// Noted again whatever the answer: this is the card the question was about, also when it was
// pulled and put back under it (its removal told there is older than this note). Put back with a
// source the list lacks, the card owes a run of only such sources.
void CTakeUpNotes::Answered(std::list<std::wstring> listed)
{
    if (!m_noted) return;
    CTakenUpVolume& note = m_volumes.back();
    note = {m_volumeAt(note.volume.letter), NextDriveEventStamp(), false, std::move(listed)};
}

void CTakeUpNotes::Gone()
{
    if (m_noted) m_volumes.back().gone = true;
}

} // namespace fhw
