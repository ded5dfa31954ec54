// The stand-in Permissions module's one export, answered from the simulated world's memberships.
#include <string_view>
#include <type_traits>

#include "hostsim/permissions/permissions_api.h"
#include "hostsim/world/world.h"

#if defined(_WIN32)
#define PERMISSIONS_EXPORT __declspec(dllexport)
#else
#define PERMISSIONS_EXPORT __attribute__((visibility("default")))
#endif

extern "C" PERMISSIONS_EXPORT bool Permissions_IsPlayerInGroup(const char16_t* eosId,
                                                               const char16_t* group) {
    if (eosId == nullptr || group == nullptr) {
        return false;
    }
    return hostsim::ActiveWorldPlayerInGroup(std::u16string_view(eosId),
                                             std::u16string_view(group));
}

// The contract the plugin codes against, checked where the function is defined.
static_assert(
    std::is_same_v<decltype(&Permissions_IsPlayerInGroup), hostsim::IsPlayerInGroupFunction>);
