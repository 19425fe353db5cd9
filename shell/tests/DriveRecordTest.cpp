#include "shell/tests/ShellTestSupport.h"

#include "shell/DeviceInfoSet.h"
#include "shell/RemovableDisks.h"

#include <winioctl.h>

#include <utility>

namespace {

// The device installer's id lists, read without trusting their terminators: the last character
// of each buffer lies past the length given.
TEST(SplitMultiString, ItemsEndAtAnEmptyItemOrAtTheLengthGiven)
{
    const std::pair<std::wstring, std::list<std::wstring>> cases[] = {
        {std::wstring(L"USB\\A\0B\0\0C\0Z", 11), {L"USB\\A", L"B"}},
        {std::wstring(L"AB\0CDZ", 6), {L"AB", L"CD"}},
        {std::wstring(L"\0ABZ", 4), {}},
        {L"Z", {}},
    };
    for (const auto& [buffer, expected] : cases) {
        std::list<std::wstring> items;
        SplitMultiString(buffer.data(), buffer.size() - 1, items);
        EXPECT_EQ(items, expected) << buffer.size();
    }
}

// Where the device installer lists no disk, removable volumes are grouped by device number.
TEST(RemovableDisks, GroupingByDeviceNumber)
{
    const std::vector<CVolumeDiskNumber> volumes = {
        {L'E', FILE_DEVICE_DISK, 2},   {L'F', FILE_DEVICE_DISK, 3}, {L'G', FILE_DEVICE_DISK, 2},
        {L'H', FILE_DEVICE_CD_ROM, 2}, {L'K', FILE_DEVICE_DISK, 0},
    };
    const auto disks = GroupVolumesByDisk(volumes);
    ASSERT_EQ(disks.size(), 3u);
    EXPECT_EQ(UnitMaskToLetters(disks[0].driveMask), L"EG");
    EXPECT_EQ(disks[0].devicePath, L"\\\\.\\PhysicalDrive2");
    EXPECT_EQ(UnitMaskToLetters(disks[1].driveMask), L"F");
    EXPECT_EQ(disks[1].devicePath, L"\\\\.\\PhysicalDrive3");
    EXPECT_EQ(UnitMaskToLetters(disks[2].driveMask), L"K");
}

using RemovableVolumes = DriveTest;

TEST_F(RemovableVolumes, ADefinedDriveIsFoundByDriveTypeAndGoneOnceRemoved)
{
    ASSERT_TRUE(Define(m_x, L"card"));
    bool found = false;
    for (const auto& volume : QueryRemovableVolumeDiskNumbers()) {
        if (volume.letter != m_x) continue;
        found = true;
        EXPECT_EQ(volume.deviceType, static_cast<DWORD>(FILE_DEVICE_DISK));
        // The number names the disk that the volume's DOS device lies on.
        const wchar_t name[] = {m_x, L':', 0};
        wchar_t target[MAX_PATH] = {};
        ASSERT_TRUE(::QueryDosDeviceW(name, target, MAX_PATH));
        const std::wstring expected = L"\\Device\\Harddisk" + std::to_wstring(volume.deviceNumber);
        EXPECT_EQ(std::wstring(target).rfind(expected, 0), 0u);
    }
    EXPECT_TRUE(found);
    ASSERT_TRUE(Remove(m_x));
    // Still among the logical drives here, but no longer a removable volume.
    for (const auto& volume : QueryRemovableVolumeDiskNumbers()) EXPECT_NE(volume.letter, m_x);
}

} // namespace
