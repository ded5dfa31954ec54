// The platform's module loader for tests; see module_loader.h.
#include "module_loader.h"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <filesystem>
#else
#include <dlfcn.h>
#endif

namespace testing_support {

#if defined(_WIN32)
namespace {
std::wstring WidePath(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end())).wstring();
}
} // namespace

void* OpenModule(const std::string& path, std::string& error) {
    HMODULE module = LoadLibraryW(WidePath(path).c_str());
    if (module == nullptr) {
        error = "LoadLibraryW failed with error " + std::to_string(GetLastError());
    }
    return module;
}

void* ModuleFunction(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

bool CloseModule(void* module) {
    return FreeLibrary(static_cast<HMODULE>(module)) != 0;
}

bool ModuleStillLoaded(const std::string& path) {
    HMODULE module = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, WidePath(path).c_str(),
                              &module) != 0;
}
#else
void* OpenModule(const std::string& path, std::string& error) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : "dlopen failed";
    }
    return module;
}

void* ModuleFunction(void* module, const char* name) {
    return dlsym(module, name);
}

bool CloseModule(void* module) {
    return dlclose(module) == 0;
}

bool ModuleStillLoaded(const std::string& path) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (module == nullptr) {
        return false;
    }
    dlclose(module); // RTLD_NOLOAD took a reference of its own
    return true;
}
#endif

} // namespace testing_support
