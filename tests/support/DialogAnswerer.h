#pragma once
// Answers the next dialog or message box of this process from a helper thread, recording its
// caption and text, so that code that prompts can be tested without a person.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

class CDialogAnswerer {
public:
    // `button` is the command sent to the dialog (IDOK, IDCANCEL, IDYES, IDNO...).
    explicit CDialogAnswerer(int button, DWORD timeoutMs = 10000);
    ~CDialogAnswerer();
    CDialogAnswerer(const CDialogAnswerer&) = delete;
    CDialogAnswerer& operator=(const CDialogAnswerer&) = delete;

    // Waits for the helper thread; true when a dialog was found and answered.
    bool Wait();

    std::wstring m_caption;
    std::wstring m_text;
    // Where the dialog and its OK button stood on the screen when it was answered.
    RECT m_box{};
    RECT m_ok{};
    RECT m_textBox{}; // its text control (id 0xFFFF)
    // Its extended style, and whether it was the foreground window, when it was answered.
    DWORD m_exStyle = 0;
    bool m_foreground = false;

private:
    void Watch(int button, DWORD timeoutMs);

    std::thread m_thread;
    std::atomic<bool> m_answered{false};
};
