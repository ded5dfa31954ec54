// The host's Permissions plugin; see permissions_plugin.h.
#include "permissions_plugin.h"

#include "platform/module_library.h"
#include "utf16.h"

namespace barterbox::permissions {
namespace {

using IsPlayerInGroupFunction = bool (*)(const char16_t*, const char16_t*);

// The loaded module, held for the length of one question.
class LoadedPermissions {
public:
    LoadedPermissions()
        : module_(platform::OpenLoadedModule(platform::ModuleFileName(kModuleName))) {
        if (module_ != nullptr) {
            function_ = reinterpret_cast<IsPlayerInGroupFunction>(
                platform::ModuleFunction(module_, kIsPlayerInGroup));
        }
    }
    ~LoadedPermissions() {
        if (module_ != nullptr) {
            platform::CloseModule(module_);
        }
    }
    LoadedPermissions(const LoadedPermissions&) = delete;
    LoadedPermissions& operator=(const LoadedPermissions&) = delete;

    IsPlayerInGroupFunction Function() const { return function_; }

private:
    void* module_ = nullptr;
    IsPlayerInGroupFunction function_ = nullptr;
};

} // namespace

bool PluginFound() {
    return LoadedPermissions{}.Function() != nullptr;
}

std::optional<std::vector<bool>> GroupMemberships(std::string_view eosId,
                                                  const std::vector<std::string>& groups) {
    const LoadedPermissions loaded;
    if (loaded.Function() == nullptr) {
        return std::nullopt;
    }
    const std::u16string player = Utf8ToUtf16(eosId);
    std::vector<bool> memberships;
    memberships.reserve(groups.size());
    for (const std::string& group : groups) {
        memberships.push_back(loaded.Function()(player.c_str(), Utf8ToUtf16(group).c_str()));
    }
    return memberships;
}

} // namespace barterbox::permissions
