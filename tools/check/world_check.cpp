// The world checks: Give identifiers matched as the plugin matches inventory items, Receive
// blueprints as the world's GiveSlotItem accepts them.
#include "world_check.h"

namespace barterbox::tools {

namespace {

using nlohmann::json;

// Enough names to recognise the mistake without burying the line.
constexpr size_t kNamesShown = 8;

std::string ClassList(const std::vector<WorldItemClass>& classes,
                      const std::vector<size_t>& indexes) {
    std::string list;
    for (size_t i = 0; i < indexes.size() && i < kNamesShown; ++i) {
        list += (i == 0 ? "" : ", ") + classes[indexes[i]].ClassName;
    }
    if (indexes.size() > kNamesShown) {
        list += ", and " + std::to_string(indexes.size() - kNamesShown) + " more";
    }
    return list;
}

} // namespace

std::vector<size_t> ClassesMatchingGive(const std::vector<WorldItemClass>& classes,
                                        std::string_view identifier) {
    std::vector<size_t> matching;
    for (size_t i = 0; i < classes.size(); ++i) {
        // The class name is the tail of the path here, but the plugin asks the game for both.
        if (classes[i].Path.find(identifier) != std::string::npos ||
            classes[i].ClassName.find(identifier) != std::string::npos) {
            matching.push_back(i);
        }
    }
    return matching;
}

std::vector<Finding> CheckAgainstWorld(const std::string& fileName, const json& document,
                                       const JsonLocations& locations,
                                       const WorldDescription& world) {
    std::vector<Finding> findings;
    if (!document.is_object()) {
        return findings;
    }
    auto exchanges = document.find("Exchanges");
    if (exchanges == document.end() || !exchanges->is_object()) {
        return findings;
    }
    const std::vector<WorldItemClass>& classes = world.ItemClasses;
    for (const auto& [name, exchange] : exchanges->items()) {
        if (!exchange.is_object()) {
            continue;
        }
        auto report = [&](const char* list, const std::string& item, std::string message) {
            const MemberPath member{std::string("Exchanges"), name, std::string(list), item};
            findings.push_back({Severity::Warning, fileName, NamePosition(locations, member), name,
                                member, std::move(message)});
        };
        if (auto give = exchange.find("Give"); give != exchange.end() && give->is_object()) {
            for (const auto& [item, quantity] : give->items()) {
                const std::vector<size_t> matching = ClassesMatchingGive(classes, item);
                if (matching.empty()) {
                    report("Give", item,
                           "matches no item class of the world; no player can ever pay it");
                } else if (matching.size() > 1) {
                    report("Give", item,
                           "matches " + std::to_string(matching.size()) + " item classes (" +
                               ClassList(classes, matching) +
                               "); the plugin counts and takes items of all of them");
                }
            }
        }
        if (auto receive = exchange.find("Receive");
            receive != exchange.end() && receive->is_object()) {
            for (const auto& [item, quantity] : receive->items()) {
                if (!ClassOfBlueprint(classes, item)) {
                    report("Receive", item,
                           "no item class of the world has this blueprint; the game would "
                           "refuse it after the Give items are taken");
                }
            }
        }
    }
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.Where < b.Where; });
    return findings;
}

} // namespace barterbox::tools
