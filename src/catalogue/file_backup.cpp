// Backups that never cost the original; see file_backup.h.
#include "file_backup.h"

#include <filesystem>
#include <system_error>

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

std::optional<std::string> KeepBackup(const std::string& file, const std::string& base,
                                      std::string& reason) {
    const fs::path source = platform::OsPath(file);
    std::error_code error;
    // Only ever a copy: a folder, a device or a pipe in the file's place is never moved or read.
    if (!fs::is_regular_file(source, error)) {
        reason = "config.json is not a regular file";
        return std::nullopt;
    }
    for (int number = 0; number < kMostBackups; ++number) {
        const std::string name = BackupName(base, number);
        const fs::path target = platform::OsPath(name);
        if (fs::exists(fs::symlink_status(target, error))) {
            continue;
        }
        // copy_file refuses an existing target, so a backup that appears meanwhile is kept too.
        if (fs::copy_file(source, target, fs::copy_options::none, error) && !error) {
            return name;
        }
        if (error != std::errc::file_exists) {
            reason = "cannot copy config.json aside: " + error.message();
            std::error_code ignored;
            fs::remove(target, ignored); // a partial copy
            return std::nullopt;
        }
    }
    const std::string name = platform::Utf8Path(platform::OsPath(base).filename());
    reason = "config.json was to be kept aside, but all " + std::to_string(kMostBackups) +
             " backup names (" + name + " to " + BackupName(name, kMostBackups - 1) +
             ") are taken; move old backups away";
    return std::nullopt;
}

void UndoBackup(const std::string& backup) {
    std::error_code error;
    fs::remove(platform::OsPath(backup), error);
}

} // namespace barterbox
