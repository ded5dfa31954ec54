// Modules on Windows, through LoadLibraryW; see module_library.h.
#include "module_library.h"

#include <windows.h>

#include "os_path.h"
#include "system_error.h"

namespace barterbox::platform {
namespace {
std::string Utf8Of(const wchar_t* text, DWORD length) {
    return Utf8Path(std::filesystem::path(std::wstring(text, length)));
}
} // namespace

void* OpenModule(const std::string& path, std::string& error) {
    HMODULE module = LoadLibraryW(OsPath(path).c_str());
    if (module == nullptr) {
        error = path + ": " + LastSystemErrorText();
    }
    return module;
}

void* ModuleFunction(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

bool CloseModule(void* module) {
    return FreeLibrary(static_cast<HMODULE>(module)) != 0;
}

void* OpenLoadedModule(const std::string& fileName) {
    HMODULE module = nullptr;
    // Without the unchanged-count flag the call takes a reference, which CloseModule frees.
    return GetModuleHandleExW(0, OsPath(fileName).c_str(), &module) != 0 ? module : nullptr;
}

bool ModuleStillLoaded(const std::string& path) {
    HMODULE module = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, OsPath(path).c_str(),
                              &module) != 0;
}

std::string ModuleFileOf(const void* address) {
    HMODULE module = nullptr;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCWSTR>(address), &module) == 0) {
        return {};
    }
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return length == 0 || length == MAX_PATH ? std::string() : Utf8Of(path, length);
}

std::string ProgramFile() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return length == 0 || length == MAX_PATH ? std::string() : Utf8Of(path, length);
}

std::string ModuleFileName(const std::string& name) {
    return name + ".dll";
}

} // namespace barterbox::platform
