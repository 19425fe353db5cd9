// The real program in two real processes: hand-over to the running instance and the exit codes.
#include "app/Startup.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring ProgramPath()
{
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    path.resize(path.find_last_of(L'\\'));
    path.resize(path.find_last_of(L'\\'));
    return path + L"\\fernhollow.exe";
}

class CProcess {
public:
    explicit CProcess(const std::wstring& path)
    {
        STARTUPINFOW startup{sizeof(startup)};
        std::wstring commandLine = L"\"" + path + L"\"";
        m_started = ::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                     &startup, &m_info);
    }
    ~CProcess()
    {
        if (!m_started) return;
        if (::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(m_info.hProcess, 99);
        ::CloseHandle(m_info.hThread);
        ::CloseHandle(m_info.hProcess);
    }
    // Exit code, or -1 when the process has not ended within the time.
    long WaitExit(DWORD ms) const
    {
        if (::WaitForSingleObject(m_info.hProcess, ms) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(m_info.hProcess, &code);
        return static_cast<long>(code);
    }
    DWORD Id() const { return m_info.dwProcessId; }

    BOOL m_started = FALSE;
    PROCESS_INFORMATION m_info{};
};

// The program's frame: a top-level window of that process titled with the display name.
HWND WaitForFrame(DWORD process, bool visible, DWORD timeoutMs = 15000)
{
    struct Search {
        DWORD process;
        HWND found;
    } search{process, nullptr};
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        search.found = nullptr;
        ::EnumWindows(
            [](HWND hWnd, LPARAM param) -> BOOL {
                auto* s = reinterpret_cast<Search*>(param);
                DWORD owner = 0;
                ::GetWindowThreadProcessId(hWnd, &owner);
                wchar_t text[64] = L"";
                ::GetWindowTextW(hWnd, text, 64);
                if (owner == s->process && std::wstring(text) == L"Fernhollow") s->found = hWnd;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found && (::IsWindowVisible(search.found) != FALSE) == visible) return search.found;
        ::Sleep(50);
    }
    return nullptr;
}

} // namespace

TEST(SingleInstance, SecondStartHandsOverAndExitEndsWithOne)
{
    CProcess first(ProgramPath());
    ASSERT_TRUE(first.m_started);
    HWND frame = WaitForFrame(first.Id(), true);
    ASSERT_NE(frame, nullptr);

    // Hidden, as after closing the window: the hand-over shows it again.
    ::ShowWindow(frame, SW_HIDE);
    ASSERT_EQ(WaitForFrame(first.Id(), false), frame);

    CProcess second(ProgramPath());
    ASSERT_TRUE(second.m_started);
    EXPECT_EQ(second.WaitExit(15000), 0);
    EXPECT_EQ(WaitForFrame(first.Id(), true), frame);
    EXPECT_EQ(first.WaitExit(0), -1) << "the first instance must keep running";

    ::PostMessageW(frame, WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_EQ(first.WaitExit(15000), 1);
}

TEST(SingleInstance, HandOverGoesToTheLastWindowEnumerated)
{
    const wchar_t* title = L"Fernhollow hand-over test";
    HWND a = ::CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND b = ::CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    struct Order {
        HWND a, b, last;
    } order{a, b, nullptr};
    ::EnumWindows(
        [](HWND hWnd, LPARAM param) -> BOOL {
            auto* o = reinterpret_cast<Order*>(param);
            if (hWnd == o->a || hWnd == o->b) o->last = hWnd;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&order));
    CWindowSearch search;
    search.m_text = title;
    ::EnumWindows(FindWindowByText, reinterpret_cast<LPARAM>(&search));
    EXPECT_EQ(search.m_found, order.last);

    search.m_text = L"Fernhollow hand-over tes";
    search.m_found = nullptr;
    ::EnumWindows(FindWindowByText, reinterpret_cast<LPARAM>(&search));
    EXPECT_EQ(search.m_found, nullptr) << "the title must match whole";
    ::DestroyWindow(a);
    ::DestroyWindow(b);
}
