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
    static constexpr DWORD kRunWait = 15000;

    void TearDown() override;

    // Writes the settings, starts the program with `arguments` and waits for its frame: hidden
    // and armed after "/start", shown otherwise. False (with a failure) when that did not happen.
    bool StartProgram(const ExecValues& exec, const std::wstring& arguments, const RECT& bounds = RECT{0, 0, 0, 0});
    // The settings with `flags` over an empty destination folder, m_destination.
    ExecValues Values(DWORD flags);
    bool Arm(const ExecValues& exec) { return StartProgram(exec, L"/start"); }
    // Exit (57665) to the frame; the exit code, or -1 when the program did not end.
    long ExitProgram();

    // An empty folder inside the temporary folder.
    std::wstring MakeDestination(const std::wstring& name = L"Pictures");
    // Builds m_card with these camera folders and inserts it as a removable drive; its letter,
    // 0 (with a failure) when that did not happen.
    wchar_t InsertCard(const std::vector<std::wstring>& cameraFolders, unsigned seed);

    // The run's balloon `index` names the drive, the count and the operation (string-table texts
    // of the program's resources).
    void ExpectTransferBalloon(size_t index, wchar_t drive, size_t count, bool copy);
    // The card's camera folders are at m_destination, byte-identical, and gone from the card
    // unless copied.
    void ExpectTransferred(const CCameraCard& card, bool copy);
    // The card is as built and m_destination is empty.
    void ExpectNothingMoved(const CCameraCard& card);
    // Waits `ms` and fails when a balloon came meanwhile.
    void ExpectNoBalloonWithin(DWORD ms);
    // Waits `quietMs` for a run that must not come: no balloon at all, no dialog open, m_card as
    // built and m_destination empty; then ends the program with Exit.
    void ExpectNoRunAndExit(DWORD quietMs);
    static std::wstring FormatMessage1(UINT id, const std::wstring& arg);

    DWORD Pid() const { return m_program ? m_program->Id() : 0; }

    CTempFolder m_temp;
    CSettingsFile m_settings;
    std::unique_ptr<CDebuggedProgram> m_program;
    HWND m_frame = nullptr;
    std::wstring m_destination;
    std::unique_ptr<CCameraCard> m_card;
    std::unique_ptr<CCardDrive> m_drive;
};

// Expects `actual` to equal `expected`, naming the first path that differs.
void ExpectSameTree(const TreeSnapshot& expected, const TreeSnapshot& actual, const char* what);
