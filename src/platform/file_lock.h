// An advisory lock that servers sharing one file take around a read-modify-write of it: the
// operating system's own lock (flock, LockFileEx), which a process that ends gives back at once.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace barterbox::platform {

// Held while the object lives. The lock is taken on a file of its own (created when missing, and
// never removed, so that every process that waits for it waits on the same file), not on the file
// it guards, which a save replaces under a new identity.
class FileLock {
public:
    enum class Outcome { Locked, Busy, Failed };

    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    ~FileLock();

    // Waits up to `patience` for the lock on the file at the path. Busy when another holder kept
    // it that long; Failed, with errno, when the file could not be opened or created (a link in
    // its place is never followed).
    Outcome Take(const std::string& path, std::chrono::milliseconds patience);
    bool Held() const { return handle_ != kNone; }
    void Release();

private:
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t handle_ = kNone;
};

} // namespace barterbox::platform
