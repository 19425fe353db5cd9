#include "app/MainView.h"

#include "app/Command.h"
#include "app/CommandExplorer.h"
#include "app/CommandTable.h"
#include "app/ExecChecks.h"
#include "app/Setting.h"
#include "foundation/ResString.h"
#include "shell/ItemIDList.h"
#include "ui/Msg.h"

#include <shlobj.h>
#include <shlwapi.h>

namespace fhw {

namespace {

int CALLBACK BrowseCallback(HWND hWnd, UINT msg, LPARAM, LPARAM data)
{
    // Only relative texts are left out: the browser starts at the current folder otherwise.
    const auto* start = reinterpret_cast<const std::wstring*>(data);
    if (msg == BFFM_INITIALIZED && start && !::PathIsRelativeW(start->c_str()))
        ::SendMessageW(hWnd, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start->c_str()));
    return 0;
}

} // namespace

CMainView::CMainView() : m_msg(&g_msg) {}

CMainView::~CMainView() = default;

const WTL::DlgResizeItem* CMainView::GetDlgResizeMap()
{
    static const WTL::DlgResizeItem map[] = {{IDC_SRC_FOLDER, WTL::DLSZ_SIZE_X}, {IDC_SRC_FNAME, WTL::DLSZ_SIZE_X},
                                             {IDC_DST_FOLDER, WTL::DLSZ_SIZE_X}, {IDC_SRC_BROWSE, WTL::DLSZ_MOVE_X},
                                             {IDC_DST_BROWSE, WTL::DLSZ_MOVE_X}, {IDC_DST_EXPLORER, WTL::DLSZ_MOVE_X},
                                             {ID_APP_EXIT, WTL::DLSZ_MOVE_X},    {ID_APP_RUN, WTL::DLSZ_MOVE_X},
                                             {ID_APP_START, WTL::DLSZ_MOVE_X},   {0, 0}};
    return map;
}

LRESULT CMainView::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    RECT window{};
    GetWindowRect(&window);
    m_initialSize = SIZE{window.right - window.left, window.bottom - window.top};

    if (m_explorerButton.SubclassWindow(GetDlgItem(IDC_DST_EXPLORER)))
        m_explorerButton.LoadStateImage(IDR_EXPLORER_IMAGE, L"IMAGE", false);

    DlgResize_Init(true, true, WS_CLIPCHILDREN);

    // Typing and pasting stop where the setting does; the file's reading refuses longer texts.
    CComboBoxW(GetDlgItem(IDC_SRC_FOLDER)).LimitText(static_cast<int>(kMaxPathLength));
    CComboBoxW(GetDlgItem(IDC_SRC_FNAME)).LimitText(static_cast<int>(kMaxPatternLength));
    CComboBoxW(GetDlgItem(IDC_DST_FOLDER)).LimitText(static_cast<int>(kMaxPathLength));

    if (!g_setting) return TRUE;
    CExecSetting& exec = g_setting->Exec;
    m_srcFolder.Bind(GetDlgItem(IDC_SRC_FOLDER), &exec, &CExecSetting::GetSrcFolder, &CExecSetting::SetSrcFolder,
                     &g_setting->SrcFolderHistory, true);
    m_srcFolder.ShowSettingValue();
    m_srcFname.Bind(GetDlgItem(IDC_SRC_FNAME), &exec, &CExecSetting::GetSrcFname, &CExecSetting::SetSrcFname,
                    &g_setting->SrcFnameHistory, true);
    m_srcFname.ShowSettingValue();
    m_dstFolder.Bind(GetDlgItem(IDC_DST_FOLDER), &exec, &CExecSetting::GetDstFolder, &CExecSetting::SetDstFolder,
                     &g_setting->DstFolderHistory, true);
    m_dstFolder.ShowSettingValue();

    m_copy.Attach(GetDlgItem(IDC_COPY), &exec, &CExecSetting::GetCopy, &CExecSetting::SetCopy);
    m_confirm.Attach(GetDlgItem(IDC_CONFIRM), &exec, &CExecSetting::GetConfirm, &CExecSetting::SetConfirm);
    m_eject.Attach(GetDlgItem(IDC_EJECT), &exec, &CExecSetting::GetEject, &CExecSetting::SetEject);
    m_showExplorer.Attach(GetDlgItem(IDC_SHOW_EXPLORER), &exec, &CExecSetting::GetShowExplorer,
                          &CExecSetting::SetShowExplorer);
    return TRUE;
}

void CMainView::LoadFromSetting()
{
    m_srcFolder.ShowSettingValue();
    m_srcFname.ShowSettingValue();
    m_dstFolder.ShowSettingValue();
    for (CFlagBox* box : {&m_copy, &m_confirm, &m_eject, &m_showExplorer}) {
        if (box->m_hWnd && box->m_setting)
            box->SetCheck((box->m_setting->*box->m_getter)() ? BST_CHECKED : BST_UNCHECKED);
    }
}

my::CCtrlException CMainView::CheckSettings() const
{
    my::CCtrlException err(static_cast<HWND>(nullptr), 0);
    if (!g_setting) return err;
    const CExecSetting& exec = g_setting->Exec;
    const struct {
        void (*check)(const std::wstring&);
        const std::wstring& value;
        HWND box;
    } checks[] = {{CheckSrcFolder, exec.SrcFolder, m_srcFolder.m_hWnd},
                  {CheckPattern, exec.SrcFname, m_srcFname.m_hWnd},
                  {CheckDstFolder, exec.DstFolder, m_dstFolder.m_hWnd}};
    for (const auto& c : checks) {
        CCommand::RunGuardedCall(err, [&] { c.check(c.value); });
        if (err.HasError()) {
            err.m_hWnd = c.box;
            break;
        }
    }
    return err;
}

void CMainView::RecordHistories()
{
    const CExecSetting& exec = g_setting->Exec;
    const struct {
        const std::wstring& value;
        CMruStrings& history;
        CStringBox& box;
    } parts[] = {{exec.SrcFolder, g_setting->SrcFolderHistory, m_srcFolder},
                 {exec.SrcFname, g_setting->SrcFnameHistory, m_srcFname},
                 {exec.DstFolder, g_setting->DstFolderHistory, m_dstFolder}};
    for (const auto& part : parts) {
        if (!part.value.empty()) part.history.Add(part.value);
        if (part.box.m_hWnd) part.box.Refill();
    }
}

void CMainView::ApplyToSetting()
{
    const my::CCtrlException err = CheckSettings();
    if (err.HasError()) throw err;
    if (g_setting) RecordHistories();
}

bool CMainView::Apply(const std::function<void()>& beforeError)
{
    // The failure is shown from its record, not thrown on: a second throw after the check's own
    // crashed the program in the unwind when a debugger was attached under Wine.
    const my::CCtrlException err = CheckSettings();
    if (err.HasError()) {
        // When the error box closes, the form gets the focus back and hands it on to the
        // remembered child: that is the faulty box now, not the button that applied.
        m_lastFocus = err.m_hWnd;
        if (beforeError) beforeError();
        ::SetFocus(err.m_hWnd);
        m_msg->ShowError(err);
        return false;
    }
    return !g_setting || ::CMsg::RunGuarded(
                             *m_msg, [this] { RecordHistories(); }, true);
}

BOOL CMainView::PreTranslateMessage(MSG* msg) { return m_hWnd && ::IsDialogMessageW(m_hWnd, msg); }

LRESULT CMainView::OnCommandRememberFocus(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    HWND focus = ::GetFocus();
    if (focus && focus != m_lastFocus && ::IsChild(m_hWnd, focus)) m_lastFocus = focus;
    bHandled = FALSE;
    return 0;
}

LRESULT CMainView::OnBrowse(WORD, WORD id, HWND, BOOL&)
{
    if (!g_setting) return 0;
    ::CMsg::RunGuarded(
        *m_msg,
        [this, id] {
            const std::wstring title = LoadResString(IDS_SELECT_FOLDER);
            CStringBox& box = id == IDC_SRC_BROWSE ? m_srcFolder : m_dstFolder;
            const std::wstring start = (box.m_setting->*box.m_getter)();

            BROWSEINFOW info{};
            info.hwndOwner = m_hWnd;
            info.lpszTitle = title.c_str();
            info.ulFlags = BIF_RETURNONLYFSDIRS;
            info.lpfn = BrowseCallback;
            info.lParam = reinterpret_cast<LPARAM>(&start);
            CItemIDList chosen(::SHBrowseForFolderW(&info));
            std::wstring path;
            if (chosen.IsNull() || FAILED(chosen.GetPath(path))) return;
            box.Set(path);
            box.ShowSettingValue();
        },
        true);
    return 0;
}

LRESULT CMainView::OnShowDestination(WORD, WORD, HWND, BOOL&)
{
    if (!g_commands || !g_setting) return 0;
    auto* command = dynamic_cast<CCommandExplorer*>(g_commands->Get(CCommandTable::Explorer).get());
    if (!command) return 0;
    command->m_idList.Free();
    command->m_path = g_setting->Exec.DstFolder;
    command->Execute(true, false);
    return 0;
}

LRESULT CMainView::ForwardCommand(WORD code, WORD id, HWND control, BOOL&)
{
    ::PostMessageW(GetParent(), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
    return 0;
}

LRESULT CMainView::OnSetFocus(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    if (!m_lastFocus || !::IsWindow(m_lastFocus)) {
        bHandled = FALSE;
        return 0;
    }
    ::SetFocus(m_lastFocus);
    return 0;
}

} // namespace fhw
