// Players' permission groups, as the server's Permissions plugin keeps them; see world.h.
#include <algorithm>
#include <stdexcept>

#include "host/ascii_case.h"
#include "hostsim/host_strings.h"
#include "world.h"
#include "world_state.h"

namespace hostsim {
namespace {

// The real plugin stores group names as given and finds them regardless of ASCII letter case.
bool SameGroup(std::string_view a, std::string_view b) {
    return barterbox::EqualIgnoringAsciiCase(a, b);
}

bool InGroup(const WorldState& state, std::string_view eosId, std::string_view group) {
    const PlayerRecord* player = state.PlayerByEosId(eosId);
    if (player == nullptr || group.empty()) {
        return false;
    }
    return SameGroup(group, kDefaultGroup) ||
           std::any_of(player->Groups.begin(), player->Groups.end(),
                       [&](const std::string& known) { return SameGroup(known, group); });
}

} // namespace

bool World::SetPlayerGroup(std::string_view name, std::string_view group, bool member) {
    PlayerRecord* player = state_->PlayerByName(name);
    if (player == nullptr) {
        throw std::invalid_argument("no player named " + std::string(name));
    }
    if (group.empty()) {
        throw std::invalid_argument("a group needs a name");
    }
    if (SameGroup(group, kDefaultGroup)) {
        throw std::invalid_argument("every player is in the group " + std::string(kDefaultGroup));
    }
    std::vector<std::string>& groups = player->Groups;
    const auto found = std::find_if(groups.begin(), groups.end(), [&](const std::string& known) {
        return SameGroup(known, group);
    });
    if (member == (found != groups.end())) {
        return false;
    }
    if (member) {
        groups.emplace_back(group);
    } else {
        groups.erase(found);
    }
    return true;
}

bool World::IsPlayerInGroup(std::string_view eosId, std::string_view group) const {
    return InGroup(*state_, eosId, group);
}

bool ActiveWorldPlayerInGroup(std::u16string_view eosId, std::u16string_view group) noexcept {
    const WorldState* state = ActiveWorldState();
    if (state == nullptr) {
        return false;
    }
    try {
        return InGroup(*state, Utf16ToUtf8(eosId), Utf16ToUtf8(group));
    } catch (const std::exception&) {
        return false; // out of memory for two short texts: a plugin asking must never see a throw
    }
}

} // namespace hostsim
