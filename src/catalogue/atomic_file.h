// Replacing a file so that it is never seen empty or half-written, with every file-system call
// that can fail mid-save going through one process-wide table that tests can point at failing
// stand-ins.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/file_state.h"

namespace barterbox {

// The calls an atomic write makes. Each reports failure as its C counterpart does, with errno.
struct FileSystemCalls {
    // Paths are UTF-8. Mode "wx" creates a new file and fails when any file or link has the name.
    std::FILE* (*Open)(const char* path, const char* mode);
    // Opens an existing regular file for binary reading, never blocking on a pipe or a device;
    // nullptr with errno ENOENT when nothing is there, ENODEV when it is no regular file.
    std::FILE* (*OpenRegular)(const char* path);
    std::size_t (*Write)(const void* data, std::size_t size, std::size_t count, std::FILE* file);
    int (*Flush)(std::FILE* file);
    // Pushes the file's data to the disk (fsync); 0 on success.
    int (*Sync)(std::FILE* file);
    int (*Close)(std::FILE* file);
    // Renames a file over another, replacing it if it exists; 0 on success.
    int (*Replace)(const char* from, const char* to);
    int (*Remove)(const char* path);
    // Gives the file at the first path the owner and group of the file at the second; 0 on
    // success.
    int (*Own)(const char* path, const char* like);
};

// The table in use; tests swap entries and put RealFileSystem() back afterwards.
FileSystemCalls& FileSystem();
const FileSystemCalls& RealFileSystem();

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
