// Reading rules.json's Cluster block, with the same problem reporting as the rest of the file, so
// that the plugin and the config checker read it alike.
#pragma once

#include <optional>

#include <nlohmann/json.hpp>

#include "rules/cluster_settings.h"
#include "rules/rules_reading.h"

namespace barterbox {

// The block at `path`; its problems go into `reading`. std::nullopt when it has errors: a
// cluster half configured must not fall back to counting alone.
std::optional<ClusterSettings> ReadCluster(const nlohmann::json& block, const RulesMemberPath& path,
                                           RulesReading& reading);

} // namespace barterbox
