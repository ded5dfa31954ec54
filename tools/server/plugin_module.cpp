// The loaded plugin module; see plugin_module.h.
#include "plugin_module.h"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <filesystem>

#include "event_output.h"
#include "hostsim/plugin_module.h"

namespace barterbox::server {
namespace {

#if defined(_WIN32)
// The Windows loader's calls under the names the rest of this file uses. Paths are UTF-8 and go
// to LoadLibraryW as UTF-16, never through the ANSI code page.
constexpr int RTLD_NOW = 0;
constexpr int RTLD_LOCAL = 0;
constexpr int RTLD_NOLOAD = 1;

std::wstring WideModulePath(const std::string& path) {
    std::wstring wide(path.size() + 1, L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()),
                                           wide.data(), static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return wide;
}

std::string& LastModulePath() {
    static std::string path;
    return path;
}

void* dlopen(const char* path, int flags) {
    LastModulePath() = path;
    const std::wstring wide = WideModulePath(path);
    if (flags == RTLD_NOLOAD) {
        HMODULE module = nullptr;
        return GetModuleHandleExW(0, wide.c_str(), &module) ? module : nullptr;
    }
    return LoadLibraryW(wide.c_str());
}

void* dlsym(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

int dlclose(void* handle) {
    return FreeLibrary(static_cast<HMODULE>(handle)) ? 0 : 1;
}

// As dlerror does: the file, then the system's own words for the failure.
const char* dlerror() {
    const DWORD code = GetLastError();
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = length > 0 ? std::string(text, length) : "error " + std::to_string(code);
    LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) {
        reason.pop_back();
    }
    static std::string message;
    message = LastModulePath() + ": " + reason;
    return message.c_str();
}
#endif

struct LoadedModule {
    void* Handle = nullptr;
    std::string Path;
    void (*Unload)() = nullptr;
};

LoadedModule& Module() {
    static LoadedModule module;
    return module;
}

} // namespace

bool LoadPluginModule(const std::string& path, std::string& error) {
    LoadedModule& module = Module();
    if (module.Handle != nullptr) {
        error = "a plugin module is loaded already";
        return false;
    }
    // RTLD_NOW: a module with an unresolved host name fails here, not in the middle of a command.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : "dlopen failed";
        return false;
    }
    auto unload = reinterpret_cast<void (*)()>(dlsym(handle, "Plugin_Unload"));
    if (unload == nullptr) {
        error = path + " exports no Plugin_Unload";
        dlclose(handle);
        return false;
    }
    module = {handle, path, unload};
    // The host knows the plugin by the file the loader names, and answers its messenger lookups
    // only for that path.
    hostsim::SetPluginModuleFile(hostsim::ModuleFileOf(reinterpret_cast<const void*>(unload)));
    return true;
}

bool UnloadPluginModule() {
    LoadedModule& module = Module();
    if (module.Handle == nullptr) {
        return true;
    }
    module.Unload();
    dlclose(module.Handle);
    void* stayed = dlopen(module.Path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (stayed != nullptr) {
        dlclose(stayed); // RTLD_NOLOAD took a reference of its own
    }
    module = {};
    return stayed == nullptr;
}

bool PluginModuleLoaded() {
    return Module().Handle != nullptr;
}

std::string DefaultPluginPath() {
#if defined(_WIN32)
    wchar_t program[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    if (length == 0 || length == MAX_PATH) {
        return "Barterbox.dll";
    }
    const std::u8string folder = std::filesystem::path(program).parent_path().u8string();
    return std::string(folder.begin(), folder.end()) + "/Barterbox.dll";
#else
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return "Barterbox.so";
    }
    return (program.parent_path() / "Barterbox.so").string();
#endif
}

bool LoadPluginAndReport(const std::string& path) {
    std::string error;
    if (!LoadPluginModule(path, error)) {
        ServerError("cannot load the plugin: " + error);
        return false;
    }
    ServerLine("plugin loaded from " + std::filesystem::path(path).filename().string());
    return true;
}

void UnloadPluginAndReport() {
    if (!PluginModuleLoaded()) {
        return;
    }
    if (UnloadPluginModule()) {
        ServerLine("plugin unloaded");
    } else {
        ServerError("the plugin module stayed in memory after unloading; a new load will not "
                    "start from fresh state");
    }
}

} // namespace barterbox::server
