#pragma once
// Shared by the end-to-end benchmarks: the armed program over a private folder, and drive events
// sent straight to its frame so that the moment of the last event is known to the microsecond.
#include "harness/CameraCard.h"
#include "harness/DebuggedProgram.h"
#include "harness/ProgramWindows.h"
#include "harness/SettingsFile.h"

#include <dbt.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

inline double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Sends a volume event to the frame and returns once the frame has handled it.
inline bool SendVolumeEvent(HWND frame, UINT event, wchar_t letter)
{
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof(volume);
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << (letter - L'A');
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(frame, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume), SMTO_ABORTIFHUNG,
                                 10000, &result) != 0;
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
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// The program started with "/start" over the given settings; its frame found.
class CArmedProgram {
public:
    bool Start(const ExecValues& exec)
    {
        if (!m_settings.Write(exec)) return false;
        if (!m_program.Start(ParentFolderFile(L"fernhollow.exe"), L"/start")) return false;
        m_frame = WaitForTopLevel(m_program.Id(), L"Fernhollow", false, 20000);
        if (!m_frame) return false;
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

struct Spread {
    double min, median, mean, max, stddev;
};

inline Spread SpreadOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    Spread s{};
    if (values.empty()) return s;
    s.min = values.front();
    s.max = values.back();
    s.median = values[values.size() / 2];
    for (double v : values) s.mean += v;
    s.mean /= static_cast<double>(values.size());
    for (double v : values) s.stddev += (v - s.mean) * (v - s.mean);
    s.stddev = std::sqrt(s.stddev / static_cast<double>(values.size()));
    return s;
}
