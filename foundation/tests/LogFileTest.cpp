#include "foundation/LogFile.h"

#include "foundation/UniqueHandle.h"
#include "tests/support/TempFolder.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <boost/regex.hpp>

#include <string>
#include <thread>
#include <vector>

namespace {

// The bytes UTF-16LE gives for ASCII text.
std::string Utf16(const std::string& ascii)
{
    std::string bytes;
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

const std::string kMark = "\xFF\xFE";

// The file's bytes while the log may still have it open for writing.
std::string BytesWhileOpen(const std::wstring& path)
{
    std::string bytes;
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                             nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<cannot open>";
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(h, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
    ::CloseHandle(h);
    return bytes;
}

std::string Written(CTempFolder& temp, const std::wstring& text)
{
    CLogFile log;
    EXPECT_TRUE(log.OpenPath(temp / L"log.txt"));
    log << text;
    log.CloseFile();
    EXPECT_TRUE(log.good());
    return temp.ReadFile(L"log.txt");
}

TEST(LogFile, LineEndsBecomeCrLfOnceAfterTheMark)
{
    CTempFolder temp;
    const struct {
        std::wstring text;
        std::string ascii;
    } cases[] = {
        {L"x\n", "x\r\n"},         {L"x\r\n", "x\r\n"}, {L"x\nyz\r\nabc", "x\r\nyz\r\nabc"},
        {L"\r\r\n\n", "\r\n\r\n"}, {L"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Written(temp, c.text), kMark + Utf16(c.ascii));
    }
    EXPECT_EQ(Written(temp, L"x\n").substr(0, 8), std::string("\xFF\xFE\x78\x00\x0D\x00\x0A\x00", 8));
    EXPECT_EQ(Written(temp, L"日本\n"), kMark + std::string("\xE5\x65\x2C\x67\x0D\x00\x0A\x00", 8));
}

// Text longer than the stream's buffer, and text that is mostly line feeds, arrive whole.
TEST(LogFile, LongLinesAndManyLineFeedsAreWrittenWhole)
{
    CTempFolder temp;
    std::string ascii;
    for (int i = 0; i < 40000; ++i) ascii += static_cast<char>('a' + i % 26);
    EXPECT_EQ(Written(temp, std::wstring(ascii.begin(), ascii.end()) + L"\n"), kMark + Utf16(ascii + "\r\n"));

    const std::wstring feeds(30000, L'\n');
    std::string expected;
    for (int i = 0; i < 30000; ++i) expected += "\r\n";
    EXPECT_EQ(Written(temp, feeds), kMark + Utf16(expected));
}

TEST(LogFile, OpeningAgainEmptiesTheFileAndAFailedOpenIsReported)
{
    CTempFolder temp;
    CLogFile log;
    ASSERT_TRUE(log.OpenPath(temp / L"a.txt"));
    log << L"first run" << std::endl;
    ASSERT_TRUE(log.OpenPath(temp / L"a.txt"));
    log.flush();
    EXPECT_EQ(BytesWhileOpen(temp / L"a.txt"), kMark);
    EXPECT_EQ(log.GetOpenedPath(), temp / L"a.txt");

    EXPECT_FALSE(log.OpenPath(temp / L"missing\\b.txt"));
    EXPECT_TRUE(log.fail());
    EXPECT_EQ(log.GetRequestedPath(), temp / L"missing\\b.txt");
    EXPECT_EQ(log.GetOpenedPath(), L"");

    ASSERT_TRUE(log.OpenPath(temp / L"c.txt"));
    log << L"again\n";
    log.CloseFile();
    EXPECT_TRUE(log.good());
    EXPECT_EQ(temp.ReadFile(L"c.txt"), kMark + Utf16("again\r\n"));
}

TEST(LogFile, OpenedInTheNamedPlaces)
{
    CTempFolder temp;
    CLogFile log;
    ASSERT_TRUE(log.OpenDated(temp.Path()));
    const std::wstring dated = log.GetOpenedPath();
    log.CloseFile();
    const boost::wregex form(L"\\\\\\d{4}_\\d{2}_\\d{2} \\d{2}_\\d{2}_\\d{2} \\d{4}\\.txt$");
    EXPECT_TRUE(boost::regex_search(dated, form)) << dated;
    EXPECT_EQ(dated.substr(0, temp.Path().size() + 1), temp.Path() + L"\\");
    EXPECT_EQ(CTempFolder::ReadBytes(dated), kMark);
    EXPECT_EQ(DatedLogFileName(SYSTEMTIME{2026, 1, 0, 2, 3, 4, 5, 6}), L"2026_01_02 03_04_05 0006.txt");
    ASSERT_TRUE(log.OpenDated(temp.Path() + L"\\"));
    EXPECT_EQ(log.GetOpenedPath().find(L"\\\\"), std::wstring::npos);
    log.CloseFile();

    wchar_t program[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring beside(program);
    beside.erase(beside.rfind(L'\\') + 1);
    beside += L"fh-log-test.txt";
    ASSERT_TRUE(log.OpenBesideProgram(L"fh-log-test.txt"));
    EXPECT_EQ(log.GetOpenedPath(), beside);
    log.CloseFile();
    EXPECT_TRUE(::DeleteFileW(beside.c_str()));

    wchar_t appData[MAX_PATH] = L"";
    ASSERT_TRUE(::SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, TRUE));
    const std::wstring defaultPath = std::wstring(appData) + L"\\LOG.txt";
    const bool existed = ::GetFileAttributesW(defaultPath.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (existed) GTEST_SKIP() << "a LOG.txt of someone else's is in the application-data folder";
    ASSERT_TRUE(log.OpenDefault());
    EXPECT_EQ(log.GetOpenedPath(), defaultPath);
    log.CloseFile();
    EXPECT_TRUE(::DeleteFileW(defaultPath.c_str()));
}

TEST(LogFile, GlobalLogIsReplacedOnlyByOneThatOpened)
{
    CTempFolder temp;
    ASSERT_TRUE(OpenGlobalLog(temp / L"global.txt"));
    const CLogFilePtr first = g_logFile;
    ASSERT_TRUE(first);
    EXPECT_FALSE(OpenGlobalLog(temp / L"no such folder\\global.txt"));
    EXPECT_EQ(g_logFile, first);
    *g_logFile << L"kept\n";
    CloseGlobalLog();
    EXPECT_FALSE(g_logFile);
    EXPECT_FALSE(first->is_open());
    EXPECT_EQ(temp.ReadFile(L"global.txt"), kMark + Utf16("kept\r\n"));
    CloseGlobalLog(); // nothing open: nothing happens
    EXPECT_FALSE(g_logFile);
}

// A global log left open is written whole when the process ends, whatever order the process's
// objects are destroyed in. This executable runs itself to end a process with the log open.
TEST(LogFile, GlobalLogLeftOpenIsWrittenWholeAtExit)
{
    wchar_t childPath[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"FH_LOG_LEFT_OPEN", childPath, MAX_PATH) > 0) {
        ASSERT_TRUE(OpenGlobalLog(childPath));
        *g_logFile << L"ab\n" << std::flush << L"cd\n";
        return; // "cd" stays in the stream's buffer until the process ends
    }
    CTempFolder temp;
    const std::wstring path = temp / L"left-open.txt";
    wchar_t exe[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
    std::wstring command = L"\"" + std::wstring(exe) +
                           L"\" --gtest_filter=LogFile.GlobalLogLeftOpenIsWrittenWholeAtExit";
    ASSERT_TRUE(::SetEnvironmentVariableW(L"FH_LOG_LEFT_OPEN", path.c_str()));
    // The child's own GoogleTest summary must not reach this run's output, where it would stand for
    // this process's result: it writes to NUL.
    SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
    const CUniqueKernelHandle nul(::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                                OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(nul);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nul.Get();
    startup.hStdError = nul.Get();
    PROCESS_INFORMATION info = {};
    const BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                          &startup, &info);
    ::SetEnvironmentVariableW(L"FH_LOG_LEFT_OPEN", nullptr);
    ASSERT_TRUE(started);
    const CUniqueKernelHandle process(info.hProcess), thread(info.hThread);
    ASSERT_EQ(::WaitForSingleObject(info.hProcess, 60000), WAIT_OBJECT_0);
    DWORD code = 1;
    ASSERT_TRUE(::GetExitCodeProcess(info.hProcess, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(temp.ReadFile(L"left-open.txt"), kMark + Utf16("ab\r\ncd\r\n"));
}

// Lines written under the log's lock by two threads never mix within a line.
TEST(LogFile, TwoThreadsWriteWholeLines)
{
    CTempFolder temp;
    CLogFile log;
    ASSERT_TRUE(log.OpenPath(temp / L"threads.txt"));
    const int lines = 3000;
    auto writer = [&log](wchar_t name) {
        for (int i = 0; i < lines; ++i) {
            CAutoLock<CAutoCriticalSection> lock(log);
            log << L"thread " << name << L' ' << i << L' ' << std::wstring(40 + i % 50, name) << L'\n';
        }
    };
    std::thread a(writer, L'A'), b(writer, L'B');
    a.join();
    b.join();
    log.CloseFile();

    const std::string bytes = temp.ReadFile(L"threads.txt");
    ASSERT_EQ(bytes.substr(0, 2), kMark);
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    const boost::wregex line(L"thread ([AB]) (\\d+) ([AB]+)");
    int counts[2] = {0, 0};
    int next[2] = {0, 0};
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        const std::wstring one = text.substr(start, end - start);
        boost::wsmatch match;
        ASSERT_TRUE(boost::regex_match(one, match, line)) << one;
        const int who = match[1].str() == L"A" ? 0 : 1;
        ASSERT_EQ(match[3].str(), std::wstring(40 + next[who] % 50, match[1].str()[0])) << one;
        ASSERT_EQ(std::stoi(match[2].str()), next[who]++) << one;
        ++counts[who];
    }
    EXPECT_EQ(start, text.size());
    EXPECT_EQ(counts[0], lines);
    EXPECT_EQ(counts[1], lines);
}

TEST(LogFile, ElapsedTicksCountsFromThePreviousCall)
{
    ElapsedTicks();
    ::Sleep(120);
    const DWORD elapsed = ElapsedTicks();
    EXPECT_GE(elapsed, 100u);
    EXPECT_LT(ElapsedTicks(), elapsed);
}

} // namespace
