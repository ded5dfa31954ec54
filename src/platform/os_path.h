// Paths are UTF-8 text everywhere in Barterbox; these turn them into the operating system's own
// paths and back, so that a folder named "Sérveur" works on Windows too, never through the ANSI
// code page.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace barterbox::platform {

// The path the system calls take. Never throws: on Windows, bytes that are not UTF-8 become
// U+FFFD, which no file is named with, so such a path names no existing file.
std::filesystem::path OsPath(std::string_view utf8);

// The path as UTF-8 text.
std::string Utf8Path(const std::filesystem::path& path);

} // namespace barterbox::platform
