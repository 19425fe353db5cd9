#include "tests/support/DialogAnswerer.h"

namespace {

// A visible dialog or message box of this process.
HWND FindOwnDialog()
{
    for (HWND hWnd = nullptr; (hWnd = ::FindWindowExW(nullptr, hWnd, L"#32770", nullptr)) != nullptr;) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(hWnd, &process);
        if (process == ::GetCurrentProcessId() && ::IsWindowVisible(hWnd)) return hWnd;
    }
    return nullptr;
}

std::wstring TextOf(HWND hWnd)
{
    wchar_t buffer[4096] = L"";
    ::GetWindowTextW(hWnd, buffer, 4096);
    return buffer;
}

} // namespace

CDialogAnswerer::CDialogAnswerer(int button, DWORD timeoutMs)
    : m_thread([this, button, timeoutMs] { Watch(button, timeoutMs); })
{}

CDialogAnswerer::~CDialogAnswerer() { Wait(); }

bool CDialogAnswerer::Wait()
{
    if (m_thread.joinable()) m_thread.join();
    return m_answered;
}

void CDialogAnswerer::Watch(int button, DWORD timeoutMs)
{
    HWND dialog = nullptr;
    for (const DWORD start = ::GetTickCount(); (dialog = FindOwnDialog()) == nullptr; ::Sleep(20))
        if (::GetTickCount() - start >= timeoutMs) return;
    ::Sleep(50); // let the dialog finish its initialisation
    m_caption = TextOf(dialog);
    if (HWND text = ::GetDlgItem(dialog, 0xFFFF)) m_text = TextOf(text);
    ::GetWindowRect(dialog, &m_box);
    ::GetWindowRect(::GetDlgItem(dialog, IDOK), &m_ok);
    ::GetWindowRect(::GetDlgItem(dialog, 0xFFFF), &m_textBox);
    m_exStyle = static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_EXSTYLE));
    m_foreground = ::GetForegroundWindow() == dialog;
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    m_answered = true;
}
