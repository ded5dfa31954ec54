// config.json: reading it into the exchange table and the settings, and writing both back.
#pragma once

#include <string>
#include <string_view>

namespace barterbox {

// Replaces the table with the file's content and updates the settings; every outcome is logged.
void LoadConfig();
// Writes the table and the settings to the file; only the log records the outcome.
void SaveConfig();

// LoadConfig on a file's text, as if read from config.json (the fuzzer's entry point).
void LoadConfigFromText(std::string_view text);
// The text that SaveConfig writes for the current table and settings. Throws the JSON library's
// type_error when a name or text is not valid UTF-8.
std::string ConfigText();

} // namespace barterbox
