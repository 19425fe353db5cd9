#include "DriveTestSupport.h"

#include "foundation/Exception.h"
#include "ids/drives.h"
#include "shell/DbtEventNames.h"
#include "shell/DeviceInfoSet.h"
#include "shell/DriveInfo.h"
#include "shell/DriveMonitorInfo.h"
#include "shell/RemovableDisks.h"

#include <gtest/gtest.h>

#include <dbt.h>
#include <initguid.h>
#include <ntddstor.h>

#include <random>
#include <sstream>

namespace {

using namespace drivetest;

template <class F> UINT ThrownId(F f, HRESULT* code = nullptr)
{
    try {
        f();
    } catch (const my::CException& e) {
        if (code) *code = static_cast<HRESULT>(e.m_code);
        return e.m_id;
    }
    return 0;
}

TEST(UnitMaskToLetters, Table)
{
    const struct {
        DWORD mask;
        const wchar_t* letters;
    } cases[] = {
        {0, L""}, {1, L"A"}, {0x30, L"EF"}, {0x2000000, L"Z"}, {0x3FFFFFF, L"ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {0xFC000000, L""}, {0xFFFFFFFF, L"ABCDEFGHIJKLMNOPQRSTUVWXYZ"}, {0x2000001, L"AZ"},
    };
    for (const auto& c : cases) EXPECT_EQ(UnitMaskToLetters(c.mask), c.letters) << c.mask;
}

TEST(DbtEventNames, KnownAndUnknownCodes)
{
    EXPECT_EQ(DbtEventNames.size(), 28u);
    EXPECT_EQ(GetDbtEventName(L"?", 0x8000), L"DBT_DEVICEARRIVAL");
    EXPECT_EQ(GetDbtEventName(L"?", 0x0007), L"DBT_DEVNODES_CHANGED");
    EXPECT_EQ(GetDbtEventName(L"?", 0xFFFF), L"DBT_USERDEFINED");
    EXPECT_EQ(GetDbtEventName(L"code", 0x8abc), L"code[0x8ABC]");
    EXPECT_EQ(GetDbtEventName(L"", 0x8007), L"[0x8007]");
}

TEST(SplitMultiString, Table)
{
    using List = std::list<std::wstring>;
    const struct {
        std::wstring buffer;
        List items;
    } cases[] = {
        {std::wstring(L"a\0b\0\0c\0", 7), {L"a", L"b"}},
        {std::wstring(L"one\0two\0\0", 9), {L"one", L"two"}},
        {std::wstring(L"\0x\0", 3), {}},
        {std::wstring(L"abc", 3), {L"abc"}},
        {std::wstring(L"a\0bc", 4), {L"a", L"bc"}},
        {std::wstring(), {}},
    };
    for (const auto& c : cases) {
        List items{L"kept"};
        SplitMultiString(c.buffer.data(), c.buffer.size(), items);
        List expected{L"kept"};
        expected.insert(expected.end(), c.items.begin(), c.items.end());
        EXPECT_EQ(items, expected);
    }
}

TEST(SplitMultiString, RandomBuffersKeepInvariants)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> length(0, 40), pick(0, 3);
    for (int round = 0; round < 2000; ++round) {
        std::wstring buffer(static_cast<size_t>(length(random)), L'x');
        for (auto& c : buffer) c = pick(random) == 0 ? L'\0' : static_cast<wchar_t>(L'a' + pick(random));
        std::list<std::wstring> items;
        SplitMultiString(buffer.data(), buffer.size(), items);
        // Items are non-empty, NUL-free, and together with their separators form a prefix of the buffer.
        std::wstring joined;
        for (const auto& item : items) {
            ASSERT_FALSE(item.empty());
            ASSERT_EQ(item.find(L'\0'), std::wstring::npos);
            joined += item;
            joined += L'\0';
        }
        const size_t used = joined.size() < buffer.size() ? joined.size() : buffer.size();
        ASSERT_EQ(buffer.compare(0, used, joined, 0, used), 0);
        ASSERT_LE(joined.size(), buffer.size() + 1);
    }
}

TEST(DriveTable, MatchingIgnoresCaseAndEmptySlots)
{
    DriveInfoTable table(26);
    auto make = [](const wchar_t* dos, const wchar_t* id) {
        auto info = boost::shared_ptr<CDriveInfo>(new CDriveInfo);
        info->m_dosDeviceName = dos;
        info->m_volumeDeviceId = id;
        return info;
    };
    table[4] = make(L"\\Device\\HarddiskVolume5", L"STORAGE\\VOLUME\\{ABC}#1");
    table[5] = make(L"\\Device\\HarddiskVolume6", L"STORAGE\\VOLUME\\{ABC}#2");
    table[7] = make(L"\\Device\\HarddiskVolume5", L"");
    table[9] = make(L"\\Device\\Other", L"storage\\volume\\{abc}#2");
    const std::list<std::wstring> ids{L"storage\\volume\\{abc}#1", L"STORAGE\\VOLUME\\{ABC}#2", L""};
    EXPECT_EQ(FindMatchingDevices(table, ids), (1u << 4) | (1u << 5) | (1u << 9));
    EXPECT_EQ(FindMatchingDevices(table, {}), 0u);
    EXPECT_EQ(FindMatchingDevices(table, {L"USB\\VID_1234"}), 0u);

    // Exact names only; two letters of the same name: the first.
    EXPECT_EQ(FindDriveInfoByDeviceName(table, L"\\Device\\HarddiskVolume5") - table.begin(), 4);
    EXPECT_EQ(FindDriveInfoByDeviceName(table, L"\\device\\harddiskvolume5"), table.end());
    EXPECT_EQ(FindDriveInfoByDeviceName(table, L"\\Device\\HarddiskVolume"), table.end());
}

TEST(DriveTable, DosDeviceMapFollowsTheSystem)
{
    const auto letters = FindFreeLetters(1);
    ASSERT_EQ(letters.size(), 1u);
    CTempFolder temp;
    CTestDrive drive(letters[0], temp.Sub(L"card"), false);
    ASSERT_TRUE(drive.Defined());
    DriveInfoTable table;
    table.resize(3);
    BuildDosDeviceMap(table);
    ASSERT_EQ(table.size(), 26u);
    for (int i = 0; i < 26; ++i) {
        const wchar_t name[] = {static_cast<wchar_t>(L'A' + i), L':', 0};
        wchar_t target[MAX_PATH] = {};
        if (::QueryDosDeviceW(name, target, MAX_PATH)) {
            ASSERT_TRUE(table[i]) << name;
            EXPECT_EQ(table[i]->m_dosDeviceName, target);
        } else {
            EXPECT_FALSE(table[i]) << name;
        }
    }
    EXPECT_TRUE(table[letters[0] - L'A']);
    // Ids land only on letters that have a DOS device, and the names stay as they were.
    std::vector<std::wstring> names;
    for (const auto& info : table) names.push_back(info ? info->m_dosDeviceName : L"-");
    AssignVolumeDeviceIds(table);
    ASSERT_EQ(table.size(), 26u);
    for (int i = 0; i < 26; ++i) EXPECT_EQ(table[i] ? table[i]->m_dosDeviceName : L"-", names[i]);
}

TEST(RemovableDisks, GroupingByDeviceNumber)
{
    const std::vector<CVolumeDiskNumber> volumes = {
        {L'E', FILE_DEVICE_DISK, 2}, {L'F', FILE_DEVICE_DISK, 3}, {L'G', FILE_DEVICE_DISK, 2},
        {L'H', FILE_DEVICE_CD_ROM, 2}, {L'K', FILE_DEVICE_DISK, 0},
    };
    const auto disks = GroupVolumesByDisk(volumes);
    ASSERT_EQ(disks.size(), 3u);
    EXPECT_EQ(UnitMaskToLetters(disks[0].driveMask), L"EG");
    EXPECT_EQ(disks[0].devicePath, L"\\\\.\\PhysicalDrive2");
    EXPECT_EQ(UnitMaskToLetters(disks[1].driveMask), L"F");
    EXPECT_EQ(disks[1].devicePath, L"\\\\.\\PhysicalDrive3");
    EXPECT_EQ(UnitMaskToLetters(disks[2].driveMask), L"K");
    EXPECT_TRUE(GroupVolumesByDisk({}).empty());
}

TEST(RemovableDisks, DefinedDriveIsFoundByDriveType)
{
    const auto letters = FindFreeLetters(1);
    ASSERT_EQ(letters.size(), 1u);
    CTempFolder temp;
    {
        CTestDrive drive(letters[0], temp.Sub(L"card"), false);
        ASSERT_TRUE(drive.Defined());
        bool found = false;
        for (const auto& volume : QueryRemovableVolumeDiskNumbers()) {
            if (volume.letter != letters[0]) continue;
            found = true;
            EXPECT_EQ(volume.deviceType, static_cast<DWORD>(FILE_DEVICE_DISK));
            // The number names the disk that the volume's DOS device lies on.
            const wchar_t name[] = {letters[0], L':', 0};
            wchar_t target[MAX_PATH] = {};
            ASSERT_TRUE(::QueryDosDeviceW(name, target, MAX_PATH));
            const std::wstring expected = L"\\Device\\Harddisk" + std::to_wstring(volume.deviceNumber);
            EXPECT_EQ(std::wstring(target).rfind(expected, 0), 0u) << target;
        }
        EXPECT_TRUE(found);
    }
    // Once removed, the letter is no longer a removable volume.
    for (const auto& volume : QueryRemovableVolumeDiskNumbers()) EXPECT_NE(volume.letter, letters[0]);
}

TEST(DriveMonitorInfo, OpenRegisterAndCloseFailures)
{
    const auto letters = FindFreeLetters(1);
    ASSERT_EQ(letters.size(), 1u);
    CTempFolder temp;
    CTestDrive drive(letters[0], temp.Sub(L"card"), false);
    ASSERT_TRUE(drive.Defined());
    const std::wstring volumePath = std::wstring(L"\\\\.\\") + letters[0] + L":";
    CDeviceWindow window;
    CDriveMonitorInfo record;
    HRESULT code = S_OK;

    EXPECT_EQ(ThrownId([&] { record.Reopen(); }), static_cast<UINT>(IDS_DEVICE_PATH_EMPTY));
    EXPECT_EQ(ThrownId([&] { record.RegisterNotification(window); }, &code),
              static_cast<UINT>(IDS_REGISTER_DEVICE_NOTIFICATION_FAILED));
    EXPECT_EQ(code, E_HANDLE);
    DISK_GEOMETRY geometry = {};
    DWORD returned = 0;
    EXPECT_EQ(record.GetDriveGeometry(geometry, returned), E_HANDLE);

    EXPECT_EQ(ThrownId([&] { record.Open(L"\\\\.\\PhysicalDrive975"); }, &code),
              static_cast<UINT>(IDS_OPEN_FILE_FAILED));
    EXPECT_TRUE(FAILED(code));
    EXPECT_EQ(record.m_handle, nullptr);
    EXPECT_TRUE(record.m_devicePath.empty());

    record.Open(volumePath);
    EXPECT_NE(record.m_handle, nullptr);
    EXPECT_EQ(record.m_devicePath, volumePath);
    EXPECT_EQ(ThrownId([&] { record.Open(volumePath); }), static_cast<UINT>(IDS_DEVICE_ALREADY_OPENED));
    record.RegisterNotification(window);
    EXPECT_NE(record.m_notify, nullptr);
    EXPECT_EQ(ThrownId([&] { record.RegisterNotification(window); }),
              static_cast<UINT>(IDS_DEVICE_ALREADY_REGISTERED));

    // Closing the handle keeps the notification; Reopen opens the same path again.
    record.CloseHandle();
    EXPECT_EQ(record.m_handle, nullptr);
    EXPECT_NE(record.m_notify, nullptr);
    record.Reopen();
    EXPECT_NE(record.m_handle, nullptr);
    record.Close();
    EXPECT_EQ(record.m_handle, nullptr);
    EXPECT_EQ(record.m_notify, nullptr);
    record.Close(); // nothing left to close
}

TEST(DriveMonitorInfo, DumpWritesLettersAndPath)
{
    CDriveMonitorInfo record;
    record.m_driveMask = 0x30;
    record.m_devicePath = L"\\\\?\\disk#1";
    EXPECT_EQ(record.GetDriveLetters(), L"EF");
    std::wostringstream os;
    record.Dump(os, 2, L"disk");
    EXPECT_EQ(os.str(), L"        disk [EF] \\\\?\\disk#1");
}

TEST(DeviceInfoSet, EnumerationAndErrors)
{
    CDeviceInfoSet set;
    SP_DEVINFO_DATA device;
    HRESULT code = S_OK;
    EXPECT_EQ(ThrownId([&] { set.EnumDeviceInfo(0, device); }, &code), static_cast<UINT>(IDS_ENUM_DEVICE_INFO_FAILED));
    EXPECT_EQ(code, E_HANDLE);
    set.Destroy(); // no set: nothing to do

    // Walk the disk class to its end, with every device's id readable; then release it.
    set.Create(GUID_DEVINTERFACE_DISK, nullptr);
    ASSERT_NE(set.m_handle, nullptr);
    DWORD count = 0;
    while (set.EnumDeviceInfo(count, device)) {
        EXPECT_EQ(device.cbSize, sizeof(SP_DEVINFO_DATA));
        EXPECT_FALSE(GetDeviceId(device.DevInst).empty());
        ++count;
    }
    set.Create(GUID_DEVINTERFACE_VOLUME, nullptr); // replaces the previous set
    ASSERT_NE(set.m_handle, nullptr);
    set.Destroy();
    EXPECT_EQ(set.m_handle, nullptr);
}

TEST(DeviceInfoSet, StructureSizes)
{
    EXPECT_EQ(sizeof(SP_DEVINFO_DATA), 32u);
    EXPECT_EQ(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W), 8u);
    EXPECT_EQ(sizeof(DEV_BROADCAST_HANDLE), 56u);
    EXPECT_EQ(sizeof(DEV_BROADCAST_VOLUME), 20u);
}

} // namespace
