// The loaded plugin's module file; see plugin_module_file.h.
#include "plugin_module_file.h"

#include <mutex>

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

} // namespace hostsim
