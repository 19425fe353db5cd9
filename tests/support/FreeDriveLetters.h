#pragma once
#include <windows.h>

#include <vector>

// Up to `count` letters with no drive behind them, from `first` down to `last`. Test programs that
// run side by side in one Wine prefix take letters from ranges of their own.
inline std::vector<wchar_t> FreeDriveLetters(size_t count, wchar_t first, wchar_t last)
{
    std::vector<wchar_t> letters;
    wchar_t root[] = L"A:\\";
    for (wchar_t letter = first; letter >= last && letters.size() < count; --letter) {
        root[0] = letter;
        if (::GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR) letters.push_back(letter);
    }
    return letters;
}
