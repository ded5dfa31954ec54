// rules.json beside config.json: read at the load, after config.json, and at every Reload; never
// written by the plugin. The load rebuilds the ledger of completed runs from the audit's day
// files; a Reload rebuilds it only when the ledger in memory cannot serve the new rules (there
// were none in force, or the stock periods changed).
#pragma once

#include <optional>
#include <string>

namespace barterbox {

// The plugin folder's rules.json; empty until the plugin's paths are formed.
std::string RulesFilePath();

// At the load: no file, no rules; a file that cannot be read closes every exchange, and the log
// says why.
void LoadRules();
// At an administrator's Reload: the rules read, or removed with the file; std::nullopt then. A
// file that cannot be read leaves the rules in force and the reason is returned.
std::optional<std::string> ReloadRules();

// Forgets a player's counts and cooldown, of one exchange (by name) or of all (empty), as a
// Barterbox.Reset recorded in the audit does; with a Cluster block, in the cluster's ledger, and
// false, with nothing forgotten, when it cannot be reached.
bool ForgetPlayerRuns(const std::string& eosId, const std::string& exchange);

} // namespace barterbox
