// config.json: reading it into the exchange table and the settings, and writing both back.
#pragma once

#include <functional>
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
// How a save went: true when the file was written.
struct SaveResult {
    bool Saved = false;
    // Nothing was written because config.json changed on disk since this server last read or
    // wrote it (another server's save, a hand edit): a Reload takes that in first.
    bool ChangedOnDisk = false;
    explicit operator bool() const { return Saved; }
};

// Writes the table and the settings to the file (Barterbox.Save); every outcome is logged. Not
// saved when config.json was left as it was: the folder or the file could not be written, the
// file is read-only, or it changed on disk since this server read it, which the table would undo.
SaveResult SaveConfig();
// An administrator's change of the table (an Add, a Remove) made to config.json as it is now:
// under the file's lock, which servers sharing the file take in turn, a file changed since this
// server read it is read into the table again, `change` is made to the table, and the table is
// written. A hand edit found so is kept aside first. False when nothing was written; the table
// has changed all the same, until the next Reload.
bool SaveChange(const std::function<void()>& change);

// LoadConfig on a file's text, as if read from config.json (the fuzzer's entry point).
void LoadConfigFromText(std::string_view text);
// The text that SaveConfig writes for the current table and settings. Throws the JSON library's
// type_error when a name or text is not valid UTF-8.
std::string ConfigText();

} // namespace barterbox
