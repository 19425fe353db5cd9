// The end of a run tells the drive's own going from a source that another hand took: by the
// volume at the letter, not by the letter alone.
#include "app/SourceVolume.h"
#include "tests/drivetool/MountManager.h"
#include "tests/support/FreeDriveLetters.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

TEST(SourceVolume, AnotherCardAtTheLetterIsNotTheOneTheSourcesCameFrom)
{
    CTempFolder temp;
    const std::vector<wchar_t> letters = FreeDriveLetters(1, L'L', L'H');
    ASSERT_EQ(letters.size(), 1u);
    const wchar_t letter = letters[0];
    struct CUndefine {
        wchar_t letter;
        ~CUndefine() { RemoveDriveDefinition(letter); }
    } undefine{letter};
    temp.WriteFile(L"first\\.windows-serial", "51a2d001");
    temp.WriteFile(L"first\\DCIM\\100TESTS\\a.jpg", "1");
    temp.WriteFile(L"second\\.windows-serial", "51a2d002");
    ASSERT_EQ(DefineRemovableDrive(letter, ToUnixPath(temp / L"first")), DWORD{ERROR_SUCCESS});
    const fhw::CSourceVolume volume = fhw::CSourceVolume::Of(letter + std::wstring(L":\\DCIM"));
    EXPECT_TRUE(volume.IsThere());
    ::RemoveDirectoryW((temp / L"first\\DCIM\\100TESTS").c_str());
    EXPECT_TRUE(volume.IsThere()) << "what went from the card leaves the card there";

    ASSERT_EQ(DefineRemovableDrive(letter, ToUnixPath(temp / L"second")), DWORD{ERROR_SUCCESS});
    EXPECT_FALSE(volume.IsThere()) << "another card at the letter";
    ASSERT_EQ(RemoveDriveDefinition(letter), DWORD{ERROR_SUCCESS});
    EXPECT_FALSE(volume.IsThere()) << "no card at the letter";

    EXPECT_TRUE(fhw::CSourceVolume::Of(L"\\\\server\\share\\DCIM").IsThere()) << "no drive letter to lose";
}
