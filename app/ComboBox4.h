#pragma once
// A drop-down combo box bound to one text of a settings record, offering that text's history as
// its list. What the user types or picks goes into the setting at once; the wheel steps through
// the history without opening the list.
#include "app/ButtonBool.h"
#include "foundation/EventListener.h"
#include "foundation/Exception.h"
#include "ui/ComboBoxParts.h"
#include "ui/EditEx.h"
#include "ui/ListBoxCb.h"
#include "ui/Msg.h"

#include <string>

// The sameness test of history entries: equal code units.
class CSameTextValue {
public:
    static bool Same(const std::wstring& a, const std::wstring& b) { return a == b; }
};

template <class TSetting, class THistory, class TSame = CSameTextValue, class TValue = const std::wstring&>
class CComboBox4 : public ATL::CWindowImpl<CComboBox4<TSetting, THistory, TSame, TValue>, CComboBoxW>,
                   public CSettingSetter<TSetting, TValue> {
public:
    using Setter = CSettingSetter<TSetting, TValue>;
    // Posted to the box itself so that the combo box finishes filling its edit first.
    static constexpr UINT WM_TAKE_SELECTION = WM_APP;
    // The value-changed argument of a change made by typing or by the Enter key.
    static constexpr int kReasonEdit = 5;

    ~CComboBox4() override = default;

    bool Bind(HWND combo, TSetting* setting, typename Setter::Getter getter, typename Setter::Setter setter,
              THistory* history, bool fill)
    {
        Setter::Bind(setting, getter, setter);
        m_history = history;
        if (!this->SubclassWindow(combo)) return false;
        HWND list = nullptr, edit = nullptr;
        if (GetComboBoxParts(combo, list, edit)) {
            if (list) m_list.SubclassWindow(list);
            if (edit && m_edit.SubclassWindow(edit)) {
                using Listener = CMemfunEventListener<CComboBox4>;
                m_edit.m_keyDownListeners.push_back(
                    boost::shared_ptr<CEventListener>(new Listener(this, &CComboBox4::OnEditKeyDown)));
                m_edit.m_charListeners.push_back(
                    boost::shared_ptr<CEventListener>(new Listener(this, &CComboBox4::OnEditChar)));
            }
        }
        if (fill) Refill();
        return true;
    }

    void ShowSettingValue() { ShowValue(Current()); }

    void Refill()
    {
        std::wstring text;
        const bool remembered = GetCurrentText(text, false);
        DWORD selection = static_cast<DWORD>(this->SendMessage(CB_GETEDITSEL));
        while (this->GetCount() != 0) {
            if (this->DeleteString(this->GetCount() - 1) == CB_ERR) break;
        }
        if (m_history) {
            for (const auto& item : m_history->m_items) this->AddString(item->m_text.c_str());
        }
        SetDroppedWidthToFit(this->m_hWnd, m_list.m_hWnd);
        if (remembered) {
            ShowValue(text);
            this->SetEditSel(LOWORD(selection), HIWORD(selection));
        }
    }

    void TakeValue(bool notify, int argument)
    {
        std::wstring value;
        const int selected = this->GetCurSel();
        // The item's own text, not the history entry at its index: the history may have changed
        // since the list was last filled.
        if (!(selected != CB_ERR && this->GetLBText(selected, value))) {
            if (!this->GetWindowTextTrim(value, true)) ThrowControlTextError(this->GetDlgCtrlID());
        }
        if (Setter::Set(value) && notify) FireValueChanged(Argument(argument));
    }

    void TakeValueGuarded(bool notify, int argument, bool rethrow)
    {
        my::CCtrlException err(static_cast<HWND>(nullptr), 0);
        try {
            TakeValue(notify, argument);
        } catch (...) {
            SetFromCurrentException(err);
        }
        if (err.HasError() && rethrow) {
            err.m_hWnd = this->m_hWnd;
            throw err;
        }
    }

    virtual void FireValueChanged(void* argument) { FireEvent(m_valueChanged, this, argument); }
    virtual void FireEnter(void* argument) { FireEvent(m_enter, this, argument); }
    virtual void FireFocusLost(void* argument) { FireEvent(m_focusLost, this, argument); }

    BEGIN_MSG_MAP(CComboBox4)
        MESSAGE_HANDLER(OCM_COMMAND, OnReflectedCommand)
        MESSAGE_HANDLER(WM_TAKE_SELECTION, OnTakeSelection)
        MESSAGE_HANDLER(WM_NCPAINT, OnNcPaint)
        MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
        DEFAULT_REFLECTION_HANDLER()
    END_MSG_MAP()

    THistory* m_history = nullptr;
    CListBoxCb m_list;
    CEditEx m_edit;
    EventListenerList m_valueChanged;
    EventListenerList m_enter;
    EventListenerList m_focusLost;
    bool m_liveUpdate = true;
    bool m_updateOnKillFocus = false;
    bool m_refillOnDropDown = false;

protected:
    static void* Argument(int argument) { return reinterpret_cast<void*>(static_cast<INT_PTR>(argument)); }

    std::wstring Current() const
    {
        return this->m_setting ? std::wstring((this->m_setting->*this->m_getter)()) : std::wstring();
    }

    int HistoryIndex(const std::wstring& text) const
    {
        if (!m_history) return -1;
        int index = 0;
        for (const auto& item : m_history->m_items) {
            if (TSame::Same(item->m_text, text)) return index;
            ++index;
        }
        return -1;
    }

    bool HistoryEntry(int index, std::wstring& text) const
    {
        if (!m_history || index < 0) return false;
        for (const auto& item : m_history->m_items) {
            if (index-- == 0) {
                text = item->m_text;
                return true;
            }
        }
        return false;
    }

    // The selected item's text, else the window text (trimmed when asked).
    bool GetCurrentText(std::wstring& text, bool trim) const
    {
        const int selected = this->GetCurSel();
        if (selected != CB_ERR && this->GetLBText(selected, text)) return true;
        return this->GetWindowTextTrim(text, trim);
    }

    void ShowValue(const std::wstring& text)
    {
        // The list mirrors the history after a refill; an item that disagrees is not selected.
        const int index = HistoryIndex(text);
        std::wstring shown;
        if (index >= 0 && this->GetLBText(index, shown) && shown == text) {
            this->SetCurSel(index);
            return;
        }
        if (this->GetWindowText(shown) && shown == text) return;
        const int found = this->FindStringExact(-1, text.c_str());
        if (found != CB_ERR) {
            this->SetCurSel(found);
            return;
        }
        this->SetCurSel(-1);
        this->SetWindowText(text, true);
    }

    bool HasFocusWithin() const
    {
        HWND focus = ::GetFocus();
        return focus && (focus == this->m_hWnd || ::IsChild(this->m_hWnd, focus));
    }

private:
    void OnEditKeyDown(void*, void* record)
    {
        auto* key = static_cast<CEditKeyEvent*>(record);
        if (!key || key->m_code != VK_RETURN) return;
        TakeValueGuarded(m_liveUpdate, kReasonEdit, false);
        FireEnter(key);
    }

    // Consumed, so the single-line edit does not beep.
    void OnEditChar(void*, void* record)
    {
        auto* key = static_cast<CEditKeyEvent*>(record);
        if (key && key->m_code == VK_RETURN) key->m_handled = true;
    }

    LRESULT OnReflectedCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
    {
        const UINT code = HIWORD(wParam);
        switch (code) {
        case CBN_EDITCHANGE:
            if (m_liveUpdate) TakeValueGuarded(true, kReasonEdit, false);
            return 0;
        case CBN_DROPDOWN:
            if (m_refillOnDropDown) {
                Refill();
                ShowSettingValue();
            }
            return 0;
        case CBN_KILLFOCUS:
            if (m_updateOnKillFocus)
                TakeValueGuarded(true, CBN_KILLFOCUS, false);
            else if (!m_liveUpdate)
                ShowSettingValue();
            FireFocusLost(nullptr);
            return 0;
        case CBN_SELENDOK:
        case CBN_SELENDCANCEL: this->PostMessage(WM_TAKE_SELECTION, code); return 0;
        default: bHandled = FALSE; return 0;
        }
    }

    LRESULT OnTakeSelection(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        TakeValueGuarded(true, static_cast<int>(wParam), false);
        return 0;
    }

    LRESULT OnNcPaint(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        // A selection left in an unfocused box would stay highlighted.
        if (this->SendMessage(CB_GETEDITSEL) != 0 && !HasFocusWithin()) this->SetEditSel(0, 0);
        bHandled = FALSE;
        return 0;
    }

    LRESULT OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        const short delta = static_cast<short>(HIWORD(wParam));
        if (delta == 0) return 0;
        std::wstring text;
        if (!GetCurrentText(text, true)) return 0;
        const int index = HistoryIndex(text);
        const int next = delta < 0 ? index + 1 : index - 1;
        std::wstring entry;
        if (next < 0 || !HistoryEntry(next, entry)) return 0;
        ShowValue(entry);
        if (HasFocusWithin()) this->SetEditSel(0, -1);
        if (m_liveUpdate && Setter::Set(entry)) FireValueChanged(Argument(WM_MOUSEWHEEL));
        return 0;
    }
};

template <class TSetting, class THistory>
class CComboBoxString : public CComboBox4<TSetting, THistory, CSameTextValue, const std::wstring&> {
public:
    ~CComboBoxString() override = default;
};
