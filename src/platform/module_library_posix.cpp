// Modules on POSIX systems, through dlopen; see module_library.h.
#include "module_library.h"

#include <dlfcn.h>
#include <link.h>

#include <filesystem>
#include <string_view>
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
    // The loaded modules are searched by their paths first: dlopen with a bare name would look
    // for the file on disk before it compares, at every call.
    struct Search {
        const std::string* Name;
        std::string Path;
    } search{&fileName, {}};
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* wanted = static_cast<Search*>(data);
            const std::string_view path = info->dlpi_name != nullptr ? info->dlpi_name : "";
            const std::string_view base = path.substr(path.find_last_of('/') + 1);
            if (base != *wanted->Name) {
                return 0;
            }
            wanted->Path = std::string(path);
            return 1;
        },
        &search);
    if (search.Path.empty()) {
        return nullptr;
    }
    return dlopen(search.Path.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_LOCAL);
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
