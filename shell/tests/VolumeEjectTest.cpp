#include "shell/VolumeEject.h"

#include "ids/drives.h"
#include "shell/tests/ShellTestSupport.h"

namespace {

using VolumeEject = DriveTest;

TEST_F(VolumeEject, RemovableDriveReportsExactlyWhatHappened)
{
    ASSERT_TRUE(Define(m_x, L"card"));
    ASSERT_EQ(GetDriveTypeOfLetter(m_x), static_cast<UINT>(DRIVE_REMOVABLE));

    bool dismounted = true;
    const bool ejected = EjectVolume(m_x, dismounted, 1000, 100);

    // The same controls sent once more tell what the first ones did (here: dismount and eject fail).
    CVolumeFile file;
    if (OpenVolume(file, m_x) == S_OK) {
        ASSERT_EQ(LockVolumeWithRetry(file, 1000, 100), S_OK);
        EXPECT_EQ(dismounted, SUCCEEDED(DismountVolumeChecked(file)));
        EXPECT_EQ(ejected, SUCCEEDED(EjectMediaChecked(file)));
    } else {
        EXPECT_TRUE(ejected || dismounted); // the volume went away: one of the steps did it
    }
}

TEST_F(VolumeEject, FixedDrivesAndMissingLettersAreNotOpened)
{
    ASSERT_EQ(GetDriveTypeOfLetter(L'C'), static_cast<UINT>(DRIVE_FIXED));
    for (wchar_t letter : {L'C', m_x}) {
        SCOPED_TRACE(static_cast<char>(letter));
        bool dismounted = true;
        const my::CException e = CaughtOf([&] { EjectVolume(letter, dismounted, 100, 50); });
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_OPEN_FILE_FAILED));
        EXPECT_EQ(static_cast<HRESULT>(e.m_code), E_INVALIDARG);
        EXPECT_NE(e.m_message.find(GetVolumeDevicePath(letter)), std::wstring::npos);
        EXPECT_FALSE(dismounted);
    }
}

} // namespace
