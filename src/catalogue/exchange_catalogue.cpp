// The process-wide exchange table; see exchange_catalogue.h.
#include "exchange_catalogue.h"

#include <cctype>
#include <utility>

namespace barterbox {
namespace {
// Function-local, so that it exists before the module's attach runs whatever the order of
// static initialisation.
ExchangeCatalogue& Table() {
    static ExchangeCatalogue catalogue;
    return catalogue;
}

CatalogueChanges& Changes() {
    static CatalogueChanges changes;
    return changes;
}

void NoteChange(const std::string& key) {
    CatalogueChanges& changes = Changes();
    if (changes.Everything) {
        return;
    }
    // Past the table's size, re-creating everything costs less than going through the list; the
    // bound also keeps the list small when nobody reads it.
    constexpr std::size_t kSlack = 64;
    if (changes.Keys.size() >= Table().size() + kSlack) {
        changes = CatalogueChanges{};
        return;
    }
    changes.Keys.push_back(key);
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
    NoteChange(key);
    Table().insert_or_assign(std::move(key), std::move(definition));
}

bool EraseExchange(std::string_view name) {
    const std::string key = ExchangeKey(name);
    if (Table().erase(key) == 0) {
        return false;
    }
    NoteChange(key);
    return true;
}

void ClearExchanges() {
    Table().clear();
    Changes() = CatalogueChanges{};
}

uint64_t ExchangeCount() {
    return Table().size();
}

const ExchangeCatalogue& Catalogue() {
    return Table();
}

CatalogueChanges TakeCatalogueChanges() {
    return std::exchange(Changes(), CatalogueChanges{false, {}});
}

} // namespace barterbox
