// The process-wide exchange table; see exchange_catalogue.h.
#include "exchange_catalogue.h"

#include <utility>

#include "catalogue_state.h"

namespace barterbox {
namespace {
ExchangeCatalogue& Table() {
    return TheCatalogueState().Exchanges;
}

CatalogueChanges& Changes() {
    return TheCatalogueState().Changes;
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
