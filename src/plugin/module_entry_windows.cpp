// The DLL's entry points: attach runs LoadPlugin, detach runs UnloadPlugin, and Plugin_Unload is
// the one function the DLL exports.
#include <windows.h>

#include "plugin/entry_guard.h"
#include "plugin/plugin_lifecycle.h"

extern "C" __declspec(dllexport) void Plugin_Unload() {
    barterbox::RunGuarded("Plugin_Unload", &barterbox::UnloadPlugin);
}

BOOL APIENTRY DllMain(HMODULE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        barterbox::RunGuarded("the module's attach", &barterbox::LoadPlugin);
    } else if (reason == DLL_PROCESS_DETACH) {
        barterbox::RunGuarded("the module's detach", &barterbox::UnloadPlugin);
    }
    return TRUE;
}
