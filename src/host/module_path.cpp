// Finds the module that holds this code: the one platform-specific piece of the host bindings.
#include "module_path.h"

#include <string>

#include "engine_strings.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace barterbox {
namespace {
constexpr size_t kMaxPathUnits = 260;
void AddressInsideThisModule() {}
} // namespace

FString PluginModulePath() {
#if defined(_WIN32)
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&AddressInsideThisModule), &module);
    wchar_t path[kMaxPathUnits] = {};
    GetModuleFileNameW(module, path, kMaxPathUnits);
    return FString(reinterpret_cast<const char16_t*>(path));
#else
    Dl_info info{};
    std::u16string path;
    if (dladdr(reinterpret_cast<void*>(&AddressInsideThisModule), &info) != 0 &&
        info.dli_fname != nullptr) {
        path = ToWideString(info.dli_fname);
    }
    if (path.size() >= kMaxPathUnits) {
        path.resize(kMaxPathUnits - 1);
    }
    return FString(path.c_str());
#endif
}

} // namespace barterbox
