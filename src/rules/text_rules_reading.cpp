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
        Fail(reading, path, "must be an object of message names, not " + RulesValueText(messages));
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
                {messagePath, "must be a text, not " + RulesValueText(it.value())});
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
             "must be an object of items and their names, not " + RulesValueText(names));
        return;
    }
    for (auto it = names.begin(); it != names.end(); ++it) {
        const RulesMemberPath namePath = Child(path, it.key());
        if (it.key().empty()) {
            Fail(reading, namePath, "must name an item or a class, not the empty text");
        } else if (!it.value().is_string() || it.value().get_ref<const std::string&>().empty()) {
            Fail(reading, namePath,
                 "must be the name players read, a text that is not empty, not " +
                     (it.value().is_string() ? std::string("the empty text")
                                             : RulesValueText(it.value())));
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

// A chat word read, letter case folded as the host matches chat commands, and where it is written.
struct TakenWord {
    std::string Folded;
    RulesMemberPath Where;
};

// One list written in Commands; a word already taken (in either list) is refused where it is
// listed again.
std::vector<std::string> ReadChatWords(const json& words, const RulesMemberPath& path,
                                       std::vector<TakenWord>& taken, RulesReading& reading) {
    std::vector<std::string> read;
    if (!words.is_array()) {
        Fail(reading, path, "must be an array of chat words, not " + RulesValueText(words));
        return read;
    }
    for (size_t index = 0; index < words.size(); ++index) {
        const RulesMemberPath wordPath = Child(path, index);
        if (!words[index].is_string()) {
            Fail(reading, wordPath, "must be a chat word, not " + RulesValueText(words[index]));
            continue;
        }
        const std::string& word = words[index].get_ref<const std::string&>();
        if (std::optional<std::string> problem = ChatWordProblem(word)) {
            Fail(reading, wordPath, std::move(*problem));
            continue;
        }
        std::string folded = AsciiLowered(word);
        if (std::any_of(taken.begin(), taken.end(),
                        [&folded](const TakenWord& t) { return t.Folded == folded; })) {
            Fail(reading, wordPath, json(word).dump() + " is listed twice");
            continue;
        }
        taken.push_back({std::move(folded), wordPath});
        read.push_back(word);
    }
    return read;
}

// The default words of a list left out. A written word that takes one of them is refused where
// it is written: that is where the administrator can mend it.
std::vector<std::string> DefaultChatWords(const std::vector<std::string>& defaults,
                                          const std::string& list,
                                          const std::vector<TakenWord>& taken,
                                          RulesReading& reading) {
    std::vector<std::string> kept;
    for (const std::string& word : defaults) {
        const std::string folded = AsciiLowered(word);
        const auto it = std::find_if(taken.begin(), taken.end(),
                                     [&folded](const TakenWord& t) { return t.Folded == folded; });
        if (it == taken.end()) {
            kept.push_back(word);
            continue;
        }
        Fail(reading, it->Where,
             json(word).dump() + " is a default word of " + list +
                 ", which rules.json leaves out; drop it here or give " + list +
                 " words of its own");
    }
    return kept;
}

void ReadCommands(const json& commands, RulesReading& reading) {
    const RulesMemberPath path{std::string("Commands")};
    if (!commands.is_object()) {
        Fail(reading, path,
             "must be an object with Exchange and Preview, not " + RulesValueText(commands));
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
    const bool exchange = commands.contains("Exchange");
    const bool preview = commands.contains("Preview");
    std::vector<TakenWord> taken;
    if (exchange) {
        words.Exchange =
            ReadChatWords(commands.at("Exchange"), Child(path, "Exchange"), taken, reading);
    }
    if (preview) {
        words.Preview =
            ReadChatWords(commands.at("Preview"), Child(path, "Preview"), taken, reading);
    }
    if (!exchange) {
        words.Exchange = DefaultChatWords(words.Exchange, "Exchange", taken, reading);
    }
    if (!preview) {
        words.Preview = DefaultChatWords(words.Preview, "Preview", taken, reading);
    }
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
