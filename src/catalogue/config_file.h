// config.json: reading it into the exchange table and the settings, and writing both back.
#pragma once

namespace barterbox {

// Replaces the table with the file's content and updates the settings; every outcome is logged.
void LoadConfig();
// Writes the table and the settings to the file; only the log records the outcome.
void SaveConfig();

} // namespace barterbox
