#pragma once
// The base every dialog derives from: a window with an apply step that dialogs may override.
#include "ui/WindowW.h"

template <class TBase = CWindowW> class CDialogWT : public TBase {
public:
    CDialogWT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    virtual void ApplyToSetting() {}
    virtual ~CDialogWT() = default;
};
