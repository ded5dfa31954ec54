// Loading config.json into the exchange table and the settings, and saving both back without
// ever leaving the file empty or half-written, and without losing a file the plugin could not
// read or one that an administrator edited by hand since the plugin last read or wrote it.
#include "config_file.h"

#include <cstdio>
#include <new>
#include <optional>
#include <stdexcept>
#include <variant>

#include <nlohmann/json.hpp>

#include "catalogue/atomic_file.h"
#include "catalogue/catalogue_state.h"
#include "catalogue/config_document.h"
#include "catalogue/config_reading.h"
#include "catalogue/exchange_catalogue.h"
#include "catalogue/file_backup.h"
#include "catalogue/file_state.h"
#include "catalogue/plugin_settings.h"
#include "platform/file_calls.h"
#include "plugin/plugin_logger.h"

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

enum class ReadOutcome { Read, Missing, NoAccess, NotRegular, ReadFailed };

// Reads only a regular file: a link to a device or a folder in the file's place is unreadable,
// never read until memory runs out. Running out of memory on a huge file is unreadable too.
ReadOutcome ReadWholeFile(const std::string& path, std::string& text, FileStamp& stamp) {
    stamp = StampOf(path);
    if (!stamp.Exists) {
        return ReadOutcome::Missing;
    }
    if (!stamp.Regular) {
        return ReadOutcome::NotRegular;
    }
    // Binary, so that the text reaches the parser as it is on disk; on Windows a text-mode read
    // would end at the first Ctrl-Z byte.
    std::FILE* file = platform::OpenFile(path, "rb");
    if (file == nullptr) {
        return ReadOutcome::NoAccess;
    }
    bool failed = false;
    try {
        text.clear();
        text.reserve(static_cast<std::size_t>(stamp.Size));
        char buffer[1 << 16];
        std::size_t count = 0;
        while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            text.append(buffer, count);
        }
        failed = std::ferror(file) != 0;
    } catch (const std::bad_alloc&) {
        failed = true;
    } catch (const std::length_error&) {
        failed = true;
    }
    std::fclose(file);
    return failed ? ReadOutcome::ReadFailed : ReadOutcome::Read;
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
        LastSeen() = SeenFile{path, stamp, 0};
        Log(spdlog::level::warn, "Barterbox: No config.json found, creating default");
        return MissingConfig{};
    // There, but out of reach: kept aside at the next save rather than overwritten.
    case ReadOutcome::NoAccess:
    case ReadOutcome::NotRegular:
        LastSeen() = SeenFile{path, stamp, 0};
        Log(spdlog::level::warn, "Barterbox: No config.json found, creating default");
        return UnreadableConfig{};
    case ReadOutcome::ReadFailed:
        LastSeen() = SeenFile{path, stamp, 0};
        Log(spdlog::level::err, "Barterbox: Failed to parse config.json: {}",
            "the file could not be read whole");
        return UnreadableConfig{};
    case ReadOutcome::Read:
        break;
    }
    LastSeen() = SeenFile{path, stamp, ContentDigest(text)};
    return ParseWithChecks(text);
}

void ApplyConfig(json& root) {
    if (auto settings = ReadSettings(root)) {
        PluginSettings& current = Settings();
        current.ChatPrefix = std::move(settings->ChatPrefix);
        current.AllowMultiplier = settings->AllowMultiplier;
        current.MaxMultiplier = settings->MaxMultiplier;
    }
    for (ExchangeDefinition& definition : TakeExchanges(root)) {
        if (IsUsableExchange(definition)) {
            Log(spdlog::level::info, "Barterbox: Loaded '{}'", definition.Name);
            PutExchange(std::move(definition));
        }
    }
    Log(spdlog::level::info, "Barterbox: Loaded {} exchanges", ExchangeCount());
    // Built now, so that the Add or Remove that follows a load changes one exchange in the
    // document, as every later one does, instead of building it whole in the middle of play.
    UpdateConfigDocument();
}

// Replaces the table with what was read. True unless the file was there but unreadable.
bool ReplaceTable(ConfigReading& reading) {
    ClearExchanges();
    ReleaseConfigDocument();
    UnreadableConfigFound() = std::holds_alternative<UnreadableConfig>(reading);
    if (auto* parsed = std::get_if<ParsedConfig>(&reading)) {
        try {
            ApplyConfig(parsed->Root);
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

// Whether the file at the path changed since the plugin last read or wrote it: created, or of
// another size or time and another content. A file that has gone since is no change to keep.
bool ChangedSinceLastSeen(const std::string& path, const FileStamp& now) {
    const std::optional<SeenFile>& seen = LastSeen();
    if (!seen || seen->Path != ConfigPath() || !now.Exists) {
        return false;
    }
    if (!seen->Stamp.Exists || !seen->Stamp.Regular || !now.Regular) {
        return seen->Stamp.Exists != now.Exists || seen->Stamp.Regular != now.Regular;
    }
    if (now.Size == seen->Stamp.Size && now.ModifiedTicks == seen->Stamp.ModifiedTicks) {
        return false;
    }
    std::string text;
    FileStamp ignored;
    return ReadWholeFile(path, text, ignored) != ReadOutcome::Read ||
           ContentDigest(text) != seen->Digest;
}

bool FailSave() {
    Log(spdlog::level::err, "Barterbox: Failed to save config");
    return false;
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

bool SaveConfig() {
    // A linked config.json (one table shared by a cluster of servers) is saved where it points.
    const std::optional<std::string> target = FollowLinks(ConfigPath());
    if (!target) {
        return FailSave();
    }
    const FileStamp before = StampOf(*target);
    // A file the last load could not read, but that has been edited since, is a hand edit: most
    // likely the administrator's fix, and it is kept under that name.
    const bool changed = ChangedSinceLastSeen(*target, before);
    const bool unreadable = UnreadableConfigFound() && before.Exists && !changed;
    if (before.Regular && !IsWritableFile(*target)) {
        return FailSave();
    }

    // Written beside the old file and renamed over it, so that a full disk or a crash never
    // leaves config.json empty or half-written.
    std::uint64_t digest = 0;
    bool complete = false;
    try {
        WriteConfigDocument([&](std::string_view text) {
            complete = WriteTemporaryFile(*target, text, before.Permissions);
            digest = ContentDigest(text);
        });
    } catch (const json::exception&) {
        // Text that is not UTF-8 cannot be written as JSON; the file stays as it was.
        return FailSave();
    } catch (const std::bad_alloc&) {
        DiscardTemporaryFile(*target);
        return FailSave();
    }
    if (!complete) {
        return FailSave();
    }

    // The old content is copied aside before the new file takes its place, so that there is a
    // config.json at every moment and the administrator's text survives.
    std::optional<std::string> backup;
    if (unreadable || changed) {
        backup = KeepBackup(*target, ConfigPath() + ".bak");
        if (!backup) {
            DiscardTemporaryFile(*target);
            return FailSave();
        }
    }
    if (!CommitTemporaryFile(*target)) {
        if (backup) {
            UndoBackup(*target, *backup);
        }
        return FailSave();
    }
    if (backup) {
        const std::string name = backup->substr(backup->find_last_of('/') + 1);
        if (unreadable) {
            Log(spdlog::level::warn, "Barterbox: Kept unreadable config.json as {}", name);
        } else {
            Log(spdlog::level::warn,
                "Barterbox: config.json changed on disk since it was loaded; kept it as {}", name);
        }
    }
    UnreadableConfigFound() = false;
    LastSeen() = SeenFile{ConfigPath(), StampOf(*target), digest};
    Log(spdlog::level::info, "Barterbox: Config saved");
    return true;
}

} // namespace barterbox
