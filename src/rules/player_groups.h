// Which groups a player belongs to, for the rules' Groups and For: the host's Permissions plugin
// when it is loaded; without it, "Admins" holds every administrator, "Default" every player, and
// any other group nobody.
#pragma once

#include <string>
#include <vector>

#include "host/engine_types.h"

namespace barterbox {

// The player a rule is checked for.
struct RuleSubject {
    std::string EosId;
    bool Admin = false; // the game's administrator flag, for the Admins group without Permissions
};

// The controller's player: the EOS ID and administrator flag that the host reports.
RuleSubject SubjectOf(AShooterPlayerController* player);

// For each group, whether the player is a member; group names compare ignoring the letter case
// of A to Z, as the Permissions plugin keeps them.
std::vector<bool> GroupMemberships(const RuleSubject& subject,
                                   const std::vector<std::string>& groups);

} // namespace barterbox
