#pragma once
// The modifier keys, and whether the focused control would use a key itself rather than let it
// act as a shortcut.
#include <windows.h>

enum ModifierKey : UINT { kModAlt = 1, kModCtrl = 2, kModShift = 4 };

bool IsAltDown();
bool IsCtrlDown();
bool IsShiftDown();
UINT GetModifierKeys();

// The rule sets by kind of control; the last three serve other kinds of entry fields.
enum class KeyRules { Edit, ComboEdit, Set3, Set4, Set5 };
bool IsKeyForRules(KeyRules rules, UINT vk, UINT modifiers);

bool IsKeyForFocusedControl(UINT vk, UINT modifiers);
