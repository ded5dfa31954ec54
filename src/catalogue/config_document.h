// The document that config.json is written from, kept in step with the exchange table, so that a
// save after one Add or Remove re-creates one exchange instead of the whole table.
#pragma once

#include <nlohmann/json.hpp>

namespace barterbox {

// The table and the settings as config.json holds them: members in ascending byte order, each
// exchange with its Description, Give and Receive. Brought up to date with the table's changes
// and the current settings first. Valid until the next call.
const nlohmann::json& CurrentConfigDocument();

// Frees the document; the next CurrentConfigDocument builds it whole. A load calls it first, so
// that the old document's memory serves the new table instead of lingering beside it.
void ReleaseConfigDocument();

} // namespace barterbox
