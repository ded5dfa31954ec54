// The module's entry points: attach runs LoadPlugin, detach runs UnloadPlugin, and Plugin_Unload
// is the one function the module exports.
#include "plugin_lifecycle.h"

#if defined(_WIN32)
#include <windows.h>
#define BARTERBOX_EXPORT extern "C" __declspec(dllexport)
#else
#define BARTERBOX_EXPORT extern "C" __attribute__((visibility("default")))
#endif

BARTERBOX_EXPORT void Plugin_Unload() {
    barterbox::UnloadPlugin();
}

#if defined(_WIN32)
BOOL APIENTRY DllMain(HMODULE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        barterbox::LoadPlugin();
    } else if (reason == DLL_PROCESS_DETACH) {
        barterbox::UnloadPlugin();
    }
    return TRUE;
}
#else
// The ELF loader's counterparts of DLL_PROCESS_ATTACH and DLL_PROCESS_DETACH.
__attribute__((constructor)) static void OnModuleAttach() {
    barterbox::LoadPlugin();
}

__attribute__((destructor)) static void OnModuleDetach() {
    barterbox::UnloadPlugin();
}
#endif
