#include "DriveTestSupport.h"

#include "foundation/Exception.h"
#include "ids/drives.h"
#include "shell/DriveMonitor.h"

#include <gtest/gtest.h>

#include <initguid.h>
#include <ioevent.h>

#include <cstddef>

namespace {

using namespace drivetest;

using Events = std::vector<std::wstring>;

std::wstring Ev(const wchar_t* name, wchar_t letter) { return std::wstring(name) + L":" + letter; }

CDriveMonitor::RecordPtr RecordOf(const CDriveMonitor& monitor, wchar_t letter)
{
    for (const auto& record : monitor.GetRecords()) {
        if (record->m_driveMask & LetterBit(letter)) return record;
    }
    return {};
}

DEV_BROADCAST_HANDLE HandleBroadcast(const CDriveMonitorInfo& record, const GUID& event = GUID_NULL)
{
    DEV_BROADCAST_HANDLE data = {};
    data.dbch_size = sizeof(data);
    data.dbch_devicetype = DBT_DEVTYP_HANDLE;
    data.dbch_handle = record.m_handle;
    data.dbch_hdevnotify = record.m_notify;
    data.dbch_eventguid = event;
    data.dbch_nameoffset = -1;
    return data;
}

LRESULT Send(CDriveMonitor& monitor, UINT_PTR event, const void* data)
{
    return monitor.OnDeviceChange(event, static_cast<const DEV_BROADCAST_HDR*>(data));
}

class DriveMonitorTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_letters = FindFreeLetters(3);
        ASSERT_EQ(m_letters.size(), 3u) << "no free drive letters";
    }
    void TearDown() override
    {
        // The log dies before the monitor: stop reporting to it first.
        m_monitor.DetachAll();
        for (auto* list : {&m_monitor.m_attachedListeners, &m_monitor.m_detachedListeners,
                           &m_monitor.m_arrivedListeners, &m_monitor.m_removedListeners,
                           &m_monitor.m_mediaArrivedListeners, &m_monitor.m_mediaRemovedListeners})
            list->clear();
        for (wchar_t letter : m_letters) {
            const wchar_t root[] = {letter, L':', L'\\', 0};
            EXPECT_EQ(::GetDriveTypeW(root), static_cast<UINT>(DRIVE_NO_ROOT_DIR)) << "left defined: " << static_cast<char>(letter);
        }
    }

    CTempFolder m_temp;
    std::vector<wchar_t> m_letters;
    CDriveMonitor m_monitor;
    CDeviceWindow m_window{&m_monitor};
    CEventLog m_log{m_monitor};
};

TEST_F(DriveMonitorTest, DrivePresentAtResetIsAttachedWithoutArrival)
{
    const wchar_t x = m_letters[0];
    CTestDrive drive(x, m_temp.Sub(L"card"), false);
    ASSERT_TRUE(drive.Defined());
    m_monitor.Reset();
    EXPECT_EQ(m_log.For(LetterBit(x)), Events({Ev(L"attached", x)}));
    const auto record = RecordOf(m_monitor, x);
    ASSERT_TRUE(record);
    EXPECT_NE(record->m_handle, nullptr);
    EXPECT_NE(record->m_notify, nullptr);
    EXPECT_EQ(record->m_devicePath.rfind(L"\\\\.\\PhysicalDrive", 0), 0u) << record->m_devicePath;
    // The poll's control answers on the monitored handle.
    DISK_GEOMETRY geometry = {};
    DWORD returned = 0;
    EXPECT_EQ(record->GetDriveGeometry(geometry, returned), S_OK);
    EXPECT_EQ(returned, sizeof(geometry));
    const HANDLE handle = record->m_handle;
    m_monitor.PollMedia();
    EXPECT_EQ(record->m_handle, handle);
    EXPECT_EQ(RecordOf(m_monitor, x), record);

    // A second Reset detaches what it had before attaching again, still without arrival.
    m_log.Clear();
    m_monitor.Reset();
    EXPECT_EQ(m_log.For(LetterBit(x)), Events({Ev(L"detached", x), Ev(L"attached", x)}));
}

TEST_F(DriveMonitorTest, ArrivalOfNewCardRaisesArrivedThenAttached)
{
    m_monitor.Reset();
    const wchar_t x = m_letters[0];
    EXPECT_FALSE(RecordOf(m_monitor, x));
    m_log.Clear();
    CTestDrive drive(x, m_temp.Sub(L"card"), true);
    ASSERT_TRUE(drive.Defined());
    EXPECT_GT(m_window.m_deviceChanges, 0);
    EXPECT_EQ(m_log.For(LetterBit(x)), Events({Ev(L"arrived", x), Ev(L"attached", x)}));
    const auto record = RecordOf(m_monitor, x);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->m_driveMask, LetterBit(x));

    // Removal: removed, then detached, and the record is gone.
    m_log.Clear();
    ASSERT_TRUE(drive.Remove(true));
    EXPECT_EQ(m_log.For(LetterBit(x)), Events({Ev(L"removed", x), Ev(L"detached", x)}));
    EXPECT_FALSE(RecordOf(m_monitor, x));
}

TEST_F(DriveMonitorTest, ArrivalOfTwoLettersInOneBroadcast)
{
    m_monitor.Reset();
    const wchar_t x = m_letters[0], y = m_letters[1];
    CTestDrive first(x, m_temp.Sub(L"a"), false);
    CTestDrive second(y, m_temp.Sub(L"b"), false);
    ASSERT_TRUE(first.Defined() && second.Defined());
    m_log.Clear();
    ASSERT_EQ(RunDriveTool(std::wstring(L"arrive ") + x + y), 0);
    // Each of Wine's drives is a disk of its own: one record each, with its own letter.
    const auto rx = RecordOf(m_monitor, x), ry = RecordOf(m_monitor, y);
    ASSERT_TRUE(rx && ry);
    EXPECT_NE(rx, ry);
    EXPECT_EQ(rx->m_driveMask, LetterBit(x));
    EXPECT_EQ(ry->m_driveMask, LetterBit(y));
    EXPECT_EQ(m_log.For(LetterBit(x)), Events({Ev(L"arrived", x), Ev(L"attached", x)}));
    EXPECT_EQ(m_log.For(LetterBit(y)), Events({Ev(L"arrived", y), Ev(L"attached", y)}));
}

TEST_F(DriveMonitorTest, TwoVolumesOfOneDiskAreReportedTogether)
{
    const wchar_t x = m_letters[0], y = m_letters[1];
    CTestDrive first(x, m_temp.Sub(L"a"), false);
    CTestDrive second(y, m_temp.Sub(L"b"), false);
    ASSERT_TRUE(first.Defined() && second.Defined());
    m_monitor.Reset();
    const auto probe = RecordOf(m_monitor, x);
    ASSERT_TRUE(probe);
    const std::wstring disk = probe->m_devicePath;
    m_monitor.DetachAll();
    m_log.Clear();

    // One disk carrying both letters, as the grouping by device number attaches it.
    m_monitor.Attach(LetterBit(x) | LetterBit(y), disk, true, true);
    const std::wstring both = UnitMaskToLetters(LetterBit(x) | LetterBit(y));
    EXPECT_EQ(m_log.For(LetterBit(x)), Events({L"arrived:" + both, L"attached:" + both}));

    // The removal of one of its volumes removes the disk and reports both letters.
    m_log.Clear();
    ASSERT_TRUE(first.Remove(true));
    EXPECT_EQ(m_log.For(LetterBit(y)), Events({L"removed:" + both, L"detached:" + both}));
    EXPECT_FALSE(RecordOf(m_monitor, y));
}

TEST_F(DriveMonitorTest, StaleRemovalBroadcastForPresentDriveRemovesNothing)
{
    const wchar_t x = m_letters[0];
    CTestDrive drive(x, m_temp.Sub(L"card"), false);
    ASSERT_TRUE(drive.Defined());
    m_monitor.Reset();
    m_log.Clear();
    ASSERT_EQ(RunDriveTool(std::wstring(L"depart ") + x), 0);
    EXPECT_TRUE(m_log.For(LetterBit(x)).empty());
    EXPECT_TRUE(RecordOf(m_monitor, x));
}

TEST_F(DriveMonitorTest, MediaEventsOnTheRecordHandle)
{
    const wchar_t x = m_letters[0];
    CTestDrive drive(x, m_temp.Sub(L"card"), false);
    ASSERT_TRUE(drive.Defined());
    m_monitor.Reset();
    const auto record = RecordOf(m_monitor, x);
    ASSERT_TRUE(record);
    m_log.Clear();

    auto arrival = HandleBroadcast(*record, GUID_IO_MEDIA_ARRIVAL);
    auto removal = HandleBroadcast(*record, GUID_IO_MEDIA_REMOVAL);
    EXPECT_EQ(Send(m_monitor, DBT_CUSTOMEVENT, &arrival), TRUE);
    EXPECT_EQ(Send(m_monitor, DBT_CUSTOMEVENT, &removal), TRUE);
    EXPECT_EQ(m_log.For(LetterBit(x)), Events({Ev(L"mediaArrived", x), Ev(L"mediaRemoved", x)}));

    // Another GUID, or a handle of no record: nothing.
    m_log.Clear();
    auto other = HandleBroadcast(*record, GUID_IO_VOLUME_LOCK);
    auto unknown = arrival;
    unknown.dbch_handle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7FF0));
    Send(m_monitor, DBT_CUSTOMEVENT, &other);
    Send(m_monitor, DBT_CUSTOMEVENT, &unknown);
    EXPECT_TRUE(m_log.m_events.empty());
    EXPECT_TRUE(RecordOf(m_monitor, x));
}

TEST_F(DriveMonitorTest, QueryRemoveClosesAndQueryRemoveFailedReopens)
{
    const wchar_t x = m_letters[0];
    CTestDrive drive(x, m_temp.Sub(L"card"), false);
    ASSERT_TRUE(drive.Defined());
    m_monitor.Reset();
    const auto record = RecordOf(m_monitor, x);
    ASSERT_TRUE(record);
    const std::wstring path = record->m_devicePath;
    const HDEVNOTIFY notify = record->m_notify;
    m_log.Clear();

    auto query = HandleBroadcast(*record);
    EXPECT_EQ(Send(m_monitor, DBT_DEVICEQUERYREMOVE, &query), TRUE);
    EXPECT_EQ(record->m_handle, nullptr);
    EXPECT_EQ(record->m_notify, notify);
    EXPECT_FALSE(m_monitor.FindByHandle(query.dbch_handle));
    // The closed handle is really closed.
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(query.dbch_handle, &flags));
    // The poll skips a record without handle.
    m_monitor.PollMedia();
    EXPECT_EQ(record->m_handle, nullptr);

    auto failed = query;
    failed.dbch_handle = nullptr;
    EXPECT_EQ(Send(m_monitor, DBT_DEVICEQUERYREMOVEFAILED, &failed), TRUE);
    EXPECT_NE(record->m_handle, nullptr);
    EXPECT_EQ(record->m_devicePath, path);
    EXPECT_EQ(record->m_notify, notify);
    EXPECT_EQ(m_monitor.FindByHandle(record->m_handle), record);
    EXPECT_TRUE(m_log.m_events.empty());

    // Remove-complete for the notification: removed, then detached, record gone.
    auto complete = HandleBroadcast(*record);
    EXPECT_EQ(Send(m_monitor, DBT_DEVICEREMOVECOMPLETE, &complete), TRUE);
    EXPECT_EQ(m_log.For(LetterBit(x)), Events({Ev(L"removed", x), Ev(L"detached", x)}));
    EXPECT_FALSE(RecordOf(m_monitor, x));
}

TEST_F(DriveMonitorTest, MalformedDeviceChangesAreIgnored)
{
    const wchar_t x = m_letters[0];
    CTestDrive drive(x, m_temp.Sub(L"card"), false);
    ASSERT_TRUE(drive.Defined());
    m_monitor.Reset();
    const auto record = RecordOf(m_monitor, x);
    ASSERT_TRUE(record);
    const HANDLE handle = record->m_handle;
    m_log.Clear();

    EXPECT_EQ(Send(m_monitor, DBT_DEVICEARRIVAL, nullptr), TRUE);
    EXPECT_EQ(Send(m_monitor, DBT_CUSTOMEVENT, nullptr), TRUE);
    EXPECT_EQ(::SendMessageW(m_window, WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVE, 0), TRUE);

    DEV_BROADCAST_HDR tiny = {};
    tiny.dbch_size = 4;
    tiny.dbch_devicetype = DBT_DEVTYP_HANDLE;
    EXPECT_EQ(Send(m_monitor, DBT_DEVICEQUERYREMOVE, &tiny), TRUE);

    // A volume header too short for its unit mask.
    DEV_BROADCAST_VOLUME volume = {};
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = LetterBit(x);
    volume.dbcv_size = offsetof(DEV_BROADCAST_VOLUME, dbcv_unitmask);
    EXPECT_EQ(Send(m_monitor, DBT_DEVICEARRIVAL, &volume), TRUE);

    // Handle broadcasts too short for the handle, and for the event GUID.
    auto query = HandleBroadcast(*record);
    query.dbch_size = offsetof(DEV_BROADCAST_HANDLE, dbch_handle);
    EXPECT_EQ(Send(m_monitor, DBT_DEVICEQUERYREMOVE, &query), TRUE);
    auto media = HandleBroadcast(*record, GUID_IO_MEDIA_ARRIVAL);
    media.dbch_size = offsetof(DEV_BROADCAST_HANDLE, dbch_eventguid) + 8;
    EXPECT_EQ(Send(m_monitor, DBT_CUSTOMEVENT, &media), TRUE);

    // A handle event carried with the volume type, and a volume arrival with no letters.
    auto mixed = HandleBroadcast(*record);
    mixed.dbch_devicetype = DBT_DEVTYP_VOLUME;
    EXPECT_EQ(Send(m_monitor, DBT_DEVICEQUERYREMOVE, &mixed), TRUE);
    volume.dbcv_size = sizeof(volume);
    volume.dbcv_unitmask = 0;
    EXPECT_EQ(Send(m_monitor, DBT_DEVICEARRIVAL, &volume), TRUE);
    // Unknown event codes.
    auto any = HandleBroadcast(*record);
    EXPECT_EQ(Send(m_monitor, DBT_DEVICEREMOVEPENDING, &any), TRUE);
    EXPECT_EQ(Send(m_monitor, 0x1234, &any), TRUE);

    EXPECT_TRUE(m_log.m_events.empty());
    EXPECT_EQ(record->m_handle, handle);
    EXPECT_EQ(RecordOf(m_monitor, x), record);
}

TEST_F(DriveMonitorTest, FailureInsideDispatchIsDroppedAndKeepsRecords)
{
    struct CThrowing : CEventListener {
        void OnEvent(void*, void*) override { throw my::CException(IDS_DEVICE_PATH_EMPTY); }
    };
    m_monitor.Reset();
    const wchar_t x = m_letters[0];
    CTestDrive drive(x, m_temp.Sub(L"card"), false);
    ASSERT_TRUE(drive.Defined());
    m_monitor.m_arrivedListeners.push_front(boost::shared_ptr<CEventListener>(new CThrowing));
    DEV_BROADCAST_VOLUME volume = {};
    volume.dbcv_size = sizeof(volume);
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = LetterBit(x);
    EXPECT_EQ(Send(m_monitor, DBT_DEVICEARRIVAL, &volume), FALSE);
    // The record was stored before the listeners ran; it stays.
    EXPECT_TRUE(RecordOf(m_monitor, x));
}

TEST_F(DriveMonitorTest, FailedAttachStoresAndFiresNothing)
{
    m_monitor.Reset();
    const size_t before = m_monitor.GetRecords().size();
    m_log.Clear();
    try {
        m_monitor.Attach(LetterBit(m_letters[0]), L"\\\\.\\PhysicalDrive987", true);
        ADD_FAILURE() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_OPEN_FILE_FAILED));
        EXPECT_NE(e.m_message.find(L"PhysicalDrive987"), std::wstring::npos);
    }
    EXPECT_EQ(m_monitor.GetRecords().size(), before);
    EXPECT_TRUE(m_log.m_events.empty());
}

TEST(DriveMonitorLifetime, DestructorDetachesEveryRecordAndNeverThrows)
{
    struct CThrowing : CEventListener {
        std::vector<DWORD> masks;
        void OnEvent(void*, void* record) override
        {
            masks.push_back(static_cast<CDriveMonitorInfo*>(record)->m_driveMask);
            throw my::CException(IDS_DEVICE_PATH_EMPTY);
        }
    };
    const auto letters = FindFreeLetters(2);
    ASSERT_EQ(letters.size(), 2u);
    CTempFolder temp;
    CTestDrive first(letters[0], temp.Sub(L"a"), false);
    CTestDrive second(letters[1], temp.Sub(L"b"), false);
    ASSERT_TRUE(first.Defined() && second.Defined());
    auto throwing = boost::shared_ptr<CThrowing>(new CThrowing);
    size_t records = 0;
    {
        CDriveMonitor monitor;
        CDeviceWindow window(&monitor);
        monitor.Reset();
        ASSERT_TRUE(RecordOf(monitor, letters[0]) && RecordOf(monitor, letters[1]));
        records = monitor.GetRecords().size();
        monitor.m_detachedListeners.push_back(throwing);
        window.m_monitor = nullptr;
    }
    ASSERT_EQ(throwing->masks.size(), records);
    DWORD all = 0;
    for (DWORD mask : throwing->masks) all |= mask;
    EXPECT_EQ(all & (LetterBit(letters[0]) | LetterBit(letters[1])), LetterBit(letters[0]) | LetterBit(letters[1]));
}

TEST(EventListener, MemberListenerCallsItsMemberOrNothing)
{
    struct COwner {
        int calls = 0;
        void* lastRecord = nullptr;
        void On(void*, void* record)
        {
            ++calls;
            lastRecord = record;
        }
    } owner;
    CDriveMonitorInfo record;
    CMemfunEventListener<COwner> bound(&owner, &COwner::On);
    CMemfunEventListener<COwner> empty(&owner, nullptr);
    bound.OnEvent(nullptr, &record);
    empty.OnEvent(nullptr, &record);
    EXPECT_EQ(owner.calls, 1);
    EXPECT_EQ(owner.lastRecord, &record);
}

} // namespace
