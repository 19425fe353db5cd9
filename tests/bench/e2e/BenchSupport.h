#pragma once
// Shared by the end-to-end benchmarks: the armed program over a private folder.
#include "harness/CameraCard.h"
#include "harness/DebuggedProgram.h"
#include "harness/ProgramWindows.h"
#include "harness/SettingsFile.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

inline double NowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The program started with "/start" over a private folder under the temporary folder, moving
// (copying with `flags` 1) to its folder "dst"; ended with Exit, then the folder is removed.
class CArmedProgram {
public:
    CArmedProgram()
    {
        wchar_t base[MAX_PATH] = L"";
        ::GetTempPathW(MAX_PATH, base);
        m_folder = std::wstring(base) + L"fh-bench-" + std::to_wstring(::GetCurrentProcessId());
    }
    ~CArmedProgram()
    {
        if (m_frame) ::PostMessageW(m_frame, WM_COMMAND, 57665, 0);
        m_program.WaitExit(20000);
        RemoveFolderTree(m_folder);
    }

    bool Start(DWORD flags)
    {
        ExecValues exec;
        exec.flags = flags;
        exec.dstFolder = Path(L"dst");
        if (MakeFolders(exec.dstFolder) && m_settings.Write(exec) && m_program.Start(L"/start"))
            m_frame = WaitForFrame(m_program.Id(), false, 20000);
        if (!m_frame) {
            std::fprintf(stderr, "the program did not start\n");
            return false;
        }
        ::Sleep(1500);
        return true;
    }
    std::wstring Path(const std::wstring& name) const { return m_folder + L"\\" + name; }

    CSettingsFile m_settings;
    CDebuggedProgram m_program;
    HWND m_frame = nullptr;

private:
    std::wstring m_folder;
};
