#pragma once
// The settings form: the main frame's only content, a modeless child dialog that edits the
// execute settings of g_setting as the user types or clicks.
#include "app/ButtonBool.h"
#include "app/ComboBox4.h"
#include "app/ExecSetting.h"
#include "app/MruStrings.h"
#include "foundation/Exception.h"
#include "resource.h"
#include "ui/DialogWT.h"
#include "ui/ImageButton.h"

#include <DialogResize.h>
#include <WindowImpl.h>

#include <functional>

class CMsg;

namespace fhw {

class CMainView : public ATL::CDialogImpl<CMainView, CDialogWT<CWindowW>>, public WTL::CDialogResize<CMainView> {
public:
    enum { IDD = IDD_MAINVIEW };

    CMainView();
    ~CMainView() override;
    CMainView(const CMainView&) = delete;
    CMainView& operator=(const CMainView&) = delete;

    // Validates the three texts with the execute job's checks, then records them in the
    // histories; throws my::CCtrlException naming the faulty box.
    void ApplyToSetting() override;
    // ApplyToSetting with the error shown and the faulty box focused; true when it passed.
    // `beforeError` runs first when it failed (the frame shows itself, so that the box can be seen).
    bool Apply(const std::function<void()>& beforeError = nullptr);
    void LoadFromSetting();
    virtual BOOL PreTranslateMessage(MSG* msg);

    // The form's size as the template makes it: the frame sizes its client area to it.
    SIZE GetInitialSize() const { return m_initialSize; }

    static const WTL::DlgResizeItem* GetDlgResizeMap();

    BEGIN_MSG_MAP(CMainView)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_COMMAND, OnCommandRememberFocus)
        COMMAND_ID_HANDLER(IDC_SRC_BROWSE, OnBrowse)
        COMMAND_ID_HANDLER(IDC_DST_BROWSE, OnBrowse)
        COMMAND_ID_HANDLER(IDC_DST_EXPLORER, OnShowDestination)
        COMMAND_ID_HANDLER(ID_APP_START, ForwardCommand)
        COMMAND_ID_HANDLER(ID_APP_RUN, ForwardCommand)
        COMMAND_ID_HANDLER(ID_APP_EXIT, ForwardCommand)
        MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
        CHAIN_MSG_MAP(WTL::CDialogResize<CMainView>)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

    // Where apply errors and browse failures are shown; the application's sink unless repointed.
    ::CMsg* m_msg;

private:
    using CStringBox = CComboBoxString<CExecSetting, CMruStrings>;
    using CFlagBox = CButtonBool<CExecSetting>;

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCommandRememberFocus(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnBrowse(WORD, WORD id, HWND, BOOL&);
    LRESULT OnShowDestination(WORD, WORD, HWND, BOOL&);
    LRESULT ForwardCommand(WORD code, WORD id, HWND control, BOOL&);
    LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL& bHandled);
    // The first of the three checks that fails, as a record naming its box; no error when all pass.
    my::CCtrlException CheckSettings() const;
    void RecordHistories();

    HWND m_lastFocus = nullptr;
    CStringBox m_srcFolder;
    CStringBox m_srcFname;
    CStringBox m_dstFolder;
    CImageButton m_explorerButton;
    CFlagBox m_copy;
    CFlagBox m_confirm;
    CFlagBox m_eject;
    CFlagBox m_showExplorer;
    SIZE m_initialSize{0, 0};
};

} // namespace fhw
