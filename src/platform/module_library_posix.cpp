// Modules on POSIX systems, through dlopen; see module_library.h.
#include "module_library.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace barterbox::platform {

void* OpenModule(const std::string& path, std::string& error) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : path + ": dlopen failed"; // dlerror names the file
    }
    return module;
}

void* ModuleFunction(void* module, const char* name) {
    return dlsym(module, name);
}

bool CloseModule(void* module) {
    return dlclose(module) == 0;
}

void* OpenLoadedModule(const std::string& fileName) {
    // A bare name matches a loaded module's own name (its SONAME) as well as its path.
    return dlopen(fileName.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_LOCAL);
}

bool ModuleStillLoaded(const std::string& path) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (module == nullptr) {
        return false;
    }
    dlclose(module); // RTLD_NOLOAD took a reference of its own
    return true;
}

std::string ModuleFileOf(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    return info.dli_fname;
}

std::string ProgramFile() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.string();
}

std::string ModuleFileName(const std::string& name) {
    return name + ".so";
}

} // namespace barterbox::platform
