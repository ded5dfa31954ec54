// config.json: reading it into the exchange table and the settings, and writing both back.
#pragma once

#include <string>
#include <string_view>

namespace barterbox {

// The plugin folder, the server directory followed by "/ArkApi/Plugins/Barterbox", and
// config.json in it. Empty until FormPluginPaths forms them at the plugin's load.
std::string& PluginFolder();
std::string& ConfigPath();
// Joins with forward slashes whatever the platform, and creates no folder.
void FormPluginPaths(const std::string& serverDirectory);

// Replaces the table with the file's content and updates the settings; every outcome is logged.
// A file that is missing or cannot be read leaves the table empty (the plugin's start).
void LoadConfig();
// LoadConfig for an administrator's Reload: a config.json that is there but cannot be read
// (parse or type error, no access, not a regular file) leaves the table and the settings exactly
// as they were, so that a typo in the file never empties a running server's table. False then.
bool ReloadConfig();
// Writes the table and the settings to the file; every outcome is logged. False when config.json
// was left as it was (the folder or the file could not be written, the file is read-only).
bool SaveConfig();

// LoadConfig on a file's text, as if read from config.json (the fuzzer's entry point).
void LoadConfigFromText(std::string_view text);
// The text that SaveConfig writes for the current table and settings. Throws the JSON library's
// type_error when a name or text is not valid UTF-8.
std::string ConfigText();

} // namespace barterbox
