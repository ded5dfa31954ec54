// The process-wide exchange table; see exchange_catalogue.h.
#include "exchange_catalogue.h"

#include <cctype>

namespace barterbox {
namespace {
// Function-local, so that it exists before the module's attach runs whatever the order of
// static initialisation.
ExchangeCatalogue& Table() {
    static ExchangeCatalogue catalogue;
    return catalogue;
}
} // namespace

std::string ExchangeKey(std::string_view name) {
    std::string key(name);
    for (char& c : key) {
        // tolower on a negative char is undefined, and only A to Z may change.
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 'A' && byte <= 'Z') {
            c = static_cast<char>(std::tolower(byte));
        }
    }
    return key;
}

const ExchangeDefinition* FindExchange(std::string_view name) {
    const auto it = Table().find(ExchangeKey(name));
    return it != Table().end() ? &it->second : nullptr;
}

void PutExchange(ExchangeDefinition definition) {
    std::string key = ExchangeKey(definition.Name);
    Table().insert_or_assign(std::move(key), std::move(definition));
}

bool EraseExchange(std::string_view name) {
    return Table().erase(ExchangeKey(name)) > 0;
}

void ClearExchanges() {
    Table().clear();
}

uint64_t ExchangeCount() {
    return Table().size();
}

const ExchangeCatalogue& Catalogue() {
    return Table();
}

} // namespace barterbox
