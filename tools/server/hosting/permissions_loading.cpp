// Loading the stand-in Permissions module; see permissions_loading.h.
#include "permissions_loading.h"

#include "hostsim/permissions/permissions_api.h"
#include "platform/module_library.h"
#include "platform/os_path.h"

namespace barterbox::server {
namespace {

void*& PermissionsHandle() {
    static void* handle = nullptr;
    return handle;
}

} // namespace

std::string PermissionsModulePath(const std::string& pluginPath) {
    std::filesystem::path folder = platform::OsPath(pluginPath).parent_path();
    if (folder.empty()) {
        folder = "."; // a bare name would send the loader through its search path
    }
    return platform::Utf8Path(
        folder / platform::OsPath(platform::ModuleFileName(hostsim::kPermissionsModule)));
}

bool LoadPermissionsModule(const std::string& path, std::string& error) {
    void*& handle = PermissionsHandle();
    if (handle != nullptr) {
        return true;
    }
    void* module = platform::OpenModule(path, error);
    if (module == nullptr) {
        return false;
    }
    if (platform::ModuleFunction(module, hostsim::kIsPlayerInGroupName) == nullptr) {
        error = path + " exports no " + hostsim::kIsPlayerInGroupName;
        platform::CloseModule(module);
        return false;
    }
    handle = module;
    return true;
}

void UnloadPermissionsModule() {
    void*& handle = PermissionsHandle();
    if (handle != nullptr) {
        platform::CloseModule(handle);
        handle = nullptr;
    }
}

bool PermissionsModuleLoaded() {
    return PermissionsHandle() != nullptr;
}

} // namespace barterbox::server
