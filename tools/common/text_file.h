// Reading and writing a whole file as bytes for the tools, with a reason people can act on when
// it fails.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace barterbox::tools {

// The file's bytes exactly as on disk, or nothing with `reason` set (a missing file, something
// that is not a regular file, a read error).
std::optional<std::string> ReadTextFile(const std::string& fileName, std::string& reason);

// Replaces the file's bytes with `text`; false with `reason` set when it cannot.
bool WriteTextFile(const std::string& fileName, std::string_view text, std::string& reason);

} // namespace barterbox::tools
