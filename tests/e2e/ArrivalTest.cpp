// Each card is taken up once per arrival: an arrival told while a run asks about its cards is
// settled by that run when it takes up the very card, and only by it.
#include "E2eFixture.h"

#include "foundation/ResString.h"
#include "foundation/UniqueHandle.h"

#include "resource.h"

#include <functional>

namespace {

constexpr DWORD kCopy = 0x1;
constexpr DWORD kConfirm = 0x2;
constexpr DWORD kEject = 0x4;

} // namespace

class ArrivalTest : public ProgramTest {
protected:
    // Waits for a dialog for which `is` holds, the only one open; null (with a failure) otherwise.
    HWND OnlyDialogWhere(const std::function<bool(HWND)>& is, const std::string& what)
    {
        HWND found = nullptr;
        WaitUntil(
            [&] {
                const std::vector<HWND> dialogs = FindDialogs(Pid());
                found = dialogs.size() == 1 && is(dialogs[0]) ? dialogs[0] : nullptr;
                return found != nullptr;
            },
            kRunWait);
        if (!found) ADD_FAILURE() << "no " << what;
        return found;
    }
    HWND ConfirmDialogOf(wchar_t drive)
    {
        const std::wstring dcim = drive + std::wstring(L":\\DCIM\\");
        const auto lists = [&](HWND dialog) {
            return WindowText(::GetDlgItem(dialog, IDC_CONFIRM_SOURCES)).rfind(dcim, 0) == 0;
        };
        return OnlyDialogWhere(lists, "confirm dialog for " + ToUtf8(dcim));
    }
};

// "/start" asks about the card present. A card that arrives meanwhile, at a letter the Start run
// has yet to reach, and whose arrival is told once more under its own question (a late notice),
// is asked about and copied by that run once, and not again after it.
TEST_F(ArrivalTest, CardArrivingUnderTheConfirmDialogOfAStartRunIsCopiedOnce)
{
    const std::vector<wchar_t> low = FreeDriveLetters(1, L'S', L'P'), high = FreeDriveLetters(1, L'W', L'T');
    ASSERT_TRUE(low.size() == 1 && high.size() == 1) << "no free drive letters";
    const ExecValues exec = Values(kCopy | kConfirm);
    const std::wstring first = DefineCards({{L"100TESTS"}}, low);
    ASSERT_EQ(1u, first.size());
    ASSERT_TRUE(Arm(exec));
    HWND dialog = ConfirmDialogOf(first[0]);
    ASSERT_NE(nullptr, dialog);
    const size_t runs = m_program->RunStarts().size();
    const std::wstring second = DefineCards({{L"101ABCDE", L"102ABCDE"}}, high);
    ASSERT_EQ(1u, second.size());
    ASSERT_TRUE(AnnounceArrival(second, Pid()));
    ASSERT_TRUE(AnswerDialog(dialog, IDOK));
    dialog = ConfirmDialogOf(second[0]);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(AnnounceArrival(second, Pid()));
    ASSERT_TRUE(AnswerDialog(dialog, IDOK));

    ASSERT_EQ(1u, m_program->WaitBalloons(1, kRunWait)) << "the Start run reported nothing";
    EXPECT_EQ(ToUtf8(TransferLine(first[0], 1, true) + L"\n" + TransferLine(second[0], 2, true)),
              ToUtf8(m_program->Balloons()[0].text));
    EXPECT_TRUE(DialogsSeenOver(Pid(), 3000).empty()) << "asked again about a card the run copied";
    EXPECT_EQ(1u, m_program->Balloons().size());
    EXPECT_EQ(runs, m_program->RunStarts().size()) << "a card was taken up again";
    ExpectTransferred(true);
}

// A card of the same camera swapped in at the letter while the question is open: nothing of the
// first card's list is moved from it, the user is told that the drive went, and the new card is
// asked about and moved as its own arrival.
TEST_F(ArrivalTest, CardSwappedUnderTheConfirmDialogIsNotMovedUnderTheFirstCardsList)
{
    const std::wstring drives = ArmWithCards(Values(kConfirm), {{L"100TESTS", L"101ABCDE"}});
    ASSERT_EQ(1u, drives.size());
    HWND dialog = ConfirmDialogOf(drives[0]);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(m_drives[0]->Undefine());
    ASSERT_EQ(drives, DefineCards({{L"100TESTS", L"102ABCDE"}}, {drives[0]}));
    ASSERT_TRUE(AnnounceArrival(drives, Pid()));
    ASSERT_TRUE(AnswerDialog(dialog, IDOK));
    std::wstring removed;
    FormatResString(removed, IDS_TRANSFER_DRIVE_REMOVED, drives.c_str(), LoadResString(172).c_str(), L"2", L"0");
    HWND box = OnlyDialogWhere([&](HWND d) { return DialogStaticTexts(d) == removed; }, ToUtf8(removed));
    ASSERT_TRUE(box && AnswerDialog(box, IDOK));
    ExpectSameTree(m_cards[1].Original(), SnapshotTree(m_cards[1].Root()), "swapped-in card, before its own run");

    dialog = ConfirmDialogOf(drives[0]);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(AnswerDialog(dialog, IDOK));
    ASSERT_EQ(1u, m_program->WaitBalloons(1, kRunWait)) << "the swapped-in card was not moved";
    ExpectTransferBalloon(0, drives[0], 2, false);
    ExpectSameTree(m_cards[0].Original(), SnapshotTree(m_cards[0].Root()), "first card");
    ExpectSameTree(m_cards[1].WithoutCameraPart(), SnapshotTree(m_cards[1].Root()), "swapped-in card");
    ExpectSameTree(m_cards[1].CameraPart(), SnapshotTree(m_destination), "destination");
}

// A card pulled and put back while its question is open, both told there, is the card that run
// copies after OK: it is not asked about again after the run (a second copy would ask to overwrite
// every file).
TEST_F(ArrivalTest, CardPulledAndPutBackUnderTheConfirmDialogIsCopiedOnce)
{
    const std::wstring drives = ArmWithCards(Values(kCopy | kConfirm), {{L"100TESTS", L"101ABCDE"}});
    ASSERT_EQ(1u, drives.size());
    HWND dialog = ConfirmDialogOf(drives[0]);
    ASSERT_NE(nullptr, dialog);
    const size_t runs = m_program->RunStarts().size();
    ASSERT_TRUE(m_drives[0]->Remove());
    ASSERT_TRUE(m_drives[0]->Define());
    ASSERT_TRUE(AnnounceArrival(drives, Pid()));
    ASSERT_TRUE(AnswerDialog(dialog, IDOK));

    ExpectOneTransfer(drives[0], 2, true);
    EXPECT_TRUE(DialogsSeenOver(Pid(), 3000).empty()) << "asked again about the card the run copied";
    EXPECT_EQ(1u, m_program->Balloons().size());
    EXPECT_EQ(runs, m_program->RunStarts().size()) << "the card was taken up again";
}

// A card whose \DCIM another program holds without sharing cannot be listed: its arrival says so,
// moves nothing, and neither ejects the card nor asks whether to disconnect it.
TEST_F(ArrivalTest, CardWhoseSourceFolderCannotBeListedIsToldAndLeftAsItIs)
{
    ASSERT_TRUE(Arm(Values(kEject)));
    const std::wstring drives = DefineCards({{L"100TESTS", L"101ABCDE"}});
    ASSERT_EQ(1u, drives.size());
    const std::wstring source = drives + std::wstring(L":\\DCIM");
    CUniqueKernelHandle held(
        ::CreateFileW(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(held) << "the card's folder could not be held";
    ASSERT_TRUE(AnnounceArrival(drives, Pid()));
    std::wstring told;
    FormatResString(told, IDS_SOURCE_FOLDER_UNREADABLE, source.c_str());
    HWND box = OnlyDialogWhere([&](HWND d) { return DialogStaticTexts(d) == told; }, ToUtf8(told));
    ASSERT_TRUE(box && AnswerDialog(box, IDOK));
    held.Reset();
    // No eject either: a try, refused here, would show its failure.
    ExpectNoRun(3000);
}
