#include "E2eFixture.h"

#include "foundation/ResString.h"

#include "resource.h"

void ProgramTest::TearDown()
{
    if (!m_program || !m_frame) return; // not started, or ended by the test
    EXPECT_TRUE(FindDialogs(Pid()).empty()) << "a question or message is still open";
    // A test that failed half-way may leave a prompt open: answer it so that Exit goes through.
    for (HWND dialog : FindDialogs(Pid())) AnswerDialog(dialog, IDCANCEL);
    for (HWND dialog : FindDialogs(Pid())) AnswerDialog(dialog, IDNO);
    EXPECT_EQ(1, ExitProgram()) << "Exit ends with 1; anything else is a crash's code or no end";
}

bool ProgramTest::StartProgram(const ExecValues& exec, const std::wstring& arguments, const RECT& bounds)
{
    EXPECT_TRUE(m_settings.Write(exec, bounds));
    const bool armed = arguments == L"/start";
    m_program = std::make_unique<CDebuggedProgram>();
    if (m_program->Start(arguments)) m_frame = WaitForFrame(m_program->Id(), !armed, kWindowWait);
    if (!m_frame) {
        ADD_FAILURE() << "fernhollow.exe did not start (its errors are printed above), or no "
                      << (armed ? "hidden" : "visible") << " frame titled Fernhollow";
        return false;
    }
    ::Sleep(armed ? 1000 : 300); // lets an armed start arm
    return true;
}

ExecValues ProgramTest::Values(DWORD flags)
{
    ExecValues exec;
    exec.flags = flags;
    exec.dstFolder = m_destination = MakeDestination();
    return exec;
}

std::wstring ProgramTest::ArmWithCards(const ExecValues& exec, const CardFolders& cameraFolders)
{
    return Arm(exec) ? InsertCards(cameraFolders) : std::wstring();
}

long ProgramTest::ExitProgram()
{
    ::PostMessageW(m_frame, WM_COMMAND, ID_APP_EXIT, 0);
    const long code = m_program->WaitExit(kWindowWait);
    m_program.reset(); // terminates a program that did not end
    return code;
}

std::wstring ProgramTest::MakeDestination(const std::wstring& name)
{
    const std::wstring path = m_temp.Path(name);
    EXPECT_TRUE(MakeFolders(path));
    return path;
}

std::wstring ProgramTest::InsertCards(const CardFolders& cameraFolders)
{
    const std::wstring drives = DefineCards(cameraFolders);
    if (!drives.empty() && AnnounceArrival(drives, Pid())) return drives;
    ADD_FAILURE() << "the cards' arrival was not announced";
    return std::wstring();
}

std::wstring ProgramTest::DefineCards(const CardFolders& cameraFolders)
{
    return DefineCards(cameraFolders, FreeDriveLetters(cameraFolders.size()));
}

std::wstring ProgramTest::DefineCards(const CardFolders& cameraFolders, const std::vector<wchar_t>& letters)
{
    std::wstring drives;
    for (size_t i = 0; i < letters.size() && i < cameraFolders.size(); ++i) {
        const size_t card = m_cards.size(); // cards defined later go beside the earlier ones
        const unsigned seed = static_cast<unsigned>(card + 1);
        const std::wstring base = m_otherFileSystem ? m_otherFileSystem->Path() : m_temp.Path();
        m_cards.emplace_back(base + L"\\card" + std::to_wstring(card), cameraFolders[i], seed);
        m_drives.push_back(std::make_unique<CCardDrive>(letters[i], m_cards.back().Root(), Pid()));
        if (m_drives.back()->Define()) drives += letters[i];
    }
    if (drives.size() == cameraFolders.size()) return drives;
    ADD_FAILURE() << "the cards were not defined: no free drive letters, or the drive tool failed";
    return std::wstring();
}

bool ProgramTest::CardsOnOtherFileSystem()
{
    m_otherFileSystem = std::make_unique<COtherFileSystemFolder>(m_temp.Path());
    return !m_otherFileSystem->Path().empty();
}

namespace {

// The balloon texts take indexed arguments {0}, {1}, {2}, none of which is in an argument.
std::wstring WithArguments(std::wstring text, const std::vector<std::wstring>& args)
{
    for (size_t i = 0; i < args.size(); ++i)
        for (size_t at; (at = text.find(L"{" + std::to_wstring(i) + L"}")) != std::wstring::npos;)
            text.replace(at, 3, args[i]);
    return text;
}

} // namespace

std::wstring ProgramTest::TransferLine(wchar_t drive, size_t count, bool copy)
{
    return WithArguments(LoadResString(167),
                         {std::wstring(1, drive), std::to_wstring(count), LoadResString(copy ? 173 : 172)});
}

void ProgramTest::ExpectTransferBalloon(size_t index, wchar_t drive, size_t count, bool copy)
{
    const std::vector<Balloon> balloons = m_program->Balloons();
    ASSERT_LT(index, balloons.size());
    EXPECT_EQ(ToUtf8(WithArguments(LoadResString(166), {LoadResString(copy ? 173 : 172)})),
              ToUtf8(balloons[index].title));
    EXPECT_EQ(ToUtf8(TransferLine(drive, count, copy)), ToUtf8(balloons[index].text));
}

void ProgramTest::ExpectTransferred(bool copy)
{
    TreeSnapshot transferred;
    for (const CCameraCard& card : m_cards) {
        transferred.insert(card.CameraPart().begin(), card.CameraPart().end());
        ExpectSameTree(copy ? card.Original() : card.WithoutCameraPart(), SnapshotTree(card.Root()), "card");
    }
    ExpectSameTree(transferred, SnapshotTree(m_destination), "destination");
}

void ProgramTest::ExpectNothingMoved()
{
    for (const CCameraCard& card : m_cards) ExpectSameTree(card.Original(), SnapshotTree(card.Root()), "card");
    ASSERT_FALSE(m_destination.empty()) << "no destination made";
    ExpectSameTree({}, SnapshotTree(m_destination), "destination");
}

DWORD ProgramTest::ExpectOneTransfer(wchar_t drive, size_t count, bool copy)
{
    if (m_program->WaitBalloons(1, kRunWait) == 0) {
        ADD_FAILURE() << "no balloon after the card arrived";
        return 0;
    }
    ExpectTransferBalloon(0, drive, count, copy);
    ExpectTransferred(copy);
    EXPECT_EQ(1u, m_program->WaitBalloons(2, 1500)) << "a second balloon";
    return m_program->Balloons()[0].tick;
}

void ProgramTest::ExpectNoRun(DWORD quietMs)
{
    EXPECT_TRUE(DialogsSeenOver(Pid(), quietMs).empty()) << "a question or message came";
    EXPECT_TRUE(m_program->Balloons().empty()) << "a run reported a transfer";
    ExpectNothingMoved();
}

void ExpectSameTree(const TreeSnapshot& expected, const TreeSnapshot& actual, const char* what)
{
    for (const auto& [path, bytes] : expected) {
        const auto found = actual.find(path);
        EXPECT_TRUE(found != actual.end() && found->second == bytes)
            << what << ": " << (found == actual.end() ? "missing " : "different bytes in ") << ToUtf8(path);
    }
    for (const auto& entry : actual)
        EXPECT_EQ(1u, expected.count(entry.first)) << what << ": unexpected " << ToUtf8(entry.first);
}
