#include "ui/KeyState.h"

#include "ui/WindowClass.h"

#include <string>

bool IsAltDown() { return ::GetKeyState(VK_MENU) < 0; }
bool IsCtrlDown() { return ::GetKeyState(VK_CONTROL) < 0; }
bool IsShiftDown() { return ::GetKeyState(VK_SHIFT) < 0; }

UINT GetModifierKeys()
{
    UINT mask = 0;
    if (IsAltDown()) mask |= kModAlt;
    if (IsCtrlDown()) mask |= kModCtrl;
    if (IsShiftDown()) mask |= kModShift;
    return mask;
}

namespace {

bool IsCharacterKey(UINT vk)
{
    return (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9') || (vk >= VK_NUMPAD0 && vk <= VK_DIVIDE) ||
           (vk >= 186 && vk <= 228);
}

bool IsNavigationKey(UINT vk) { return vk == VK_END || vk == VK_HOME || (vk >= VK_LEFT && vk <= VK_DOWN); }

bool IsEditKey(UINT vk, UINT m)
{
    if (vk == VK_BACK || vk == VK_RETURN || vk == VK_SPACE || vk == VK_DELETE || IsNavigationKey(vk)) return true;
    if (m == kModCtrl && (vk == 'A' || vk == 'C' || vk == 'V' || vk == 'X')) return true;
    return false;
}

} // namespace

bool IsKeyForRules(KeyRules rules, UINT vk, UINT m)
{
    const bool plain = m == 0 || m == kModShift;
    if (plain && IsCharacterKey(vk)) return true;
    switch (rules) {
    case KeyRules::Edit: return IsEditKey(vk, m);
    case KeyRules::ComboEdit: return IsEditKey(vk, m) || (vk == VK_F4 && m != kModAlt);
    case KeyRules::Set3:
        if (!(m & kModAlt) && (vk == VK_BACK || vk == VK_SPACE || IsNavigationKey(vk))) return true;
        return m == kModCtrl && vk == VK_ADD;
    case KeyRules::Set4: return vk == VK_BACK || IsNavigationKey(vk);
    case KeyRules::Set5:
        return vk == VK_BACK || vk == VK_RETURN || vk == VK_MENU || vk == VK_ESCAPE || IsNavigationKey(vk);
    }
    return false;
}

bool IsKeyForFocusedControl(UINT vk, UINT modifiers)
{
    const HWND focus = ::GetFocus();
    std::wstring name;
    if (!focus || !GetClassNameString(focus, name)) return false;
    if (IsEditClass(name)) {
        std::wstring parent;
        const bool inCombo = GetClassNameString(::GetParent(focus), parent) &&
                             (IsComboBoxClass(parent) || IsComboBoxExClass(parent));
        return IsKeyForRules(inCombo ? KeyRules::ComboEdit : KeyRules::Edit, vk, modifiers);
    }
    if (IsButtonClass(name)) return vk == VK_SPACE;
    return false;
}
