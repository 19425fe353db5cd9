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

// A private folder under the temporary folder, removed afterwards.
class CBenchFolder {
public:
    CBenchFolder()
    {
        wchar_t base[MAX_PATH] = L"";
        ::GetTempPathW(MAX_PATH, base);
        m_path = std::wstring(base) + L"fh-bench-" + std::to_wstring(::GetCurrentProcessId());
        MakeFolders(m_path);
    }
    ~CBenchFolder() { RemoveFolderTree(m_path); }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

// The program started with "/start", moving (copying with `flags` 1) to the folder
// `destination`, which is made; ended with Exit.
class CArmedProgram {
public:
    bool Start(DWORD flags, const std::wstring& destination)
    {
        ExecValues exec;
        exec.flags = flags;
        exec.dstFolder = destination;
        if (MakeFolders(destination) && m_settings.Write(exec) && m_program.Start(L"/start"))
            m_frame = WaitForFrame(m_program.Id(), false, 20000);
        if (!m_frame) {
            std::fprintf(stderr, "the program did not start\n");
            return false;
        }
        ::Sleep(1500);
        return true;
    }
    ~CArmedProgram()
    {
        if (m_frame) ::PostMessageW(m_frame, WM_COMMAND, 57665, 0);
        m_program.WaitExit(20000);
    }

    CSettingsFile m_settings;
    CDebuggedProgram m_program;
    HWND m_frame = nullptr;
};
