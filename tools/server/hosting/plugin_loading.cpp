// Loading and unloading the plugin module; see plugin_loading.h.
#include "plugin_loading.h"

#include "hostsim/plugin_module_file.h"
#include "platform/module_library.h"
#include "platform/os_path.h"
#include "tools/server/output/event_output.h"

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
    // A module with an unresolved host name fails here, not in the middle of a command.
    void* handle = platform::OpenModule(path, error);
    if (handle == nullptr) {
        return false;
    }
    auto unload = reinterpret_cast<void (*)()>(platform::ModuleFunction(handle, "Plugin_Unload"));
    if (unload == nullptr) {
        error = path + " exports no Plugin_Unload";
        platform::CloseModule(handle);
        return false;
    }
    module = {handle, path, unload};
    // The host knows the plugin by the file the loader names, and answers its messenger lookups
    // only for that path.
    hostsim::SetPluginModuleFile(platform::ModuleFileOf(reinterpret_cast<const void*>(unload)));
    return true;
}

bool UnloadPluginModule() {
    LoadedModule& module = Module();
    if (module.Handle == nullptr) {
        return true;
    }
    module.Unload();
    platform::CloseModule(module.Handle);
    const bool stayed = platform::ModuleStillLoaded(module.Path);
    module = {};
    return !stayed;
}

bool PluginModuleLoaded() {
    return Module().Handle != nullptr;
}

std::string DefaultPluginPath() {
    const std::string module = platform::ModuleFileName("Barterbox");
    const std::string program = platform::ProgramFile();
    if (program.empty()) {
        return module;
    }
    return platform::Utf8Path(platform::OsPath(program).parent_path() / platform::OsPath(module));
}

bool LoadPluginAndReport(const std::string& path) {
    std::string error;
    if (!LoadPluginModule(path, error)) {
        ServerError("cannot load the plugin: " + error);
        return false;
    }
    ServerLine("plugin loaded from " + platform::Utf8Path(platform::OsPath(path).filename()));
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
