// The file calls that can fail in the middle of a save or an audit write, in one process-wide
// table that tests point at failing stand-ins: the seam through which every such fault is
// injected, on purpose rather than by luck.
//
// State: the table is the platform layer's one record. It holds the real calls from the module's
// start; ResetFileSystem puts them back, which every test fixture that swaps an entry calls.
#pragma once

#include <cstddef>
#include <cstdio>

namespace barterbox {

// Each reports failure as its C counterpart does, with errno.
struct FileSystemCalls {
    // Paths are UTF-8. Mode "wx" ("wbx" in binary) creates a new file and fails when any file or
    // link has the name.
    std::FILE* (*Open)(const char* path, const char* mode);
    // Opens an existing regular file for binary reading, never blocking on a pipe or a device;
    // nullptr with errno ENOENT when nothing is there, ENODEV when it is no regular file.
    std::FILE* (*OpenRegular)(const char* path);
    // Opens a regular file for appending, creating it, never waiting and never through a link;
    // nullptr with errno ELOOP for a link, ENODEV when it is no regular file.
    std::FILE* (*OpenAppend)(const char* path);
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
    // Gives the existing file a second name, which must be free (EEXIST otherwise); 0 on success.
    int (*Link)(const char* existing, const char* name);
};

// The table in use, and the real calls.
FileSystemCalls& FileSystem();
const FileSystemCalls& RealFileSystem();
void ResetFileSystem();

} // namespace barterbox
