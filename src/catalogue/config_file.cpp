// Loading config.json into the exchange table and the settings, and saving both back without
// ever leaving the file empty or half-written, and without losing a file the plugin could not
// read or one that an administrator edited by hand since the plugin last read or wrote it.
#include "config_file.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <functional>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include "catalogue/atomic_file.h"
#include "catalogue/catalogue_state.h"
#include "catalogue/config_document.h"
#include "catalogue/config_reading.h"
#include "catalogue/exchange_catalogue.h"
#include "catalogue/file_backup.h"
#include "catalogue/file_state.h"
#include "catalogue/plugin_settings.h"
#include "catalogue/whole_file.h"
#include "logger/plugin_logger.h"
#include "platform/file_calls.h"
#include "platform/file_lock.h"
#include "platform/os_path.h"

namespace barterbox {
namespace {

using nlohmann::json;

bool& UnreadableConfigFound() {
    return TheCatalogueState().UnreadableConfigFound;
}

std::optional<SeenFile>& LastSeen() {
    return TheCatalogueState().LastSeenConfig;
}

// --- Reading ------------------------------------------------------------------------------------

SeenFile SeenNow(const FileStamp& stamp, std::uint64_t digest) {
    return SeenFile{ConfigPath(), stamp, digest, StampIsSettled(stamp)};
}

// A config.json that was read and passed every check, ready to apply; or why it was not.
struct ParsedConfig {
    json Root;
};
struct UnreadableConfig {};
struct MissingConfig {};
using ConfigReading = std::variant<ParsedConfig, UnreadableConfig, MissingConfig>;

ConfigReading ParseWithChecks(std::string_view text) {
    json root;
    try {
        root = ParseConfigText(text);
    } catch (const json::exception& error) {
        Log(spdlog::level::err, "Barterbox: Failed to parse config.json: {}", error.what());
        return UnreadableConfig{};
    } catch (const std::bad_alloc&) {
        Log(spdlog::level::err, "Barterbox: Failed to parse config.json: {}",
            "not enough memory for the document");
        return UnreadableConfig{};
    }
    // The whole document is checked before anything is applied, so that a bad value deep in the
    // file never leaves a table or settings half read.
    if (const auto typeError = FindTypeError(root)) {
        Log(spdlog::level::err, "Barterbox: Failed to parse config.json: {}", *typeError);
        return UnreadableConfig{};
    }
    return ParsedConfig{std::move(root)};
}

ConfigReading ReadConfigFile() {
    const std::string& path = ConfigPath();
    std::string text;
    FileStamp stamp;
    switch (ReadWholeFile(path, text, stamp)) {
    case ReadOutcome::Missing:
        LastSeen() = SeenNow(stamp, 0);
        Log(spdlog::level::warn, "Barterbox: No config.json found, creating default");
        return MissingConfig{};
    // There, but out of reach: kept aside at the next save rather than overwritten.
    case ReadOutcome::NoAccess:
    case ReadOutcome::NotRegular:
        LastSeen() = SeenNow(stamp, 0);
        Log(spdlog::level::warn, "Barterbox: No config.json found, creating default");
        return UnreadableConfig{};
    case ReadOutcome::ReadFailed:
        LastSeen() = SeenNow(stamp, 0);
        Log(spdlog::level::err, "Barterbox: Failed to parse config.json: {}",
            "the file could not be read whole");
        return UnreadableConfig{};
    case ReadOutcome::Read:
        break;
    }
    LastSeen() = SeenNow(stamp, ContentDigest(text));
    return ParseWithChecks(text);
}

// `eachExchange`: whether every exchange loaded gets a line of its own, as at a load or a Reload;
// the file an Add or a Remove reads again says only how many.
void ApplyConfig(json& root, bool eachExchange) {
    TheCatalogueState().LossyConfigLoaded = HasIgnoredMembers(root);
    if (auto settings = ReadSettings(root)) {
        PluginSettings& current = Settings();
        current.ChatPrefix = std::move(settings->ChatPrefix);
        current.AllowMultiplier = settings->AllowMultiplier;
        current.MaxMultiplier = settings->MaxMultiplier;
    }
    // What the load drops is said after the lines that tell what it kept, one line each.
    std::vector<std::string> dropped;
    for (ExchangeDefinition& definition : TakeExchanges(root)) {
        if (!IsUsableExchange(definition)) {
            dropped.push_back(fmt::format("Barterbox: Dropped '{}' from config.json: {}",
                                          definition.Name, WhyUnusable(definition)));
            continue;
        }
        if (const ExchangeDefinition* earlier = FindExchange(definition.Name)) {
            dropped.push_back(fmt::format(
                "Barterbox: '{}' replaced '{}' from config.json: the names differ only in letter "
                "case",
                definition.Name, earlier->Name));
        }
        if (eachExchange) {
            Log(spdlog::level::info, "Barterbox: Loaded '{}'", definition.Name);
        }
        PutExchange(std::move(definition));
    }
    Log(spdlog::level::info, "Barterbox: Loaded {} exchanges", ExchangeCount());
    for (const std::string& line : dropped) {
        Log(spdlog::level::warn, "{}", line);
    }
    TheCatalogueState().LossyConfigLoaded |= !dropped.empty();
    // Built now, so that the Add or Remove that follows a load changes one exchange in the
    // document, as every later one does, instead of building it whole in the middle of play.
    UpdateConfigDocument();
}

// Replaces the table with what was read. True unless the file was there but unreadable.
bool ReplaceTable(ConfigReading& reading, bool eachExchange = true) {
    ClearExchanges();
    ReleaseConfigDocument();
    UnreadableConfigFound() = std::holds_alternative<UnreadableConfig>(reading);
    TheCatalogueState().LossyConfigLoaded = false;
    if (auto* parsed = std::get_if<ParsedConfig>(&reading)) {
        try {
            ApplyConfig(parsed->Root, eachExchange);
        } catch (const std::bad_alloc&) {
            // Never half a table: a load that runs out of memory is a load that failed.
            ClearExchanges();
            ReleaseConfigDocument();
            UnreadableConfigFound() = true;
            Log(spdlog::level::err, "Barterbox: Failed to parse config.json: {}",
                "not enough memory for the table");
        }
    }
    return !UnreadableConfigFound();
}

// --- Writing ------------------------------------------------------------------------------------

// The digest of the file's content as it is now, and its stamp; false when it cannot be read.
bool DigestOfFile(const std::string& path, std::uint64_t& digest, FileStamp& stamp) {
    std::string text;
    if (ReadWholeFile(path, text, stamp) != ReadOutcome::Read) {
        return false;
    }
    digest = ContentDigest(text);
    return true;
}

// Whether the file at the path changed since the plugin last read or wrote it: created, or of
// another content. The stamp answers when it can (the same size and time, and no edit could
// since have kept both); otherwise the content is compared. A file that has gone since is no
// change to keep. `digest` is the digest of the content found, as far as it is known.
bool ChangedSinceLastSeen(const std::string& path, const FileStamp& now, std::uint64_t& digest) {
    std::optional<SeenFile>& seen = LastSeen();
    if (!seen || seen->Path != ConfigPath() || !now.Exists) {
        return false;
    }
    if (!seen->Stamp.Exists || !seen->Stamp.Regular || !now.Regular) {
        return seen->Stamp.Exists != now.Exists || seen->Stamp.Regular != now.Regular;
    }
    digest = seen->Digest;
    if (SameStamp(now, seen->Stamp) && seen->Settled) {
        return false;
    }
    const bool settled = StampIsSettled(now);
    FileStamp read;
    if (!DigestOfFile(path, digest, read)) {
        return true;
    }
    if (digest != seen->Digest) {
        return true;
    }
    // The same text: from now on the stamp alone answers, if no edit can hide in it any more.
    if (SameStamp(read, now) && settled) {
        seen->Stamp = now;
        seen->Settled = true;
    }
    return false;
}

bool FailSave(const std::string& reason) {
    Log(spdlog::level::err, "Barterbox: Failed to save config");
    Log(spdlog::level::err, "Barterbox: Save failed: {}", reason);
    return false;
}

// The new file gets the old one's owner and group, so that the account that owns config.json (a
// hosting panel, an administrator) can still write it after a save from the game.
void KeepOwner(const std::string& temporary, const std::string& target) {
    errno = 0;
    if (FileSystem().Own(temporary.c_str(), target.c_str()) == 0 ||
        TheCatalogueState().OwnerWarningGiven) {
        return;
    }
    TheCatalogueState().OwnerWarningGiven = true;
    Log(spdlog::level::warn,
        "Barterbox: A save cannot give config.json its owner and group back ({}); saved files "
        "belong to the server's account",
        SystemReason());
}

// The copies a save keeps of config.json before it replaces it (config.json.bak, .bak.1, ...).
struct KeptCopies {
    std::vector<std::string> Names;

    bool Keep(const std::string& target, std::string& reason) {
        std::optional<std::string> backup = KeepBackup(target, ConfigPath() + ".bak", reason);
        if (backup) {
            Names.push_back(std::move(*backup));
        }
        return backup.has_value();
    }

    // For a save that then failed: the file still holds its content.
    void Undo() const {
        for (const std::string& name : Names) {
            UndoBackup(name);
        }
    }
};

// The last look just before the rename: an edit that landed while the new text was written is
// kept aside as any other. False, with the reason, when the save must stop.
bool KeepLateEdit(const std::string& target, const FileStamp& before, std::uint64_t digestFound,
                  KeptCopies& copies, std::string& reason) {
    const FileStamp last = StampOf(target);
    if (last.Exists && !last.Regular) {
        reason = "config.json was replaced by something that is not a regular file";
        return false;
    }
    if (SameStamp(last, before)) {
        return true;
    }
    std::uint64_t digestNow = digestFound;
    FileStamp ignored;
    // Compared with what was copied aside already, or else with what the plugin last saw.
    const bool edited = copies.Names.empty()
                            ? ChangedSinceLastSeen(target, last, digestNow)
                            : last.Exists && (!DigestOfFile(target, digestNow, ignored) ||
                                              digestNow != digestFound);
    return !edited || copies.Keep(target, reason);
}

// Where a save writes, what it found there, and what it must keep aside before replacing it.
struct SavePlan {
    // config.json, or what a linked config.json (one table shared by a cluster of servers)
    // points to.
    std::string Target;
    FileStamp Before;
    std::uint64_t DigestFound = 0;
    // Edited by hand since the plugin last read or wrote it.
    bool Changed = false;
    // The last load could not read it, and it has not been edited since.
    bool Unreadable = false;
    // The last load took it only in part.
    bool Lossy = false;
};

// Where the save may write, or why it may not write at all (in `reason`).
// `handEdit`: the file was read again just before (an Add or a Remove), and its text is not what
// a save writes, so that it is kept aside although it is what this server last saw.
std::optional<SavePlan> PlanSave(bool handEdit, std::string& reason) {
    const std::optional<std::string> target = FollowLinks(ConfigPath());
    if (!target) {
        reason = "config.json is a loop of symbolic links";
        return std::nullopt;
    }
    SavePlan plan{*target, StampOf(*target)};
    const FileStamp& before = plan.Before;
    // Only a regular file is ever replaced: a folder, a pipe or a device, or a link to one, stays
    // where it is, as does anything a dangling link points to.
    if (before.Exists && !before.Regular) {
        reason = "config.json is not a regular file (it is, or leads to, a folder, a device or a "
                 "pipe); nothing was written";
        return std::nullopt;
    }
    if (!before.Exists && *target != ConfigPath()) {
        reason = "config.json is a link to " + *target + ", which does not exist";
        return std::nullopt;
    }
    if (before.Exists && !IsWritableFile(*target, reason)) {
        return std::nullopt;
    }
    // A file the last load could not read, but that has been edited since, is a hand edit: most
    // likely the administrator's fix, and it is kept under that name.
    plan.Changed = ChangedSinceLastSeen(*target, before, plan.DigestFound) || handEdit;
    plan.Unreadable = UnreadableConfigFound() && before.Exists && !plan.Changed;
    // A file the load took only in part keeps what it left out (a misspelt member, a dropped
    // exchange) in a copy, since the text about to be written holds only what was kept.
    plan.Lossy = TheCatalogueState().LossyConfigLoaded && LastSeen().has_value() && before.Exists &&
                 !plan.Changed && !plan.Unreadable;
    return plan;
}

// The table's text in a new temporary file beside the target, and its digest; std::nullopt,
// with the reason, when it could not be written.
std::optional<TemporaryFile> WriteNewText(const SavePlan& plan, std::uint64_t& digest,
                                          std::string& reason) {
    std::optional<TemporaryFile> written;
    try {
        WriteConfigDocument([&](std::string_view text) {
            written = WriteTemporaryFile(plan.Target, text, plan.Before.Permissions, reason);
            digest = ContentDigest(text);
        });
    } catch (const json::exception& error) {
        // Text that is not UTF-8 cannot be written as JSON; the file stays as it was.
        reason = std::string("a name or text is not valid UTF-8: ") + error.what();
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        if (written) {
            DiscardTemporaryFile(written->Path);
        }
        reason = "not enough memory for the file's text";
        return std::nullopt;
    }
    return written;
}

// Renames the new file over the target. The old content is copied aside first where the plan
// says so, so that there is a config.json at every moment and the administrator's text survives.
// On failure nothing is left behind: the temporary file and the copies go, and `reason` says why.
bool PutInPlace(const SavePlan& plan, const TemporaryFile& written, KeptCopies& copies,
                std::string& reason) {
    const bool keep = plan.Unreadable || plan.Changed || plan.Lossy;
    const bool ready = (!keep || copies.Keep(plan.Target, reason)) &&
                       KeepLateEdit(plan.Target, plan.Before, plan.DigestFound, copies, reason);
    if (ready && CommitTemporaryFile(written.Path, plan.Target, reason)) {
        return true;
    }
    if (!ready) {
        DiscardTemporaryFile(written.Path);
    }
    copies.Undo();
    return false;
}

// One line for each copy kept, saying why it was kept.
void LogKeptCopies(const SavePlan& plan, const KeptCopies& copies) {
    for (const std::string& backup : copies.Names) {
        const std::string name = backup.substr(backup.find_last_of('/') + 1);
        const bool first = &backup == &copies.Names.front();
        if (plan.Unreadable && first) {
            Log(spdlog::level::warn, "Barterbox: Kept unreadable config.json as {}", name);
        } else if (plan.Lossy && first) {
            Log(spdlog::level::warn,
                "Barterbox: Kept config.json as {}: the load dropped parts of it that this save "
                "does not write",
                name);
        } else {
            Log(spdlog::level::warn,
                "Barterbox: config.json changed on disk since it was loaded; kept it as {}", name);
        }
    }
}

// --- Servers sharing one file -------------------------------------------------------------------

// How long a save waits for another server's save of a shared config.json; saves take
// milliseconds, so a lock held this long is held by something that no longer saves.
constexpr auto kLockPatience = std::chrono::seconds(5);

std::string FileName(const std::string& path) {
    return platform::Utf8Path(platform::OsPath(path).filename());
}

// config.json's lock, held across every read-modify-write of the file, so that servers sharing
// one file through links save one after another. It is taken beside the file the links lead to,
// so that every server sharing that file takes the same lock. Where the save will not write (the
// links lead to no regular file, or nowhere) nothing is created, and the plan says why; a folder
// that takes no new file gets no lock either, as the save cannot write there and says so itself.
std::optional<platform::FileLock> LockConfig(std::string& reason) {
    const std::optional<std::string> target = FollowLinks(ConfigPath());
    platform::FileLock lock;
    if (!target) {
        return lock;
    }
    const FileStamp stamp = StampOf(*target);
    if (stamp.Exists ? !stamp.Regular : *target != ConfigPath()) {
        return lock;
    }
    const std::string path = *target + ".lock";
    errno = 0;
    switch (lock.Take(path, kLockPatience)) {
    case platform::FileLock::Outcome::Locked:
        return lock;
    case platform::FileLock::Outcome::Busy:
        reason = "another server's save held config.json's lock (" + FileName(path) +
                 ") for over 5 seconds; nothing was written";
        return std::nullopt;
    case platform::FileLock::Outcome::Failed:
        break;
    }
    if (errno == ENOENT || errno == EACCES || errno == EROFS) {
        return lock;
    }
    reason = "cannot take config.json's lock (" + FileName(path) + "): " + SystemReason();
    return std::nullopt;
}

// For an Add or a Remove, which is made to the file as it is now: a config.json that changed
// since this server last read or wrote it (another server's save, a hand edit) is read into the
// table again first. True when the text read is not what a save writes for it, which only a hand
// edit makes: the save then keeps it aside. Another server's save is always the plugin's own
// text, and comes back whole. A file that cannot be read or parsed leaves the table as it is, and
// the save keeps it aside as any changed file.
bool ReadChangedFile() {
    const std::optional<std::string> target = FollowLinks(ConfigPath());
    std::uint64_t digest = 0;
    if (!target || !ChangedSinceLastSeen(*target, StampOf(*target), digest)) {
        return false;
    }
    std::string text;
    FileStamp stamp;
    if (ReadWholeFile(*target, text, stamp) != ReadOutcome::Read) {
        return false;
    }
    ConfigReading reading = ParseWithChecks(text);
    if (!std::holds_alternative<ParsedConfig>(reading)) {
        return false;
    }
    Log(spdlog::level::info,
        "Barterbox: config.json changed on disk since this server read it; the change is made "
        "to the file as it is now");
    LastSeen() = SeenNow(stamp, ContentDigest(text));
    if (!ReplaceTable(reading, false)) {
        return true;
    }
    try {
        return ContentDigest(ConfigText()) != ContentDigest(text);
    } catch (const std::exception&) {
        return true; // a text the save cannot write is no text of its own
    }
}

enum class WriteMode { KeepChanges, KeepHandEdit, RefuseChangedFile };

// Writes the table and the settings, under the lock; every outcome is logged.
SaveResult WriteTable(WriteMode mode) {
    std::string reason;
    const std::optional<SavePlan> plan = PlanSave(mode == WriteMode::KeepHandEdit, reason);
    if (!plan) {
        return SaveResult{FailSave(reason), false};
    }
    // Writing the table would undo what another server or an editor put in the file: the
    // administrator reloads first, which shows what it holds.
    if (mode == WriteMode::RefuseChangedFile && plan->Changed) {
        return SaveResult{FailSave("config.json changed on disk since this server read it (another "
                                   "server's save or a hand edit); nothing was written"),
                          true};
    }
    if (plan->Before.Links > 1) {
        Log(spdlog::level::warn,
            "Barterbox: config.json has {} names (hard links); the save replaces this one, and "
            "the others keep the old table",
            plan->Before.Links);
    }
    RemoveStaleTemporaryFiles(plan->Target);

    // Written beside the old file and renamed over it, so that a full disk or a crash never
    // leaves config.json empty or half-written.
    std::uint64_t digest = 0;
    const std::optional<TemporaryFile> written = WriteNewText(*plan, digest, reason);
    if (!written) {
        return SaveResult{FailSave(reason), false};
    }
    if (plan->Before.Exists) {
        KeepOwner(written->Path, plan->Target);
    }
    KeptCopies copies;
    if (!PutInPlace(*plan, *written, copies, reason)) {
        return SaveResult{FailSave(reason), false};
    }
    LogKeptCopies(*plan, copies);
    UnreadableConfigFound() = false;
    TheCatalogueState().LossyConfigLoaded = false;
    LastSeen() = SeenNow(written->Written, digest);
    Log(spdlog::level::info, "Barterbox: Config saved");
    return SaveResult{true, false};
}

} // namespace

void FormPluginPaths(const std::string& serverDirectory) {
    PluginFolder() = serverDirectory + "/ArkApi/Plugins/Barterbox";
    ConfigPath() = PluginFolder() + "/config.json";
}

std::string ConfigText() {
    std::string text;
    WriteConfigDocument([&](std::string_view document) { text.assign(document); });
    return text;
}

void LoadConfig() {
    // Emptied before the file is read, as every load starts from an empty table anyway: the
    // memory of the old table and document then serves the parse.
    ClearExchanges();
    ReleaseConfigDocument();
    ConfigReading reading = ReadConfigFile();
    ReplaceTable(reading);
}

bool ReloadConfig() {
    ConfigReading reading = ReadConfigFile();
    if (std::holds_alternative<UnreadableConfig>(reading)) {
        // The table stays, and the file the administrator is working on is kept aside at the
        // next save rather than overwritten.
        UnreadableConfigFound() = true;
        return false;
    }
    return ReplaceTable(reading);
}

void LoadConfigFromText(std::string_view text) {
    LastSeen().reset();
    ConfigReading reading = ParseWithChecks(text);
    ReplaceTable(reading);
}

SaveResult SaveConfig() {
    std::string reason;
    const std::optional<platform::FileLock> lock = LockConfig(reason);
    if (!lock) {
        return SaveResult{FailSave(reason), false};
    }
    return WriteTable(WriteMode::RefuseChangedFile);
}

bool SaveChange(const std::function<void()>& change) {
    std::string reason;
    const std::optional<platform::FileLock> lock = LockConfig(reason);
    if (!lock) {
        // The table changes all the same, as after any failed save: until the next Reload.
        change();
        return FailSave(reason);
    }
    const bool handEdit = ReadChangedFile();
    change();
    return WriteTable(handEdit ? WriteMode::KeepHandEdit : WriteMode::KeepChanges).Saved;
}

} // namespace barterbox
