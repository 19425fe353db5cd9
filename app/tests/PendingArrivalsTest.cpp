// A card is taken up once per arrival: which arrivals are the cards that runs took up, in the
// orders Windows (notices during the run) and Wine (notices after it) tell them; told to the
// record directly, and through the frame and its drive monitor over real drives.
#include "app/PendingArrivals.h"
#include "app/MainFrame.h"
#include "tests/drivetool/MountManager.h"
#include "tests/support/FreeDriveLetters.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

enum class Step {
    TakeUp,  // the run lists the sources of the card at S
    Check,   // after its dialogs the run checks the card before its operation: the one it uses
    Arrival, // an arrival notice for S and T is handled
    Removal, // a removal notice for S is handled
    Gone,    // the run finds the card it took up gone
    RunEnd,  // the run hands over what it took up
    Tick,    // the timer looks at the pending drives
    Swap,    // another card stands at S now
    Pull,    // the card is out, and back in (the same card at S)
    Unread,  // the volume at S cannot be read
};

constexpr DWORD kS = 1u << (L'S' - L'A');
constexpr DWORD kT = 1u << (L'T' - L'A');

struct Row {
    const char* what;
    std::vector<Step> steps;
    bool pendingS;  // S is taken up after the run
    bool heldAfter; // the card at S counts as taken up for the catch-up
};

} // namespace

TEST(PendingArrivals, AnArrivalIsTheTakenUpCardOnlyWhileItStandsUnremoved)
{
    using enum Step;
    const Row rows[] = {
        {"Windows: its own notice during the copy", {TakeUp, Arrival, RunEnd}, false, true},
        {"Wine: its own notice after the run", {TakeUp, RunEnd, Arrival, Tick}, false, true},
        {"a notice crossing a Start before it reached the letter", {Arrival, TakeUp, RunEnd}, false, true},
        {"a notice of an earlier insertion handled after the run",
         {Removal, TakeUp, RunEnd, Arrival, Tick},
         false,
         true},
        {"Windows: pulled during the copy, put back under the box",
         {TakeUp, Pull, Removal, Gone, Arrival, RunEnd},
         true,
         false},
        {"Wine: pulled during the copy, put back under the box",
         {TakeUp, Pull, Gone, Removal, Arrival, RunEnd},
         true,
         false},
        {"put back under the box, its removal never told", {TakeUp, Pull, Gone, Arrival, RunEnd}, true, false},
        {"pulled and put back in a Wine copy: both told after it",
         {TakeUp, Pull, RunEnd, Removal, Arrival, Tick},
         true,
         false},
        {"another card put in under the dialog, unannounced", {TakeUp, Swap, Arrival, RunEnd}, true, true},
        {"another card put in after the run", {TakeUp, RunEnd, Swap, Arrival, Tick}, true, true},
        {"no card that can be read now", {TakeUp, Unread, Arrival, RunEnd}, false, true},
        {"removed after the run: no card held there", {TakeUp, RunEnd, Removal, Tick}, false, false},
        {"pulled and put back under the run's dialog, before its volume check",
         {TakeUp, Pull, Removal, Arrival, Check, RunEnd},
         false,
         true},
        {"Wine: pulled and put back under the dialog, its notices told after the run",
         {TakeUp, Pull, Check, RunEnd, Removal, Arrival, Tick},
         true,
         false},
        {"a removal told between take-up and the run's end, the card back for the run's end",
         {TakeUp, Check, Pull, Removal, RunEnd, Arrival, Tick},
         true,
         false},
        {"a removal told between take-up and the run's end, no arrival",
         {TakeUp, Check, Removal, RunEnd},
         false,
         false},
        {"the card found gone after the operation, put back",
         {TakeUp, Check, Gone, RunEnd, Arrival, Tick},
         true,
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::optional<DWORD> serialAtS = 0xA;
        fhw::CPendingArrivals pending([&](wchar_t letter) {
            return letter == L'S' ? CLetterVolume{letter, serialAtS} : CLetterVolume{letter, 0xCu};
        });
        fhw::TakenUpVolumes run;
        for (const Step step : row.steps) {
            switch (step) {
            case TakeUp: run.push_back({{L'S', serialAtS}, fhw::NextDriveEventStamp()}); break;
            case Check: run.back() = {{L'S', serialAtS}, fhw::NextDriveEventStamp()}; break;
            case Arrival: pending.Arrived(kS | kT); break;
            case Removal: pending.Removed(kS, fhw::NextDriveEventStamp()); break;
            case Gone: run.back().gone = true; break;
            case RunEnd:
                pending.RunEnded(run);
                pending.DropTakenUp();
                break;
            case Tick: pending.DropTakenUp(); break;
            case Swap: serialAtS = 0xB; break;
            case Pull: break;
            case Unread: serialAtS.reset(); break;
            }
        }
        EXPECT_EQ(pending.Mask() & kS, row.pendingS ? kS : 0);
        const LetterVolumes held = pending.TakenUp();
        EXPECT_EQ(held.size(), row.heldAfter ? 1u : 0u);
        if (row.heldAfter && !held.empty()) {
            EXPECT_EQ(held[0].letter, L'S');
        }
        const bool tArrived = std::find(row.steps.begin(), row.steps.end(), Arrival) != row.steps.end();
        EXPECT_EQ(pending.Mask() & kT, tArrived ? kT : 0) << "T: no run took it up";
        pending.Drop(kT);
        EXPECT_EQ(pending.Mask(), row.pendingS ? kS : 0);
    }
}

namespace {

// Two removable drives over folders with serials of their own, told to a frame that watches them
// as the program's does, its notices and ticks handed to it as its window would.
class FrameArrivalsTest : public testing::Test {
protected:
    void SetUp() override
    {
        const std::vector<wchar_t> letters = FreeDriveLetters(2, L'Y', L'M');
        ASSERT_EQ(letters.size(), 2u) << "no free drive letters";
        m_s = letters[0];
        m_t = letters[1];
        m_temp.WriteFile(L"card\\.windows-serial", "1a2b3c4d");
        m_temp.WriteFile(L"other\\.windows-serial", "0badcafe");
        m_temp.WriteFile(L"t\\.windows-serial", "5eed5eed");
        ASSERT_TRUE(Define(m_s, L"card") && Define(m_t, L"t"));
        m_window = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"fh frame arrivals test", WS_OVERLAPPED, 0, 0, 0, 0,
                                     nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_window, nullptr);
        m_frame.WatchDrives(m_window);
        m_frame.m_driveMonitor->Reset();
        m_frame.TakePendingDrives(true);
    }
    void TearDown() override
    {
        m_frame.m_driveMonitor.reset();
        if (m_window) ::DestroyWindow(m_window);
        for (wchar_t letter : {m_s, m_t}) {
            if (letter) RemoveDriveDefinition(letter);
        }
    }
    bool Define(wchar_t letter, const std::wstring& name)
    {
        const std::string unixFolder = ToUnixPath(m_temp / name);
        return !unixFolder.empty() && DefineRemovableDrive(letter, unixFolder) == ERROR_SUCCESS;
    }
    DWORD Bit(wchar_t letter) const { return 1u << (letter - L'A'); }
    void Send(UINT message, WPARAM wParam, LPARAM lParam)
    {
        LRESULT result = 0;
        m_frame.ProcessWindowMessage(m_window, message, wParam, lParam, result);
    }
    void Notice(UINT event, DWORD mask)
    {
        DEV_BROADCAST_VOLUME volume = {sizeof(volume), DBT_DEVTYP_VOLUME, 0, mask, 0};
        Send(WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume));
    }
    // A tick of the frame's timer once the drive events have been quiet long enough.
    void TimerTick()
    {
        m_frame.m_eventIdle.m_last = ::GetTickCount() - 2 * m_frame.m_eventIdle.m_period;
        Send(WM_TIMER, fhw::kTimerId, 0);
    }

    CTempFolder m_temp;
    wchar_t m_s = 0, m_t = 0;
    HWND m_window = nullptr;
    fhw::CMainFrame m_frame;
};

} // namespace

// Rows of the table above, the notices told to the frame as WM_DEVICECHANGE: its drive monitor
// and the monitor's test of a stale removal are in the road, and the timer's tick decides. No
// command table stands behind the frame, so a run the tick starts does nothing and S stays pending.
TEST_F(FrameArrivalsTest, RowsToldThroughTheFrameAndItsDriveMonitor)
{
    using enum Step;
    const struct {
        const char* what;
        std::vector<Step> steps;
        bool pendingS;
    } rows[] = {
        {"Wine: pulled and put back during another card's run, both told after it",
         {TakeUp, Check, RunEnd, Pull, Removal, Arrival, Tick},
         true},
        {"Wine: its own late notice after the run, dropped by the timer",
         {TakeUp, Check, RunEnd, Arrival, Tick},
         false},
        {"pulled and put back under the run's dialog, before its volume check",
         {TakeUp, Pull, Removal, Arrival, Check, RunEnd, Tick},
         false},
        {"another card put in after the run", {TakeUp, Check, RunEnd, Swap, Removal, Arrival, Tick}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fhw::TakenUpVolumes run;
        for (const Step step : row.steps) {
            switch (step) {
            case TakeUp: run.push_back({VolumeAtLetter(m_s), fhw::NextDriveEventStamp()}); break;
            case Check: run.back() = {VolumeAtLetter(m_s), fhw::NextDriveEventStamp()}; break;
            case RunEnd: m_frame.TakeBackRun(run); break;
            case Pull:
                ASSERT_EQ(RemoveDriveDefinition(m_s), static_cast<DWORD>(ERROR_SUCCESS));
                ASSERT_TRUE(Define(m_s, L"card"));
                break;
            case Swap:
                ASSERT_EQ(RemoveDriveDefinition(m_s), static_cast<DWORD>(ERROR_SUCCESS));
                ASSERT_TRUE(Define(m_s, L"other"));
                break;
            case Removal: Notice(DBT_DEVICEREMOVECOMPLETE, Bit(m_s)); break;
            case Arrival: Notice(DBT_DEVICEARRIVAL, Bit(m_s) | Bit(m_t)); break;
            case Tick: TimerTick(); break;
            default: FAIL() << "no such step through the frame";
            }
        }
        EXPECT_EQ(m_frame.PendingDrives() & Bit(m_s), row.pendingS ? Bit(m_s) : 0);
        EXPECT_EQ(m_frame.PendingDrives() & Bit(m_t), Bit(m_t)) << "T: no run took it up";
        // The next row starts from the first card, nothing pending.
        ASSERT_EQ(RemoveDriveDefinition(m_s), static_cast<DWORD>(ERROR_SUCCESS));
        ASSERT_TRUE(Define(m_s, L"card"));
        m_frame.TakeBackRun({{VolumeAtLetter(m_s), fhw::NextDriveEventStamp()}});
        m_frame.TakePendingDrives(false);
    }
}
