// The records' embeds; see discord_embed.h.
#include "discord_embed.h"

#include <algorithm>

namespace barterbox {
namespace {

using nlohmann::json;
using Record = nlohmann::ordered_json;

constexpr int kGreen = 0x2ECC71;
constexpr int kAmber = 0xF1C40F;
constexpr int kRed = 0xE74C3C;
constexpr int kBlue = 0x3498DB;

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

size_t Characters(std::string_view text) {
    return static_cast<size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return !IsContinuation(c); }));
}

std::string Text(const Record& members, const char* name) {
    const auto it = members.find(name);
    if (it == members.end() || it->is_null()) {
        return {};
    }
    return it->is_string() ? it->get<std::string>() : it->dump();
}

// "PrimalItemResource_Fibers" for a class path, a blueprint or a class name alike.
std::string ShortName(std::string_view item) {
    if (item.ends_with('\'')) {
        item.remove_suffix(1);
    }
    if (const size_t slash = item.rfind('/'); slash != std::string_view::npos) {
        item.remove_prefix(slash + 1);
    }
    if (const size_t dot = item.rfind('.'); dot != std::string_view::npos) {
        item.remove_prefix(dot + 1);
    }
    if (item.ends_with("_C")) {
        item.remove_suffix(2);
    }
    return std::string(item);
}

// One line per item, "PrimalItemResource_Fibers x100"; "nothing" for none.
std::string ItemLines(const Record& members, const char* list) {
    std::string lines;
    const auto it = members.find(list);
    if (it != members.end() && it->is_array()) {
        for (const Record& item : *it) {
            const std::string name =
                item.contains("class") ? Text(item, "class") : Text(item, "item");
            if (!lines.empty()) {
                lines += '\n';
            }
            lines += ShortName(name);
            lines += " x";
            lines += Text(item, "quantity");
        }
    }
    return lines.empty() ? "nothing" : lines;
}

struct EmbedText {
    std::string Title;
    int Colour = kBlue;
    std::vector<std::pair<std::string, std::string>> Fields;
    std::vector<bool> Inline;
};

void Field(EmbedText& text, std::string name, std::string value, bool shortField = true) {
    if (!value.empty()) {
        text.Fields.emplace_back(std::move(name), std::move(value));
        text.Inline.push_back(shortField);
    }
}

std::string Player(const Record& members) {
    const std::string character = Text(members, "character");
    const std::string eosId = Text(members, "eos_id");
    return character.empty() ? eosId : character + " (" + eosId + ")";
}

std::string OutcomeWords(const Record& members) {
    const std::string outcome = Text(members, "outcome");
    std::string words = outcome == "short"     ? "short of items"
                        : outcome == "partial" ? "partly given"
                                               : outcome;
    if (const std::string rule = Text(members, "refused_by"); !rule.empty()) {
        words += " by " + rule;
        if (const std::string limit = Text(members, "limit"); !limit.empty()) {
            words += " (limit " + limit + ")";
        }
        if (const std::string wait = Text(members, "wait_seconds"); !wait.empty()) {
            words += ", " + wait + " s to wait";
        }
    }
    return words;
}

int OutcomeColour(const std::string& outcome) {
    if (outcome == "complete") {
        return kGreen;
    }
    return outcome == "cancelled" || outcome == "partial" ? kRed : kAmber;
}

void ExchangeText(const Record& members, EmbedText& text) {
    const std::string outcome = Text(members, "outcome");
    const std::string multiplier = Text(members, "multiplier");
    const std::string effective = Text(members, "effective");
    text.Title =
        "Exchange " + OutcomeWords(members) + ": " + Text(members, "exchange") + " x" + multiplier;
    text.Colour = OutcomeColour(outcome);
    Field(text, "Player", Player(members));
    Field(text, "Exchange", Text(members, "exchange"));
    std::string times = "x" + multiplier;
    if (effective != multiplier) {
        times += ", x" + effective + " allowed";
        if (const std::string lowered = Text(members, "lowered_by"); !lowered.empty()) {
            times += " by " + lowered;
        }
    }
    Field(text, "Multiplier", times);
    Field(text, "Outcome", OutcomeWords(members));
    Field(text, "Taken", ItemLines(members, "taken"), false);
    Field(text, "Given", ItemLines(members, "given"), false);
    for (const auto& [member, name] : {std::pair{"returned", "Returned"}, std::pair{"owed", "Owed"},
                                       std::pair{"kept", "Kept"}}) {
        if (members.contains(member)) {
            Field(text, name, ItemLines(members, member), false);
        }
    }
}

std::string YesNo(const Record& members, const char* name) {
    const auto it = members.find(name);
    return it != members.end() && it->is_boolean() ? (it->get<bool>() ? "yes" : "no") : "";
}

void ChangeText(const std::string& event, const Record& members, EmbedText& text) {
    const std::string exchange = Text(members, "exchange");
    Field(text, "Administrator", Player(members));
    if (event == "add" || event == "remove") {
        text.Title = (event == "add" ? "Exchange added: " : "Exchange removed: ") + exchange;
        Field(text, "Exchange", exchange);
        if (event == "add") {
            Field(text, "Give", ItemLines(members, "give"), false);
            Field(text, "Receive", ItemLines(members, "receive"), false);
        }
        Field(text, "Saved", YesNo(members, "saved"));
    } else if (event == "reset") {
        text.Title =
            "Counts reset: " + (exchange.empty() ? std::string("every exchange") : exchange);
        Field(text, "Player", Text(members, "player"));
        Field(text, "Exchange", exchange.empty() ? "every exchange" : exchange);
    } else {
        const bool worked = members.value("succeeded", false);
        text.Title = std::string(event == "reload" ? "Exchanges reloaded" : "Exchanges saved") +
                     (worked ? "" : ": failed");
        text.Colour = worked ? kBlue : kRed;
        Field(text, "Exchanges", Text(members, "exchanges"));
        Field(text, "Succeeded", YesNo(members, "succeeded"));
    }
}

// Cuts the longest field value in half until the embed fits the message limit alone.
void FitMessageLimit(EmbedText& text, size_t fixed) {
    const auto total = [&] {
        size_t sum = fixed + Characters(text.Title);
        for (const auto& [name, value] : text.Fields) {
            sum += Characters(name) + Characters(value);
        }
        return sum;
    };
    while (total() > kMessageTextLimit) {
        auto longest = std::max_element(text.Fields.begin(), text.Fields.end(),
                                        [](const auto& a, const auto& b) {
                                            return Characters(a.second) < Characters(b.second);
                                        });
        longest->second = TruncatedText(longest->second, Characters(longest->second) / 2);
    }
}

} // namespace

std::string TruncatedText(std::string_view text, size_t limit) {
    if (Characters(text) <= limit) {
        return std::string(text);
    }
    constexpr std::string_view kCut = "...";
    const size_t keep = limit > kCut.size() ? limit - kCut.size() : 0;
    size_t end = 0;
    for (size_t seen = 0; end < text.size(); ++end) {
        if (!IsContinuation(text[end]) && seen++ == keep) {
            break;
        }
    }
    return std::string(text.substr(0, end)) +
           std::string(kCut.substr(0, std::min(limit, kCut.size())));
}

DiscordEmbed EmbedOfRecord(const Record& members) {
    EmbedText text;
    const std::string event = Text(members, "event");
    if (event == "exchange") {
        ExchangeText(members, text);
    } else {
        ChangeText(event, members, text);
    }
    Field(text, "Via", Text(members, "via"));
    Field(text, "By", Text(members, "by"));
    Field(text, "Server", Text(members, "server"));
    text.Title = TruncatedText(text.Title, kEmbedTitleLimit);
    text.Fields.resize(std::min(text.Fields.size(), kEmbedFieldLimit));
    for (auto& [name, value] : text.Fields) {
        name = TruncatedText(name, kEmbedFieldNameLimit);
        value = TruncatedText(value, kEmbedFieldValueLimit);
    }
    const std::string footer = TruncatedText("Barterbox audit: " + event, kEmbedFooterLimit);
    FitMessageLimit(text, Characters(footer));
    DiscordEmbed embed;
    json object = {{"title", text.Title}, {"color", text.Colour}};
    json fields = json::array();
    for (size_t i = 0; i < text.Fields.size(); ++i) {
        fields.push_back({{"name", text.Fields[i].first},
                          {"value", text.Fields[i].second},
                          {"inline", static_cast<bool>(text.Inline[i])}});
        embed.Characters += Characters(text.Fields[i].first) + Characters(text.Fields[i].second);
    }
    object["fields"] = std::move(fields);
    object["footer"] = {{"text", footer}};
    if (const std::string time = Text(members, "time"); !time.empty()) {
        object["timestamp"] = time;
    }
    embed.Json = object.dump(-1, ' ', false, json::error_handler_t::replace);
    embed.Characters += Characters(text.Title) + Characters(footer);
    return embed;
}

std::string WebhookBody(const std::string& username,
                        const std::vector<const std::string*>& embeds) {
    std::string body = R"({"username":)";
    body += json(username).dump(-1, ' ', false, json::error_handler_t::replace);
    body += R"(,"allowed_mentions":{"parse":[]},"embeds":[)";
    for (const std::string* embed : embeds) {
        body += *embed;
        body += ',';
    }
    if (body.back() == ',') {
        body.pop_back();
    }
    return body + "]}";
}

} // namespace barterbox
