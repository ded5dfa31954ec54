// The atomic file replacement; see atomic_file.h.
#include "atomic_file.h"

#include <cerrno>
#include <chrono>
#include <random>
#include <system_error>

#include "catalogue/catalogue_state.h"
#include "platform/file_calls.h"
#include "platform/os_path.h"

namespace barterbox {
namespace {

const char* const kTemporaryMark = ".tmp";

// A save takes milliseconds; a temporary file this old belongs to no save still running.
constexpr auto kStaleAfter = std::chrono::minutes(10);

// The file's own name, for reasons that stay short.
std::string NameOf(const std::string& path) {
    return platform::Utf8Path(platform::OsPath(path).filename());
}

// Eight hex digits from the catalogue's generator, so that servers sharing a folder draw
// different names.
std::string TemporaryName(const std::string& path) {
    std::mt19937& generator = TheCatalogueState().TemporaryNames;
    char digits[16];
    std::snprintf(digits, sizeof digits, "-%08x", static_cast<unsigned>(generator()));
    return path + kTemporaryMark + digits;
}

} // namespace

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

std::string SystemReason() {
    // A failing call that set no errno (a stand-in, a short write) still gets a reason.
    return errno == 0 ? std::string("the system gave no reason")
                      : std::generic_category().message(errno);
}

bool IsWritableFile(const std::string& path, std::string& reason) {
    const platform::FileFacts facts = platform::FactsOfPath(path);
    namespace fs = std::filesystem;
    if ((facts.Permissions & (fs::perms::owner_write | fs::perms::group_write |
                              fs::perms::others_write)) == fs::perms::none) {
        reason = "config.json is read-only";
        return false;
    }
    // Opened for update, which neither truncates nor creates: only the right to write is tried.
    errno = 0;
    std::FILE* file = platform::OpenFile(path, "r+b");
    if (file == nullptr) {
        reason = "config.json cannot be written: " + SystemReason();
        return false;
    }
    std::fclose(file);
    return true;
}

std::optional<TemporaryFile> WriteTemporaryFile(const std::string& path, std::string_view text,
                                                std::filesystem::perms permissions,
                                                std::string& reason) {
    const FileSystemCalls& fs = FileSystem();
    // Text mode, so that lines end as the platform's text files do (CR LF on Windows). Created
    // exclusively: a name that is taken (by chance, or by a planted link) is never opened.
    std::string temporary;
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < 8 && file == nullptr; ++attempt) {
        temporary = TemporaryName(path);
        errno = 0;
        file = fs.Open(temporary.c_str(), "wx");
        if (file == nullptr && errno != EEXIST) {
            break;
        }
    }
    if (file == nullptr) {
        reason = "cannot create a new file beside " + NameOf(path) + ": " + SystemReason();
        return std::nullopt;
    }
    if (permissions != std::filesystem::perms::unknown) {
        std::error_code error;
        std::filesystem::permissions(platform::OsPath(temporary), permissions, error);
        if (error) {
            fs.Close(file);
            fs.Remove(temporary.c_str());
            reason = "cannot give the new file the permissions of " + NameOf(path) + ": " +
                     error.message();
            return std::nullopt;
        }
    }
    errno = 0;
    bool written = text.empty() || fs.Write(text.data(), 1, text.size(), file) == text.size();
    written = written && fs.Flush(file) == 0 && fs.Sync(file) == 0;
    // Taken from the open file, whose time no later edit of config.json can be mistaken for.
    const FileStamp stamp = written ? StampOf(file) : FileStamp{};
    if (!written) {
        reason = "cannot write the new file beside " + NameOf(path) + ": " + SystemReason();
    }
    // Closed whatever happened before, and a failing close (a delayed write error) counts too.
    errno = 0;
    if (fs.Close(file) != 0 && written) {
        reason = "cannot write the new file beside " + NameOf(path) + ": " + SystemReason();
        written = false;
    }
    if (!written) {
        fs.Remove(temporary.c_str());
        return std::nullopt;
    }
    return TemporaryFile{temporary, stamp};
}

bool CommitTemporaryFile(const std::string& temporary, const std::string& path,
                         std::string& reason) {
    errno = 0;
    if (FileSystem().Replace(temporary.c_str(), path.c_str()) == 0) {
        return true;
    }
    reason = "cannot put the new file in the place of " + NameOf(path) + ": " + SystemReason();
    FileSystem().Remove(temporary.c_str());
    return false;
}

void DiscardTemporaryFile(const std::string& temporary) {
    FileSystem().Remove(temporary.c_str());
}

void RemoveStaleTemporaryFiles(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path where = platform::OsPath(path);
    const std::string plain = platform::Utf8Path(where.filename()) + kTemporaryMark;
    const auto staleBefore = fs::file_time_type::clock::now() - kStaleAfter;
    std::error_code error;
    for (fs::directory_iterator it(where.parent_path(), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = platform::Utf8Path(it->path().filename());
        std::error_code ignored;
        // Only files and links: a folder of that name is the administrator's, never a leftover.
        if (name.compare(0, plain.size(), plain) != 0 ||
            it->symlink_status(ignored).type() == fs::file_type::directory) {
            continue;
        }
        const bool ours = name.size() == plain.size() + 9 && name[plain.size()] == '-';
        ignored.clear();
        const bool stale =
            name.size() == plain.size() ||
            (ours && fs::last_write_time(it->path(), ignored) < staleBefore && !ignored);
        if (stale) {
            FileSystem().Remove(platform::Utf8Path(it->path()).c_str());
        }
    }
}

} // namespace barterbox
