// Reading a whole file as bytes for the tools, with a reason people can act on when it fails.
#pragma once

#include <optional>
#include <string>

namespace barterbox::tools {

// The file's bytes exactly as on disk, or nothing with `reason` set (a missing file, a folder,
// a read error).
std::optional<std::string> ReadTextFile(const std::string& fileName, std::string& reason);

} // namespace barterbox::tools
