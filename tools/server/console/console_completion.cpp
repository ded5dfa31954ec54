// Tab completion for the console; see console_completion.h.
#include "console_completion.h"

#include <algorithm>
#include <fstream>

#include <nlohmann/json.hpp>

#include "console_language.h"
#include "host/ascii_case.h"
#include "host/class_names.h"
#include "platform/os_path.h"

namespace barterbox::server {
namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return EqualIgnoringAsciiCase(a, b);
}

bool Contains(const std::vector<std::string>& words, std::string_view word) {
    return std::any_of(words.begin(), words.end(),
                       [&](const std::string& known) { return SameIgnoringCase(known, word); });
}

std::vector<std::string> WithColon(std::vector<std::string> items) {
    for (std::string& item : items) {
        item += ':';
    }
    return items;
}

// The item's own name inside a blueprint form: PrimalItemResource_Wood in
// Blueprint'/Game/.../PrimalItemResource_Wood.PrimalItemResource_Wood'.
std::string_view ItemNameInBlueprint(std::string_view blueprint) {
    const size_t slash = blueprint.find_last_of('/');
    std::string_view name =
        slash == std::string_view::npos ? blueprint : blueprint.substr(slash + 1);
    return name.substr(0, name.find('.'));
}

// rcon Barterbox.Do EOSID NAME
std::vector<std::string> RconChoices(size_t index, const CompletionSources& sources) {
    if (index == 1) {
        return sources.RconCommands;
    }
    if (index == 2) {
        return sources.EosIds;
    }
    return index == 3 ? sources.Exchanges : std::vector<std::string>{};
}

// chat NAME /ex NAME
std::vector<std::string> ChatChoices(const std::vector<std::string>& words, size_t index,
                                     const CompletionSources& sources) {
    if (index == 2) {
        return sources.ChatCommands;
    }
    return index == 3 && Contains(sources.ChatCommands, words[2]) ? sources.Exchanges
                                                                  : std::vector<std::string>{};
}

// console NAME Barterbox.Remove NAME, console NAME DoExchange EOSID NAME,
// console NAME Barterbox.Add NAME GIVE:QTY RECEIVE:QTY
std::vector<std::string> PlayerConsoleChoices(const std::vector<std::string>& words, size_t index,
                                              const CompletionSources& sources) {
    if (index == 2) {
        return sources.ConsoleCommands;
    }
    const std::string& command = words[2];
    if (SameIgnoringCase(command, "DoExchange")) {
        return index == 3   ? sources.EosIds
               : index == 4 ? sources.Exchanges
                            : std::vector<std::string>{};
    }
    if (SameIgnoringCase(command, "Barterbox.Remove")) {
        return index == 3 ? sources.Exchanges : std::vector<std::string>{};
    }
    if (SameIgnoringCase(command, "Barterbox.Add")) {
        return index == 3   ? sources.Exchanges
               : index == 4 ? WithColon(sources.ItemClasses)
               : index == 5 ? sources.ItemBlueprints
                            : std::vector<std::string>{};
    }
    return {};
}

// Which list the word at `index` comes from, given the words before it.
std::vector<std::string> Choices(const std::vector<std::string>& words, size_t index,
                                 const CompletionSources& sources) {
    if (index == 0) {
        return {std::begin(kConsoleWords), std::end(kConsoleWords)};
    }
    const std::string& verb = words[0];
    if (SameIgnoringCase(verb, "rcon")) {
        return RconChoices(index, sources);
    }
    static const std::vector<std::string> kPlayerVerbs = {"leave", "admin", "group",  "give",
                                                          "inv",   "chat",  "console"};
    if (index == 1) {
        return Contains(kPlayerVerbs, verb) ? sources.Players : std::vector<std::string>{};
    }
    if ((SameIgnoringCase(verb, "admin") && index == 2) ||
        (SameIgnoringCase(verb, "group") && index == 3)) {
        return {"on", "off"};
    }
    if (SameIgnoringCase(verb, "group") && index == 2) {
        return sources.Groups;
    }
    if (SameIgnoringCase(verb, "join") && index == 3) {
        return {"admin"};
    }
    if (SameIgnoringCase(verb, "give") && index == 2) {
        return sources.ItemClasses;
    }
    if (SameIgnoringCase(verb, "chat")) {
        return ChatChoices(words, index, sources);
    }
    if (SameIgnoringCase(verb, "console")) {
        return PlayerConsoleChoices(words, index, sources);
    }
    return {};
}

bool IsAddItemPosition(const std::vector<std::string>& words, size_t index) {
    return (index == 4 || index == 5) && SameIgnoringCase(words[0], "console") &&
           SameIgnoringCase(words[2], "Barterbox.Add");
}

// Whether the word at `index` is a Receive blueprint, which also fits by its item's name.
bool IsReceivePosition(const std::vector<std::string>& words, size_t index) {
    return index == 5 && IsAddItemPosition(words, index);
}

} // namespace

bool QuantityFollows(std::string_view before) {
    const std::vector<std::string> words = WordsBeforeCursor(before);
    return IsAddItemPosition(words, words.size() - 1);
}

bool StartsWithIgnoringCase(std::string_view word, std::string_view typed) {
    return word.size() >= typed.size() &&
           std::equal(typed.begin(), typed.end(), word.begin(),
                      [](char a, char b) { return AsciiLower(a) == AsciiLower(b); });
}

std::string BlueprintFormOf(std::string_view path) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    std::string_view blueprint = path;
    if (dot != std::string_view::npos && (slash == std::string_view::npos || slash < dot)) {
        const std::string_view asset =
            path.substr(slash == std::string_view::npos ? 0 : slash + 1,
                        dot - (slash == std::string_view::npos ? 0 : slash + 1));
        const std::string_view object = path.substr(dot + 1);
        if (IsGeneratedClassOf(object, asset)) {
            blueprint = path.substr(0, path.size() - 2);
        }
    }
    return "Blueprint'" + std::string(blueprint) + "'";
}

std::vector<std::string> WordsBeforeCursor(std::string_view before) {
    std::vector<std::string> words(1);
    bool quoted = false;
    for (const char c : before) {
        if (c == '"') {
            quoted = !quoted;
        }
        if (c != ' ' || quoted) {
            words.back() += c;
        } else if (!words.back().empty()) {
            words.emplace_back();
        }
    }
    return words;
}

std::vector<std::string> CompletionCandidates(std::string_view before,
                                              const CompletionSources& sources) {
    const std::vector<std::string> words = WordsBeforeCursor(before);
    const std::string& typed = words.back();
    const size_t index = words.size() - 1;
    const bool byItemName = IsReceivePosition(words, index);
    std::vector<std::string> candidates;
    for (std::string& choice : Choices(words, index, sources)) {
        if (StartsWithIgnoringCase(choice, typed) ||
            (byItemName && StartsWithIgnoringCase(ItemNameInBlueprint(choice), typed))) {
            candidates.push_back(std::move(choice));
        }
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    return candidates;
}

std::vector<std::string> ExchangeNamesInConfig(const std::string& configFile) {
    std::ifstream file(platform::OsPath(configFile));
    if (!file) {
        return {};
    }
    const nlohmann::json document = nlohmann::json::parse(file, nullptr, false, false);
    std::vector<std::string> names;
    if (document.is_object() && document.contains("Exchanges") &&
        document["Exchanges"].is_object()) {
        for (const auto& [name, exchange] : document["Exchanges"].items()) {
            // Only what chat and RCON can reach: a name with a space is cut at the space there.
            if (name.find(' ') == std::string::npos) {
                names.push_back(name);
            }
        }
    }
    return names;
}

} // namespace barterbox::server
