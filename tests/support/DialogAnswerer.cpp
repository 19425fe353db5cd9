#include "tests/support/DialogAnswerer.h"

namespace {

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND hWnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD process = 0;
    ::GetWindowThreadProcessId(hWnd, &process);
    wchar_t className[16] = L"";
    ::GetClassNameW(hWnd, className, 16);
    if (process == search->process && std::wstring(className) == L"#32770" && ::IsWindowVisible(hWnd)) {
        search->found = hWnd;
        return FALSE;
    }
    return TRUE;
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
{
}

CDialogAnswerer::~CDialogAnswerer()
{
    if (m_thread.joinable()) m_thread.join();
}

bool CDialogAnswerer::Wait()
{
    if (m_thread.joinable()) m_thread.join();
    return m_answered;
}

void CDialogAnswerer::Watch(int button, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        Search search{::GetCurrentProcessId(), nullptr};
        ::EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            ::Sleep(50); // let the dialog finish its initialisation
            m_caption = TextOf(search.found);
            if (HWND text = ::GetDlgItem(search.found, 0xFFFF)) m_text = TextOf(text);
            m_owner = ::GetWindow(search.found, GW_OWNER);
            ::PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            m_answered = true;
            return;
        }
        ::Sleep(20);
    }
}
