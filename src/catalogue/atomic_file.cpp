// The atomic file replacement and the real file-system calls behind it; see atomic_file.h.
#include "atomic_file.h"

#include <system_error>

#include "catalogue/file_state.h"

#include "platform/file_calls.h"
#include "platform/os_path.h"

namespace barterbox {
namespace {

// The seam's real calls: the platform's, with the signatures the seam takes.
std::FILE* RealOpen(const char* path, const char* mode) {
    return platform::OpenFile(path, mode);
}

std::size_t RealWrite(const void* data, std::size_t size, std::size_t count, std::FILE* file) {
    return std::fwrite(data, size, count, file);
}

int RealFlush(std::FILE* file) {
    return std::fflush(file);
}

int RealSync(std::FILE* file) {
    return platform::SyncFile(file);
}

int RealClose(std::FILE* file) {
    return std::fclose(file);
}

int RealReplace(const char* from, const char* to) {
    return platform::RenameOver(from, to);
}

int RealRemove(const char* path) {
    return platform::RemoveFile(path);
}

constexpr FileSystemCalls kRealCalls{&RealOpen,  &RealWrite,   &RealFlush, &RealSync,
                                     &RealClose, &RealReplace, &RealRemove};

} // namespace

FileSystemCalls& FileSystem() {
    static FileSystemCalls calls = kRealCalls;
    return calls;
}

const FileSystemCalls& RealFileSystem() {
    return kRealCalls;
}

std::optional<std::string> FollowLinks(const std::string& path) {
    namespace fs = std::filesystem;
    fs::path current = platform::OsPath(path);
    // As many hops as the operating system itself follows before it calls it a loop.
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error))) {
            return platform::Utf8Path(current);
        }
        const fs::path target = fs::read_symlink(current, error);
        if (error) {
            return std::nullopt;
        }
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return std::nullopt;
}

bool IsWritableFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::perms permissions = fs::status(platform::OsPath(path), error).permissions();
    if (error || (permissions & (fs::perms::owner_write | fs::perms::group_write |
                                 fs::perms::others_write)) == fs::perms::none) {
        return false;
    }
    // Opened for update, which neither truncates nor creates: only the right to write is tried.
    std::FILE* file = platform::OpenFile(path, "r+b");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

std::string TemporaryPathFor(const std::string& path) {
    return path + ".tmp";
}

bool WriteTemporaryFile(const std::string& path, std::string_view text,
                        std::filesystem::perms permissions) {
    const FileSystemCalls& fs = FileSystem();
    const std::string temporary = TemporaryPathFor(path);

    // Text mode, so that lines end as the platform's text files do (CR LF on Windows). Created
    // exclusively: whatever has the name (a file left by a crash, a planted link) is removed,
    // never opened, so that the save cannot be led to write through it.
    std::FILE* file = fs.Open(temporary.c_str(), "wx");
    if (file == nullptr) {
        std::error_code error;
        if (!std::filesystem::exists(
                std::filesystem::symlink_status(platform::OsPath(temporary), error)) ||
            fs.Remove(temporary.c_str()) != 0) {
            return false;
        }
        file = fs.Open(temporary.c_str(), "wx");
        if (file == nullptr) {
            return false;
        }
    }
    if (permissions != std::filesystem::perms::unknown) {
        std::error_code error;
        std::filesystem::permissions(platform::OsPath(temporary), permissions, error);
        if (error) {
            fs.Close(file);
            fs.Remove(temporary.c_str());
            return false;
        }
    }
    bool written = text.empty() || fs.Write(text.data(), 1, text.size(), file) == text.size();
    written = written && fs.Flush(file) == 0 && fs.Sync(file) == 0;
    // Closed whatever happened before, and a failing close (a delayed write error) counts too.
    written = fs.Close(file) == 0 && written;
    if (!written) {
        fs.Remove(temporary.c_str());
    }
    return written;
}

bool CommitTemporaryFile(const std::string& path) {
    const std::string temporary = TemporaryPathFor(path);
    if (FileSystem().Replace(temporary.c_str(), path.c_str()) == 0) {
        return true;
    }
    FileSystem().Remove(temporary.c_str());
    return false;
}

void DiscardTemporaryFile(const std::string& path) {
    FileSystem().Remove(TemporaryPathFor(path).c_str());
}

} // namespace barterbox
