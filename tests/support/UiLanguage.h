#pragma once
// The user-interface language the string table answers in (Wine takes it from LC_ALL).
#include <windows.h>

inline bool IsJapaneseUi() { return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_JAPANESE; }

// Picks the expected text of a library message for the running language.
inline const wchar_t* ByLanguage(const wchar_t* english, const wchar_t* japanese)
{
    return IsJapaneseUi() ? japanese : english;
}
