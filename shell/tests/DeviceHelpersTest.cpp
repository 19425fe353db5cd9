// The device helpers that need no device: the drive table's look-ups and the event names.
#include "shell/DbtEventNames.h"
#include "shell/DriveInfo.h"

#include <dbt.h>

#include <gtest/gtest.h>

#include <list>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Slots from "letter:dos name:volume id" texts; letters not given stay empty.
DriveInfoTable Table(const std::vector<std::tuple<wchar_t, std::wstring, std::wstring>>& slots)
{
    DriveInfoTable table(26);
    for (const auto& [letter, dosName, volumeId] : slots) {
        auto info = boost::shared_ptr<CDriveInfo>(new CDriveInfo);
        info->m_dosDeviceName = dosName;
        info->m_volumeDeviceId = volumeId;
        table[static_cast<size_t>(letter - L'A')] = info;
    }
    return table;
}

DWORD Bit(wchar_t letter) { return 1u << (letter - L'A'); }

} // namespace

TEST(DriveTable, DeviceNameFindsTheFirstSlotWithExactlyThatName)
{
    const DriveInfoTable table = Table({{L'C', L"\\Device\\HarddiskVolume1", L""},
                                        {L'E', L"\\Device\\Harddisk2\\DR2", L""},
                                        {L'G', L"\\Device\\Harddisk2\\DR2", L""},
                                        {L'Z', L"\\Device\\Harddisk9", L""}});
    const std::pair<std::wstring, int> cases[] = {
        {L"\\Device\\Harddisk2\\DR2", 'E' - 'A'}, // two letters on one device: the first one
        {L"\\Device\\HarddiskVolume1", 'C' - 'A'},
        {L"\\Device\\Harddisk9", 'Z' - 'A'},
        {L"\\device\\harddiskvolume1", -1}, // exact, case included
        {L"\\Device\\Harddisk", -1},        // no prefix match
        {L"", -1},                          // empty slots never match
    };
    for (const auto& [name, slot] : cases) {
        const auto found = FindDriveInfoByDeviceName(table, name);
        if (slot < 0)
            EXPECT_EQ(found, table.end()) << name;
        else
            EXPECT_EQ(found - table.begin(), slot) << name;
    }
    EXPECT_EQ(FindDriveInfoByDeviceName(DriveInfoTable(), L"x"), DriveInfoTable().end());
}

TEST(DriveTable, MatchingDevicesMaskTheLettersOfEveryIdGiven)
{
    const DriveInfoTable table = Table({{L'A', L"a", L"STORAGE\\VOLUME\\{1}"},
                                        {L'E', L"e", L"STORAGE\\Volume\\_??_USBSTOR#Disk&Ven_X"},
                                        {L'F', L"f", L"STORAGE\\Volume\\_??_USBSTOR#Disk&Ven_X#2"},
                                        {L'K', L"k", L""},
                                        {L'Z', L"z", L"SCSI\\VOLUME\\9"}});
    const std::pair<std::list<std::wstring>, DWORD> cases[] = {
        {{L"storage\\volume\\_??_usbstor#disk&ven_x"}, Bit(L'E')}, // case does not matter
        {{L"STORAGE\\VOLUME\\{1}", L"scsi\\volume\\9"}, Bit(L'A') | Bit(L'Z')},
        {{L"STORAGE\\Volume\\_??_USBSTOR#Disk&Ven_X#2", L"STORAGE\\Volume\\_??_USBSTOR#Disk&Ven_X"},
         Bit(L'E') | Bit(L'F')},
        {{L"STORAGE\\Volume\\_??_USBSTOR"}, 0}, // whole ids only
        {{L""}, 0},                             // a slot without a volume id never matches
        {{}, 0},
    };
    for (const auto& [ids, mask] : cases) EXPECT_EQ(FindMatchingDevices(table, ids), mask) << ids.size();
    EXPECT_EQ(FindMatchingDevices(DriveInfoTable(), {L"x"}), 0u);
}

TEST(DbtEventNames, NamesTheSystemsCodesAndMarksOthersInHex)
{
    const std::pair<unsigned, std::wstring> cases[] = {
        {DBT_DEVICEARRIVAL, L"DBT_DEVICEARRIVAL"},
        {DBT_DEVICEREMOVECOMPLETE, L"DBT_DEVICEREMOVECOMPLETE"},
        {DBT_CUSTOMEVENT, L"DBT_CUSTOMEVENT"},
        {DBT_APPYBEGIN, L"DBT_APPYBEGIN"},
        {DBT_USERDEFINED, L"DBT_USERDEFINED"},
        {DBT_VOLLOCKUNLOCKFAILED, L"DBT_VOLLOCKUNLOCKFAILED"},
        {0x0002, L"event[0x2]"},
        {0x8007, L"event[0x8007]"},
        {0xABCDEF, L"event[0xABCDEF]"},
    };
    for (const auto& [code, name] : cases) EXPECT_EQ(GetDbtEventName(L"event", code), name) << code;
    EXPECT_EQ(GetDbtEventName(L"", 0x1a), L"[0x1A]");

    EXPECT_EQ(DbtEventNames.size(), 28u);
    std::set<std::wstring> names;
    for (const auto& [code, name] : DbtEventNames) {
        EXPECT_EQ(name.rfind(L"DBT_", 0), 0u) << code;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), DbtEventNames.size()) << "no name stands for two codes";
}
