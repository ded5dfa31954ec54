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
#include <cstdlib>

// The ELF loader's counterparts of DLL_PROCESS_ATTACH and DLL_PROCESS_DETACH. The detach is an
// exit handler registered right after the load, not an ELF destructor: glibc runs a module's exit
// handlers when it is unloaded, and at process exit before those registered earlier, so the
// host's objects that the load brought to life are still whole when the module detaches, as on
// Windows. An ELF destructor would run after them and call into a host that is gone.
static void OnModuleDetach() {
    barterbox::UnloadPlugin();
}

__attribute__((constructor)) static void OnModuleAttach() {
    barterbox::LoadPlugin();
    std::atexit(&OnModuleDetach);
}
#endif
