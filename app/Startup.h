#pragma once
// The program's outermost frame: single instance, process-wide objects, the message loop.
#include <windows.h>

#include <MessageLoop.h>

#include <string>

// The thread's message loop, registered with the module object while it exists.
class CAutoMessageLoop : public WTL::CMessageLoop {
public:
    CAutoMessageLoop();
    ~CAutoMessageLoop() override;
    CAutoMessageLoop(const CAutoMessageLoop&) = delete;
    CAutoMessageLoop& operator=(const CAutoMessageLoop&) = delete;
};

// The top-level window whose text equals `m_text`; the last one enumerated wins.
struct CWindowSearch {
    std::wstring m_text;
    HWND m_found = nullptr;
};
BOOL CALLBACK FindWindowByText(HWND hWnd, LPARAM search);

extern const wchar_t kApplicationGuid[];
extern const wchar_t kHiddenWindowText[];

int Run(LPWSTR commandLine, int show);
