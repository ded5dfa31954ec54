// Loading a module file the way the platform's own loader does (dlopen on Linux, LoadLibraryW on
// Windows), so that the lifecycle tests drive the real module on both.
#pragma once

#include <string>

namespace testing_support {

// The module's handle, or nullptr with the loader's reason in `error`. Paths are UTF-8.
void* OpenModule(const std::string& path, std::string& error);
// The address of an exported function, or nullptr.
void* ModuleFunction(void* module, const char* name);
// Gives the handle back; true when the loader accepted it.
bool CloseModule(void* module);
// Whether the module file is still mapped in the process.
bool ModuleStillLoaded(const std::string& path);

} // namespace testing_support
