// One thing the checker found in a config file: how bad it is, where it stands, the exchange and
// member it concerns, and what the plugin makes of it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/common/json_locations.h"

namespace barterbox::tools {

// An error makes the plugin refuse the file, or lets an exchange take players' items for nothing;
// a warning is something the plugin reads without a word but not the way the administrator most
// likely meant.
enum class Severity { Warning, Error };

struct Finding {
    Severity Level = Severity::Warning;
    std::string File;
    TextPosition Where;
    std::optional<std::string> Exchange;
    MemberPath Member;
    std::string Message;
};

// The exchange a member belongs to: config.json and rules.json both keep one entry per exchange
// under Exchanges.
inline std::optional<std::string> ExchangeOfMember(const MemberPath& member) {
    if (member.size() >= 2 && member[0] == PathStep(std::string("Exchanges"))) {
        if (const auto* name = std::get_if<std::string>(&member[1])) {
            return *name;
        }
    }
    return std::nullopt;
}

} // namespace barterbox::tools
