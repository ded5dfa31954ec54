// Parsing of operator lines; see console_language.h.
#include "console_language.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <utility>
#include <vector>

#include "clock_duration.h"

namespace barterbox::server {
namespace {

ConsoleError Usage(std::string_view form) {
    return {"usage: " + std::string(form)};
}

std::vector<std::string_view> SplitWords(std::string_view text) {
    std::vector<std::string_view> words;
    size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ') {
            ++at;
            continue;
        }
        const size_t end = std::min(text.find(' ', at), text.size());
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

// Digits only, 1 to the largest int32: a quantity handed to the world must fit the game's count.
bool ReadQuantity(std::string_view text, int32_t& quantity) {
    if (text.empty() || text.front() < '0' || text.front() > '9') {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), quantity);
    return error == std::errc() && end == text.data() + text.size() && quantity >= 1;
}

// NAME and the TEXT after the single space that follows it, for chat and console.
ConsoleParse PlayerAndText(ConsoleVerb verb, std::string_view rest, std::string_view form) {
    size_t start = rest.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        return Usage(form);
    }
    const size_t space = rest.find(' ', start);
    if (space == std::string_view::npos || space + 1 == rest.size()) {
        return Usage(form);
    }
    ConsoleCommand command;
    command.Verb = verb;
    command.Player = std::string(rest.substr(start, space - start));
    command.Text = std::string(rest.substr(space + 1));
    return command;
}

// give NAME ITEM QTY
ConsoleParse GiveCommand(const std::vector<std::string_view>& words) {
    if (words.size() != 3) {
        return Usage("give NAME ITEM QTY");
    }
    ConsoleCommand command;
    command.Verb = ConsoleVerb::Give;
    if (!ReadQuantity(words[2], command.Quantity)) {
        return ConsoleError{"QTY must be a whole number from 1 to " +
                            std::to_string(std::numeric_limits<int32_t>::max()) + ", not \"" +
                            std::string(words[2]) + "\""};
    }
    command.Player = std::string(words[0]);
    command.Item = std::string(words[1]);
    return command;
}

// group NAME GROUP on|off. Which groups exist is the world's to say, and Default is refused there.
ConsoleParse GroupCommand(const std::vector<std::string_view>& words) {
    if (words.size() != 3 || (words[2] != "on" && words[2] != "off")) {
        return Usage("group NAME GROUP on|off");
    }
    ConsoleCommand command;
    command.Verb = ConsoleVerb::Group;
    command.Player = std::string(words[0]);
    command.Group = std::string(words[1]);
    command.Member = words[2] == "on";
    return command;
}

// state NAME STATE on|off, with the words rules.json's Refuse uses.
ConsoleParse StateCommand(const std::vector<std::string_view>& words) {
    const std::optional<CharacterState> state =
        words.size() == 3 ? StateNamed(words[1]) : std::nullopt;
    if (!state || (words[2] != "on" && words[2] != "off")) {
        return Usage("state NAME dead|unconscious|carried|riding|transferring|noglin on|off");
    }
    ConsoleCommand command;
    command.Verb = ConsoleVerb::State;
    command.Player = std::string(words[0]);
    command.State = *state;
    command.Member = words[2] == "on";
    return command;
}

// clock, clock TIME, clock +DURATION. A time or a duration that cannot be read refuses the line
// before the clock is touched.
ConsoleParse ClockCommand(const std::vector<std::string_view>& words) {
    ConsoleCommand command;
    command.Verb = ConsoleVerb::Clock;
    if (words.empty()) {
        return command;
    }
    if (words.size() != 1) {
        return Usage("clock [TIME|+DURATION]");
    }
    const std::string_view word = words[0];
    if (word.starts_with('+')) {
        command.ClockMovedOn = ReadClockDuration(word.substr(1));
        if (!command.ClockMovedOn) {
            return ConsoleError{"DURATION must be whole seconds or numbers with the units s, m, h, "
                                "d and w (90, 10m, 1h30m), up to 100 years, not \"" +
                                std::string(word.substr(1)) + "\""};
        }
        return command;
    }
    command.ClockSetTo = ReadClockTime(word);
    if (!command.ClockSetTo) {
        return ConsoleError{"TIME must be a UTC time from 1970 to 2199 like "
                            "2026-12-08T15:25:01.123Z or 2026-12-08T15:25:01Z, not \"" +
                            std::string(word) + "\""};
    }
    return command;
}

// webhook start, webhook wait N
ConsoleParse WebhookCommand(const std::vector<std::string_view>& words) {
    ConsoleCommand command;
    command.Verb = ConsoleVerb::Webhook;
    if (words.size() == 1 && (words[0] == "start" || words[0] == "hang")) {
        command.WebhookStart = true;
        command.WebhookHangs = words[0] == "hang";
        return command;
    }
    if (words.size() == 2 && words[0] == "wait" && ReadQuantity(words[1], command.Quantity)) {
        return command;
    }
    return Usage("webhook start|hang|wait N");
}

ConsoleParse WordsCommand(ConsoleVerb verb, std::string_view word,
                          const std::vector<std::string_view>& words) {
    ConsoleCommand command;
    command.Verb = verb;
    switch (verb) {
    case ConsoleVerb::Players:
    case ConsoleVerb::ReloadPlugin:
    case ConsoleVerb::Help:
    case ConsoleVerb::Quit:
        if (!words.empty()) {
            return Usage(word); // these take no arguments
        }
        return command;
    case ConsoleVerb::Join:
        if (words.size() < 2 || words.size() > 3 || (words.size() == 3 && words[2] != "admin")) {
            return Usage("join NAME EOSID [admin]");
        }
        command.Player = std::string(words[0]);
        command.EosId = std::string(words[1]);
        command.Admin = words.size() == 3;
        return command;
    case ConsoleVerb::Leave:
    case ConsoleVerb::Inventory:
        if (words.size() != 1) {
            return Usage(verb == ConsoleVerb::Leave ? "leave NAME" : "inv NAME");
        }
        command.Player = std::string(words[0]);
        return command;
    case ConsoleVerb::Show:
        if (words.size() != 1) {
            return Usage("show FILE");
        }
        command.File = std::string(words[0]);
        return command;
    case ConsoleVerb::Admin:
        if (words.size() != 2 || (words[1] != "on" && words[1] != "off")) {
            return Usage("admin NAME on|off");
        }
        command.Player = std::string(words[0]);
        command.Admin = words[1] == "on";
        return command;
    case ConsoleVerb::Group:
        return GroupCommand(words);
    case ConsoleVerb::State:
        return StateCommand(words);
    case ConsoleVerb::Clock:
        return ClockCommand(words);
    case ConsoleVerb::Give:
        return GiveCommand(words);
    case ConsoleVerb::Webhook:
        return WebhookCommand(words);
    default:
        return ConsoleError{"internal: not a word command"};
    }
}

} // namespace

// The commands made only of words, by their first word.
constexpr std::pair<std::string_view, ConsoleVerb> kWordVerbs[] = {
    {"players", ConsoleVerb::Players},
    {"join", ConsoleVerb::Join},
    {"leave", ConsoleVerb::Leave},
    {"admin", ConsoleVerb::Admin},
    {"group", ConsoleVerb::Group},
    {"clock", ConsoleVerb::Clock},
    {"state", ConsoleVerb::State},
    {"give", ConsoleVerb::Give},
    {"inv", ConsoleVerb::Inventory},
    {"help", ConsoleVerb::Help},
    {"reload-plugin", ConsoleVerb::ReloadPlugin},
    {"show", ConsoleVerb::Show},
    {"webhook", ConsoleVerb::Webhook},
    {"quit", ConsoleVerb::Quit},
};

ConsoleParse ParseConsoleLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1); // a script saved with CR LF line ends
    }
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos || line[start] == '#') {
        return ConsoleCommand{};
    }
    line.remove_prefix(start);
    const size_t space = line.find(' ');
    const std::string_view word = line.substr(0, space);
    const std::string_view rest =
        space == std::string_view::npos ? std::string_view() : line.substr(space + 1);

    if (word == "chat") {
        return PlayerAndText(ConsoleVerb::Chat, rest, "chat NAME TEXT...");
    }
    if (word == "console") {
        return PlayerAndText(ConsoleVerb::Console, rest, "console NAME TEXT...");
    }
    if (word == "edit") {
        // The file's name, then the text exactly as written, as for chat and console.
        ConsoleParse parsed = PlayerAndText(ConsoleVerb::Edit, rest, "edit FILE TEXT...");
        if (auto* command = std::get_if<ConsoleCommand>(&parsed)) {
            command->File = std::move(command->Player);
            command->Player.clear();
        }
        return parsed;
    }
    if (word == "rcon") {
        if (rest.empty()) {
            return Usage("rcon TEXT...");
        }
        ConsoleCommand command;
        command.Verb = ConsoleVerb::Rcon;
        command.Text = std::string(rest);
        return command;
    }

    for (const auto& [name, verb] : kWordVerbs) {
        if (word == name) {
            return WordsCommand(verb, word, SplitWords(rest));
        }
    }
    return ConsoleError{"unknown command \"" + std::string(word) + "\"; help lists the commands"};
}

} // namespace barterbox::server
