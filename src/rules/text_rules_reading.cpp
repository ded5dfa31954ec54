// Reading the members of rules.json that hold words rather than limits: Messages, DisplayNames
// and Commands. See rules_reading.h.
#include <algorithm>
#include <string>

#include "host/ascii_case.h"
#include "rules/rules_reading.h"

namespace barterbox {
namespace {

using nlohmann::json;

RulesMemberPath Child(RulesMemberPath path, std::variant<std::string, size_t> step) {
    path.push_back(std::move(step));
    return path;
}

void Fail(RulesReading& reading, RulesMemberPath path, std::string message) {
    reading.Errors.push_back({std::move(path), std::move(message)});
}

void ReadMessages(const json& messages, RulesReading& reading) {
    const RulesMemberPath path{std::string("Messages")};
    if (!messages.is_object()) {
        Fail(reading, path,
             "must be an object of message names, not " + JsonTypeWithArticle(messages));
        return;
    }
    for (auto it = messages.begin(); it != messages.end(); ++it) {
        const RulesMemberPath messagePath = Child(path, it.key());
        const std::optional<MessageId> id = MessageNamed(it.key());
        if (!id) {
            reading.Unknown.push_back({messagePath, "is not a message the plugin knows"});
            continue;
        }
        if (!it.value().is_string()) {
            reading.UnusedMessages.push_back(
                {messagePath, "must be a text, not " + JsonTypeWithArticle(it.value())});
            continue;
        }
        const std::string& text = it.value().get_ref<const std::string&>();
        const std::size_t placeholders = PlaceholderCount(MessageOf(*id).Default);
        if (std::optional<std::string> problem = TemplateProblem(text, placeholders)) {
            reading.UnusedMessages.push_back({messagePath, std::move(*problem)});
            continue;
        }
        reading.Rules.Messages.push_back({*id, text});
    }
}

void ReadDisplayNames(const json& names, RulesReading& reading) {
    const RulesMemberPath path{std::string("DisplayNames")};
    if (!names.is_object()) {
        Fail(reading, path,
             "must be an object of items and their names, not " + JsonTypeWithArticle(names));
        return;
    }
    for (auto it = names.begin(); it != names.end(); ++it) {
        const RulesMemberPath namePath = Child(path, it.key());
        if (it.key().empty()) {
            Fail(reading, namePath, "must name an item or a class, not the empty text");
        } else if (!it.value().is_string() || it.value().get_ref<const std::string&>().empty()) {
            Fail(reading, namePath,
                 "must be the name players read, a text that is not empty, not " +
                     JsonTypeWithArticle(it.value()));
        } else {
            reading.Rules.DisplayNames.push_back({it.key(), it.value().get<std::string>()});
        }
    }
}

// Why a chat word cannot be registered; nullopt when it can.
std::optional<std::string> ChatWordProblem(const std::string& word) {
    if (word.size() < 2 || word.front() != '/') {
        return "must be a chat word that starts with \"/\", such as \"/tausch\", not " +
               json(word).dump();
    }
    for (const char c : word) {
        if (static_cast<unsigned char>(c) <= ' ' || c == '\x7f') {
            return "must be one word without spaces or control characters, not " +
                   json(word).dump();
        }
    }
    return std::nullopt;
}

// One list of Commands; a word already taken (in either list, letter case aside, as the host
// matches chat commands) is refused where it is listed again.
std::vector<std::string> ReadChatWords(const json& words, const RulesMemberPath& path,
                                       std::vector<std::string>& taken, RulesReading& reading) {
    std::vector<std::string> read;
    if (!words.is_array()) {
        Fail(reading, path, "must be an array of chat words, not " + JsonTypeWithArticle(words));
        return read;
    }
    for (size_t index = 0; index < words.size(); ++index) {
        const RulesMemberPath wordPath = Child(path, index);
        if (!words[index].is_string()) {
            Fail(reading, wordPath,
                 "must be a chat word, not " + JsonTypeWithArticle(words[index]));
            continue;
        }
        const std::string& word = words[index].get_ref<const std::string&>();
        if (std::optional<std::string> problem = ChatWordProblem(word)) {
            Fail(reading, wordPath, std::move(*problem));
            continue;
        }
        const std::string folded = AsciiLowered(word);
        if (std::find(taken.begin(), taken.end(), folded) != taken.end()) {
            Fail(reading, wordPath, json(word).dump() + " is listed twice");
            continue;
        }
        taken.push_back(folded);
        read.push_back(word);
    }
    return read;
}

void ReadCommands(const json& commands, RulesReading& reading) {
    const RulesMemberPath path{std::string("Commands")};
    if (!commands.is_object()) {
        Fail(reading, path,
             "must be an object with Exchange and Preview, not " + JsonTypeWithArticle(commands));
        return;
    }
    for (auto it = commands.begin(); it != commands.end(); ++it) {
        if (std::find(kChatWordMembers.begin(), kChatWordMembers.end(), it.key()) ==
            kChatWordMembers.end()) {
            reading.Unknown.push_back({Child(path, it.key()), "is not a member the plugin knows"});
        }
    }
    // A list left out keeps its default words, which the other list may not take either.
    ChatWords& words = reading.Rules.Commands;
    const json exchange =
        commands.contains("Exchange") ? commands["Exchange"] : json(words.Exchange);
    const json preview = commands.contains("Preview") ? commands["Preview"] : json(words.Preview);
    std::vector<std::string> taken;
    words.Exchange = ReadChatWords(exchange, Child(path, "Exchange"), taken, reading);
    words.Preview = ReadChatWords(preview, Child(path, "Preview"), taken, reading);
}

} // namespace

void ReadTextRules(const json& root, RulesReading& reading) {
    if (const auto it = root.find("Messages"); it != root.end()) {
        ReadMessages(*it, reading);
    }
    if (const auto it = root.find("DisplayNames"); it != root.end()) {
        ReadDisplayNames(*it, reading);
    }
    if (const auto it = root.find("Commands"); it != root.end()) {
        ReadCommands(*it, reading);
    }
}

} // namespace barterbox
