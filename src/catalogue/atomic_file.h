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

namespace barterbox {

// The calls an atomic write makes. Each reports failure as its C counterpart does.
struct FileSystemCalls {
    // Paths are UTF-8. Mode "wx" creates a new file and fails when any file or link has the name.
    std::FILE* (*Open)(const char* path, const char* mode);
    std::size_t (*Write)(const void* data, std::size_t size, std::size_t count, std::FILE* file);
    int (*Flush)(std::FILE* file);
    // Pushes the file's data to the disk (fsync); 0 on success.
    int (*Sync)(std::FILE* file);
    int (*Close)(std::FILE* file);
    // Renames a file over another, replacing it if it exists; 0 on success.
    int (*Replace)(const char* from, const char* to);
    int (*Remove)(const char* path);
};

// The table in use; tests swap entries and put RealFileSystem() back afterwards.
FileSystemCalls& FileSystem();
const FileSystemCalls& RealFileSystem();

// The file that the path names once every symbolic link on the way to it is followed, so that a
// save replaces what a linked config.json points to and the link stays a link. The path itself
// when it is no link; std::nullopt for a loop of links.
std::optional<std::string> FollowLinks(const std::string& path);

// Whether the existing file may be replaced: it opens for writing, and it keeps at least one
// write permission bit. A file that an administrator made read-only stays as it is, even for a
// server that runs with every right.
bool IsWritableFile(const std::string& path);

// The temporary file beside the target that an atomic write goes through.
std::string TemporaryPathFor(const std::string& path);

// Writes the text to a new temporary file beside the path (text mode), gives it the permission
// bits (unless unknown), flushes it to the disk and closes it, checking every step. The temporary
// file is always created new: a stale one, or a link planted under its name, is removed first and
// never written through. On failure the temporary file is removed and false returned.
bool WriteTemporaryFile(const std::string& path, std::string_view text,
                        std::filesystem::perms permissions);
// Renames the temporary file over the path, replacing it. On failure the temporary file is
// removed, the file at the path is left as it was, and false returned.
bool CommitTemporaryFile(const std::string& path);
// Removes the temporary file, for a save abandoned between writing and committing.
void DiscardTemporaryFile(const std::string& path);

} // namespace barterbox
