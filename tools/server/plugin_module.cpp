// The loaded plugin module; see plugin_module.h.
#include "plugin_module.h"

#include <dlfcn.h>

#include <filesystem>

#include "event_output.h"
#include "hostsim/plugin_module.h"

namespace barterbox::server {
namespace {

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
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return "Barterbox.so";
    }
    return (program.parent_path() / "Barterbox.so").string();
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
