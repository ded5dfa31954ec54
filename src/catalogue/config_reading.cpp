// How a parsed config.json reads as settings and exchanges; see config_reading.h.
#include "config_reading.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

namespace barterbox {
namespace {

using nlohmann::json;

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kDefaultMaxMultiplier = 100;

// Cut toward zero and saturated. Every branch stays inside the 32-bit range before converting,
// so no value (NaN, infinities, integers past 64 bits read as doubles) reaches an undefined cast.
int32_t SaturatedNumber(const json& value) {
    switch (value.type()) {
    case json::value_t::number_integer: {
        const auto number = value.get<json::number_integer_t>();
        if (number < kMin) {
            return kMin;
        }
        return number > kMax ? kMax : static_cast<int32_t>(number);
    }
    case json::value_t::number_unsigned: {
        const auto number = value.get<json::number_unsigned_t>();
        return number > static_cast<json::number_unsigned_t>(kMax) ? kMax
                                                                   : static_cast<int32_t>(number);
    }
    case json::value_t::number_float: {
        const double number = value.get<json::number_float_t>();
        if (std::isnan(number)) {
            return 0;
        }
        if (number <= static_cast<double>(kMin)) {
            return kMin;
        }
        if (number >= static_cast<double>(kMax)) {
            return kMax;
        }
        return static_cast<int32_t>(number); // in range, so the cast truncates toward zero
    }
    default:
        return 0;
    }
}

// The library's type name with its article, for messages an administrator reads.
std::string TypeWithArticle(const json& value) {
    switch (value.type()) {
    case json::value_t::null:
        return "null";
    case json::value_t::object:
    case json::value_t::array:
        return std::string("an ") + value.type_name();
    default:
        return std::string("a ") + value.type_name();
    }
}

// The member's value, or null when the object lacks it. Only called on objects.
const json* Member(const json& object, const char* name) {
    const auto it = object.find(name);
    return it != object.end() ? &*it : nullptr;
}

const json* ObjectMember(const json& object, const char* name) {
    const json* member = Member(object, name);
    return member != nullptr && member->is_object() ? member : nullptr;
}

// A Give or Receive list, one item per member in ascending name order. Taking moves the names
// out of the document instead of copying them: a loaded file of 10,000 exchanges would otherwise
// allocate every name twice.
template <bool Take, typename Json>
std::vector<ItemAmount> ReadItems(Json& exchange, const char* listName) {
    std::vector<ItemAmount> items;
    const auto list = exchange.find(listName);
    if (list == exchange.end() || !list->is_object()) {
        return items;
    }
    items.reserve(list->size());
    if constexpr (Take) {
        auto& members = list->template get_ref<json::object_t&>();
        while (!members.empty()) {
            auto member = members.extract(members.begin());
            items.push_back({std::move(member.key()), QuantityFromJson(member.mapped())});
        }
    } else {
        for (auto it = list->begin(); it != list->end(); ++it) {
            items.push_back({it.key(), QuantityFromJson(it.value())});
        }
    }
    return items;
}

template <bool Take, typename Json>
ExchangeDefinition ReadExchange(std::string name, Json& exchange) {
    ExchangeDefinition definition;
    definition.Name = std::move(name);
    const auto description = exchange.find("Description");
    if (description != exchange.end() && description->is_string()) {
        if constexpr (Take) {
            definition.Description = std::move(description->template get_ref<std::string&>());
        } else {
            definition.Description = description->template get<std::string>();
        }
    }
    definition.Give = ReadItems<Take>(exchange, "Give");
    definition.Receive = ReadItems<Take>(exchange, "Receive");
    return definition;
}

} // namespace

json ParseConfigText(std::string_view text) {
    return json::parse(text, nullptr, /*allow_exceptions=*/true, /*ignore_comments=*/false);
}

int32_t QuantityFromJson(const json& value) {
    return value.is_number() ? SaturatedNumber(value) : 1;
}

int32_t MultiplierFromJson(const json& value) {
    if (value.is_boolean()) {
        return value.get<bool>() ? 1 : 0;
    }
    return value.is_number() ? SaturatedNumber(value) : kDefaultMaxMultiplier;
}

std::optional<std::string> FindTypeError(const json& root) {
    if (!root.is_object()) {
        return std::nullopt;
    }
    // In the document's own (sorted) order: "Exchanges" comes before "Settings".
    if (const json* exchanges = ObjectMember(root, "Exchanges")) {
        for (auto it = exchanges->begin(); it != exchanges->end(); ++it) {
            if (!it.value().is_object()) {
                return "exchange \"" + it.key() + "\" must be an object, not " +
                       TypeWithArticle(it.value());
            }
            const json* description = Member(it.value(), "Description");
            if (description != nullptr && !description->is_string()) {
                return "Description of exchange \"" + it.key() + "\" must be a string, not " +
                       TypeWithArticle(*description);
            }
        }
    }
    if (const json* settings = ObjectMember(root, "Settings")) {
        const json* allow = Member(*settings, "AllowMultiplier");
        if (allow != nullptr && !allow->is_boolean()) {
            return "Settings.AllowMultiplier must be a boolean, not " + TypeWithArticle(*allow);
        }
        const json* prefix = Member(*settings, "ChatPrefix");
        if (prefix != nullptr && !prefix->is_string()) {
            return "Settings.ChatPrefix must be a string, not " + TypeWithArticle(*prefix);
        }
        const json* max = Member(*settings, "MaxMultiplier");
        if (max != nullptr && !max->is_number() && !max->is_boolean()) {
            return "Settings.MaxMultiplier must be a number or a boolean, not " +
                   TypeWithArticle(*max);
        }
    }
    return std::nullopt;
}

std::optional<PluginSettings> ReadSettings(const json& root) {
    if (!root.is_object()) {
        return std::nullopt;
    }
    const json* settings = ObjectMember(root, "Settings");
    if (settings == nullptr) {
        return std::nullopt;
    }
    PluginSettings read; // a missing key takes its default, not the current value
    if (const json* prefix = Member(*settings, "ChatPrefix"); prefix && prefix->is_string()) {
        read.ChatPrefix = prefix->get<std::string>();
    }
    if (const json* allow = Member(*settings, "AllowMultiplier"); allow && allow->is_boolean()) {
        read.AllowMultiplier = allow->get<bool>();
    }
    if (const json* max = Member(*settings, "MaxMultiplier")) {
        read.MaxMultiplier = MultiplierFromJson(*max);
    }
    return read;
}

std::vector<ExchangeDefinition> ReadExchanges(const json& root) {
    std::vector<ExchangeDefinition> definitions;
    const json* exchanges = root.is_object() ? ObjectMember(root, "Exchanges") : nullptr;
    if (exchanges == nullptr) {
        return definitions;
    }
    definitions.reserve(exchanges->size());
    for (auto it = exchanges->begin(); it != exchanges->end(); ++it) {
        if (it.value().is_object()) { // anything else is a type error, reported beforehand
            definitions.push_back(ReadExchange<false>(it.key(), it.value()));
        }
    }
    return definitions;
}

std::vector<ExchangeDefinition> TakeExchanges(json& root) {
    std::vector<ExchangeDefinition> definitions;
    if (!root.is_object()) {
        return definitions;
    }
    const auto exchanges = root.find("Exchanges");
    if (exchanges == root.end() || !exchanges->is_object()) {
        return definitions;
    }
    auto& members = exchanges->get_ref<json::object_t&>();
    definitions.reserve(members.size());
    while (!members.empty()) {
        auto member = members.extract(members.begin());
        if (member.mapped().is_object()) {
            definitions.push_back(ReadExchange<true>(std::move(member.key()), member.mapped()));
        }
    }
    return definitions;
}

bool IsUsableExchange(const ExchangeDefinition& definition) {
    return !definition.Give.empty() && !definition.Receive.empty();
}

std::string_view WhyUnusable(const ExchangeDefinition& definition) {
    if (definition.Give.empty() && definition.Receive.empty()) {
        return "it has neither Give nor Receive items";
    }
    return definition.Give.empty() ? "it has no Give items" : "it has no Receive items";
}

bool HasIgnoredMembers(const json& root) {
    const auto hasOthers = [](const json& object, std::initializer_list<std::string_view> known) {
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (std::find(known.begin(), known.end(), it.key()) == known.end()) {
                return true;
            }
        }
        return false;
    };
    if (!root.is_object() || hasOthers(root, {"Exchanges", "Settings"})) {
        return root.is_object();
    }
    if (const json* settings = ObjectMember(root, "Settings");
        settings != nullptr &&
        hasOthers(*settings, {"AllowMultiplier", "ChatPrefix", "MaxMultiplier"})) {
        return true;
    }
    const json* exchanges = ObjectMember(root, "Exchanges");
    if (exchanges == nullptr) {
        return false;
    }
    for (const json& exchange : *exchanges) {
        if (!exchange.is_object() || hasOthers(exchange, {"Description", "Give", "Receive"})) {
            return true;
        }
        for (const char* list : {"Give", "Receive"}) {
            if (const json* items = Member(exchange, list);
                items != nullptr && !items->is_object()) {
                return true;
            }
        }
    }
    return false;
}

} // namespace barterbox
