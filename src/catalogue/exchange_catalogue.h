// The process-wide table of configured exchanges, keyed by the exchange name with the letters
// A to Z folded, while each definition keeps the name in its configured letter case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "exchange_definition.h"

namespace barterbox {

using ExchangeCatalogue = std::unordered_map<std::string, ExchangeDefinition>;

// The definition stored under the name's key, or null. Valid until the next change of the table.
const ExchangeDefinition* FindExchange(std::string_view name);
// Stores the definition, replacing whole any entry with the same key.
void PutExchange(ExchangeDefinition definition);
bool EraseExchange(std::string_view name);
void ClearExchanges();
uint64_t ExchangeCount();
// For walks over every entry, in the table's own iteration order.
const ExchangeCatalogue& Catalogue();

// What changed in the table since the last TakeCatalogueChanges, for its one reader: the saved
// document, which re-creates only the entries that changed instead of the whole table.
struct CatalogueChanges {
    // Set before the first call, after a clear, and when the list would outgrow the table.
    bool Everything = true;
    // The keys of the entries put or erased since, in order, possibly repeated.
    std::vector<std::string> Keys;
};
CatalogueChanges TakeCatalogueChanges();

} // namespace barterbox
