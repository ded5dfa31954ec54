// The config checks. The plugin's own reading rules (config_reading.h) decide what a value reads
// as; this file only compares that with what is written and says where they part.
#include "config_check.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "catalogue/config_reading.h"
#include "catalogue/exchange_definition.h"
#include "member_suggestion.h"
#include "plugin_text.h"
#include "tools/common/json_type_name.h"

namespace barterbox::tools {

namespace {

using nlohmann::json;

constexpr const char* kRefused = "; the plugin refuses the whole file and loads no exchanges";

std::string Dump(const json& value) {
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

// A scalar as written, followed by a space, when it is short enough to quote in a message.
std::string ShownWithSpace(const json& value) {
    if (value.is_structured()) {
        return "";
    }
    std::string shown = Dump(value);
    return shown.size() <= 40 ? shown + " " : "";
}

MemberPath Child(MemberPath path, PathStep step) {
    path.push_back(std::move(step));
    return path;
}

struct ConfigChecker {
    const std::string& File;
    const JsonLocations& Locations;
    std::vector<Finding>& Findings;
    bool Refused = false;            // a finding already says the plugin refuses the file
    std::vector<std::string> Kept{}; // the names of the exchanges the plugin keeps

    void Add(Severity level, TextPosition where, const MemberPath& member, std::string message) {
        Findings.push_back(
            {level, File, where, ExchangeOfMember(member), member, std::move(message)});
    }
    void WarnAtValue(const MemberPath& member, std::string message) {
        Add(Severity::Warning, ValuePosition(Locations, member), member, std::move(message));
    }
    void WarnAtName(const MemberPath& member, std::string message) {
        Add(Severity::Warning, NamePosition(Locations, member), member, std::move(message));
    }
    void WrongType(const MemberPath& member, const json& value, const char* wanted) {
        Refused = true;
        Add(Severity::Error, ValuePosition(Locations, member), member,
            std::string("must be ") + wanted + ", not " + JsonTypeName(value) + kRefused);
    }

    void UnknownMembers(const json& object, const MemberPath& path,
                        std::initializer_list<std::string_view> known) {
        for (const auto& [name, value] : object.items()) {
            if (std::find(known.begin(), known.end(), name) != known.end()) {
                continue;
            }
            std::string hint;
            if (const std::optional<std::string_view> meant = SuggestMember(name, known)) {
                hint = " (did you mean \"" + std::string(*meant) + "\"?)";
            }
            WarnAtName(Child(path, name),
                       "unknown member" + hint + "; the plugin ignores it and a save drops it");
        }
    }

    // Says so when a number does not read as what it says: fractions are cut toward zero, and
    // values beyond the signed 32-bit range are held at its ends.
    void NumberReading(const MemberPath& member, const json& value, int32_t read,
                       const std::string& label) {
        constexpr auto kMin = std::numeric_limits<int32_t>::min();
        constexpr auto kMax = std::numeric_limits<int32_t>::max();
        bool beyond = false;
        bool fraction = false;
        if (value.is_number_unsigned()) {
            beyond = value.get<uint64_t>() > static_cast<uint64_t>(kMax);
        } else if (value.is_number_integer()) {
            const auto number = value.get<int64_t>();
            beyond = number < kMin || number > kMax;
        } else if (value.is_number_float()) {
            const double number = value.get<double>();
            beyond = number < static_cast<double>(kMin) || number > static_cast<double>(kMax);
            fraction = number != std::trunc(number);
        }
        const std::string reads = "; the plugin reads it as " + std::to_string(read);
        if (beyond) {
            WarnAtValue(member, label + Dump(value) + " is beyond the signed 32-bit range" + reads);
        } else if (fraction) {
            WarnAtValue(member, label + Dump(value) + " is not a whole number" + reads);
        }
    }

    // The value as written, and what it reads as when that differs.
    static std::string WrittenAndRead(const json& value, int32_t read) {
        const std::string written = Dump(value);
        return written == std::to_string(read)
                   ? written
                   : written + " (read as " + std::to_string(read) + ")";
    }

    void CheckSettings(const json& root) {
        auto found = root.find("Settings");
        if (found == root.end()) {
            return;
        }
        const MemberPath path{std::string("Settings")};
        if (!found->is_object()) {
            WarnAtValue(path, "is " + JsonTypeName(*found) +
                                  ", not an object; the plugin ignores it and keeps its settings");
            return;
        }
        const json& settings = *found;
        UnknownMembers(settings, path, {"AllowMultiplier", "ChatPrefix", "MaxMultiplier"});

        if (auto prefix = settings.find("ChatPrefix");
            prefix != settings.end() && !prefix->is_string()) {
            WrongType(Child(path, "ChatPrefix"), *prefix, "a string");
        }
        auto allow = settings.find("AllowMultiplier");
        const bool allowIsBoolean = allow != settings.end() && allow->is_boolean();
        if (allow != settings.end() && !allowIsBoolean) {
            WrongType(Child(path, "AllowMultiplier"), *allow, "a boolean");
        }

        const PluginSettings defaults;
        int32_t maxMultiplier = defaults.MaxMultiplier;
        bool maxReadable = true;
        if (auto max = settings.find("MaxMultiplier"); max != settings.end()) {
            const MemberPath member = Child(path, "MaxMultiplier");
            if (!max->is_number() && !max->is_boolean()) {
                WrongType(member, *max, "a number or a boolean");
                maxReadable = false;
            } else {
                maxMultiplier = MultiplierFromJson(*max);
                if (max->is_boolean()) {
                    WarnAtValue(member, Dump(*max) +
                                            " is a boolean, not a number; the plugin reads it "
                                            "as " +
                                            std::to_string(maxMultiplier));
                }
                NumberReading(member, *max, maxMultiplier, "");
                if (maxMultiplier <= 0) {
                    WarnAtValue(member, WrittenAndRead(*max, maxMultiplier) +
                                            " is 0 or less; every exchange then fails");
                }
            }
        }
        if (allowIsBoolean && !allow->get<bool>() && maxReadable && maxMultiplier != 1) {
            const bool maxGiven = settings.contains("MaxMultiplier");
            WarnAtValue(Child(path, "AllowMultiplier"),
                        "false while MaxMultiplier is " + std::to_string(maxMultiplier) +
                            (maxGiven ? "" : " (its default when absent)") +
                            "; with multipliers off every run uses 1, so MaxMultiplier should "
                            "be 1");
        }
    }

    void CheckItems(const json& exchange, const MemberPath& exchangePath, const char* listName) {
        auto found = exchange.find(listName);
        if (found == exchange.end()) {
            return;
        }
        const MemberPath listPath = Child(exchangePath, listName);
        if (!found->is_object()) {
            WarnAtValue(listPath, "is " + JsonTypeName(*found) +
                                      ", not an object; the plugin reads no items from it");
            return;
        }
        const bool give = std::string_view(listName) == "Give";
        for (const auto& [item, value] : found->items()) {
            const MemberPath member = Child(listPath, item);
            if (give && item.empty()) {
                // Every class path holds the empty text: a run takes whatever the player has.
                Add(Severity::Error, NamePosition(Locations, member), member,
                    "the empty item text matches every item; the plugin takes the quantity from "
                    "whatever the player carries");
            }
            if (item.find('\0') != std::string::npos) {
                // The game's strings end at a NUL: it sees a shorter name than the file holds.
                Add(Severity::Error, NamePosition(Locations, member), member,
                    give ? "holds a NUL character, where the game ends the name; it then matches "
                           "other items than the one written (all of them, when nothing stands "
                           "before it)"
                         : "holds a NUL character, where the game ends the name; the game hands "
                           "out nothing for it, so the exchange never completes");
            } else if (!give && item.find('/') == std::string::npos) {
                // GiveSlotItem takes a blueprint path; a bare class name gives nothing, so every
                // run is cancelled and given back.
                Add(Severity::Error, NamePosition(Locations, member), member,
                    "not a blueprint path (it holds no \"/\"); the game hands out nothing for it, "
                    "so the exchange never completes");
            }
            const int32_t read = QuantityFromJson(value);
            if (!value.is_number()) {
                // A quoted number is the likeliest slip, and it silently trades 1 for 1.
                Add(value.is_string() ? Severity::Error : Severity::Warning,
                    ValuePosition(Locations, member), member,
                    "quantity " + ShownWithSpace(value) + "is " + JsonTypeName(value) +
                        ", not a number; the plugin reads it as 1");
                continue;
            }
            NumberReading(member, value, read, "quantity ");
            if (read <= 0) {
                WarnAtValue(member, "quantity " + WrittenAndRead(value, read) +
                                        (give ? " is 0 or less; every run of this exchange fails"
                                              : " is 0 or less; every run of this exchange is "
                                                "refused before anything is taken"));
            }
        }
    }

    // Exchanges that no chat or RCON command can name: both take the name up to the first
    // space, and both turn every character outside ASCII into "?" before the lookup.
    void CheckReachable(const std::string& name) {
        const MemberPath member{std::string("Exchanges"), name};
        const char* unreachable = "; no chat or RCON command can reach this exchange";
        if (name.empty()) {
            WarnAtName(member, std::string("the name is empty") + unreachable);
        }
        if (name.find(' ') != std::string::npos) {
            WarnAtName(member, std::string("the name holds a space") + unreachable);
        }
        if (std::any_of(name.begin(), name.end(),
                        [](char c) { return static_cast<unsigned char>(c) > 127; })) {
            WarnAtName(member,
                       std::string("the name holds characters outside ASCII") + unreachable);
        }
    }

    void CheckExchanges(const json& root) {
        auto found = root.find("Exchanges");
        if (found == root.end()) {
            return;
        }
        const MemberPath path{std::string("Exchanges")};
        if (!found->is_object()) {
            WarnAtValue(path, "is " + JsonTypeName(*found) +
                                  ", not an object; the plugin loads no exchanges");
            return;
        }
        for (const auto& [name, exchange] : found->items()) {
            const MemberPath exchangePath = Child(path, name);
            if (!exchange.is_object()) {
                WrongType(exchangePath, exchange, "an object");
                continue;
            }
            UnknownMembers(exchange, exchangePath, {"Description", "Give", "Receive"});
            if (auto description = exchange.find("Description");
                description != exchange.end() && !description->is_string()) {
                WrongType(Child(exchangePath, "Description"), *description, "a string");
            }
            CheckItems(exchange, exchangePath, "Give");
            CheckItems(exchange, exchangePath, "Receive");
        }

        // What the loader keeps, in its own order: later names replace earlier ones of equal key.
        std::map<std::string, std::vector<std::string>> namesByKey;
        for (const ExchangeDefinition& definition : ReadExchanges(root)) {
            const MemberPath member = Child(path, definition.Name);
            if (!IsUsableExchange(definition)) {
                const char* missing = definition.Give.empty() && definition.Receive.empty()
                                          ? "has neither Give nor Receive items"
                                      : definition.Give.empty() ? "has no Give items"
                                                                : "has no Receive items";
                WarnAtName(member, std::string(missing) + "; the plugin drops this exchange");
                continue;
            }
            namesByKey[ExchangeKey(definition.Name)].push_back(definition.Name);
            CheckReachable(definition.Name);
        }
        for (const auto& [key, names] : namesByKey) {
            Kept.push_back(names.back());
            // Quoted as JSON, so that a name holding control characters cannot reach a terminal.
            const std::string kept = Dump(json(names.back()));
            for (size_t i = 0; i + 1 < names.size(); ++i) {
                WarnAtName(Child(path, names[i]),
                           "shadowed by " + kept +
                               ", a name equal up to the case of A to Z that comes later in byte "
                               "order; the plugin keeps only " +
                               kept);
            }
        }
    }
};

// The items of the exchanges the plugin keeps, each text once, for the checks of the names
// rules.json gives them.
std::vector<std::string> ItemTextsOf(const json& root, const std::vector<std::string>& kept) {
    std::vector<std::string> texts;
    const auto add = [&texts](const std::vector<ItemAmount>& items) {
        for (const ItemAmount& item : items) {
            if (std::find(texts.begin(), texts.end(), item.Item) == texts.end()) {
                texts.push_back(item.Item);
            }
        }
    };
    for (const ExchangeDefinition& definition : ReadExchanges(root)) {
        if (std::find(kept.begin(), kept.end(), definition.Name) != kept.end()) {
            add(definition.Give);
            add(definition.Receive);
        }
    }
    return texts;
}

} // namespace

ConfigCheck CheckConfigText(const std::string& fileName, std::string_view text) {
    ConfigCheck check;
    PluginText read = ReadPluginText(fileName, text, check.Findings);
    if (!read.Parsed) {
        return check;
    }
    check.Parsed = true;
    check.Document = std::move(read.Document);
    check.Locations = std::move(read.Locations);
    ConfigChecker checker{fileName, check.Locations, check.Findings};
    const json& root = check.Document;
    if (!root.is_object()) {
        checker.WarnAtValue({}, "the root is " + JsonTypeName(root) +
                                    ", not an object; the plugin reads no settings and no "
                                    "exchanges");
    } else {
        checker.UnknownMembers(root, {}, {"Exchanges", "Settings"});
        checker.CheckSettings(root);
        checker.CheckExchanges(root);
    }

    // The plugin's own verdict has the last word: should it refuse the file for a reason the
    // walk above did not name, say so rather than pass the file.
    if (auto typeError = FindTypeError(root); typeError && !checker.Refused) {
        checker.Add(Severity::Error, {}, {}, *typeError + kRefused);
        checker.Refused = true;
    }
    check.Refused = checker.Refused;
    if (!check.Refused) {
        check.ExchangeNames = std::move(checker.Kept);
        check.ItemTexts = ItemTextsOf(root, check.ExchangeNames);
    }
    check.Exchanges = check.ExchangeNames.size();
    std::stable_sort(check.Findings.begin(), check.Findings.end(),
                     [](const Finding& a, const Finding& b) { return a.Where < b.Where; });
    return check;
}

} // namespace barterbox::tools
