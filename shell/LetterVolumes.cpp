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
        if (volume.letter < L'A' || volume.letter > L'Z') continue;
        if (!holds(known, volume) && !holds(takenUp, volume)) letters |= 1u << (volume.letter - L'A');
    }
    return letters;
}
