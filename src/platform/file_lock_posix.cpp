// The lock on POSIX systems: flock on a file opened without following a link; see file_lock.h.
#include "file_lock.h"

#include <cerrno>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace barterbox::platform {

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
    // flock belongs to the open file, not the process, so two holders in one process exclude
    // each other too; Linux passes it on to NFS as a lock of the whole file.
    const int descriptor =
        open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
    if (descriptor < 0) {
        return Outcome::Failed;
    }
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    // Tried without waiting, so that a holder that never lets go costs the game thread only the
    // patience, never the server.
    while (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= giveUp) {
            const bool busy = errno == EWOULDBLOCK;
            close(descriptor);
            return busy ? Outcome::Busy : Outcome::Failed;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    handle_ = descriptor;
    return Outcome::Locked;
}

void FileLock::Release() {
    if (handle_ != kNone) {
        close(static_cast<int>(handle_)); // gives the lock back
        handle_ = kNone;
    }
}

} // namespace barterbox::platform
