// Loading config.json into the exchange table and the settings, and saving both back without
// ever leaving the file empty, half-written, or overwritten while it could not be read.
#include "config_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#include <nlohmann/json.hpp>

#include "catalogue/atomic_file.h"
#include "catalogue/config_document.h"
#include "catalogue/config_reading.h"
#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"
#include "plugin/plugin_logger.h"
#include "plugin/plugin_paths.h"

namespace barterbox {
namespace {

using nlohmann::json;

// Set by the last load when config.json was there but could not be read, so that the next save
// keeps the administrator's file aside instead of overwriting it.
bool& UnreadableConfigFound() {
    static bool found = false;
    return found;
}

// --- Reading ------------------------------------------------------------------------------------

enum class ReadOutcome { Read, Missing, Unreadable };

ReadOutcome ReadWholeFile(const std::string& path, std::string& text) {
    // Binary, so that the text reaches the parser as it is on disk; on Windows a text-mode read
    // would end at the first Ctrl-Z byte.
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return errno == ENOENT ? ReadOutcome::Missing : ReadOutcome::Unreadable;
    }
    std::error_code sizeError;
    const auto size = std::filesystem::file_size(path, sizeError);
    if (!sizeError) {
        text.reserve(static_cast<std::size_t>(size));
    }
    char buffer[1 << 16];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, count);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return failed ? ReadOutcome::Unreadable : ReadOutcome::Read;
}

void ApplyConfigText(std::string_view text) {
    json root;
    try {
        root = ParseConfigText(text);
    } catch (const json::exception& error) {
        Log(spdlog::level::err, "Barterbox: Failed to parse config.json: {}", error.what());
        UnreadableConfigFound() = true;
        return;
    }
    // The whole document is checked before anything is applied, so that a bad value deep in the
    // file never leaves a table or settings half read.
    if (const auto typeError = FindTypeError(root)) {
        Log(spdlog::level::err, "Barterbox: Failed to parse config.json: {}", *typeError);
        UnreadableConfigFound() = true;
        return;
    }
    UnreadableConfigFound() = false;

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
}

// --- Writing ------------------------------------------------------------------------------------

// config.json is about to be replaced while the last load could not read it: rename it to
// config.json.bak first. True when the save may go on.
bool KeepUnreadableConfig(const std::string& path) {
    if (ReplaceFile(path, path + ".bak")) {
        Log(spdlog::level::warn, "Barterbox: Kept unreadable config.json as config.json.bak");
        return true;
    }
    // Nothing to keep when the file has gone since the load.
    std::error_code error;
    return !std::filesystem::exists(path, error) && !error;
}

} // namespace

std::string ConfigText() {
    std::string text;
    WriteConfigDocument([&](std::string_view document) { text.assign(document); });
    return text;
}

void LoadConfig() {
    ClearExchanges();
    ReleaseConfigDocument();
    std::string text;
    switch (ReadWholeFile(ConfigPath(), text)) {
    case ReadOutcome::Missing:
        UnreadableConfigFound() = false;
        Log(spdlog::level::warn, "Barterbox: No config.json found, creating default");
        return;
    case ReadOutcome::Unreadable:
        // There, but out of reach (no access, a folder in its place): kept aside at the next save.
        UnreadableConfigFound() = true;
        Log(spdlog::level::warn, "Barterbox: No config.json found, creating default");
        return;
    case ReadOutcome::Read:
        ApplyConfigText(text);
        // Built now, so that the Add or Remove that follows a load changes one exchange in the
        // document, as every later one does, instead of building it whole in the middle of play.
        UpdateConfigDocument();
        return;
    }
}

void LoadConfigFromText(std::string_view text) {
    ClearExchanges();
    ReleaseConfigDocument();
    ApplyConfigText(text);
    UpdateConfigDocument();
}

void SaveConfig() {
    const std::string& path = ConfigPath();
    // Written beside the old file and renamed over it, so that a full disk or a crash never
    // leaves config.json empty or half-written.
    bool written = false;
    try {
        WriteConfigDocument(
            [&](std::string_view text) { written = WriteTemporaryFile(path, text); });
    } catch (const json::exception&) {
        // Text that is not UTF-8 cannot be written as JSON; the file stays as it was.
        Log(spdlog::level::err, "Barterbox: Failed to save config");
        return;
    }
    if (!written) {
        Log(spdlog::level::err, "Barterbox: Failed to save config");
        return;
    }
    if (UnreadableConfigFound()) {
        if (!KeepUnreadableConfig(path)) {
            DiscardTemporaryFile(path);
            Log(spdlog::level::err, "Barterbox: Failed to save config");
            return;
        }
        UnreadableConfigFound() = false;
    }
    if (!CommitTemporaryFile(path)) {
        Log(spdlog::level::err, "Barterbox: Failed to save config");
        return;
    }
    Log(spdlog::level::info, "Barterbox: Config saved");
}

} // namespace barterbox
