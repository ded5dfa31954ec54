// Replacing a file so that it is never seen empty or half-written, with every file-system call
// that can fail mid-save going through the platform's table of file calls.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/file_state.h"
#include "platform/file_call_table.h"

namespace barterbox {

// The file that the path names once every symbolic link on the way to it is followed, so that a
// save replaces what a linked config.json points to and the link stays a link. The path itself
// when it is no link; std::nullopt for a loop of links.
std::optional<std::string> FollowLinks(const std::string& path);

// Why the last failing call of the calling thread failed, in the system's words.
std::string SystemReason();

// Whether the existing file may be replaced: it opens for writing, and it keeps at least one
// write permission bit. A file that an administrator made read-only stays as it is, even for a
// server that runs with every right. On false, `reason` says why.
bool IsWritableFile(const std::string& path, std::string& reason);

// A temporary file written whole, and its stamp as written (a rename keeps it).
struct TemporaryFile {
    std::string Path;
    FileStamp Written;
};

// Writes the text to a new temporary file beside the path (text mode), with a name of this
// process's own (path.tmp-XXXXXXXX, created exclusively, so that two servers saving one shared
// file never write or remove each other's), gives it the permission bits (unless unknown),
// flushes it to the disk and closes it, checking every step. On failure the temporary file is
// removed, `reason` says why and std::nullopt is returned.
std::optional<TemporaryFile> WriteTemporaryFile(const std::string& path, std::string_view text,
                                                std::filesystem::perms permissions,
                                                std::string& reason);
// Renames the temporary file over the path, replacing it. On failure the temporary file is
// removed, the file at the path is left as it was, `reason` says why and false is returned.
bool CommitTemporaryFile(const std::string& temporary, const std::string& path,
                         std::string& reason);
// Removes the temporary file, for a save abandoned between writing and committing.
void DiscardTemporaryFile(const std::string& temporary);
// Removes what earlier runs left beside the path: the plain path.tmp of older versions (or a link
// planted under that name) at once, path.tmp-XXXXXXXX once it is older than any save takes, so
// that another server's save in progress is never cut short.
void RemoveStaleTemporaryFiles(const std::string& path);

} // namespace barterbox
