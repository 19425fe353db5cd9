#include "shell/tests/ShellTestSupport.h"

#include "ids/drives.h"

#include <gtest/gtest.h>

#include <initguid.h>
#include <ioevent.h>

#include <cstddef>
#include <iterator>
#include <memory>

namespace {

using Events = std::vector<std::wstring>;

std::wstring Ev(const wchar_t* name, wchar_t letter) { return std::wstring(name) + L":" + letter; }

DEV_BROADCAST_HANDLE HandleBroadcast(const CDriveMonitorInfo& record, const GUID& event = GUID_NULL)
{
    return {sizeof(DEV_BROADCAST_HANDLE), DBT_DEVTYP_HANDLE, 0, record.m_handle, record.m_notify, event, -1,
            {0}};
}

DEV_BROADCAST_VOLUME VolumeBroadcast(DWORD mask)
{
    return {sizeof(DEV_BROADCAST_VOLUME), DBT_DEVTYP_VOLUME, 0, mask, 0};
}

LRESULT Send(CDriveMonitor& monitor, UINT_PTR event, const void* data)
{
    return monitor.OnDeviceChange(event, static_cast<const DEV_BROADCAST_HDR*>(data));
}

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

class DriveMonitorTest : public DriveTest {
protected:
    void SetUp() override
    {
        DriveTest::SetUp();
        LogEvents(m_monitor, m_events);
    }

    CDriveMonitor::RecordPtr RecordOf(wchar_t letter) const
    {
        for (const auto& record : m_monitor.GetRecords()) {
            if (record->m_driveMask & LetterBit(letter)) return record;
        }
        return {};
    }
    Events EventsOfX() const { return EventsFor(m_events, LetterBit(m_x)); }

    // A card present before the monitor starts, attached by Reset.
    CDriveMonitor::RecordPtr StartWithCard()
    {
        m_drive = std::make_unique<CTestDrive>(m_x, m_temp.Path(L"card"), false);
        if (!m_drive->Defined()) return {};
        m_monitor.Reset();
        return RecordOf(m_x);
    }

    // The log outlives the monitor.
    EventLog m_events;
    CDriveMonitor m_monitor;
    CDeviceWindow m_window{&m_monitor};
    std::unique_ptr<CTestDrive> m_drive;
};

TEST_F(DriveMonitorTest, CardPresentAtStartIsAttachedWithoutArrivalAndKeptOnAStaleRemoval)
{
    const auto record = StartWithCard();
    ASSERT_TRUE(record);
    EXPECT_EQ(EventsOfX(), Events({Ev(L"attached", m_x)}));
    EXPECT_EQ(record->m_devicePath.rfind(L"\\\\.\\PhysicalDrive", 0), 0u);
    EXPECT_NE(record->m_notify, nullptr);
    // The media poll's control answers on the monitored handle.
    DISK_GEOMETRY geometry = {};
    DWORD returned = 0;
    EXPECT_EQ(record->GetDriveGeometry(geometry, returned), S_OK);

    // A removal broadcast for a letter that is still there removes nothing.
    m_events.clear();
    ASSERT_EQ(RunDriveTool(std::wstring(L"depart ") + m_x), 0);
    EXPECT_TRUE(m_events.empty());
    EXPECT_EQ(RecordOf(m_x), record);
}

TEST_F(DriveMonitorTest, ArrivalAndRemovalOfACard)
{
    m_monitor.Reset();
    CTestDrive drive(m_x, m_temp.Path(L"card"), true);
    ASSERT_TRUE(drive.Defined());
    EXPECT_EQ(EventsOfX(), Events({Ev(L"arrived", m_x), Ev(L"attached", m_x)}));
    m_events.clear();
    ASSERT_TRUE(drive.Remove(true));
    EXPECT_EQ(EventsOfX(), Events({Ev(L"removed", m_x), Ev(L"detached", m_x)}));
    EXPECT_FALSE(RecordOf(m_x));
}

TEST_F(DriveMonitorTest, TwoVolumesOfOneDiskAreReportedTogether)
{
    const wchar_t y = m_letters[1];
    CTestDrive first(m_x, m_temp.Path(L"a"), false);
    CTestDrive second(y, m_temp.Path(L"b"), false);
    ASSERT_TRUE(first.Defined() && second.Defined());
    m_monitor.Reset();
    ASSERT_TRUE(RecordOf(m_x));
    const std::wstring disk = RecordOf(m_x)->m_devicePath;
    m_monitor.DetachAll();
    m_events.clear();

    // One disk carrying both letters, as the grouping by device number attaches it.
    m_monitor.Attach(LetterBit(m_x) | LetterBit(y), disk, true, true);
    const std::wstring both = UnitMaskToLetters(LetterBit(m_x) | LetterBit(y));
    EXPECT_EQ(EventsOfX(), Events({L"arrived:" + both, L"attached:" + both}));
    // The removal of one of its volumes removes the disk and reports both letters.
    m_events.clear();
    ASSERT_TRUE(first.Remove(true));
    EXPECT_EQ(EventsFor(m_events, LetterBit(y)), Events({L"removed:" + both, L"detached:" + both}));
    EXPECT_FALSE(RecordOf(y));
}

// Handle events are sent in-process with the record's real handle values; malformed messages,
// as any other process may send them, change nothing.
TEST_F(DriveMonitorTest, MediaEventsOnTheRecordHandleAndMalformedMessagesIgnored)
{
    const auto record = StartWithCard();
    ASSERT_TRUE(record);
    const HANDLE handle = record->m_handle;
    const auto arrival = HandleBroadcast(*record, GUID_IO_MEDIA_ARRIVAL);
    const auto removal = HandleBroadcast(*record, GUID_IO_MEDIA_REMOVAL);
    const auto other = HandleBroadcast(*record, GUID_IO_VOLUME_LOCK);
    auto unknown = arrival; // a handle of no record
    unknown.dbch_handle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7FF0));
    const DEV_BROADCAST_HDR tiny = {4, DBT_DEVTYP_HANDLE, 0};
    auto shortVolume = VolumeBroadcast(LetterBit(m_x));
    shortVolume.dbcv_size = offsetof(DEV_BROADCAST_VOLUME, dbcv_unitmask);
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
        {DBT_CUSTOMEVENT, &arrival, L"mediaArrived"},   {DBT_CUSTOMEVENT, &removal, L"mediaRemoved"},
        {DBT_CUSTOMEVENT, &other, nullptr},             {DBT_CUSTOMEVENT, &unknown, nullptr},
        {DBT_DEVICEARRIVAL, nullptr, nullptr},          {DBT_CUSTOMEVENT, nullptr, nullptr},
        {DBT_DEVICEQUERYREMOVE, &tiny, nullptr},        {DBT_DEVICEARRIVAL, &shortVolume, nullptr},
        {DBT_DEVICEQUERYREMOVE, &shortHandle, nullptr}, {DBT_CUSTOMEVENT, &shortGuid, nullptr},
        {DBT_DEVICEQUERYREMOVE, &volumeTyped, nullptr}, {0x1234, &volumeTyped, nullptr},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        m_events.clear();
        EXPECT_EQ(Send(m_monitor, cases[i].event, cases[i].data), TRUE);
        const wchar_t* raised = cases[i].raised;
        EXPECT_EQ(m_events, raised ? EventLog({{raised, LetterBit(m_x)}}) : EventLog());
    }
    EXPECT_EQ(::SendMessageW(m_window, WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVE, 0), TRUE);
    EXPECT_TRUE(m_events.empty());
    EXPECT_EQ(record->m_handle, handle);
    EXPECT_EQ(RecordOf(m_x), record);
}

TEST_F(DriveMonitorTest, QueryRemoveClosesAndQueryRemoveFailedReopens)
{
    const auto record = StartWithCard();
    ASSERT_TRUE(record);
    m_events.clear();
    auto query = HandleBroadcast(*record);
    query.dbch_handle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7FF0)); // of no record
    EXPECT_EQ(Send(m_monitor, DBT_DEVICEQUERYREMOVE, &query), TRUE);
    EXPECT_NE(record->m_handle, nullptr);
    query.dbch_handle = record->m_handle;
    EXPECT_EQ(Send(m_monitor, DBT_DEVICEQUERYREMOVE, &query), TRUE);
    EXPECT_EQ(record->m_handle, nullptr);
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(query.dbch_handle, &flags)) << "handle still open";
    m_monitor.PollMedia(); // skips a record without handle

    query.dbch_handle = nullptr; // the handle is gone: the notification names the record
    EXPECT_EQ(Send(m_monitor, DBT_DEVICEQUERYREMOVEFAILED, &query), TRUE);
    EXPECT_NE(record->m_handle, nullptr);
    EXPECT_EQ(m_monitor.FindByHandle(record->m_handle), record);
    EXPECT_TRUE(m_events.empty());

    EXPECT_EQ(Send(m_monitor, DBT_DEVICEREMOVECOMPLETE, &query), TRUE);
    EXPECT_EQ(EventsOfX(), Events({Ev(L"removed", m_x), Ev(L"detached", m_x)}));
    EXPECT_FALSE(RecordOf(m_x));
}

TEST_F(DriveMonitorTest, AFailingListenerIsStoppedInTheHandlerAndTheRecordStays)
{
    m_monitor.Reset();
    CTestDrive drive(m_x, m_temp.Path(L"card"), false);
    ASSERT_TRUE(drive.Defined());
    m_monitor.m_arrivedListeners.push_front(boost::shared_ptr<CEventListener>(new CThrowingListener));
    const auto volume = VolumeBroadcast(LetterBit(m_x));
    EXPECT_EQ(Send(m_monitor, DBT_DEVICEARRIVAL, &volume), FALSE);
    EXPECT_TRUE(RecordOf(m_x));
}

TEST_F(DriveMonitorTest, DestructorDetachesEveryRecordAndNeverThrows)
{
    CTestDrive first(m_x, m_temp.Path(L"a"), false);
    CTestDrive second(m_letters[1], m_temp.Path(L"b"), false);
    ASSERT_TRUE(first.Defined() && second.Defined());
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
    const DWORD both = LetterBit(m_x) | LetterBit(m_letters[1]);
    EXPECT_EQ(throwing->m_masks & both, both);
}

} // namespace
