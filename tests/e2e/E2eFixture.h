#pragma once
// One fresh program per test, with its own settings file, cards and destination in a private
// temporary folder on the prefix's C: drive (moves stay on one file system).
#include "harness/CameraCard.h"
#include "harness/DebuggedProgram.h"
#include "harness/ProgramWindows.h"
#include "harness/SettingsFile.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class ProgramTest : public testing::Test {
protected:
    static constexpr DWORD kWindowWait = 20000;
    static constexpr DWORD kExitWait = 20000;

    void TearDown() override;

    // Writes the settings, starts the program with `arguments` and waits for its frame: hidden
    // and armed after "/start", shown otherwise. False (with a failure) when that did not happen.
    bool StartProgram(const ExecValues& exec, const std::wstring& arguments, const RECT& bounds = RECT{0, 0, 0, 0});
    // Exit (57665) to the frame; the exit code, or -1 when the program did not end.
    long ExitProgram();

    // The destination folder inside the temporary folder (made empty) and its path.
    std::wstring MakeDestination(const std::wstring& name = L"Pictures");

    // The balloon texts of a run from string-table texts of the program's resources.
    static Balloon ExpectedTransferBalloon(wchar_t drive, size_t count, bool copy);
    static std::wstring FormatIndexed(std::wstring text, const std::vector<std::wstring>& args);
    static std::wstring FormatMessage1(UINT id, const std::wstring& arg);

    DWORD Pid() const { return m_program ? m_program->Id() : 0; }
    // Waits `ms` and fails when a balloon came meanwhile.
    void ExpectNoBalloonWithin(DWORD ms);

    CTempFolder m_temp;
    CSettingsFile m_settings;
    std::unique_ptr<CDebuggedProgram> m_program;
    HWND m_frame = nullptr;
};

// Expects `actual` to equal `expected`, naming the first path that differs.
void ExpectSameTree(const TreeSnapshot& expected, const TreeSnapshot& actual, const char* what);
