// The entry point of brtl.dll: thread notifications are turned off, and nothing else is set up
// (every hook slot holds its default from the start).
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}
