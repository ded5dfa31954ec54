// Loading a module file the way the platform's own loader does (dlopen on Linux, LoadLibraryW on
// Windows), for the server that loads the plugin as a host does and for the tests that drive the
// real module. Paths are UTF-8.
#pragma once

#include <string>

namespace barterbox::platform {

// The module's handle, or nullptr with "FILE: the loader's reason" in `error`. Every name the
// module imports is bound here, so a module that needs a missing name fails now, not later.
void* OpenModule(const std::string& path, std::string& error);
// The address of an exported function, or nullptr.
void* ModuleFunction(void* module, const char* name);
// Gives the handle back; true when the loader accepted it.
bool CloseModule(void* module);
// A module that something else has loaded already, found by its file name ("Permissions.dll"),
// with a reference of its own that CloseModule gives back; nullptr when no such module is loaded.
// Nothing is loaded by it.
void* OpenLoadedModule(const std::string& fileName);
// Whether the module file is still mapped in the process.
bool ModuleStillLoaded(const std::string& path);

// The file of the loaded module that holds the address, as the loader names it; empty when no
// module holds it.
std::string ModuleFileOf(const void* address);
// The running program's own file; empty when the system cannot say.
std::string ProgramFile();

// The file name the platform gives a module called `name` ("Barterbox.so", "Barterbox.dll").
std::string ModuleFileName(const std::string& name);

} // namespace barterbox::platform
