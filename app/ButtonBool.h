#pragma once
// A check box bound to one flag of a settings record: a click writes the flag at once.
#include "ui/ControlsW.h"

#include <WindowImpl.h>

#include <boost/shared_ptr.hpp>

#include <vector>

// Told after a bound control changed its setting.
class CSettingListener {
public:
    virtual ~CSettingListener() = default;
    virtual void OnEvent(void* sender, int reason) = 0;
};

// The binding of a control to one value of a settings record: record, getter and setter.
template <class TSetting, class TValue> class CSettingSetter {
public:
    using Getter = TValue (TSetting::*)() const;
    using Setter = void (TSetting::*)(TValue);

    void Bind(TSetting* setting, Getter getter, Setter setter)
    {
        m_setting = setting;
        m_getter = getter;
        m_setter = setter;
    }

    // Writes `value` when it differs from the current one (exact comparison); true when it did.
    bool Set(TValue value)
    {
        if (!m_setting || (m_setting->*m_getter)() == value) return false;
        (m_setting->*m_setter)(value);
        return true;
    }

    TSetting* m_setting = nullptr;
    Getter m_getter = nullptr;
    Setter m_setter = nullptr;
    std::vector<boost::shared_ptr<CSettingListener>> m_listeners;
};

template <class TSetting>
class CButtonBool : public ATL::CWindowImpl<CButtonBool<TSetting>, CButtonW>, public CSettingSetter<TSetting, bool> {
public:
    // Subclasses the dialog's check box and shows the bound flag.
    BOOL Attach(HWND checkBox, TSetting* setting, typename CSettingSetter<TSetting, bool>::Getter getter,
                typename CSettingSetter<TSetting, bool>::Setter setter)
    {
        this->Bind(setting, getter, setter);
        if (!this->SubclassWindow(checkBox)) return FALSE;
        this->SetCheck((setting->*getter)() ? BST_CHECKED : BST_UNCHECKED);
        return TRUE;
    }

    virtual void OnChanged(int reason)
    {
        for (const auto& listener : this->m_listeners) listener->OnEvent(this, reason);
    }

    BEGIN_MSG_MAP(CButtonBool)
        MESSAGE_HANDLER(OCM_COMMAND, OnReflectedCommand)
        DEFAULT_REFLECTION_HANDLER()
    END_MSG_MAP()

private:
    LRESULT OnReflectedCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
    {
        if (HIWORD(wParam) != BN_CLICKED || !this->m_setting) {
            bHandled = FALSE;
            return 0;
        }
        const bool checked = this->GetCheck() == BST_CHECKED;
        if ((this->m_setting->*this->m_getter)() != checked) {
            (this->m_setting->*this->m_setter)(checked);
            OnChanged(0);
        }
        return 0;
    }
};
