#include "shell/VolumeEject.h"

#include "foundation/Exception.h"
#include "ids/drives.h"
#include "shell/tests/DriveTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(VolumeEject, RemovableDriveReportsExactlyWhatHappened)
{
    const auto letters = FindFreeLetters(1);
    ASSERT_EQ(letters.size(), 1u);
    const wchar_t x = letters[0];
    CTempFolder temp;
    CTestDrive drive(x, temp.Path(L"card"), false);
    ASSERT_TRUE(drive.Defined());
    ASSERT_EQ(GetDriveTypeOfLetter(x), static_cast<UINT>(DRIVE_REMOVABLE));

    bool dismounted = true;
    const bool ejected = EjectVolume(x, dismounted, 1000, 100);

    // The same controls sent once more tell what the first ones did (here: dismount and eject fail).
    CVolumeFile file;
    if (OpenVolume(file, x) == S_OK) {
        ASSERT_EQ(LockVolumeWithRetry(file, 1000, 100), S_OK);
        EXPECT_EQ(dismounted, SUCCEEDED(DismountVolumeChecked(file)));
        EXPECT_EQ(ejected, SUCCEEDED(EjectMediaChecked(file)));
    } else {
        EXPECT_TRUE(ejected || dismounted); // the volume went away: one of the steps did it
    }
}

TEST(VolumeEject, FixedDrivesAndMissingLettersAreNotOpened)
{
    ASSERT_EQ(GetDriveTypeOfLetter(L'C'), static_cast<UINT>(DRIVE_FIXED));
    const auto free = FindFreeLetters(1);
    ASSERT_EQ(free.size(), 1u);
    for (wchar_t letter : {L'C', free[0]}) {
        SCOPED_TRACE(static_cast<char>(letter));
        bool dismounted = true;
        try {
            EjectVolume(letter, dismounted, 100, 50);
            ADD_FAILURE() << "no exception";
        } catch (const my::CException& e) {
            EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_OPEN_FILE_FAILED));
            EXPECT_EQ(static_cast<HRESULT>(e.m_code), E_INVALIDARG);
            EXPECT_NE(e.m_message.find(GetVolumeDevicePath(letter)), std::wstring::npos);
        }
        EXPECT_FALSE(dismounted);
        CVolumeFile file;
        EXPECT_EQ(OpenVolume(file, letter), E_INVALIDARG);
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(EjectMediaChecked(file), E_HANDLE);
    }
}

} // namespace
