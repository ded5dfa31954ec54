// Tab completion for the console; see console_completion.h.
#include "console_completion.h"

#include <algorithm>
#include <fstream>

#include <nlohmann/json.hpp>

#include "console_language.h"

namespace barterbox::server {
namespace {

bool Contains(const std::vector<std::string>& words, std::string_view word) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

// Which list the word at `index` comes from, given the words before it.
std::vector<std::string> Choices(const std::vector<std::string>& words, size_t index,
                                 const CompletionSources& sources) {
    if (index == 0) {
        return {std::begin(kConsoleWords), std::end(kConsoleWords)};
    }
    const std::string& verb = words[0];
    if (verb == "rcon") {
        // rcon Barterbox.Do EOSID NAME
        if (index == 1) {
            return sources.RconCommands;
        }
        if (index == 2) {
            return sources.EosIds;
        }
        return index == 3 ? sources.Exchanges : std::vector<std::string>{};
    }
    static const std::vector<std::string> kPlayerVerbs = {"leave", "admin", "give",
                                                          "inv",   "chat",  "console"};
    if (index == 1) {
        return Contains(kPlayerVerbs, verb) ? sources.Players : std::vector<std::string>{};
    }
    if (verb == "admin" && index == 2) {
        return {"on", "off"};
    }
    if (verb == "join" && index == 3) {
        return {"admin"};
    }
    if (verb == "give" && index == 2) {
        return sources.ItemClasses;
    }
    if (verb == "chat") {
        // chat NAME /ex NAME
        if (index == 2) {
            return sources.ChatCommands;
        }
        return index == 3 && Contains(sources.ChatCommands, words[2]) ? sources.Exchanges
                                                                      : std::vector<std::string>{};
    }
    if (verb == "console") {
        // console NAME Barterbox.Remove NAME, console NAME DoExchange EOSID NAME
        if (index == 2) {
            return sources.ConsoleCommands;
        }
        const std::string& command = words[2];
        if (command == "DoExchange") {
            return index == 3   ? sources.EosIds
                   : index == 4 ? sources.Exchanges
                                : std::vector<std::string>{};
        }
        if (command == "Barterbox.Remove" || command == "Barterbox.Add") {
            return index == 3 ? sources.Exchanges : std::vector<std::string>{};
        }
    }
    return {};
}

} // namespace

std::vector<std::string> WordsBeforeCursor(std::string_view before) {
    std::vector<std::string> words(1);
    for (const char c : before) {
        if (c != ' ') {
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
    std::vector<std::string> candidates;
    for (std::string& choice : Choices(words, words.size() - 1, sources)) {
        if (choice.starts_with(typed)) {
            candidates.push_back(std::move(choice));
        }
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    return candidates;
}

std::vector<std::string> ExchangeNamesInConfig(const std::string& configFile) {
    std::ifstream file(configFile);
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
