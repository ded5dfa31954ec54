// The C library's file calls that differ between platforms, with UTF-8 paths: opening (with an
// exclusive create, and a read that never blocks on a pipe or a device), looking at a file,
// removing, replacing, syncing it and giving it another file's owner.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace barterbox::platform {

// What the system says of a file, links followed.
struct FileFacts {
    bool Exists = false;
    // A regular file; false for a folder, a device, a pipe or a file that cannot be looked at.
    bool Regular = false;
    std::uintmax_t Size = 0;
    // In the system's own clock (see FileClockNow); only ever compared with each other.
    std::int64_t ModifiedTicks = 0;
    // How many names (hard links) the file has.
    std::uint32_t Links = 0;
    std::filesystem::perms Permissions = std::filesystem::perms::unknown;
};

// fopen's modes, and "wx", which creates the file and fails if anything is already there (never
// following a link).
std::FILE* OpenFile(const std::string& path, const char* mode);
// Opens an existing regular file for reading in binary mode without ever waiting: a named pipe
// or a device is opened without blocking, found not to be a regular file and closed again.
// nullptr then, with errno ENOENT when nothing is there, ENODEV for what is not a regular file.
std::FILE* OpenRegularFile(const std::string& path);

FileFacts FactsOfPath(const std::string& path);
// Whether the name itself is a symbolic link (on Windows any reparse point: a link or a
// junction), not followed.
bool IsLink(const std::string& path);
FileFacts FactsOfFile(std::FILE* file);
// The current time in the clock of FileFacts::ModifiedTicks, and that clock's ticks per second.
std::int64_t FileClockNow();
std::int64_t FileClockTicksPerSecond();

// 0 on success, as the C library's calls answer; on failure errno says why.
int RemoveFile(const std::string& path);
// Puts `from` in `to`'s place in one step, replacing whatever file was there.
int RenameOver(const std::string& from, const std::string& to);
// Asks the system to put the file's written bytes on the disk.
int SyncFile(std::FILE* file);
// Gives the file at `path` the owner and group (on Windows also the access list) of the file at
// `like`. 0 when done or when they are the same already.
int CopyOwner(const std::string& path, const std::string& like);

} // namespace barterbox::platform
