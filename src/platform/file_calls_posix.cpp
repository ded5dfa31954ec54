// The file calls on POSIX systems; see file_calls.h.
#include "file_calls.h"

#include <cerrno>
#include <ctime>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace barterbox::platform {
namespace {

FileFacts FactsOf(const struct stat& info) {
    FileFacts facts;
    facts.Exists = true;
    facts.Regular = S_ISREG(info.st_mode);
    if (!facts.Regular) {
        return facts;
    }
    facts.Size = static_cast<std::uintmax_t>(info.st_size);
    facts.ModifiedTicks =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    facts.Links = static_cast<std::uint32_t>(info.st_nlink);
    facts.Permissions = static_cast<std::filesystem::perms>(info.st_mode & 07777);
    return facts;
}

} // namespace

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode); // glibc's "x" is O_EXCL, which never follows a link
}

std::FILE* OpenRegularFile(const std::string& path) {
    // O_NONBLOCK: a named pipe without a writer would otherwise hold the open for ever.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat info {};
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(descriptor);
        errno = ENODEV;
        return nullptr;
    }
    // Regular files never block; the flag goes so that reads behave as they always do.
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(descriptor, "rb");
    if (file == nullptr) {
        close(descriptor);
    }
    return file;
}

std::FILE* OpenForAppend(const std::string& path) {
    // O_NONBLOCK: a named pipe would otherwise hold the open until a reader came. O_NOFOLLOW: a
    // link in the file's place is refused (ELOOP), not written through.
    const int descriptor =
        open(path.c_str(),
             O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat info {};
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(descriptor);
        errno = ENODEV;
        return nullptr;
    }
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(descriptor, "a+b");
    if (file == nullptr) {
        close(descriptor);
    }
    return file;
}

int LockForAppend(std::FILE* file, std::chrono::milliseconds patience) {
    // flock's lock belongs to the open file, so it is shared by nothing else in this process and
    // goes when the file is closed, however the writer ends.
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    while (flock(fileno(file), LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= giveUp) {
            return -1;
        }
        const timespec pause{0, 1'000'000};
        nanosleep(&pause, nullptr);
    }
    return 0;
}

void UnlockForAppend(std::FILE* file) {
    flock(fileno(file), LOCK_UN);
}

bool ReadAt(std::FILE* file, std::uintmax_t offset, char* buffer, std::size_t size) {
    while (size > 0) {
        const ssize_t read = pread(fileno(file), buffer, size, static_cast<off_t>(offset));
        if (read <= 0) {
            if (read < 0 && errno == EINTR) {
                continue;
            }
            return false;
        }
        buffer += read;
        size -= static_cast<std::size_t>(read);
        offset += static_cast<std::uintmax_t>(read);
    }
    return true;
}

int TruncateFile(std::FILE* file, std::uintmax_t size) {
    return ftruncate(fileno(file), static_cast<off_t>(size));
}

FileFacts FactsOfPath(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        FileFacts facts;
        // Anything but a missing name (no access to the folder, a loop of links) is there.
        facts.Exists = errno != ENOENT && errno != ENOTDIR;
        return facts;
    }
    return FactsOf(info);
}

bool IsLink(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

FileFacts FactsOfFile(std::FILE* file) {
    struct stat info {};
    if (fstat(fileno(file), &info) != 0) {
        return FileFacts{true};
    }
    return FactsOf(info);
}

std::int64_t FileClockNow() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

std::int64_t FileClockTicksPerSecond() {
    return 1'000'000'000;
}

int RemoveFile(const std::string& path) {
    return std::remove(path.c_str());
}

int RenameOver(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()); // replaces the target atomically
}

int SyncFile(std::FILE* file) {
    return fsync(fileno(file));
}

int CopyOwner(const std::string& path, const std::string& like) {
    struct stat wanted {};
    struct stat now {};
    if (stat(like.c_str(), &wanted) != 0 || lstat(path.c_str(), &now) != 0) {
        return -1;
    }
    if (wanted.st_uid == now.st_uid && wanted.st_gid == now.st_gid) {
        return 0;
    }
    // lchown: the name is the save's own new file, and a link put in its place is not followed.
    return lchown(path.c_str(), wanted.st_uid, wanted.st_gid);
}

int LinkFile(const std::string& existing, const std::string& name) {
    return link(existing.c_str(), name.c_str()); // a link at `existing` is not followed
}

} // namespace barterbox::platform
