// The ledger of completed runs rebuilt from the audit's day files, the one record of what
// happened: a completed exchange counts its effective multiplier in runs, a reset forgets a
// player's runs. A closed day is read from a summary beside the day files when it has one
// (audit/summaries/YYYY-MM-DD.json, written here the first time the day is read once closed), so
// that a year of busy history loads in well under a second; a summary can always be deleted and
// is then rebuilt from its day file.
#pragma once

#include <string>
#include <vector>

#include "rules/run_ledger.h"

namespace barterbox {

// The ledger for `now` from the audit folder (the plugin folder's "audit"), keeping stock runs
// for the given Restock periods. A file that cannot be read is passed over, and a line that does
// not read as a record too: the rest still counts.
RunLedger RebuildLedger(const std::string& auditFolder, RuleTime now,
                        const std::vector<RuleSeconds>& stockPeriods);

} // namespace barterbox
