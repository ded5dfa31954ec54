// Replacing a file so that it is never seen empty or half-written, with every file-system call
// going through one process-wide table that tests can point at failing stand-ins.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace barterbox {

// The calls an atomic write makes. Each reports failure as its C counterpart does.
struct FileSystemCalls {
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

// The temporary file beside the target that an atomic write goes through.
std::string TemporaryPathFor(const std::string& path);

// Writes the text to the temporary file beside the path (text mode), flushes it to the disk and
// closes it, checking every step. On failure the temporary file is removed and false returned.
bool WriteTemporaryFile(const std::string& path, std::string_view text);
// Renames the temporary file over the path, replacing it. On failure the temporary file is
// removed, the file at the path is left as it was, and false returned.
bool CommitTemporaryFile(const std::string& path);
// Removes the temporary file, for a save abandoned between writing and committing.
void DiscardTemporaryFile(const std::string& path);

// Renames from over to, replacing it; false on failure.
bool ReplaceFile(const std::string& from, const std::string& to);

} // namespace barterbox
