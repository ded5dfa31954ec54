// What the plugin knows of a file on disk without keeping its text: whether it is there, what
// kind of file it is, its size, time and permission bits, and a digest of its content. The save
// uses it to tell whether someone changed config.json since the plugin last read or wrote it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace barterbox {

struct FileStamp {
    bool Exists = false;
    // A regular file; false for a folder, a device, a socket or a file that cannot be looked at.
    bool Regular = false;
    std::uintmax_t Size = 0;
    std::int64_t ModifiedTicks = 0;
    std::filesystem::perms Permissions = std::filesystem::perms::unknown;
};

// The stamp of the file at the path, links followed. A file that is there but cannot be looked
// at (no access to its folder) counts as existing and not regular.
FileStamp StampOf(const std::string& path);

// A digest of the bytes that ignores carriage returns, so that a file written in text mode on
// Windows (CR LF) has the digest of the text that was written.
std::uint64_t ContentDigest(std::string_view bytes);

} // namespace barterbox
