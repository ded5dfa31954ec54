// The module's entry points on POSIX systems: the ELF loader's counterparts of the DLL's attach and
// detach run LoadPlugin and UnloadPlugin, and Plugin_Unload is the one function the module
// exports.
#include <cstdlib>

#include "plugin/entry_guard.h"
#include "plugin/plugin_lifecycle.h"

extern "C" __attribute__((visibility("default"))) void Plugin_Unload() {
    barterbox::RunGuarded("Plugin_Unload", &barterbox::UnloadPlugin);
}

// The detach is an exit handler registered right after the load, not an ELF destructor: glibc
// runs a module's exit handlers when it is unloaded, and at process exit before those registered
// earlier, so the host's objects that the load brought to life are still whole when the module
// detaches, as on Windows. An ELF destructor would run after them and call into a host that is
// gone.
static void OnModuleDetach() {
    barterbox::RunGuarded("the module's detach", &barterbox::UnloadPlugin);
}

__attribute__((constructor)) static void OnModuleAttach() {
    barterbox::RunGuarded("the module's attach", &barterbox::LoadPlugin);
    std::atexit(&OnModuleDetach);
}
