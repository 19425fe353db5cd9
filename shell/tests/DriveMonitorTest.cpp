#include "shell/tests/ShellTestSupport.h"

#include "ids/drives.h"

#include <initguid.h>

#include <ioevent.h>

#include <cstddef>
#include <iterator>

namespace {

using Events = std::vector<std::wstring>;

const HANDLE kNoRecordHandle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7FF0));
const HANDLE kNeverAHandle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7FFFFFF0));

std::wstring Ev(const wchar_t* name, wchar_t letter) { return std::wstring(name) + L":" + letter; }

DEV_BROADCAST_HANDLE HandleBroadcast(const CDriveMonitorInfo& record, const GUID& event = GUID_NULL)
{
    return {sizeof(DEV_BROADCAST_HANDLE), DBT_DEVTYP_HANDLE, 0, record.m_handle, record.m_notify, event, -1, {0}};
}

// A monitor that logs "<event>:<letters>" for every event it raises on a record that carries a
// watched letter (other drives of the prefix are left out), before its listeners hear it.
class CLoggingMonitor : public CDriveMonitor {
public:
    void OnAttached(CDriveMonitorInfo* r) override { CDriveMonitor::OnAttached(Logged(L"attached", r)); }
    void OnDetached(CDriveMonitorInfo* r) override { CDriveMonitor::OnDetached(Logged(L"detached", r)); }
    void OnArrived(CDriveMonitorInfo* r) override { CDriveMonitor::OnArrived(Logged(L"arrived", r)); }
    void OnRemoved(CDriveMonitorInfo* r) override { CDriveMonitor::OnRemoved(Logged(L"removed", r)); }
    void OnMediaArrived(CDriveMonitorInfo* r) override { CDriveMonitor::OnMediaArrived(Logged(L"mediaIn", r)); }
    void OnMediaRemoved(CDriveMonitorInfo* r) override { CDriveMonitor::OnMediaRemoved(Logged(L"mediaOut", r)); }

    DWORD m_watched = 0;
    Events m_log;

private:
    CDriveMonitorInfo* Logged(const wchar_t* name, CDriveMonitorInfo* record)
    {
        if (record->m_driveMask & m_watched) m_log.push_back(name + (L":" + record->GetDriveLetters()));
        return record;
    }
};

struct CThrowingListener : CEventListener {
    DWORD m_masks = 0;
    size_t m_calls = 0;
    void OnEvent(void*, void* record) override
    {
        m_masks |= static_cast<CDriveMonitorInfo*>(record)->m_driveMask;
        ++m_calls;
        throw my::CException(IDS_DEVICE_PATH_EMPTY);
    }
};

struct CMaskListener : CEventListener {
    std::vector<DWORD> m_masks;
    void OnEvent(void*, void* record) override
    {
        m_masks.push_back(static_cast<CDriveMonitorInfo*>(record)->m_driveMask);
    }
};

class DriveMonitorTest : public DriveTest {
protected:
    void SetUp() override
    {
        DriveTest::SetUp();
        if (HasFatalFailure()) return;
        m_monitor.m_watched = LetterBit(m_x) | LetterBit(m_y);
    }

    CDriveMonitor::RecordPtr RecordOf(wchar_t letter) const
    {
        for (const auto& record : m_monitor.GetRecords()) {
            if (record->m_driveMask & LetterBit(letter)) return record;
        }
        return {};
    }

    // The events of one catch-up after a run that took up `takenUp`.
    Events CatchUp(const LetterVolumes& takenUp = {})
    {
        m_monitor.m_log.clear();
        EXPECT_TRUE(m_monitor.AttachMissedArrivals(takenUp));
        return m_monitor.m_log;
    }

    LRESULT Send(UINT_PTR event, const void* data)
    {
        return ::SendMessageW(m_window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(data));
    }

    CLoggingMonitor m_monitor;
    CDeviceWindow m_window{&m_monitor};
};

// Handle events are sent in-process with the record's real handle values; malformed messages,
// as any other process may send them, change nothing.
TEST_F(DriveMonitorTest, ACardPresentAtStartFromAttachingToRemoval)
{
    ASSERT_TRUE(Define(m_x, L"card"));
    m_monitor.Reset();
    const auto record = RecordOf(m_x);
    ASSERT_TRUE(record);
    EXPECT_EQ(m_monitor.m_log, Events({Ev(L"attached", m_x)}));
    EXPECT_NE(record->m_notify, nullptr);
    // The media poll's control answers on the monitored handle.
    DISK_GEOMETRY geometry = {};
    DWORD returned = 0;
    EXPECT_EQ(record->GetDriveGeometry(geometry, returned), S_OK);
    // A removal broadcast for a letter that is still there removes nothing.
    EXPECT_EQ(SendVolumeChange(m_window, DBT_DEVICEREMOVECOMPLETE, LetterBit(m_x)), TRUE);
    EXPECT_EQ(RecordOf(m_x), record);

    const HANDLE handle = record->m_handle;
    const auto arrival = HandleBroadcast(*record, GUID_IO_MEDIA_ARRIVAL);
    const auto removal = HandleBroadcast(*record, GUID_IO_MEDIA_REMOVAL);
    auto unknown = arrival; // a handle of no record: nothing is raised, nothing closed
    unknown.dbch_handle = kNoRecordHandle;
    const DEV_BROADCAST_VOLUME shortVolume = {offsetof(DEV_BROADCAST_VOLUME, dbcv_unitmask), DBT_DEVTYP_VOLUME, 0,
                                              LetterBit(m_x), 0};
    auto shortHandle = HandleBroadcast(*record);
    shortHandle.dbch_size = offsetof(DEV_BROADCAST_HANDLE, dbch_handle);
    auto shortGuid = arrival;
    shortGuid.dbch_size = offsetof(DEV_BROADCAST_HANDLE, dbch_eventguid) + 8;
    auto volumeTyped = HandleBroadcast(*record); // a handle event carried with the volume type
    volumeTyped.dbch_devicetype = DBT_DEVTYP_VOLUME;
    const struct {
        UINT_PTR event;
        const void* data;
        const wchar_t* raised;
    } cases[] = {
        {DBT_CUSTOMEVENT, &arrival, L"mediaIn"},        {DBT_CUSTOMEVENT, &removal, L"mediaOut"},
        {DBT_CUSTOMEVENT, &unknown, nullptr},           {DBT_DEVICEQUERYREMOVE, &unknown, nullptr},
        {DBT_DEVICEQUERYREMOVE, nullptr, nullptr},      {DBT_DEVICEARRIVAL, &shortVolume, nullptr},
        {DBT_DEVICEQUERYREMOVE, &shortHandle, nullptr}, {DBT_CUSTOMEVENT, &shortGuid, nullptr},
        {DBT_DEVICEQUERYREMOVE, &volumeTyped, nullptr},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        m_monitor.m_log.clear();
        EXPECT_EQ(Send(cases[i].event, cases[i].data), TRUE);
        EXPECT_EQ(m_monitor.m_log, cases[i].raised ? Events({Ev(cases[i].raised, m_x)}) : Events());
    }
    EXPECT_EQ(record->m_handle, handle);

    // Query-remove closes the handle, query-remove-failed reopens it. Another thread of the
    // process may be given the same handle value at once: "closed" means the value no longer
    // names the disk, which a duplicate taken beforehand still does.
    HANDLE disk = nullptr;
    ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &disk, 0, FALSE,
                                  DUPLICATE_SAME_ACCESS));
    auto query = HandleBroadcast(*record);
    EXPECT_EQ(Send(DBT_DEVICEQUERYREMOVE, &query), TRUE);
    EXPECT_EQ(record->m_handle, nullptr);
    DWORD flags = 0;
    // Windows 10's CompareObjectHandles is in no import library of this toolchain.
    using CompareFn = BOOL(WINAPI*)(HANDLE, HANDLE);
    const auto compare = reinterpret_cast<CompareFn>(
        ::GetProcAddress(::GetModuleHandleW(L"kernelbase.dll"), "CompareObjectHandles"));
    EXPECT_TRUE(!::GetHandleInformation(handle, &flags) || (compare && !compare(handle, disk))) << "handle still open";
    ::CloseHandle(disk);
    query.dbch_handle = nullptr; // the handle is gone: the notification names the record
    EXPECT_EQ(Send(DBT_DEVICEQUERYREMOVEFAILED, &query), TRUE);
    EXPECT_NE(record->m_handle, nullptr);
    EXPECT_EQ(m_monitor.FindByHandle(record->m_handle), record);
    EXPECT_TRUE(m_monitor.m_log.empty());

    // Its handle closed behind its back, the record fails to close on remove-complete; the
    // device is gone all the same, and so is the record. The record is left a value beyond any
    // handle table: the closed value itself may be given to another thread at once.
    ::CloseHandle(record->m_handle);
    record->m_handle = kNeverAHandle;
    EXPECT_EQ(Send(DBT_DEVICEREMOVECOMPLETE, &query), FALSE);
    record->m_handle = nullptr;
    EXPECT_EQ(m_monitor.m_log, Events({Ev(L"removed", m_x), Ev(L"detached", m_x)}));
    EXPECT_FALSE(RecordOf(m_x));
}

TEST_F(DriveMonitorTest, ArrivalsAndRemovalsOfOneAndOfTwoVolumesOfADisk)
{
    m_monitor.Reset();
    ASSERT_TRUE(Define(m_x, L"a"));
    EXPECT_EQ(SendVolumeChange(m_window, DBT_DEVICEARRIVAL, LetterBit(m_x)), TRUE);
    EXPECT_EQ(m_monitor.m_log, Events({Ev(L"arrived", m_x), Ev(L"attached", m_x)}));
    m_monitor.m_log.clear();
    ASSERT_TRUE(Remove(m_x));
    EXPECT_EQ(SendVolumeChange(m_window, DBT_DEVICEREMOVECOMPLETE, LetterBit(m_x)), TRUE);
    EXPECT_EQ(m_monitor.m_log, Events({Ev(L"removed", m_x), Ev(L"detached", m_x)}));
    EXPECT_FALSE(RecordOf(m_x));

    // One disk carrying both letters, as the grouping by device number attaches it, is reported
    // with both; the removal of either volume removes it.
    ASSERT_TRUE(Define(m_x, L"a") && Define(m_y, L"b"));
    const std::wstring both = UnitMaskToLetters(LetterBit(m_x) | LetterBit(m_y));
    m_monitor.m_log.clear();
    m_monitor.Attach(LetterBit(m_x) | LetterBit(m_y), std::wstring(L"\\\\.\\") + m_x + L":", true, true);
    EXPECT_EQ(m_monitor.m_log, Events({L"arrived:" + both, L"attached:" + both}));
    m_monitor.m_log.clear();
    ASSERT_TRUE(Remove(m_x));
    EXPECT_EQ(SendVolumeChange(m_window, DBT_DEVICEREMOVECOMPLETE, LetterBit(m_x)), TRUE);
    EXPECT_EQ(m_monitor.m_log, Events({L"removed:" + both, L"detached:" + both}));
    EXPECT_FALSE(RecordOf(m_y));

    // A listener's exception ends in the handler; the record stays.
    m_monitor.m_arrivedListeners.push_front(boost::shared_ptr<CEventListener>(new CThrowingListener));
    EXPECT_EQ(SendVolumeChange(m_window, DBT_DEVICEARRIVAL, LetterBit(m_y)), FALSE);
    EXPECT_TRUE(RecordOf(m_y));
}

// Every volume removal notice is told with its letters, also one the monitor finds stale (the letter
// stands again: a card pulled and put back while its owner was busy), which removes no record.
TEST_F(DriveMonitorTest, EveryVolumeRemovalNoticeIsToldWhateverTheMonitorKeeps)
{
    ASSERT_TRUE(Define(m_x, L"a"));
    m_monitor.Reset();
    const auto record = RecordOf(m_x);
    ASSERT_TRUE(record);
    const boost::shared_ptr<CMaskListener> notices(new CMaskListener);
    m_monitor.m_removalNoticeListeners.push_back(notices);
    m_monitor.m_log.clear();
    EXPECT_EQ(SendVolumeChange(m_window, DBT_DEVICEREMOVECOMPLETE, LetterBit(m_x) | LetterBit(m_y)), TRUE);
    EXPECT_EQ(notices->m_masks, std::vector<DWORD>({LetterBit(m_x) | LetterBit(m_y)}));
    EXPECT_TRUE(m_monitor.m_log.empty());
    EXPECT_EQ(RecordOf(m_x), record) << "a stale notice removed the record";

    // Neither an arrival nor a malformed notice is one.
    const DEV_BROADCAST_VOLUME shortVolume = {offsetof(DEV_BROADCAST_VOLUME, dbcv_unitmask), DBT_DEVTYP_VOLUME, 0,
                                              LetterBit(m_x), 0};
    EXPECT_EQ(Send(DBT_DEVICEREMOVECOMPLETE, &shortVolume), TRUE);
    EXPECT_EQ(SendVolumeChange(m_window, DBT_DEVICEARRIVAL, LetterBit(m_x)), TRUE);
    EXPECT_EQ(notices->m_masks.size(), 1u);

    ASSERT_TRUE(Remove(m_x));
    m_monitor.m_log.clear();
    EXPECT_EQ(SendVolumeChange(m_window, DBT_DEVICEREMOVECOMPLETE, LetterBit(m_x)), TRUE);
    EXPECT_EQ(notices->m_masks, std::vector<DWORD>({LetterBit(m_x) | LetterBit(m_y), LetterBit(m_x)}));
    EXPECT_EQ(m_monitor.m_log, Events({Ev(L"removed", m_x), Ev(L"detached", m_x)}));
}

TEST_F(DriveMonitorTest, RepeatedArrivalsOfADiskKeepOneRecordAndHandle)
{
    m_monitor.Reset();
    ASSERT_TRUE(Define(m_x, L"a"));
    EXPECT_EQ(SendVolumeChange(m_window, DBT_DEVICEARRIVAL, LetterBit(m_x)), TRUE);
    const auto record = RecordOf(m_x);
    ASSERT_TRUE(record);
    const HANDLE handle = record->m_handle;
    const HDEVNOTIFY notify = record->m_notify;
    const size_t records = m_monitor.GetRecords().size();
    m_monitor.m_log.clear();
    for (int i = 0; i < 50; ++i) SendVolumeChange(m_window, DBT_DEVICEARRIVAL, LetterBit(m_x));
    EXPECT_EQ(m_monitor.GetRecords().size(), records);
    EXPECT_EQ(RecordOf(m_x), record);
    EXPECT_EQ(record->m_handle, handle) << "the disk was opened again";
    EXPECT_EQ(record->m_notify, notify) << "a second notification was registered";
    // Each arrival is still reported, so that a listener's quiet period starts again.
    EXPECT_EQ(m_monitor.m_log, Events(50, Ev(L"arrived", m_x)));
}

TEST_F(DriveMonitorTest, DestructorDetachesEveryRecordAndNeverThrows)
{
    ASSERT_TRUE(Define(m_x, L"a") && Define(m_y, L"b"));
    const boost::shared_ptr<CThrowingListener> throwing(new CThrowingListener);
    size_t records = 0;
    {
        CDriveMonitor monitor;
        CDeviceWindow window(&monitor);
        monitor.Reset();
        records = monitor.GetRecords().size();
        monitor.m_detachedListeners.push_back(throwing);
    }
    EXPECT_EQ(throwing->m_calls, records);
    EXPECT_EQ(throwing->m_masks & (LetterBit(m_x) | LetterBit(m_y)), LetterBit(m_x) | LetterBit(m_y));
}

} // namespace

// An arrival that no broadcast told (the owner's thread was busy past the sender's patience) is
// caught up once; a disk present at the start or already caught up stays quiet.
TEST_F(DriveMonitorTest, MissedArrivalIsCaughtUpOnce)
{
    ASSERT_TRUE(Define(m_x, L"present"));
    m_monitor.Reset();
    ASSERT_TRUE(Define(m_y, L"came"));
    EXPECT_EQ(CatchUp(), Events({Ev(L"attached", m_y), Ev(L"arrived", m_y)}));
    EXPECT_TRUE(CatchUp().empty());
    // A told arrival leaves nothing to catch up.
    ASSERT_TRUE(Remove(m_y));
    EXPECT_EQ(SendVolumeChange(m_window, DBT_DEVICEREMOVECOMPLETE, LetterBit(m_y)), TRUE);
    ASSERT_TRUE(Define(m_y, L"came"));
    EXPECT_EQ(SendVolumeChange(m_window, DBT_DEVICEARRIVAL, LetterBit(m_y)), TRUE);
    EXPECT_TRUE(CatchUp().empty());
}

// A card that a run took up, at the letter where the run found it, is no missed arrival; one that
// came at a letter after the run had looked there is.
TEST_F(DriveMonitorTest, CardTheRunTookUpIsNoMissedArrival)
{
    m_temp.WriteFile(L"first\\.windows-serial", "1a2b3c4d");
    m_temp.WriteFile(L"second\\.windows-serial", "0badcafe");
    m_monitor.Reset();
    ASSERT_TRUE(Define(m_x, L"first"));
    EXPECT_EQ(CatchUp({VolumeAtLetter(m_x)}), Events({Ev(L"attached", m_x)}));
    ASSERT_TRUE(Define(m_y, L"second"));
    const CLetterVolume nothingYet{m_y, std::nullopt};
    EXPECT_EQ(CatchUp({VolumeAtLetter(m_x), nothingYet}), Events({Ev(L"attached", m_y), Ev(L"arrived", m_y)}));
    EXPECT_TRUE(CatchUp().empty());
}

// A card swapped in its reader while nobody was told keeps the letter and the disk's device path:
// its serial tells it, and it is caught up once.
TEST_F(DriveMonitorTest, CardSwappedAtAKnownLetterIsCaughtUpOnce)
{
    m_temp.WriteFile(L"first\\.windows-serial", "1a2b3c4d");
    m_temp.WriteFile(L"second\\.windows-serial", "0badcafe");
    ASSERT_TRUE(Define(m_x, L"first"));
    m_monitor.Reset();
    const auto record = RecordOf(m_x);
    ASSERT_TRUE(Remove(m_x));
    ASSERT_TRUE(Define(m_x, L"second"));
    EXPECT_EQ(CatchUp(), Events({Ev(L"arrived", m_x)}));
    EXPECT_EQ(record, RecordOf(m_x)) << "the disk keeps its record";
    EXPECT_TRUE(CatchUp().empty());
    // The first card back, told: nothing left to catch up.
    ASSERT_TRUE(Remove(m_x));
    ASSERT_TRUE(Define(m_x, L"first"));
    EXPECT_EQ(SendVolumeChange(m_window, DBT_DEVICEARRIVAL, LetterBit(m_x)), TRUE);
    EXPECT_TRUE(CatchUp().empty());
}

// A letter whose volume cannot be read (no medium, one failed query) is no new card, and the card
// known there is not forgotten for it: read again, it is not caught up as new.
TEST_F(DriveMonitorTest, UnreadVolumeIsNoNewCardAndForgetsNoKnownCard)
{
    m_temp.WriteFile(L"first\\.windows-serial", "1a2b3c4d");
    m_temp.WriteFile(L"second\\.windows-serial", "0badcafe");
    ASSERT_TRUE(Define(m_x, L"first"));
    m_monitor.Reset();
    wchar_t unread = 0;
    m_monitor.m_volumeAt = [&unread](wchar_t letter) {
        return letter == unread ? CLetterVolume{letter} : VolumeAtLetter(letter);
    };
    // Before each catch-up, `unread` cannot be read, `told` is announced, `came` comes unannounced.
    const struct {
        const char* what;
        wchar_t unread, told, came;
        Events events;
    } steps[] = {
        {"the known card, unread", m_x, 0, 0, {}},
        {"the known card told again, unread", m_x, m_x, 0, {}},
        {"the known card, read again", 0, 0, 0, {}},
        {"a card that came, unread", m_y, 0, m_y, {Ev(L"attached", m_y)}},
        {"that card, read", 0, 0, 0, {Ev(L"arrived", m_y)}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        unread = step.unread;
        if (step.told) {
            EXPECT_EQ(SendVolumeChange(m_window, DBT_DEVICEARRIVAL, LetterBit(step.told)), TRUE);
        }
        if (step.came) {
            ASSERT_TRUE(Define(step.came, L"second"));
        }
        EXPECT_EQ(CatchUp(), step.events);
    }
}
