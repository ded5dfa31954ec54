// The plugin folder's files from the console: show one as it is on disk, or overwrite one as an
// administrator's editor or web panel would while the server runs, to try what the plugin does
// with hand edits (a Reload, a save after an edit) before it happens on a live server.
#pragma once

#include <string>

namespace barterbox::server {

// Prints the file line by line as "[file NAME] LINE". Throws std::invalid_argument for a name
// that is not a plain file name, or a file that is not there.
void ShowPluginFile(const std::string& serverDir, const std::string& name);
// Replaces the file's content with the text exactly (no line end is added), creating it if
// needed. Throws std::invalid_argument as ShowPluginFile does, or when it cannot be written.
void EditPluginFile(const std::string& serverDir, const std::string& name, const std::string& text);

} // namespace barterbox::server
