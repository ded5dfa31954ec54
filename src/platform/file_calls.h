// The C library's file calls that differ between platforms, with UTF-8 paths: opening (with an
// exclusive create, and a read or an append that never blocks on a pipe or a device), looking at
// a file, locking, reading and cutting an appended file, removing, replacing, syncing it and
// giving it another file's owner.
#pragma once

#include <chrono>
#include <cstddef>
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

// fopen's modes, and "wx" (or "wbx", in binary), which creates the file and fails if anything is
// already there (never following a link).
std::FILE* OpenFile(const std::string& path, const char* mode);
// Opens an existing regular file for reading in binary mode without ever waiting: a named pipe
// or a device is opened without blocking, found not to be a regular file and closed again.
// nullptr then, with errno ENOENT when nothing is there, ENODEV for what is not a regular file.
std::FILE* OpenRegularFile(const std::string& path);

// Opens a regular file for appending (and reading), creating it when nothing is there, without
// ever waiting and never through a symbolic link (on Windows any reparse point): a file whose
// name anyone can guess must not hold the caller on a named pipe, nor send its lines elsewhere.
// nullptr then, with errno ELOOP for a link and ENODEV for what is not a regular file.
std::FILE* OpenForAppend(const std::string& path);
// Takes the lock that every appender to the file shares, other processes included, trying for at
// most `patience`: a lock that another program keeps for ever costs a write, not the thread. 0
// when held; the lock goes with UnlockForAppend or when the file is closed.
int LockForAppend(std::FILE* file, std::chrono::milliseconds patience);
void UnlockForAppend(std::FILE* file);
// Reads `size` bytes from `offset` without moving where an append writes; true when all were
// there.
bool ReadAt(std::FILE* file, std::uintmax_t offset, char* buffer, std::size_t size);
// Cuts the file back to `size` bytes; 0 on success.
int TruncateFile(std::FILE* file, std::uintmax_t size);

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
// Gives the existing file at `existing` a second name (a hard link), which must be free: errno
// EEXIST when it is taken, and another error where the file system has no hard links.
int LinkFile(const std::string& existing, const std::string& name);

} // namespace barterbox::platform
