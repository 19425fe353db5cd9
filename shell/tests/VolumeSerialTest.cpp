#include "shell/VolumeSerial.h"
#include "shell/tests/ShellTestSupport.h"

using VolumeSerialTest = DriveTest;

// Two cards taken in turn at one letter, on one device: only the serial tells them apart.
TEST_F(VolumeSerialTest, TellsCardsAtOneLetterApart)
{
    m_temp.WriteFile(L"first\\.windows-serial", "1a2b3c4d");
    m_temp.WriteFile(L"second\\.windows-serial", "0badcafe");
    DWORD first = 0, second = 0, again = 0, none = 1;
    ASSERT_TRUE(Define(m_x, L"first"));
    EXPECT_TRUE(QueryVolumeSerial(m_x, first));
    EXPECT_TRUE(QueryVolumeSerial(m_x, again));
    EXPECT_EQ(first, again) << "one card answers one serial";
    ASSERT_TRUE(Remove(m_x));
    EXPECT_FALSE(QueryVolumeSerial(m_x, none)) << "no volume at the letter";
    EXPECT_EQ(none, 0u);
    ASSERT_TRUE(Define(m_x, L"second"));
    EXPECT_TRUE(QueryVolumeSerial(m_x, second));
    EXPECT_NE(first, second);
}
