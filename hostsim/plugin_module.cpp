// The loaded plugin's module file; see plugin_module.h.
#include "plugin_module.h"

#include <mutex>

#if defined(_WIN32)
#include <windows.h>

#include "host_strings.h"
#else
#include <dlfcn.h>
#endif

namespace hostsim {
namespace {

struct ModuleRecord {
    std::mutex Mutex;
    std::string Path;
};

ModuleRecord& TheModule() {
    static ModuleRecord module;
    return module;
}

} // namespace

void SetPluginModuleFile(std::string path) {
    ModuleRecord& module = TheModule();
    std::lock_guard lock(module.Mutex);
    module.Path = std::move(path);
}

std::string PluginModuleFile() {
    ModuleRecord& module = TheModule();
    std::lock_guard lock(module.Mutex);
    return module.Path;
}

std::string ModuleFileOf(const void* address) {
#if defined(_WIN32)
    HMODULE handle = nullptr;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCWSTR>(address), &handle) == 0) {
        return {};
    }
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(handle, path, MAX_PATH);
    return Utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(path), length));
#else
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    return info.dli_fname;
#endif
}

} // namespace hostsim
