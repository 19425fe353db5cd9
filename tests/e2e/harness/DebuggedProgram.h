#pragma once
// fernhollow.exe started as a debuggee on a thread of its own, so that the debug strings it
// writes (the balloons it shows) can be collected; the debug loop must run on the thread that
// created the process.
#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct Balloon {
    std::wstring title;
    std::wstring text;
    DWORD tick = 0; // GetTickCount when it was reported
};

class CDebuggedProgram {
public:
    CDebuggedProgram() = default;
    CDebuggedProgram(const CDebuggedProgram&) = delete;
    CDebuggedProgram& operator=(const CDebuggedProgram&) = delete;
    // Ends a program still running (terminated: the test has failed already) and the debug thread.
    ~CDebuggedProgram();

    // Starts the program with the argument text `arguments` (may be empty); false when it could
    // not start (the errors are printed).
    bool Start(const std::wstring& arguments);

    DWORD Id() const { return m_pid; }
    // Exit code (an unhandled exception's code after a crash), or -1 when the process has not ended
    // within `ms`.
    long WaitExit(DWORD ms);

    std::vector<Balloon> Balloons();
    // GetTickCount when each run of the execute job was reported to begin.
    std::vector<DWORD> RunStarts();
    // Waits until at least `count` balloons were reported; returns the number reported.
    size_t WaitBalloons(size_t count, DWORD ms);

private:
    void Loop(std::wstring commandLine);
    void OnDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info);

    std::thread m_thread;
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_started = false;
    bool m_exited = false;
    DWORD m_pid = 0;
    DWORD m_exitCode = 0;
    HANDLE m_process = nullptr; // owned by the debug thread until it ends
    std::vector<Balloon> m_balloons;
    std::vector<DWORD> m_runStarts;
};

// The program's path: fernhollow.exe in the folder above this executable's.
std::wstring ProgramPath();
