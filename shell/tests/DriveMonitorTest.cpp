#include "shell/tests/DriveTestSupport.h"

#include "foundation/Exception.h"
#include "ids/drives.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <initguid.h>
#include <ioevent.h>

#include <cstddef>
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

class DriveMonitorTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_letters = FindFreeLetters(2);
        ASSERT_EQ(m_letters.size(), 2u) << "no free drive letters";
        m_x = m_letters[0];
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

    // A card present before the monitor starts, attached by Reset; the log is emptied after it.
    CDriveMonitor::RecordPtr StartWithCard()
    {
        m_drive = std::make_unique<CTestDrive>(m_x, m_temp.Path(L"card"), false);
        if (!m_drive->Defined()) return {};
        m_monitor.Reset();
        m_events.clear();
        return RecordOf(m_x);
    }

    // The log outlives the monitor, the folder every drive defined over it.
    CTempFolder m_temp;
    std::vector<wchar_t> m_letters;
    wchar_t m_x = 0;
    EventLog m_events;
    CDriveMonitor m_monitor;
    CDeviceWindow m_window{&m_monitor};
    std::unique_ptr<CTestDrive> m_drive;
};

TEST_F(DriveMonitorTest, CardPresentAtStartIsAttachedWithoutArrival)
{
    CTestDrive drive(m_x, m_temp.Path(L"card"), false);
    ASSERT_TRUE(drive.Defined());
    m_monitor.Reset();
    EXPECT_EQ(EventsOfX(), Events({Ev(L"attached", m_x)}));
    const auto record = RecordOf(m_x);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->m_devicePath.rfind(L"\\\\.\\PhysicalDrive", 0), 0u);
    EXPECT_NE(record->m_notify, nullptr);
    // The media poll's control answers on the monitored handle.
    DISK_GEOMETRY geometry = {};
    DWORD returned = 0;
    EXPECT_EQ(record->GetDriveGeometry(geometry, returned), S_OK);
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

TEST_F(DriveMonitorTest, StaleRemovalBroadcastForAPresentDriveRemovesNothing)
{
    ASSERT_TRUE(StartWithCard());
    ASSERT_EQ(RunDriveTool(std::wstring(L"depart ") + m_x), 0);
    EXPECT_TRUE(m_events.empty());
    EXPECT_TRUE(RecordOf(m_x));
}

TEST_F(DriveMonitorTest, MediaEventsOnTheRecordHandle)
{
    const auto record = StartWithCard();
    ASSERT_TRUE(record);
    auto arrival = HandleBroadcast(*record, GUID_IO_MEDIA_ARRIVAL);
    auto removal = HandleBroadcast(*record, GUID_IO_MEDIA_REMOVAL);
    auto other = HandleBroadcast(*record, GUID_IO_VOLUME_LOCK);
    auto unknown = arrival; // a handle of no record
    unknown.dbch_handle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7FF0));
    for (const auto* data : {&arrival, &other, &unknown, &removal})
        EXPECT_EQ(Send(m_monitor, DBT_CUSTOMEVENT, data), TRUE);
    EXPECT_EQ(EventsOfX(), Events({Ev(L"mediaArrived", m_x), Ev(L"mediaRemoved", m_x)}));
    EXPECT_EQ(m_events.size(), 2u);
}

TEST_F(DriveMonitorTest, QueryRemoveClosesAndQueryRemoveFailedReopens)
{
    const auto record = StartWithCard();
    ASSERT_TRUE(record);
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

TEST_F(DriveMonitorTest, MalformedDeviceChangesAreIgnored)
{
    const auto record = StartWithCard();
    ASSERT_TRUE(record);
    const HANDLE handle = record->m_handle;
    const DEV_BROADCAST_HDR tiny = {4, DBT_DEVTYP_HANDLE, 0};
    auto shortVolume = VolumeBroadcast(LetterBit(m_x));
    shortVolume.dbcv_size = offsetof(DEV_BROADCAST_VOLUME, dbcv_unitmask);
    auto shortHandle = HandleBroadcast(*record);
    shortHandle.dbch_size = offsetof(DEV_BROADCAST_HANDLE, dbch_handle);
    auto shortGuid = HandleBroadcast(*record, GUID_IO_MEDIA_ARRIVAL);
    shortGuid.dbch_size = offsetof(DEV_BROADCAST_HANDLE, dbch_eventguid) + 8;
    auto volumeTyped = HandleBroadcast(*record); // a handle event carried with the volume type
    volumeTyped.dbch_devicetype = DBT_DEVTYP_VOLUME;
    const std::pair<UINT_PTR, const void*> cases[] = {
        {DBT_DEVICEARRIVAL, nullptr},          {DBT_CUSTOMEVENT, nullptr},
        {DBT_DEVICEQUERYREMOVE, &tiny},        {DBT_DEVICEARRIVAL, &shortVolume},
        {DBT_DEVICEQUERYREMOVE, &shortHandle}, {DBT_CUSTOMEVENT, &shortGuid},
        {DBT_DEVICEQUERYREMOVE, &volumeTyped}, {0x1234, &volumeTyped},
    };
    for (const auto& [event, data] : cases) EXPECT_EQ(Send(m_monitor, event, data), TRUE) << event;
    EXPECT_EQ(::SendMessageW(m_window, WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVE, 0), TRUE);
    EXPECT_TRUE(m_events.empty());
    EXPECT_EQ(record->m_handle, handle);
    EXPECT_EQ(RecordOf(m_x), record);
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
