// Group membership; see player_groups.h.
#include "player_groups.h"

#include "host/ascii_case.h"
#include "host/game_calls.h"
#include "host/host_calls.h"
#include "host/permissions_plugin.h"

namespace barterbox {

RuleSubject SubjectOf(AShooterPlayerController* player) {
    return {host_calls::PlayerEosId(player), game_calls::IsAdmin(player)};
}

std::vector<bool> GroupMemberships(const RuleSubject& subject,
                                   const std::vector<std::string>& groups) {
    if (auto asked = permissions::GroupMemberships(subject.EosId, groups)) {
        return std::move(*asked);
    }
    std::vector<bool> memberships;
    memberships.reserve(groups.size());
    for (const std::string& group : groups) {
        memberships.push_back(EqualIgnoringAsciiCase(group, "Default") ||
                              (subject.Admin && EqualIgnoringAsciiCase(group, "Admins")));
    }
    return memberships;
}

} // namespace barterbox
