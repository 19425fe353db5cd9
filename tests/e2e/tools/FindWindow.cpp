// findwindow TITLE [MS]: waits up to MS milliseconds (default 30000) for a top-level window titled
// TITLE, shown or hidden; prints the id of its process and exits with 0, or exits with 1.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

struct Search {
    const wchar_t* title;
    DWORD process;
};

BOOL CALLBACK Match(HWND hWnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    wchar_t text[256] = L"";
    ::GetWindowTextW(hWnd, text, 256);
    if (std::wcscmp(text, search->title) == 0) ::GetWindowThreadProcessId(hWnd, &search->process);
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: findwindow TITLE [MS]\n");
        return 2;
    }
    const DWORD timeout = argc == 3 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) : 30000;
    const DWORD start = ::GetTickCount();
    do {
        Search search{argv[1], 0};
        ::EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
        if (search.process) {
            std::printf("%lu\n", static_cast<unsigned long>(search.process));
            return 0;
        }
        ::Sleep(50);
    } while (::GetTickCount() - start < timeout);
    return 1;
}
