#include "shell/tests/ShellTestSupport.h"

#include "shell/DeviceInfoSet.h"
#include "shell/RemovableDisks.h"

#include <gtest/gtest.h>

#include <winioctl.h>

#include <algorithm>
#include <random>

namespace {

// The device installer's id lists, read without trusting their terminators.
TEST(SplitMultiString, RandomBuffersKeepInvariants)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> length(0, 40), pick(0, 3);
    for (int round = 0; round < 2000; ++round) {
        std::wstring buffer(static_cast<size_t>(length(random)), L'x');
        for (auto& c : buffer) c = pick(random) == 0 ? L'\0' : static_cast<wchar_t>(L'a' + pick(random));
        std::list<std::wstring> items;
        SplitMultiString(buffer.data(), buffer.size(), items);
        // Non-empty items that, with their separators, are a prefix of the buffer.
        std::wstring joined;
        for (const auto& item : items) {
            ASSERT_FALSE(item.empty());
            ASSERT_EQ(item.find(L'\0'), std::wstring::npos);
            joined += item + L'\0';
        }
        const size_t used = std::min(joined.size(), buffer.size());
        ASSERT_EQ(buffer.compare(0, used, joined, 0, used), 0);
        ASSERT_LE(joined.size(), buffer.size() + 1);
        // Only an empty item or the buffer's end stops it.
        if (joined.size() < buffer.size()) {
            ASSERT_EQ(buffer[joined.size()], L'\0');
        }
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
    {
        CTestDrive drive(m_x, m_temp.Path(L"card"), false);
        ASSERT_TRUE(drive.Defined());
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
    }
    // Still among the logical drives here, but no longer a removable volume.
    for (const auto& volume : QueryRemovableVolumeDiskNumbers()) EXPECT_NE(volume.letter, m_x);
}

} // namespace
