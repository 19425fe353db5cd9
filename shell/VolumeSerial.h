#pragma once
// What tells one volume from another at the same drive letter: a card swapped in a reader keeps
// the letter and the device, not the serial number.
#include <windows.h>

// The serial number of the volume at drive `letter`; false when no volume stands there or the
// system cannot tell it. Under Wine a folder presented as a drive takes it from a
// ".windows-serial" file at its root when the drive is defined, and from the letter otherwise.
bool QueryVolumeSerial(wchar_t letter, DWORD& serial);
