// Finds the module that holds this code, through the platform's loader; see module_path.h.
#include "module_path.h"

#include <string>

#include "engine_strings.h"
#include "platform/module_library.h"

namespace barterbox {
namespace {
// As many UTF-16 units as the Windows loader reports a module's path in (MAX_PATH).
constexpr size_t kMaxPathUnits = 260;
void AddressInsideThisModule() {}
} // namespace

FString PluginModulePath() {
    std::u16string path = ToWideString(
        platform::ModuleFileOf(reinterpret_cast<const void*>(&AddressInsideThisModule)));
    if (path.size() >= kMaxPathUnits) {
        path.resize(kMaxPathUnits - 1);
    }
    return FString(path.c_str());
}

} // namespace barterbox
