#pragma once
// One fresh program per test, with its own settings file, cards and destination in a private
// temporary folder on the prefix's C: drive; cards on another file system where a test asks.
#include "harness/CameraCard.h"
#include "harness/DebuggedProgram.h"
#include "harness/OtherFileSystem.h"
#include "harness/ProgramWindows.h"
#include "harness/SettingsFile.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class ProgramTest : public testing::Test {
protected:
    // The camera folders of each card.
    using CardFolders = std::vector<std::vector<std::wstring>>;

    static constexpr DWORD kWindowWait = 20000;
    static constexpr DWORD kRunWait = 15000;

    // Every test ends the program with Exit: no prompt may be left open and the exit code is 1.
    void TearDown() override;

    // Writes the settings, starts the program with `arguments` and waits for its frame: hidden
    // and armed after "/start", shown otherwise. False (with a failure) when that did not happen.
    bool StartProgram(const ExecValues& exec, const std::wstring& arguments, const RECT& bounds = RECT{0, 0, 0, 0});
    // The settings with `flags` over an empty destination folder, m_destination.
    ExecValues Values(DWORD flags);
    bool Arm(const ExecValues& exec) { return StartProgram(exec, L"/start"); }
    // Arms the program and inserts the cards; their drive letters as InsertCards gives them.
    std::wstring ArmWithCards(const ExecValues& exec, const CardFolders& cameraFolders);
    // Exit (57665) to the frame; the exit code, or -1 when the program did not end.
    long ExitProgram();

    // An empty folder inside the temporary folder.
    std::wstring MakeDestination(const std::wstring& name = L"Pictures");
    // Builds one card per entry of `cameraFolders` (m_cards), defines each as a removable drive
    // and announces them together; their drive letters, empty (with a failure) when that failed.
    std::wstring InsertCards(const CardFolders& cameraFolders);
    // As InsertCards, without announcing them.
    std::wstring DefineCards(const CardFolders& cameraFolders);
    // As DefineCards, at `letters`, one a card.
    std::wstring DefineCards(const CardFolders& cameraFolders, const std::vector<wchar_t>& letters);
    // Builds the cards made after this on another file system than the destination; false when
    // none can be had (m_otherFileSystem->Reason() says why).
    bool CardsOnOtherFileSystem();

    // The balloon line of one drive's transfer: the drive, the count and the operation
    // (string-table texts of the program's resources).
    static std::wstring TransferLine(wchar_t drive, size_t count, bool copy);
    // The run's balloon `index` is the transfer of that one drive.
    void ExpectTransferBalloon(size_t index, wchar_t drive, size_t count, bool copy);
    // The cards' camera folders are at m_destination, byte-identical, and gone from the cards
    // unless copied.
    void ExpectTransferred(bool copy);
    // The cards are as built and m_destination is empty.
    void ExpectNothingMoved();
    // Waits for the one balloon of a run over one drive and checks it and the files; its tick,
    // 0 when none came.
    DWORD ExpectOneTransfer(wchar_t drive, size_t count, bool copy);
    // Waits `quietMs` for a run that must not come: no question or message, no balloon, the
    // cards as built and m_destination empty.
    void ExpectNoRun(DWORD quietMs);

    DWORD Pid() const { return m_program ? m_program->Id() : 0; }

    CTempFolder m_temp;
    std::unique_ptr<COtherFileSystemFolder> m_otherFileSystem;
    CSettingsFile m_settings;
    std::unique_ptr<CDebuggedProgram> m_program;
    HWND m_frame = nullptr;
    std::wstring m_destination;
    std::vector<CCameraCard> m_cards;
    std::vector<std::unique_ptr<CCardDrive>> m_drives;
};

// Expects `actual` to equal `expected`, naming the first path that differs.
void ExpectSameTree(const TreeSnapshot& expected, const TreeSnapshot& actual, const char* what);
