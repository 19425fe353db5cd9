// A card is taken up once per arrival: which arrivals are the cards that runs took up, in the
// orders Windows (notices during the run) and Wine (notices after it) tell them; told to the
// record directly, and through the frame and its drive monitor over real drives.
#include "app/PendingArrivals.h"
#include "AppTestSupport.h"
#include "app/AppResources.h"
#include "app/CommandExec.h"
#include "app/CommandTable.h"
#include "app/ExecSetting.h"
#include "app/MainFrame.h"
#include "app/Setting.h"
#include "app/TakeUpNotes.h"
#include "app/tests/ManifestTrees.h"
#include "foundation/UniqueHandle.h"
#include "resource.h"
#include "shell/ShellNotifyIcon.h"
#include "tests/drivetool/MountManager.h"
#include "tests/support/FreeDriveLetters.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <shlwapi.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace {

using fhw::CExecSetting;

enum class Step {
    TakeUp,      // the run lists the sources of the card at S
    TakeUpFixed, // the run lists the sources of a fixed disk at S (a USB hard disk)
    Check,       // after its dialogs the run checks the card before its operation: the one it uses
    Cancel,      // its question is answered Cancel, the card asked about there
    CheckGained, // as Check, the card holding a source the run's list lacks
    Arrival,     // an arrival notice for S and T is handled
    Removal,     // a removal notice for S is handled
    Gone,        // the run finds the card it took up gone
    RunEnd,      // the run hands over what it took up
    RunEndAlone, // as RunEnd, with nothing armed to follow it
    DropRun,     // the run S waits for is dropped: one started refused its settings
    Tick,        // the timer looks at the pending drives
    Swap,        // another card stands at S now
    Pull,        // the card is out, and back in (the same card at S)
    Unread,      // the volume at S cannot be read
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
        {"Cancel after a put-back under the question", {TakeUp, Pull, Removal, Arrival, Cancel, RunEnd}, false, true},
        {"a fixed disk taken up, then told again", {TakeUpFixed, Check, RunEnd, Arrival, Tick}, false, true},
        {"put back under the question with a source the list lacks",
         {TakeUp, Pull, Removal, Arrival, CheckGained, RunEnd, Tick},
         true,
         true},
        {"a source the list lacks, no notice told", {TakeUp, CheckGained, RunEnd, Tick}, true, true},
        {"a source the list lacks, nothing armed to follow", {TakeUp, CheckGained, RunEndAlone, Tick}, false, true},
        {"a source the list lacks, the run it waits for dropped", {TakeUp, CheckGained, RunEnd, DropRun}, false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::optional<DWORD> serialAtS = 0xA;
        fhw::CPendingArrivals pending([&](wchar_t letter) {
            return letter == L'S' ? CLetterVolume{letter, serialAtS} : CLetterVolume{letter, 0xCu};
        });
        fhw::CTakeUpNotes run([&](wchar_t letter) { return CLetterVolume{letter, serialAtS}; });
        for (const Step step : row.steps) {
            switch (step) {
            case TakeUp: run.Listed(L'S', DRIVE_REMOVABLE, true); break;
            case TakeUpFixed: run.Listed(L'S', DRIVE_FIXED, true); break;
            case Check:
            case Cancel: run.Answered({}); break;
            case CheckGained: run.Answered({L"S:\\DCIM\\100TESTS"}); break;
            case Arrival: pending.Arrived(kS | kT); break;
            case Removal: pending.Removed(kS, fhw::NextDriveEventStamp()); break;
            case Gone: run.Gone(); break;
            case RunEnd:
            case RunEndAlone:
                pending.RunEnded(run.Volumes(), step == RunEnd);
                pending.DropTakenUp();
                break;
            case DropRun: pending.Drop(kS); break;
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
        // What the card's next run leaves out: the list of a run it came back to with more, while
        // that card waits for its run; the first listing spends it.
        const bool gained = std::find(row.steps.begin(), row.steps.end(), CheckGained) != row.steps.end();
        fhw::OwedRuns owed = pending.TakeAll();
        EXPECT_EQ(pending.Mask(), 0u);
        for (const size_t leftOut : {row.pendingS && gained ? 1u : 0u, 0u}) {
            std::list<std::wstring> sources{L"S:\\DCIM\\100TESTS", L"S:\\DCIM\\102NEWPH"};
            EXPECT_EQ(fhw::LeaveOutOwed(owed, {L'S', serialAtS}, sources), leftOut);
        }
    }
}

namespace {

// A drive whose folder is not there is asked for its volume only when removable: a network drive
// may be slow to answer.
TEST(TakeUpNotes, OnlyARemovableDriveIsAskedForItsVolumeBeforeItsFolderIsFound)
{
    int asked = 0;
    fhw::CTakeUpNotes notes([&asked](wchar_t letter) { return ++asked, CLetterVolume{letter, 0xAu}; });
    EXPECT_FALSE(notes.Listed(L'N', DRIVE_REMOTE, false) || notes.Listed(L'F', DRIVE_FIXED, false) ||
                 notes.Listed(0, DRIVE_UNKNOWN, true));
    EXPECT_TRUE(notes.Listed(L'S', DRIVE_REMOVABLE, false) && notes.Listed(L'N', DRIVE_REMOTE, true));
    EXPECT_EQ(asked, 2);
}

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
        fhw::CTakeUpNotes run;
        for (const Step step : row.steps) {
            switch (step) {
            case TakeUp: run.Listed(m_s, DRIVE_REMOVABLE, true); break;
            case Check: run.Answered({}); break;
            case RunEnd: m_frame.TakeBackRun(run.Volumes()); break;
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

namespace {

// Answers, as a user would, the dialogs that a run opens on this thread (their modal loops dispatch
// the thread's timer): a confirm dialog's list is noted and `under` runs beneath it for its answer;
// any other (the shell's question to overwrite) is counted and cancelled.
struct CQuestionAnswerer {
    std::function<int(size_t question)> under;
    std::vector<std::wstring> asked; // a full path a line
    size_t others = 0;
    HWND answered = nullptr;

    static inline CQuestionAnswerer* s_current = nullptr;
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND dialog = nullptr;
        const auto dialogOf = [](HWND window, LPARAM found) {
            wchar_t name[8] = {};
            if (!::IsWindowVisible(window) || !::GetClassNameW(window, name, 8) || name != std::wstring(L"#32770"))
                return TRUE;
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        };
        ::EnumThreadWindows(::GetCurrentThreadId(), dialogOf, reinterpret_cast<LPARAM>(&dialog));
        CQuestionAnswerer* self = s_current;
        if (!self || !dialog || dialog == self->answered) return;
        self->answered = dialog;
        int answer = IDCANCEL;
        if (HWND list = ::GetDlgItem(dialog, IDC_CONFIRM_SOURCES)) {
            wchar_t text[1024] = {};
            ::GetWindowTextW(list, text, 1024);
            self->asked.push_back(text);
            answer = self->under(self->asked.size() - 1);
        } else {
            ++self->others;
        }
        ::PostMessageW(dialog, WM_COMMAND, answer, 0);
    }
};

// The frame with the program's commands behind it: its timer's ticks run the real transfer, whose
// questions a CQuestionAnswerer answers.
class FrameRunsTest : public FrameArrivalsTest {
protected:
    void SetUp() override
    {
        FrameArrivalsTest::SetUp();
        m_savedSetting = std::exchange(g_setting, &m_setting);
        m_exec = dynamic_cast<fhw::CCommandExec*>(m_commands.Get(CCommandTable::Exec).get());
        ASSERT_TRUE(m_exec);
        m_exec->m_msg = &m_sink;
    }
    void TearDown() override
    {
        g_setting = m_savedSetting;
        FrameArrivalsTest::TearDown();
    }
    CSetting* m_savedSetting = nullptr;
    CSetting m_setting;
    CAppResources m_resources;
    CCommandTable m_commands;
    CRecordingMsg m_sink{IDOK};
    fhw::CCommandExec* m_exec = nullptr;
};

} // namespace

// The card at S is told to the frame, asked about (or not), and told again after its run. Under
// the first question it may be pulled and put back, with a camera folder more; each question asks
// only what no answer before took, a run the user starts asks about the whole card, and a card is
// run once per arrival whatever its type.
TEST_F(FrameRunsTest, EachArrivalRunsWhatNoAnswerTookBefore)
{
    // Under the first question the card is put back as it was, or with a folder more ("more"), as
    // another program holds its \DCIM or not; a fixed disk is copied without a question. The run
    // the card then owes may refuse the destination ("refused").
    enum class Under { Back, Gained, GainedHeld, Fixed };
    enum class Road {
        Arrivals, // every run an arrival's
        Unarmed,  // the first run the form's 実行 while not armed, and 実行 again later
        Refused,  // the run the card owes refuses the destination; 実行 later
    };
    using enum Under;
    using enum Road;
    const DWORD copyAsk = CExecSetting::FlagCopy | CExecSetting::FlagConfirm;
    const struct {
        const char* what;
        Road road;
        Under under;
        DWORD flags;
        int firstAnswer;
        std::vector<std::wstring> asked; // the camera folders each question listed
        const wchar_t* copied;           // the camera folders at the destination afterwards
        std::vector<size_t> boxesAsked;  // the boxes shown before each question
        size_t boxes;
    } rows[] = {
        {"Cancel after a put-back", Arrivals, Back, copyAsk, IDCANCEL, {L"100"}, L"", {0}, 0},
        {"OK, a folder more", Arrivals, Gained, copyAsk, IDOK, {L"100", L"102"}, L"100 102", {0, 0}, 0},
        {"Cancel, a folder more", Arrivals, Gained, copyAsk, IDCANCEL, {L"100", L"102"}, L"102", {0, 0}, 0},
        {"a fixed disk told twice", Arrivals, Fixed, CExecSetting::FlagCopy, IDOK, {}, L"100", {}, 0},
        {"OK, more, \\DCIM held", Arrivals, GainedHeld, copyAsk, IDOK, {L"100", L"102"}, L"100 102", {0, 0}, 0},
        {"実行 unarmed, Cancel, more", Unarmed, Gained, copyAsk, IDCANCEL, {L"100", L"100 102"}, L"100 102", {0, 0}, 0},
        {"Cancel, more, refused", Refused, Gained, copyAsk, IDCANCEL, {L"100", L"100 102"}, L"100 102", {0, 1}, 1},
    };
    int index = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::wstring card = L"card" + std::to_wstring(++index), destination = m_temp / (L"dst" + card);
        m_temp.WriteFile(card + L"\\.windows-serial", ("5a5a000" + std::to_string(index)).c_str());
        m_temp.WriteFile(card + L"\\DCIM\\100TESTS\\a.jpg", "1234");
        m_setting.Exec.Flags = row.flags;
        m_setting.Exec.DstFolder = destination;
        const UINT type = row.under == Fixed ? DRIVE_FIXED : DRIVE_REMOVABLE;
        ASSERT_EQ(RemoveDriveDefinition(m_s), static_cast<DWORD>(ERROR_SUCCESS));
        ASSERT_EQ(DefineDrive(m_s, ToUnixPath(m_temp / card), type), static_cast<DWORD>(ERROR_SUCCESS));
        // Wine's drive monitor attaches removable disks only; Windows tells a fixed one too.
        CDriveMonitorInfo record;
        record.m_driveMask = Bit(m_s);
        const auto tell = [&] {
            type == DRIVE_FIXED ? m_frame.OnDriveArrived(nullptr, &record) : Notice(DBT_DEVICEARRIVAL, Bit(m_s));
        };
        const auto runForm = [&] { Send(WM_COMMAND, ID_APP_RUN, 0); };
        CUniqueKernelHandle held;
        std::vector<size_t> boxesAsked;
        CQuestionAnswerer answerer{[&](size_t question) {
            boxesAsked.push_back(m_sink.m_texts.size());
            if (question > 0) return IDOK;
            RemoveDriveDefinition(m_s);
            if (row.under != Back) m_temp.WriteFile(card + L"\\DCIM\\102NEWPH\\b.jpg", "56");
            Define(m_s, card);
            if (row.under == GainedHeld) held.Reset(HoldFolder(m_s + std::wstring(L":\\DCIM")));
            Notice(DBT_DEVICEREMOVECOMPLETE, Bit(m_s));
            Notice(DBT_DEVICEARRIVAL, Bit(m_s));
            return row.firstAnswer;
        }};
        CQuestionAnswerer::s_current = &answerer;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, CQuestionAnswerer::OnTick);
        if (row.road == Unarmed) {
            Send(WM_COMMAND, ID_SETTINGS, 0);
            runForm();
        } else {
            tell();
            TimerTick();
        }
        held.Reset();
        const std::wstring destinationSet = std::exchange(m_setting.Exec.DstFolder,
                                                          m_temp / (card + L"\\.windows-serial"));
        if (row.road != Refused) m_setting.Exec.DstFolder = destinationSet;
        // A second run of what a run took asks again, or asks to overwrite it.
        tell();
        for (int tick = 0; tick < 3; ++tick) TimerTick();
        m_setting.Exec.DstFolder = destinationSet;
        if (row.road != Arrivals) runForm();
        ::KillTimer(nullptr, timer);
        std::vector<std::wstring> asked;
        for (const std::wstring& folders : row.asked) {
            std::wstring text;
            for (const wchar_t* name : {L"100TESTS", L"102NEWPH"}) {
                if (folders.find(std::wstring(name, 3)) != std::wstring::npos)
                    text += m_s + (L":\\DCIM\\" + std::wstring(name) + L"\r\n");
            }
            asked.push_back(text);
        }
        EXPECT_EQ(answerer.asked, asked);
        EXPECT_EQ(answerer.others, 0u) << "the shell asked to overwrite";
        std::wstring copied;
        for (const wchar_t* name : {L"100TESTS", L"102NEWPH"}) {
            if (::PathIsDirectoryW((destination + L"\\" + name).c_str()))
                copied += (copied.empty() ? L"" : L" ") + std::wstring(name, 3);
        }
        EXPECT_EQ(copied, row.copied);
        EXPECT_EQ(boxesAsked, row.boxesAsked);
        EXPECT_EQ(m_sink.m_texts.size(), row.boxes)
            << (m_sink.m_texts.empty() ? std::wstring() : m_sink.m_texts.front());
        m_sink = CRecordingMsg(IDOK);
        // The next row's card is another, told to an armed frame.
        Notice(DBT_DEVICEREMOVECOMPLETE, Bit(m_s));
        m_frame.OnDriveRemoved(nullptr, &record);
        m_frame.TakePendingDrives(true);
    }
}

namespace {

// Wine ejects nothing and says nothing of it: this run notes each drive it would eject, and when.
class CEjectNotingExec : public fhw::CCommandExec {
public:
    std::vector<wchar_t> m_ejected;

protected:
    bool EjectVolumeAt(wchar_t drive, bool& dismounted) override
    {
        m_ejected.push_back(drive);
        dismounted = false;
        return false;
    }
};

} // namespace

// A card that came back under its question with a folder more owes a run of that folder: it is
// ejected with that run, not before it, and so is one that came back as it was.
TEST_F(FrameRunsTest, ACardThatOwesARunIsEjectedWithThatRunOnly)
{
    m_setting.Exec.Flags = CExecSetting::FlagConfirm | CExecSetting::FlagEject;
    for (const bool gained : {true, false}) {
        SCOPED_TRACE(gained ? "put back with a folder more" : "put back as it was");
        m_temp.WriteFile(L"card\\DCIM\\100TESTS\\a.jpg", "1234");
        m_setting.Exec.DstFolder = m_temp / (gained ? L"dst1" : L"dst2");
        CEjectNotingExec exec;
        exec.m_msg = &m_sink;
        std::vector<size_t> ejectedAsked;
        CQuestionAnswerer answerer{[&](size_t question) {
            ejectedAsked.push_back(exec.m_ejected.size());
            if (question == 0) {
                RemoveDriveDefinition(m_s);
                if (gained) m_temp.WriteFile(L"card\\DCIM\\102NEWPH\\b.jpg", "56");
                Define(m_s, L"card");
            }
            return IDOK;
        }};
        CQuestionAnswerer::s_current = &answerer;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, CQuestionAnswerer::OnTick);
        // Two arrivals' runs, as the timer starts them: the second one of what the card owes.
        for (int run = 0; run < 2; ++run) {
            exec.m_driveMask = run == 0 ? Bit(m_s) : m_frame.PendingDrives();
            exec.m_arm = exec.m_reportIfNone = false;
            exec.Execute(true, false);
            m_frame.TakeBackRun(exec.TakenUp());
        }
        ::KillTimer(nullptr, timer);
        EXPECT_EQ(answerer.asked.size(), gained ? 2u : 1u);
        EXPECT_EQ(ejectedAsked, std::vector<size_t>(gained ? 2 : 1, 0)) << "ejected before its question";
        EXPECT_EQ(exec.m_ejected, std::vector<wchar_t>{m_s});
        EXPECT_TRUE(m_sink.m_texts.empty());
        m_frame.TakePendingDrives(true);
    }
}

namespace {

// The balloons a tray icon was asked to show, as the shell took them.
class CBalloonNotingIcon : public CShellNotifyIcon {
public:
    std::vector<std::wstring> m_texts;

protected:
    BOOL Notify(DWORD message, NOTIFYICONDATAW* data) override
    {
        if (message == NIM_MODIFY && (data->uFlags & NIF_INFO)) m_texts.push_back(data->szInfo);
        return TRUE;
    }
};

} // namespace

// A result still stands while the user reads the next card's question, however long: the next
// result is joined with it, not shown alone.
TEST_F(FrameRunsTest, AResultStandsWhileTheNextCardsQuestionIsRead)
{
    const boost::shared_ptr<CBalloonNotingIcon> icon(new CBalloonNotingIcon);
    m_frame.m_trayIcon = icon;
    m_temp.WriteFile(L"card\\DCIM\\100TESTS\\a.jpg", "1234");
    m_temp.WriteFile(L"t\\DCIM\\100TESTT\\b.jpg", "56");
    m_setting.Exec.DstFolder = m_temp / L"dst";
    CQuestionAnswerer answerer{[](size_t) {
        ::Sleep(5500); // longer than a result's 5 s
        return IDOK;
    }};
    CQuestionAnswerer::s_current = &answerer;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, CQuestionAnswerer::OnTick);
    m_setting.Exec.Flags = CExecSetting::FlagCopy;
    Notice(DBT_DEVICEARRIVAL, Bit(m_s));
    TimerTick();
    m_setting.Exec.Flags = CExecSetting::FlagCopy | CExecSetting::FlagConfirm;
    Notice(DBT_DEVICEARRIVAL, Bit(m_t));
    TimerTick();
    ::KillTimer(nullptr, timer);
    m_frame.m_trayIcon.reset();
    ASSERT_EQ(answerer.asked.size(), 1u);
    ASSERT_EQ(icon->m_texts.size(), 2u);
    const std::wstring& last = icon->m_texts.back();
    EXPECT_EQ(last.find(icon->m_texts.front() + L"\n"), 0u) << "the first result went";
    EXPECT_NE(last.find(std::wstring(1, m_t) + L" ドライブから"), std::wstring::npos);
}
