#pragma once
// Button, edit, list box and combo box wrappers over CWindowW: thin member forms of their messages.
#include "ui/WindowW.h"

#include <commctrl.h>

#include <string>

class CButtonW : public CWindowW {
public:
    CButtonW(HWND hWnd = nullptr) noexcept : CWindowW(hWnd) {}
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
    void Click() const { SendMessage(BM_CLICK); }
};

class CEditW : public CWindowW {
public:
    CEditW(HWND hWnd = nullptr) noexcept : CWindowW(hWnd) {}
    void SetSel(int start, int end) const { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
    void GetSel(int& start, int& end) const
    {
        DWORD s = 0, e = 0;
        SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        start = static_cast<int>(s);
        end = static_cast<int>(e);
    }
    void ReplaceSel(const wchar_t* text, bool canUndo = false) const
    {
        SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text));
    }
    void LimitText(int count) const { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(count)); }
};

// Members shared by list boxes and combo boxes; the parameters are the control's own messages.
template <UINT MGetCount, UINT MGetTextLen, UINT MGetText, UINT MAddString, UINT MInsertString, UINT MDeleteString,
          UINT MResetContent, UINT MGetCurSel, UINT MSetCurSel, UINT MFindExact, int Error>
class CListLikeW : public CWindowW {
public:
    CListLikeW(HWND hWnd = nullptr) noexcept : CWindowW(hWnd) {}
    int GetCount() const { return static_cast<int>(SendMessage(MGetCount)); }
    int AddString(const wchar_t* text) const { return static_cast<int>(SendMessage(MAddString, 0, Text(text))); }
    int InsertString(int index, const wchar_t* text) const
    {
        return static_cast<int>(SendMessage(MInsertString, static_cast<WPARAM>(index), Text(text)));
    }
    int DeleteString(int index) const
    {
        return static_cast<int>(SendMessage(MDeleteString, static_cast<WPARAM>(index)));
    }
    void ResetContent() const { SendMessage(MResetContent); }
    int GetCurSel() const { return static_cast<int>(SendMessage(MGetCurSel)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(MSetCurSel, static_cast<WPARAM>(index))); }
    int FindStringExact(int start, const wchar_t* text) const
    {
        return static_cast<int>(SendMessage(MFindExact, static_cast<WPARAM>(start), Text(text)));
    }
    // The item's text as a wide string; false for an index with no item.
    bool GetItemText(int index, std::wstring& text) const
    {
        const int length = static_cast<int>(SendMessage(MGetTextLen, static_cast<WPARAM>(index)));
        if (length == Error || length < 0) return false;
        std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
        const int n = static_cast<int>(
            SendMessage(MGetText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data())));
        if (n == Error || n < 0) return false;
        buffer.resize(static_cast<size_t>(n));
        text.swap(buffer);
        return true;
    }

private:
    static LPARAM Text(const wchar_t* text) { return reinterpret_cast<LPARAM>(text ? text : L""); }
};

using CListBoxW = CListLikeW<LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING,
                             LB_RESETCONTENT, LB_GETCURSEL, LB_SETCURSEL, LB_FINDSTRINGEXACT, LB_ERR>;

class CComboBoxW
    : public CListLikeW<CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING,
                        CB_RESETCONTENT, CB_GETCURSEL, CB_SETCURSEL, CB_FINDSTRINGEXACT, CB_ERR> {
public:
    CComboBoxW(HWND hWnd = nullptr) noexcept : CListLikeW(hWnd) {}
    bool GetLBText(int index, std::wstring& text) const { return GetItemText(index, text); }
    bool GetDroppedState() const { return SendMessage(CB_GETDROPPEDSTATE) != 0; }
    void ShowDropDown(bool show = true) const { SendMessage(CB_SHOWDROPDOWN, show); }
    void SetEditSel(int start, int end) const { SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(start, end)); }
    void LimitText(int count) const { SendMessage(CB_LIMITTEXT, static_cast<WPARAM>(count)); }
};
