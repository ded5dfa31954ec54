// The stand-in Permissions plugin beside Barterbox: loaded from the plugin module's folder before
// the plugin, as a host loads the plugins another one may look for, and closed after it. Plugins
// find it by its name at run time (dlopen with RTLD_NOLOAD, GetModuleHandleW), never by linking.
#pragma once

#include <string>

namespace barterbox::server {

// Permissions.so (Permissions.dll) in the folder of the plugin module at `pluginPath`.
std::string PermissionsModulePath(const std::string& pluginPath);

// Loads the module; false with `error` set ("FILE: the loader's reason", or a module without the
// function plugins call). One is loaded at a time; loading it again does nothing.
bool LoadPermissionsModule(const std::string& path, std::string& error);
// Closes it, when it is loaded. The plugin must be gone first: it may hold the function's address.
void UnloadPermissionsModule();
bool PermissionsModuleLoaded();

} // namespace barterbox::server
