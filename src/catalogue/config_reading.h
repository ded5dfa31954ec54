// The rules by which a parsed config.json document becomes settings and exchanges, free of any
// file, log or process-wide state, so that the plugin's loader and the config checker agree.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "catalogue/exchange_definition.h"
#include "catalogue/plugin_settings.h"

namespace barterbox {

// Parses the whole text as one strict JSON document: a leading UTF-8 byte-order mark is accepted,
// comments and trailing text are not. Throws nlohmann::json::parse_error.
nlohmann::json ParseConfigText(std::string_view text);

// A number cut toward zero and saturated to the signed 32-bit range; any non-number counts as 1.
int32_t QuantityFromJson(const nlohmann::json& value);
// A number cut toward zero and saturated; true reads as 1, false as 0. Any other type reads as
// the default 100, though FindTypeError reports it first.
int32_t MultiplierFromJson(const nlohmann::json& value);

// The first value of the wrong JSON type (ChatPrefix not a string, AllowMultiplier not a boolean,
// MaxMultiplier neither number nor boolean, an Exchanges member that is not an object, a
// Description that is not a string, null included) as a clear message naming the member;
// std::nullopt when the document has none.
std::optional<std::string> FindTypeError(const nlohmann::json& root);

// The settings of a root whose "Settings" member is an object, each missing key at its default;
// std::nullopt when there is no such object and the current settings stay. Expects a document
// that FindTypeError passed.
std::optional<PluginSettings> ReadSettings(const nlohmann::json& root);

// One definition per member of an "Exchanges" object, in ascending byte order of member name,
// including those that lack Give or Receive items (see IsUsableExchange). Empty when the root or
// "Exchanges" is not an object. Expects a document that FindTypeError passed.
std::vector<ExchangeDefinition> ReadExchanges(const nlohmann::json& root);

// ReadExchanges, moving the names and texts out of the document instead of copying them; the
// document's "Exchanges" member is left empty.
std::vector<ExchangeDefinition> TakeExchanges(nlohmann::json& root);

// Whether the loader keeps the definition: it needs at least one Give and one Receive item.
bool IsUsableExchange(const ExchangeDefinition& definition);

// Why the loader drops a definition that IsUsableExchange refuses: "it has no Give items", ...
std::string_view WhyUnusable(const ExchangeDefinition& definition);

// Whether the document holds members the loader passes over, which a save would not write back:
// a member name it does not know (a misspelt `Recieve`) at the root, in Settings or in an
// exchange, or a Give or Receive that is not an object. Expects a document that FindTypeError
// passed.
bool HasIgnoredMembers(const nlohmann::json& root);

} // namespace barterbox
