// Backups that never cost the original; see file_backup.h.
#include "file_backup.h"

#include <filesystem>
#include <system_error>

#include "catalogue/file_state.h"
#include "platform/os_path.h"

namespace barterbox {

namespace fs = std::filesystem;

namespace {

// Enough names for years of backups; past that the save fails rather than overwrite one.
constexpr int kMostBackups = 1000;

std::string BackupName(const std::string& base, int number) {
    return number == 0 ? base : base + "." + std::to_string(number);
}

} // namespace

std::optional<std::string> KeepBackup(const std::string& file, const std::string& base) {
    const fs::path source = platform::OsPath(file);
    std::error_code error;
    const bool regular = fs::is_regular_file(source, error);
    for (int number = 0; number < kMostBackups; ++number) {
        const std::string name = BackupName(base, number);
        const fs::path target = platform::OsPath(name);
        if (fs::exists(fs::symlink_status(target, error))) {
            continue;
        }
        // copy_file refuses an existing target, so a backup that appears meanwhile is kept too.
        const bool kept = regular ? fs::copy_file(source, target, fs::copy_options::none, error)
                                  : (fs::rename(source, target, error), !error);
        if (kept && !error) {
            return name;
        }
        if (error != std::errc::file_exists) {
            if (regular) {
                fs::remove(target, error); // a partial copy
            }
            return std::nullopt;
        }
    }
    return std::nullopt;
}

void UndoBackup(const std::string& file, const std::string& backup) {
    std::error_code error;
    if (fs::exists(platform::OsPath(file), error)) {
        fs::remove(platform::OsPath(backup), error);
    } else {
        fs::rename(platform::OsPath(backup), platform::OsPath(file), error);
    }
}

} // namespace barterbox
