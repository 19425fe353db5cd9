// findwindow TITLE [MS]: waits up to MS milliseconds (default 30000) for a top-level window titled
// TITLE, shown or hidden; prints the id of its process and exits with 0, or exits with 1.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: findwindow TITLE [MS]\n");
        return 2;
    }
    const DWORD timeout = argc == 3 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) : 30000;
    for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < timeout; ::Sleep(50)) {
        DWORD process = 0;
        if (HWND found = ::FindWindowW(nullptr, argv[1])) ::GetWindowThreadProcessId(found, &process);
        if (process) {
            std::printf("%lu\n", static_cast<unsigned long>(process));
            return 0;
        }
    }
    return 1;
}
