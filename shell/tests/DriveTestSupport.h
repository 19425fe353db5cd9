#pragma once
// Helpers for the drive tests: a private temporary folder, removable drive letters defined over
// it through drivetool.exe, and a hidden top-level window that feeds a drive monitor.
#include "shell/DriveMonitor.h"

#include <Window.h>
#include <WindowImpl.h>

#include <string>
#include <vector>

// Own namespace: the shell tests of other folders bring helpers of the same kind.
namespace drivetest {

// A fresh folder under the temporary folder, removed with its contents afterwards.
class CTempFolder {
public:
    CTempFolder();
    ~CTempFolder();
    const std::wstring& Path() const { return m_path; }
    std::wstring Sub(const std::wstring& name) const; // creates <path>\name
    bool Exists() const;

private:
    std::wstring m_path;
};

// Runs drivetool.exe with `args`, pumping this thread's messages until it ends, so that the
// WM_DEVICECHANGE it sends to our windows is delivered; returns its exit code (-1 when not run).
int RunDriveTool(const std::wstring& args, std::string* output = nullptr);

// Letters free for a test drive, taken from the end of the alphabet.
std::vector<wchar_t> FindFreeLetters(size_t count);

inline DWORD LetterBit(wchar_t letter) { return 1u << (letter - L'A'); }

// A removable drive letter defined over a folder for the life of the object (removed silently
// at the end unless the test removed it).
class CTestDrive {
public:
    CTestDrive(wchar_t letter, const std::wstring& folder, bool announce);
    ~CTestDrive();
    bool Defined() const { return m_defined; }
    bool Remove(bool announce); // true when drivetool succeeded
    wchar_t Letter() const { return m_letter; }

private:
    wchar_t m_letter;
    bool m_defined = false;
};

// Hidden top-level window that forwards WM_DEVICECHANGE to a monitor, as the program's frame does.
class CDeviceWindow : public ATL::CWindowImpl<CDeviceWindow, ATL::CWindow,
                                              ATL::CWinTraits<WS_OVERLAPPED | WS_CAPTION, WS_EX_TOOLWINDOW>> {
public:
    explicit CDeviceWindow(CDriveMonitor* monitor = nullptr);
    ~CDeviceWindow();

    BEGIN_MSG_MAP(CDeviceWindow)
    MESSAGE_HANDLER(WM_DEVICECHANGE, OnDeviceChange)
    END_MSG_MAP()

    LRESULT OnDeviceChange(UINT, WPARAM wParam, LPARAM lParam, BOOL&);

    CDriveMonitor* m_monitor;
    int m_deviceChanges = 0;
};

// Records every event of a monitor as "<event>:<letters>", in order.
class CEventLog {
public:
    explicit CEventLog(CDriveMonitor& monitor);
    void Clear() { m_events.clear(); }
    // The events that name one of the letters of `mask` (other drives in the prefix are ignored).
    std::vector<std::wstring> For(DWORD mask) const;

    std::vector<std::pair<std::wstring, DWORD>> m_events;

private:
    void Add(const wchar_t* name, void* record);
    void OnAttached(void*, void* r) { Add(L"attached", r); }
    void OnDetached(void*, void* r) { Add(L"detached", r); }
    void OnArrived(void*, void* r) { Add(L"arrived", r); }
    void OnRemoved(void*, void* r) { Add(L"removed", r); }
    void OnMediaArrived(void*, void* r) { Add(L"mediaArrived", r); }
    void OnMediaRemoved(void*, void* r) { Add(L"mediaRemoved", r); }
};

// Pumps this thread's messages for `ms` milliseconds.
void PumpMessages(DWORD ms);

} // namespace drivetest
