// Cards that came or changed while a long run kept the program busy, unannounced or told only
// after the run: each is taken up once, after the run unless the run took it up itself.
#include "E2eFixture.h"

#include "tests/support/ScaledTime.h"

namespace {

constexpr DWORD kCopy = 0x1;

// A camera folder that keeps the program's thread busy for seconds: Wine's shell runs the whole
// file operation on it.
constexpr int kLongFiles = 1000;
const std::wstring kLongFolder = L"100MANY_";

} // namespace

class CatchUpTest : public ProgramTest {
protected:
    // Defines a card at `letter` whose one camera folder holds kLongFiles small files; empty (with
    // a failure) when it could not.
    std::wstring DefineLongCard(wchar_t letter)
    {
        const std::wstring drives = DefineCards({{}}, {letter});
        if (drives.size() != 1) return {};
        for (int i = 0; i < kLongFiles; ++i) {
            if (WriteFileBytes(LongFolderOf(m_cards.back()) + L"\\F" + std::to_wstring(i) + L".JPG", "small")) continue;
            ADD_FAILURE() << "the long card's files were not written";
            return {};
        }
        return drives;
    }
    static std::wstring LongFolderOf(const CCameraCard& card) { return card.Root() + L"\\DCIM\\" + kLongFolder; }
    // Waits until the long card's files have begun to arrive at the destination.
    bool LongRunBegun() const
    {
        return WaitUntil([&] { return SnapshotTree(m_destination + L"\\" + kLongFolder).size() > 10; }, 4 * kRunWait);
    }
    // The camera folders of card `index` are at the destination.
    void ExpectAtDestination(size_t index) const
    {
        const TreeSnapshot there = SnapshotTree(m_destination);
        for (const auto& [path, bytes] : m_cards[index].CameraPart())
            EXPECT_TRUE(there.count(path) && there.at(path) == bytes) << ToUtf8(path);
    }
};

// A Start run ("/start") walks every drive letter: a card defined unannounced during it, at a
// letter the walk has yet to reach, is copied by that run and not again after it (a second copy
// would ask to overwrite every file).
TEST_F(CatchUpTest, CardTheStartRunTookUpIsNotTakenUpAgain)
{
    if (!CardsOnOtherFileSystem()) GTEST_SKIP() << m_otherFileSystem->Reason();
    const std::vector<wchar_t> low = FreeDriveLetters(1, L'S', L'P'), high = FreeDriveLetters(1, L'W', L'T');
    ASSERT_TRUE(low.size() == 1 && high.size() == 1) << "no free drive letters";
    const ExecValues exec = Values(kCopy);
    const std::wstring first = DefineLongCard(low[0]);
    ASSERT_EQ(1u, first.size());
    // Started here: the frame cannot be waited for while the run keeps its thread busy.
    ASSERT_TRUE(m_settings.Write(exec));
    m_program = std::make_unique<CDebuggedProgram>();
    ASSERT_TRUE(m_program->Start(L"/start"));
    ASSERT_TRUE(LongRunBegun()) << "the copy did not begin";
    const std::wstring second = DefineCards({{L"100TESTS"}}, high);
    ASSERT_EQ(1u, second.size());
    m_frame = WaitForFrame(Pid(), false, 4 * kRunWait);
    ASSERT_NE(nullptr, m_frame);

    ASSERT_EQ(1u, m_program->WaitBalloons(1, 4 * kRunWait)) << "the Start run reported nothing";
    const std::wstring both = TransferLine(first[0], 1, true) + L"\n" + TransferLine(second[0], 1, true);
    if (m_program->Balloons()[0].text != both) GTEST_SKIP() << "the run ended before the second card came";
    EXPECT_TRUE(DialogsSeenOver(Pid(), ScaledTime(L"FH_E2E_TIME_SCALE", 3000)).empty())
        << "a question came after the run";
    EXPECT_EQ(1u, m_program->Balloons().size()) << "a card was taken up again";
    ExpectAtDestination(1);
}

// A card swapped in its reader, unannounced, at a letter the program knew while a long move keeps
// the program busy: the new card is moved after the long move.
TEST_F(CatchUpTest, CardSwappedAtAKnownLetterDuringALongMoveIsMovedAfterIt)
{
    if (!CardsOnOtherFileSystem()) GTEST_SKIP() << m_otherFileSystem->Reason();
    ASSERT_TRUE(Arm(Values(0)));
    // The run walks the letters in order: the known card is done before the long one begins.
    const std::wstring known = DefineCards({{L"100TESTS"}}, FreeDriveLetters(1, L'S', L'P'));
    ASSERT_EQ(1u, known.size());
    const std::vector<wchar_t> high = FreeDriveLetters(1, L'W', L'T');
    ASSERT_EQ(1u, high.size());
    const std::wstring longCard = DefineLongCard(high[0]);
    ASSERT_EQ(1u, longCard.size());
    ASSERT_TRUE(AnnounceArrival(known + longCard, Pid()));
    ASSERT_TRUE(LongRunBegun()) << "the long move did not begin";
    ASSERT_TRUE(m_drives[0]->Undefine());
    ASSERT_EQ(known, DefineCards({{L"101TESTS"}}, {known[0]}));
    // The long card's folder leaves it only when the whole move has ended.
    if (::GetFileAttributesW(LongFolderOf(m_cards[1]).c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "the long move ended before the card was swapped";

    ASSERT_EQ(2u, m_program->WaitBalloons(2, 4 * kRunWait)) << "the swapped-in card was not moved";
    EXPECT_EQ(ToUtf8(TransferLine(known[0], 1, false) + L"\n" + TransferLine(longCard[0], 1, false)),
              ToUtf8(m_program->Balloons()[0].text));
    ExpectTransferBalloon(1, known[0], 1, false);
    ExpectSameTree(m_cards[2].WithoutCameraPart(), SnapshotTree(m_cards[2].Root()), "swapped-in card");
    ExpectAtDestination(2);
}

// A card's own arrival notice that waits for the program while the card's long copy keeps it busy
// (Windows sends more than one for a volume) is handled after the run: it is the card that run took
// up, and no second run takes it (a second copy would ask to overwrite every file).
TEST_F(CatchUpTest, CardsOwnNoticeHandledAfterItsLongCopyDoesNotTakeItUpAgain)
{
    if (!CardsOnOtherFileSystem()) GTEST_SKIP() << m_otherFileSystem->Reason();
    ASSERT_TRUE(Arm(Values(kCopy)));
    const size_t runs = m_program->RunStarts().size();
    const std::wstring drives = DefineLongCard(FreeDriveLetters(1).at(0));
    ASSERT_EQ(1u, drives.size());
    ASSERT_TRUE(AnnounceArrival(drives, Pid()));
    ASSERT_TRUE(LongRunBegun()) << "the copy did not begin";
    ASSERT_TRUE(AnnounceArrivalAndWait(drives, Pid(), 4 * kRunWait)) << "the program never took the notice";

    ASSERT_EQ(1u, m_program->WaitBalloons(1, 4 * kRunWait)) << "the run reported nothing";
    ExpectTransferBalloon(0, drives[0], 1, true);
    EXPECT_TRUE(DialogsSeenOver(Pid(), ScaledTime(L"FH_E2E_TIME_SCALE", 3000)).empty())
        << "a question came after the run";
    EXPECT_EQ(1u, m_program->Balloons().size()) << "the card was taken up again";
    EXPECT_EQ(runs + 1, m_program->RunStarts().size()) << "the card was taken up again";
    ExpectAtDestination(0);
}
