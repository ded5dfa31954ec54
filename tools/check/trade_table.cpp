// Reading the loaded exchanges into trades between item classes; see trade_table.h.
#include "trade_table.h"

#include <algorithm>
#include <map>

#include "catalogue/config_reading.h"
#include "host/class_names.h"
#include "world_check.h"

namespace barterbox::tools {

namespace {

// The exchanges the plugin keeps: usable ones, the last of each name up to letter case.
std::vector<ExchangeDefinition> LoadedExchanges(const nlohmann::json& document) {
    std::map<std::string, ExchangeDefinition> byKey;
    for (ExchangeDefinition& definition : ReadExchanges(document)) {
        if (IsUsableExchange(definition)) {
            const std::string key = ExchangeKey(definition.Name);
            byKey.insert_or_assign(key, std::move(definition));
        }
    }
    std::vector<ExchangeDefinition> loaded;
    for (auto& [key, definition] : byKey) {
        loaded.push_back(std::move(definition));
    }
    return loaded;
}

std::vector<WorldItemClass> ClassesTheTableCreates(const std::vector<ExchangeDefinition>& loaded) {
    std::vector<WorldItemClass> classes;
    for (const ExchangeDefinition& definition : loaded) {
        for (const ItemAmount& receive : definition.Receive) {
            std::optional<std::string> path = ReceivedClassPath(receive.Item);
            if (!path || std::any_of(classes.begin(), classes.end(),
                                     [&](const WorldItemClass& c) { return c.Path == *path; })) {
                continue;
            }
            std::string name(ClassNameOf(*path));
            classes.push_back({std::move(*path), std::move(name)});
        }
    }
    return classes;
}

} // namespace

std::optional<std::string> ReceivedClassPath(std::string_view text) {
    constexpr std::string_view kPrefix = "Blueprint'";
    std::string_view path = text;
    if (path.starts_with(kPrefix) && path.size() > kPrefix.size() && path.ends_with('\'')) {
        path = path.substr(kPrefix.size(), path.size() - kPrefix.size() - 1);
    }
    if (path.find('/') == std::string_view::npos) {
        return std::nullopt;
    }
    std::string classPath = GeneratedClassPath(path);
    if (!BlueprintNames(text, classPath)) {
        return std::nullopt;
    }
    return classPath;
}

TradeTable ReadTradeTable(const nlohmann::json& document, const JsonLocations& locations,
                          const WorldDescription* world) {
    const std::vector<ExchangeDefinition> loaded = LoadedExchanges(document);
    std::vector<WorldItemClass> classes =
        world ? world->ItemClasses : ClassesTheTableCreates(loaded);
    TradeTable table;
    for (const WorldItemClass& itemClass : classes) {
        table.Classes.push_back({itemClass.Path, itemClass.ClassName});
    }
    std::map<std::string, size_t> ownClasses; // Give texts that match no class, without a world
    for (const ExchangeDefinition& definition : loaded) {
        TradeExchange exchange;
        exchange.Name = definition.Name;
        exchange.Where = NamePosition(locations, {std::string("Exchanges"), definition.Name});
        for (const ItemAmount& give : definition.Give) {
            std::vector<size_t> matching = ClassesMatchingGive(classes, give.Item);
            if (matching.empty() && !world) {
                auto [own, added] = ownClasses.try_emplace(give.Item, table.Classes.size());
                if (added) {
                    table.Classes.push_back({give.Item, give.Item});
                }
                matching.push_back(own->second);
            }
            exchange.Completes = exchange.Completes && give.Quantity > 0;
            exchange.Give.push_back({give.Item, give.Quantity, std::move(matching)});
        }
        for (const ItemAmount& receive : definition.Receive) {
            std::optional<size_t> received;
            if (world) {
                received = ClassOfBlueprint(classes, receive.Item);
            } else if (std::optional<std::string> path = ReceivedClassPath(receive.Item)) {
                for (size_t i = 0; i < classes.size() && !received; ++i) {
                    if (classes[i].Path == *path) {
                        received = i;
                    }
                }
            }
            exchange.Receive.push_back({receive.Item, receive.Quantity, received});
        }
        table.Exchanges.push_back(std::move(exchange));
    }
    std::stable_sort(
        table.Exchanges.begin(), table.Exchanges.end(),
        [](const TradeExchange& a, const TradeExchange& b) { return a.Where < b.Where; });
    return table;
}

} // namespace barterbox::tools
