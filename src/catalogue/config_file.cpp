// Loading config.json into the exchange table and the settings, and saving both back without
// ever leaving the file empty, half-written, or overwritten while it could not be read.
#include "config_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <iterator>

#include <nlohmann/json.hpp>
#include <utf8.h>

#include "catalogue/atomic_file.h"
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
// The text is laid out directly in the form of the library's dump(2) of the sorted document:
// building that document for 10,000 exchanges and tearing it down costs several times the
// dump itself. The library still escapes every string that needs it, and rejects text that is not
// UTF-8, so the bytes are the library's own; the tests hold the two to byte equality.

// A string literal as the library writes it with non-ASCII left unescaped.
void AppendString(std::string& out, const std::string& text) {
    const bool plain = std::none_of(text.begin(), text.end(),
                                    [](char c) {
                                        const auto byte = static_cast<unsigned char>(c);
                                        return byte < 0x20 || byte == '"' || byte == '\\';
                                    }) &&
                       utf8::is_valid(text.begin(), text.end());
    if (plain) {
        out += '"';
        out += text;
        out += '"';
    } else {
        out += json(text).dump(-1, ' ', /*ensure_ascii=*/false, json::error_handler_t::strict);
    }
}

void AppendInteger(std::string& out, int32_t value) {
    char digits[16];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
    out.append(digits, end);
}

void AppendMemberName(std::string& out, int indent, const std::string& name) {
    out.append(static_cast<std::size_t>(indent), ' ');
    AppendString(out, name);
    out += ": ";
}

// A Give or Receive object: items in ascending byte order of name, and of two equal names the
// later one's quantity, as assigning them one by one into an object would leave it.
void AppendItems(std::string& out, const std::vector<ItemAmount>& items,
                 std::vector<const ItemAmount*>& scratch) {
    scratch.clear();
    for (const ItemAmount& item : items) {
        scratch.push_back(&item);
    }
    // Ties go by position in the list, which the pointers into it keep.
    std::sort(scratch.begin(), scratch.end(), [](const ItemAmount* a, const ItemAmount* b) {
        const int order = a->Item.compare(b->Item);
        return order != 0 ? order < 0 : a < b;
    });
    if (scratch.empty()) {
        out += "{}";
        return;
    }
    out += "{\n";
    bool first = true;
    for (std::size_t i = 0; i < scratch.size(); ++i) {
        if (i + 1 < scratch.size() && scratch[i + 1]->Item == scratch[i]->Item) {
            continue; // a later item of the same name follows
        }
        if (!first) {
            out += ",\n";
        }
        first = false;
        AppendMemberName(out, 8, scratch[i]->Item);
        AppendInteger(out, scratch[i]->Quantity);
    }
    out += "\n      }";
}

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
    std::vector<const ExchangeDefinition*> exchanges;
    exchanges.reserve(Catalogue().size());
    std::size_t estimate = 256;
    for (const auto& [key, definition] : Catalogue()) {
        exchanges.push_back(&definition);
        estimate += 128 + definition.Name.size() + definition.Description.size();
        for (const auto* list : {&definition.Give, &definition.Receive}) {
            for (const ItemAmount& item : *list) {
                estimate += 24 + item.Item.size();
            }
        }
    }
    std::sort(
        exchanges.begin(), exchanges.end(),
        [](const ExchangeDefinition* a, const ExchangeDefinition* b) { return a->Name < b->Name; });

    std::string out;
    out.reserve(estimate);
    std::vector<const ItemAmount*> scratch;
    out += "{\n  \"Exchanges\": ";
    if (exchanges.empty()) {
        out += "{}";
    } else {
        out += "{\n";
        for (std::size_t i = 0; i < exchanges.size(); ++i) {
            const ExchangeDefinition& definition = *exchanges[i];
            AppendMemberName(out, 4, definition.Name);
            out += "{\n      \"Description\": ";
            AppendString(out, definition.Description);
            out += ",\n      \"Give\": ";
            AppendItems(out, definition.Give, scratch);
            out += ",\n      \"Receive\": ";
            AppendItems(out, definition.Receive, scratch);
            out += i + 1 < exchanges.size() ? "\n    },\n" : "\n    }\n";
        }
        out += "  }";
    }
    const PluginSettings& settings = Settings();
    out += ",\n  \"Settings\": {\n    \"AllowMultiplier\": ";
    out += settings.AllowMultiplier ? "true" : "false";
    out += ",\n    \"ChatPrefix\": ";
    AppendString(out, settings.ChatPrefix);
    out += ",\n    \"MaxMultiplier\": ";
    AppendInteger(out, settings.MaxMultiplier);
    out += "\n  }\n}"; // no line break after the root's closing brace
    return out;
}

void LoadConfig() {
    ClearExchanges();
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
        return;
    }
}

void LoadConfigFromText(std::string_view text) {
    ClearExchanges();
    ApplyConfigText(text);
}

void SaveConfig() {
    const std::string& path = ConfigPath();
    std::string text;
    try {
        text = ConfigText();
    } catch (const json::exception&) {
        // Text that is not UTF-8 cannot be written as JSON; the file stays as it was.
        Log(spdlog::level::err, "Barterbox: Failed to save config");
        return;
    }
    // Written beside the old file and renamed over it, so that a full disk or a crash never
    // leaves config.json empty or half-written.
    if (!WriteTemporaryFile(path, text)) {
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
