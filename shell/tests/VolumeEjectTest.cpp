#include "DriveTestSupport.h"

#include "foundation/Exception.h"
#include "ids/drives.h"
#include "shell/VolumeEject.h"

#include <gtest/gtest.h>

#include <winioctl.h>

namespace {

using namespace drivetest;

TEST(VolumePaths, BuiltFromTheLetter)
{
    EXPECT_EQ(GetVolumeRootPath(L'E'), L"E:\\");
    EXPECT_EQ(GetVolumeDevicePath(L'E'), L"\\\\.\\E:");
    EXPECT_EQ(GetDriveTypeOfLetter(L'C'), ::GetDriveTypeW(L"C:\\"));
    EXPECT_EQ(GetDriveTypeOfPath(L"C:\\"), ::GetDriveTypeW(L"C:\\"));
}

TEST(VolumeEject, RemovableDriveReportsExactlyWhatHappened)
{
    const auto letters = FindFreeLetters(1);
    ASSERT_EQ(letters.size(), 1u);
    const wchar_t x = letters[0];
    CTempFolder temp;
    CTestDrive drive(x, temp.Sub(L"card"), false);
    ASSERT_TRUE(drive.Defined());
    ASSERT_EQ(GetDriveTypeOfLetter(x), static_cast<UINT>(DRIVE_REMOVABLE));

    bool dismounted = true;
    const bool ejected = EjectVolume(x, dismounted, 1000, 100);

    // Compare with the same controls sent once more: what failed there cannot have succeeded.
    CVolumeFile file;
    if (OpenVolume(file, x) == S_OK) {
        ASSERT_EQ(LockVolumeWithRetry(file, 1000, 100), S_OK);
        if (!dismounted) {
            EXPECT_TRUE(FAILED(DismountVolumeChecked(file)));
        }
        if (!ejected) {
            EXPECT_TRUE(FAILED(EjectMediaChecked(file)));
            EXPECT_EQ(GetDriveTypeOfLetter(x), static_cast<UINT>(DRIVE_REMOVABLE));
        }
    } else {
        EXPECT_TRUE(ejected || dismounted); // the volume went away: one of the steps did it
    }
}

TEST(VolumeEject, OpenAndLockOnRemovableDrive)
{
    const auto letters = FindFreeLetters(1);
    ASSERT_EQ(letters.size(), 1u);
    CTempFolder temp;
    CTestDrive drive(letters[0], temp.Sub(L"card"), false);
    ASSERT_TRUE(drive.Defined());
    CVolumeFile file;
    OpenVolumeOrThrow(file, letters[0]);
    EXPECT_TRUE(file.IsOpen());
    LockVolumeOrThrow(file, 0, 500);
    // A failing control is told as such by the plain form too.
    const HRESULT eject = EjectMediaChecked(file);
    if (FAILED(eject)) {
        try {
            EjectMedia(file);
            ADD_FAILURE() << "no exception";
        } catch (const my::CException& e) {
            EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_EJECT_MEDIA_FAILED));
            EXPECT_EQ(static_cast<HRESULT>(e.m_code), eject);
        }
    }
    file.CloseVolume();
    EXPECT_FALSE(file.IsOpen());
}

void ExpectOpenRefused(wchar_t letter)
{
    bool dismounted = true;
    try {
        EjectVolume(letter, dismounted, 100, 50);
        ADD_FAILURE() << "no exception for " << static_cast<char>(letter);
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_OPEN_FILE_FAILED));
        EXPECT_EQ(static_cast<HRESULT>(e.m_code), E_INVALIDARG);
        EXPECT_NE(e.m_message.find(GetVolumeDevicePath(letter)), std::wstring::npos) << e.m_message;
    }
    EXPECT_FALSE(dismounted);
    CVolumeFile file;
    EXPECT_EQ(OpenVolume(file, letter), E_INVALIDARG);
    EXPECT_FALSE(file.IsOpen());
}

TEST(VolumeEject, FixedDriveIsRefused)
{
    ASSERT_EQ(GetDriveTypeOfLetter(L'C'), static_cast<UINT>(DRIVE_FIXED));
    ExpectOpenRefused(L'C');
}

TEST(VolumeEject, MissingLetterIsRefused)
{
    const auto letters = FindFreeLetters(1);
    ASSERT_EQ(letters.size(), 1u);
    ExpectOpenRefused(letters[0]);
}

TEST(VolumeEject, ControlsWithoutVolume)
{
    CVolumeFile file;
    EXPECT_EQ(LockVolumeWithRetry(file, 0, 1000), E_HANDLE);
    EXPECT_EQ(DismountVolumeChecked(file), E_HANDLE);
    EXPECT_EQ(AllowMediaRemovalChecked(file), E_HANDLE);
    EXPECT_EQ(EjectMediaChecked(file), E_HANDLE);
    const struct {
        void (*fn)(CVolumeFile&);
        UINT id;
    } plain[] = {{DismountVolume, IDS_DISMOUNT_VOLUME_FAILED},
                 {AllowMediaRemoval, IDS_MEDIA_REMOVAL_FAILED},
                 {EjectMedia, IDS_EJECT_MEDIA_FAILED}};
    for (const auto& p : plain) {
        try {
            p.fn(file);
            ADD_FAILURE() << "no exception";
        } catch (const my::CException& e) {
            EXPECT_EQ(e.m_id, p.id);
            EXPECT_EQ(static_cast<HRESULT>(e.m_code), E_HANDLE);
        }
    }
    try {
        LockVolumeOrThrow(file, 0, 0);
        ADD_FAILURE() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_LOCK_VOLUME_FAILED));
    }
}

} // namespace
