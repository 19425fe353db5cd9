#include "app/Startup.h"

#include <AppModule.h>

#include <commctrl.h>
#include <ole2.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show)
{
    ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    _Module.Init(nullptr, instance);
    const int result = Run(commandLine, show);
    _Module.Term();
    ::OleUninitialize();
    return result;
}
