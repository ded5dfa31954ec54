// The atomic file replacement and the real file-system calls behind it; see atomic_file.h.
#include "atomic_file.h"

#include <system_error>

#include "catalogue/file_state.h"

#ifdef _WIN32
#ifndef NOMINMAX // MinGW's C++ library defines it already
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <utf8.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace barterbox {
namespace {

#ifdef _WIN32
std::wstring WidePath(const char* path) {
    const std::u16string wide = utf8::utf8to16(utf8::replace_invalid(std::string(path)));
    return std::wstring(wide.begin(), wide.end());
}

std::FILE* RealOpen(const char* path, const char* mode) {
    if (std::string_view(mode) == "wx") {
        // The C runtime's fopen knows no "x": create the file exclusively by hand, in text mode.
        const int descriptor = _wopen(
            WidePath(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT, _S_IREAD | _S_IWRITE);
        if (descriptor < 0) {
            return nullptr;
        }
        std::FILE* file = _wfdopen(descriptor, L"w");
        if (file == nullptr) {
            _close(descriptor);
        }
        return file;
    }
    return OpenFile(path, mode);
}
#else
std::FILE* RealOpen(const char* path, const char* mode) {
    return std::fopen(path, mode); // glibc's "x" is O_EXCL, which never follows a link
}
#endif

std::size_t RealWrite(const void* data, std::size_t size, std::size_t count, std::FILE* file) {
    return std::fwrite(data, size, count, file);
}

int RealFlush(std::FILE* file) {
    return std::fflush(file);
}

int RealClose(std::FILE* file) {
    return std::fclose(file);
}

int RealRemove(const char* path) {
#ifdef _WIN32
    return _wremove(WidePath(path).c_str());
#else
    return std::remove(path);
#endif
}

#ifdef _WIN32
int RealSync(std::FILE* file) {
    return _commit(_fileno(file));
}

// std::rename cannot replace an existing file on Windows; MoveFileExW can.
int RealReplace(const char* from, const char* to) {
    const std::wstring wideFrom = WidePath(from);
    const std::wstring wideTo = WidePath(to);
    if (wideFrom.empty() || wideTo.empty()) {
        return -1;
    }
    return MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : -1;
}
#else
int RealSync(std::FILE* file) {
    return fsync(fileno(file));
}

int RealReplace(const char* from, const char* to) {
    return std::rename(from, to); // replaces the target atomically
}
#endif

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
    fs::path current = FileSystemPath(path);
    // As many hops as the operating system itself follows before it calls it a loop.
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error))) {
            const std::u8string text = current.u8string();
            return std::string(text.begin(), text.end());
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
    const fs::perms permissions = fs::status(FileSystemPath(path), error).permissions();
    if (error || (permissions & (fs::perms::owner_write | fs::perms::group_write |
                                 fs::perms::others_write)) == fs::perms::none) {
        return false;
    }
    // Opened for update, which neither truncates nor creates: only the right to write is tried.
    std::FILE* file = OpenFile(path, "r+b");
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
                std::filesystem::symlink_status(FileSystemPath(temporary), error)) ||
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
        std::filesystem::permissions(FileSystemPath(temporary), permissions, error);
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
