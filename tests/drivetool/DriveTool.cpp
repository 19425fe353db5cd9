// drivetool: a removable drive letter over a Linux folder under Wine, announced like a real card.
//   drivetool insert LETTER FOLDER   define the drive, then announce its arrival
//   drivetool remove LETTER          remove the drive, then announce its removal
//   drivetool define LETTER FOLDER   define only
//   drivetool undefine LETTER        remove only
//   drivetool arrive LETTERS         announce the arrival of the letters (one mask)
//   drivetool depart LETTERS         announce the removal of the letters (one mask)
// FOLDER is a Windows path or a Linux path (starting with '/'). A trailing "--to PID" sends the
// announcements to the windows of that process only (tests running side by side stay apart).
// Exit code 0 on success.
#include "Broadcast.h"
#include "MountManager.h"

#include <dbt.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

bool ParseLetters(const wchar_t* text, DWORD& mask)
{
    mask = 0;
    for (const wchar_t* p = text; *p; ++p) {
        wchar_t c = *p;
        if (c >= L'a' && c <= L'z') c = c - L'a' + L'A';
        if (c < L'A' || c > L'Z') return false;
        mask |= 1u << (c - L'A');
    }
    return mask != 0;
}

bool ParseLetter(const wchar_t* text, wchar_t& letter)
{
    DWORD mask = 0;
    if (!ParseLetters(text, mask) || (mask & (mask - 1))) return false;
    for (letter = L'A'; !(mask & 1); mask >>= 1) ++letter;
    return true;
}

int Fail(const char* what, DWORD error)
{
    std::fprintf(stderr, "drivetool: %s failed (%lu)\n", what, static_cast<unsigned long>(error));
    return 2;
}

int Define(wchar_t letter, const std::wstring& folder)
{
    std::string unixFolder;
    if (!folder.empty() && folder[0] == L'/') {
        for (wchar_t c : folder) unixFolder += static_cast<char>(c);
    } else {
        unixFolder = ToUnixPath(folder);
    }
    if (unixFolder.empty()) return Fail("folder", ERROR_PATH_NOT_FOUND);
    const DWORD error = DefineRemovableDrive(letter, unixFolder);
    return error ? Fail("define", error) : 0;
}

int Undefine(wchar_t letter)
{
    const DWORD error = RemoveDriveDefinition(letter);
    return error ? Fail("remove", error) : 0;
}

DWORD g_onlyPid = 0;

int Announce(UINT event, DWORD mask)
{
    std::printf("%d\n", BroadcastVolumeChange(event, mask, g_onlyPid));
    return 0;
}

int Usage()
{
    std::fprintf(stderr, "usage: drivetool insert|define LETTER FOLDER | remove|undefine LETTER | "
                         "arrive|depart LETTERS [--to PID]\n");
    return 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc >= 5 && std::wstring(argv[argc - 2]) == L"--to") {
        g_onlyPid = static_cast<DWORD>(std::wcstoul(argv[argc - 1], nullptr, 10));
        if (!g_onlyPid) return Usage();
        argc -= 2;
    }
    if (argc < 3) return Usage();
    const std::wstring command = argv[1];
    wchar_t letter = 0;
    DWORD mask = 0;
    if (command == L"arrive" || command == L"depart") {
        if (argc != 3 || !ParseLetters(argv[2], mask)) return Usage();
        return Announce(command == L"arrive" ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE, mask);
    }
    if (!ParseLetter(argv[2], letter)) return Usage();
    mask = 1u << (letter - L'A');
    if ((command == L"insert" || command == L"define") && argc == 4) {
        const int result = Define(letter, argv[3]);
        if (result || command == L"define") return result;
        return Announce(DBT_DEVICEARRIVAL, mask);
    }
    if ((command == L"remove" || command == L"undefine") && argc == 3) {
        const int result = Undefine(letter);
        if (result || command == L"undefine") return result;
        return Announce(DBT_DEVICEREMOVECOMPLETE, mask);
    }
    return Usage();
}
