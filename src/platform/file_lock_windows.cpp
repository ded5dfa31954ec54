// The lock on Windows: LockFileEx on a file opened without following a reparse point; see
// file_lock.h.
#include "file_lock.h"

#include <windows.h>

#include <cerrno>
#include <thread>
#include <utility>

#include "os_path.h"

namespace barterbox::platform {
namespace {

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

FileLock::FileLock(FileLock&& other) noexcept : handle_(std::exchange(other.handle_, kNone)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Release();
        handle_ = std::exchange(other.handle_, kNone);
    }
    return *this;
}

FileLock::~FileLock() {
    Release();
}

FileLock::Outcome FileLock::Take(const std::string& path, std::chrono::milliseconds patience) {
    Release();
    // Shared for everything, so that the lock file never stands in anyone's way but a locker's.
    const HANDLE handle = CreateFileW(
        OsPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = GetLastError() == ERROR_PATH_NOT_FOUND ? ENOENT : EACCES;
        return Outcome::Failed;
    }
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    for (;;) {
        OVERLAPPED where{};
        if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                       &where)) {
            break;
        }
        const bool busy = GetLastError() == ERROR_LOCK_VIOLATION;
        if (!busy || std::chrono::steady_clock::now() >= giveUp) {
            CloseHandle(handle);
            errno = busy ? EWOULDBLOCK : EIO;
            return busy ? Outcome::Busy : Outcome::Failed;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    handle_ = reinterpret_cast<std::intptr_t>(handle);
    return Outcome::Locked;
}

void FileLock::Release() {
    if (handle_ != kNone) {
        CloseHandle(AsHandle(handle_)); // gives the lock back
        handle_ = kNone;
    }
}

} // namespace barterbox::platform
