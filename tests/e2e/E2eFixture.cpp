#include "E2eFixture.h"

#include "foundation/ResString.h"

#include "resource.h"

#include <sstream>

void ProgramTest::TearDown()
{
    if (!m_program || !m_program->Running()) return;
    // A test that failed half-way may leave a prompt open: answer it so that Exit goes through.
    for (HWND dialog : FindDialogs(m_program->Id())) AnswerDialog(dialog, IDCANCEL);
    for (HWND dialog : FindDialogs(m_program->Id())) AnswerDialog(dialog, IDNO);
    if (m_frame) ::PostMessageW(m_frame, WM_COMMAND, ID_APP_EXIT, 0);
    if (m_program->WaitExit(kExitWait) < 0) ADD_FAILURE() << "the program did not end; terminated";
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

long ProgramTest::ExitProgram()
{
    if (!m_program) return -1;
    ::PostMessageW(m_frame, WM_COMMAND, ID_APP_EXIT, 0);
    const long code = m_program->WaitExit(kExitWait);
    EXPECT_EQ(0u, m_program->Crash()) << "the program crashed";
    return code;
}

std::wstring ProgramTest::MakeDestination(const std::wstring& name)
{
    const std::wstring path = m_temp.Path(name);
    EXPECT_TRUE(MakeFolders(path));
    return path;
}

std::wstring ProgramTest::FormatIndexed(std::wstring text, const std::vector<std::wstring>& args)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring marker = L"{" + std::to_wstring(i) + L"}";
        for (size_t at = 0; (at = text.find(marker, at)) != std::wstring::npos; at += args[i].size())
            text.replace(at, marker.size(), args[i]);
    }
    return text;
}

std::wstring ProgramTest::FormatMessage1(UINT id, const std::wstring& arg)
{
    std::wstring text;
    FormatResString(text, id, arg.c_str());
    return text;
}

Balloon ProgramTest::ExpectedTransferBalloon(wchar_t drive, size_t count, bool copy)
{
    const std::wstring verb = LoadResString(copy ? 173 : 172);
    Balloon balloon;
    balloon.title = FormatIndexed(LoadResString(166), {verb});
    balloon.text = FormatIndexed(LoadResString(167), {std::wstring(1, drive), std::to_wstring(count), verb});
    return balloon;
}

void ProgramTest::ExpectNoBalloonWithin(DWORD ms)
{
    const size_t before = m_program->Balloons().size();
    EXPECT_EQ(before, m_program->WaitBalloons(before + 1, ms)) << "an unexpected balloon";
}

void ExpectSameTree(const TreeSnapshot& expected, const TreeSnapshot& actual, const char* what)
{
    auto e = expected.begin();
    auto a = actual.begin();
    while (e != expected.end() || a != actual.end()) {
        if (a == actual.end() || (e != expected.end() && e->first < a->first)) {
            ADD_FAILURE() << what << ": missing " << ToUtf8(e->first);
            ++e;
        } else if (e == expected.end() || a->first < e->first) {
            ADD_FAILURE() << what << ": unexpected " << ToUtf8(a->first);
            ++a;
        } else {
            EXPECT_TRUE(e->second == a->second) << what << ": different bytes in " << ToUtf8(e->first);
            ++e;
            ++a;
        }
    }
}
