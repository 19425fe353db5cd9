#include "shell/LetterVolumes.h"

#include "shell/VolumeSerial.h"

#include <algorithm>
#include <cwctype>

CLetterVolume VolumeAtLetter(wchar_t letter)
{
    CLetterVolume volume{static_cast<wchar_t>(std::towupper(letter)), std::nullopt};
    DWORD serial = 0;
    if (QueryVolumeSerial(letter, serial)) volume.serial = serial;
    return volume;
}

DWORD NewVolumeLetters(const LetterVolumes& now, const LetterVolumes& known, const LetterVolumes& takenUp)
{
    const auto holds = [](const LetterVolumes& volumes, const CLetterVolume& volume) {
        return std::find(volumes.begin(), volumes.end(), volume) != volumes.end();
    };
    DWORD letters = 0;
    for (const CLetterVolume& volume : now) {
        if (volume.letter < L'A' || volume.letter > L'Z' || !volume.serial) continue;
        if (!holds(known, volume) && !holds(takenUp, volume)) letters |= 1u << (volume.letter - L'A');
    }
    return letters;
}

LetterVolumes KeepKnownWhereUnread(LetterVolumes now, const LetterVolumes& known)
{
    for (CLetterVolume& volume : now) {
        if (volume.serial) continue;
        const auto same = std::find_if(known.begin(), known.end(), [&](const CLetterVolume& before) {
            return before.letter == volume.letter && before.serial;
        });
        if (same != known.end()) volume = *same;
    }
    return now;
}
