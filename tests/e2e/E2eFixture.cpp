#include "E2eFixture.h"

#include "foundation/ResString.h"

#include "resource.h"

void ProgramTest::TearDown()
{
    if (!m_program || !m_program->Running()) return;
    // A test that failed half-way may leave a prompt open: answer it so that Exit goes through.
    for (HWND dialog : FindDialogs(m_program->Id())) AnswerDialog(dialog, IDCANCEL);
    for (HWND dialog : FindDialogs(m_program->Id())) AnswerDialog(dialog, IDNO);
    if (m_frame) ::PostMessageW(m_frame, WM_COMMAND, ID_APP_EXIT, 0);
    if (m_program->WaitExit(kWindowWait) < 0) ADD_FAILURE() << "the program did not end; terminated";
    m_program.reset();
}

bool ProgramTest::StartProgram(const ExecValues& exec, const std::wstring& arguments, const RECT& bounds)
{
    EXPECT_TRUE(m_settings.Write(exec, bounds));
    m_program = std::make_unique<CDebuggedProgram>();
    if (!m_program->Start(ParentFolderFile(L"fernhollow.exe"), arguments)) {
        ADD_FAILURE() << "fernhollow.exe did not start, error " << m_program->StartError();
        return false;
    }
    const bool armed = arguments == L"/start";
    m_frame = WaitForTopLevel(m_program->Id(), L"Fernhollow", !armed, kWindowWait);
    if (!m_frame) {
        ADD_FAILURE() << "no " << (armed ? "hidden" : "visible") << " frame titled Fernhollow";
        return false;
    }
    // The armed start runs once the frame has placed itself: give it time to arm.
    ::Sleep(armed ? 1000 : 300);
    return true;
}

ExecValues ProgramTest::Values(DWORD flags)
{
    ExecValues exec;
    exec.flags = flags;
    exec.dstFolder = m_destination = MakeDestination();
    return exec;
}

long ProgramTest::ExitProgram()
{
    if (!m_program) return -1;
    ::PostMessageW(m_frame, WM_COMMAND, ID_APP_EXIT, 0);
    const long code = m_program->WaitExit(kWindowWait);
    EXPECT_EQ(0u, m_program->Crash()) << "the program crashed";
    return code;
}

std::wstring ProgramTest::MakeDestination(const std::wstring& name)
{
    const std::wstring path = m_temp.Path(name);
    EXPECT_TRUE(MakeFolders(path));
    return path;
}

wchar_t ProgramTest::InsertCard(const std::vector<std::wstring>& cameraFolders, unsigned seed)
{
    const std::vector<wchar_t> letters = FreeDriveLetters(1);
    if (letters.empty()) {
        ADD_FAILURE() << "no free drive letter";
        return 0;
    }
    m_card = std::make_unique<CCameraCard>(m_temp.Path(L"card"), cameraFolders, seed);
    m_drive = std::make_unique<CCardDrive>(letters[0], m_card->Root(), Pid());
    if (!m_drive->Insert()) {
        ADD_FAILURE() << "the drive tool did not insert the card";
        return 0;
    }
    return letters[0];
}

std::wstring ProgramTest::FormatMessage1(UINT id, const std::wstring& arg)
{
    std::wstring text;
    FormatResString(text, id, arg.c_str());
    return text;
}

void ProgramTest::ExpectTransferBalloon(size_t index, wchar_t drive, size_t count, bool copy)
{
    // The balloon texts take indexed arguments: {0}, {1}...
    const auto format = [](std::wstring text, const std::vector<std::wstring>& args) {
        for (size_t i = 0; i < args.size(); ++i) {
            const std::wstring marker = L"{" + std::to_wstring(i) + L"}";
            for (size_t at = 0; (at = text.find(marker, at)) != std::wstring::npos; at += args[i].size())
                text.replace(at, marker.size(), args[i]);
        }
        return ToUtf8(text);
    };
    const std::vector<Balloon> balloons = m_program->Balloons();
    ASSERT_LT(index, balloons.size());
    const std::wstring verb = LoadResString(copy ? 173 : 172);
    EXPECT_EQ(format(LoadResString(166), {verb}), ToUtf8(balloons[index].title));
    EXPECT_EQ(format(LoadResString(167), {std::wstring(1, drive), std::to_wstring(count), verb}),
              ToUtf8(balloons[index].text));
}

void ProgramTest::ExpectTransferred(const CCameraCard& card, bool copy)
{
    ExpectSameTree(card.CameraPart(), SnapshotTree(m_destination), "destination");
    ExpectSameTree(copy ? card.Original() : card.WithoutCameraPart(), SnapshotTree(card.Root()), "card");
}

void ProgramTest::ExpectNothingMoved(const CCameraCard& card)
{
    ExpectSameTree(card.Original(), SnapshotTree(card.Root()), "card");
    ASSERT_FALSE(m_destination.empty()) << "no destination made";
    ExpectSameTree({}, SnapshotTree(m_destination), "destination");
}

void ProgramTest::ExpectNoBalloonWithin(DWORD ms)
{
    const size_t before = m_program->Balloons().size();
    EXPECT_EQ(before, m_program->WaitBalloons(before + 1, ms)) << "an unexpected balloon";
}

void ProgramTest::ExpectNoRunAndExit(DWORD quietMs)
{
    EXPECT_EQ(0u, m_program->WaitBalloons(1, quietMs)) << "a run reported a transfer";
    EXPECT_TRUE(FindDialogs(Pid()).empty()) << "a question or message is still open";
    ExpectNothingMoved(*m_card);
    EXPECT_EQ(1, ExitProgram());
}

void ExpectSameTree(const TreeSnapshot& expected, const TreeSnapshot& actual, const char* what)
{
    for (const auto& [path, bytes] : expected) {
        const auto found = actual.find(path);
        if (found == actual.end()) {
            ADD_FAILURE() << what << ": missing " << ToUtf8(path);
        } else {
            EXPECT_TRUE(found->second == bytes) << what << ": different bytes in " << ToUtf8(path);
        }
    }
    for (const auto& entry : actual)
        if (!expected.count(entry.first)) ADD_FAILURE() << what << ": unexpected " << ToUtf8(entry.first);
}
