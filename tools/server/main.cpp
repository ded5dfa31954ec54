// barterbox-server: loads the real plugin module into the stand-in host and unloads it again.
#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "hostsim/host_environment.h"

int main(int, char** argv) {
    hostsim::ResetHost();
    std::string program(argv[0]);
    const std::string folder = program.substr(0, program.find_last_of('/') + 1);
    const std::string module = folder + "Barterbox.so";
    void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        std::fprintf(stderr, "[server] cannot load %s: %s\n", module.c_str(), dlerror());
        return 1;
    }
    if (auto unload = reinterpret_cast<void (*)()>(dlsym(handle, "Plugin_Unload"))) {
        unload();
    }
    dlclose(handle);
    return 0;
}
