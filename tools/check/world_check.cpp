// The world checks: Give identifiers matched as the plugin matches inventory items, Receive
// blueprints as the world's GiveSlotItem accepts them.
#include "world_check.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>

#include "host/class_names.h"
#include "host/item_text_match.h"
#include "trade_table.h"

namespace barterbox::tools {

namespace {

using nlohmann::json;

// Enough names to recognise the mistake without burying the line.
constexpr size_t kNamesShown = 8;
constexpr size_t kHandedOutShown = 3;

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

// Whether the class's blueprint name (its class name without "_C") ends with the text.
bool EndsWithName(const WorldItemClass& itemClass, std::string_view identifier) {
    std::string_view name = itemClass.ClassName;
    if (name.ends_with("_C")) {
        name.remove_suffix(2);
    }
    return name.ends_with(identifier);
}

// Of the classes a Give text matches, the ones its writer most likely means: those it names
// outright (ClassesNamedBy), or else those whose blueprint name ends with it ("Metal" means
// ..._Metal, not ..._MetalIngot); all of them when neither tells.
std::vector<size_t> MeantClasses(const std::vector<WorldItemClass>& classes,
                                 std::string_view identifier, const std::vector<size_t>& matching) {
    std::vector<size_t> meant;
    const std::vector<size_t> named = ClassesNamedBy(classes, identifier);
    std::copy_if(matching.begin(), matching.end(), std::back_inserter(meant),
                 [&](size_t c) { return std::find(named.begin(), named.end(), c) != named.end(); });
    if (meant.empty()) {
        std::copy_if(matching.begin(), matching.end(), std::back_inserter(meant),
                     [&](size_t c) { return EndsWithName(classes[c], identifier); });
    }
    return meant.empty() ? matching : meant;
}

// The first exchange (in byte order of name) that hands out each class.
std::map<size_t, std::string> HandedOutClasses(const std::vector<WorldItemClass>& classes,
                                               const json& exchanges) {
    std::map<size_t, std::string> handedOut;
    for (const auto& [name, exchange] : exchanges.items()) {
        auto receive = exchange.is_object() ? exchange.find("Receive") : exchange.end();
        if (receive == exchange.end() || !receive->is_object()) {
            continue;
        }
        for (const auto& [item, quantity] : receive->items()) {
            if (std::optional<size_t> c = ClassOfBlueprint(classes, item)) {
                handedOut.try_emplace(*c, name);
            }
        }
    }
    return handedOut;
}

// A Give text that also takes a class the table hands out, when that is not the class meant: the
// table's own output then pays for it, which is how a loop is built by accident.
std::optional<std::string> PaidWithOutput(const std::vector<WorldItemClass>& classes,
                                          const std::vector<size_t>& matching,
                                          const std::vector<size_t>& meant,
                                          const std::map<size_t, std::string>& handedOut) {
    std::vector<std::string> unmeant;
    for (size_t c : matching) {
        auto out = handedOut.find(c);
        if (out != handedOut.end() && std::find(meant.begin(), meant.end(), c) == meant.end()) {
            unmeant.push_back(classes[c].ClassName + " (handed out by " + out->second + ")");
        }
    }
    if (unmeant.empty()) {
        return std::nullopt;
    }
    std::string message = "also matches ";
    for (size_t i = 0; i < unmeant.size() && i < kHandedOutShown; ++i) {
        message += (i == 0 ? "" : ", ") + unmeant[i];
    }
    if (unmeant.size() > kHandedOutShown) {
        message += ", and " + std::to_string(unmeant.size() - kHandedOutShown) + " more";
    }
    message += ", most likely not meant; players can pay it with what the table hands out";
    if (meant.size() == 1) {
        message += "; write \"" + classes[meant.front()].Path + "\" to take " +
                   classes[meant.front()].ClassName + " alone";
    }
    return message;
}

// A class path .../Pkg.Obj_C whose object is not the class its package generates (Pkg_C): the
// game hands out a class named after the object, which is most likely not the item meant.
std::optional<std::string> ObjectNotOfItsPackage(std::string_view text) {
    constexpr std::string_view kPrefix = "Blueprint'";
    if (text.starts_with(kPrefix) && text.size() > kPrefix.size() && text.ends_with('\'')) {
        text = text.substr(kPrefix.size(), text.size() - kPrefix.size() - 1);
    }
    const size_t slash = text.rfind('/');
    const size_t dot = text.rfind('.');
    if (slash == std::string_view::npos || dot == std::string_view::npos || dot < slash) {
        return std::nullopt;
    }
    const std::string_view package = text.substr(slash + 1, dot - slash - 1);
    const std::string_view object = text.substr(dot + 1);
    if (!object.ends_with("_C") || IsGeneratedClassOf(object, package)) {
        return std::nullopt;
    }
    std::string message = "a class path whose object ";
    message += object;
    message += " is not named after its package ";
    message += package;
    message += "; the game hands out the class ";
    message += object;
    message += ", not ";
    message += package;
    message += "_C";
    return message;
}

// The classes that an exchange's own Receive items hand out.
std::vector<WorldItemClass> ProductsOf(const json& receive) {
    std::vector<WorldItemClass> products;
    for (const auto& [item, quantity] : receive.items()) {
        std::optional<std::string> path = ReceivedClassPath(item);
        if (path && !ClassOfBlueprint(products, item)) {
            std::string name(ClassNameOf(*path));
            products.push_back({std::move(*path), std::move(name)});
        }
    }
    return products;
}

} // namespace

std::vector<size_t> ClassesMatchingGive(const std::vector<WorldItemClass>& classes,
                                        std::string_view identifier) {
    std::vector<size_t> matching;
    for (size_t i = 0; i < classes.size(); ++i) {
        // The class name is the tail of the path here, but the plugin asks the game for both.
        if (ClassTextsMatch(classes[i].Path, classes[i].ClassName, identifier)) {
            matching.push_back(i);
        }
    }
    return matching;
}

namespace {

// What is wrong with a Receive item in this world, if anything: no class of it, a class path
// whose object is not its package's, or more stacks at multiplier 1 than an inventory has slots.
std::optional<std::string> ReceiveProblem(const WorldDescription& world, const std::string& item,
                                          const json& quantity) {
    const std::optional<size_t> found = ClassOfBlueprint(world.ItemClasses, item);
    if (!found) {
        return "no item class of the world has this blueprint; the game would refuse it, so "
               "every run would be cancelled";
    }
    if (auto odd = ObjectNotOfItsPackage(item)) {
        return odd;
    }
    const int64_t stack = std::max<int64_t>(world.ItemClasses[*found].MaxStack, 1);
    if (quantity.is_number_integer() && quantity.get<int64_t>() > 0) {
        const int64_t stacks = (quantity.get<int64_t>() + stack - 1) / stack;
        if (stacks > world.InventorySlots) {
            std::string message = "needs ";
            message += std::to_string(stacks);
            message += " stacks of ";
            message += std::to_string(stack);
            message += " even once, more than the world's InventorySlots (";
            message += std::to_string(world.InventorySlots);
            message += "); it can never fit, so every run would be refused or cancelled";
            return message;
        }
    }
    return std::nullopt;
}

} // namespace

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
    const std::map<size_t, std::string> handedOut = HandedOutClasses(classes, *exchanges);
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
                    const std::vector<size_t> meant = MeantClasses(classes, item, matching);
                    if (auto paid = PaidWithOutput(classes, matching, meant, handedOut)) {
                        report("Give", item, std::move(*paid));
                    }
                }
            }
        }
        if (auto receive = exchange.find("Receive");
            receive != exchange.end() && receive->is_object()) {
            for (const auto& [item, quantity] : receive->items()) {
                if (auto problem = ReceiveProblem(world, item, quantity)) {
                    report("Receive", item, std::move(*problem));
                }
            }
        }
    }
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.Where < b.Where; });
    return findings;
}

std::vector<Finding> CheckOwnProducts(const std::string& fileName, const json& document,
                                      const JsonLocations& locations) {
    std::vector<Finding> findings;
    const auto exchanges = document.is_object() ? document.find("Exchanges") : document.end();
    if (exchanges == document.end() || !exchanges->is_object()) {
        return findings;
    }
    for (const auto& [name, exchange] : exchanges->items()) {
        const auto give = exchange.is_object() ? exchange.find("Give") : exchange.end();
        const auto receive = exchange.is_object() ? exchange.find("Receive") : exchange.end();
        if (give == exchange.end() || receive == exchange.end() || !give->is_object() ||
            !receive->is_object()) {
            continue;
        }
        const std::vector<WorldItemClass> products = ProductsOf(*receive);
        std::map<size_t, std::string> handedOut;
        for (size_t c = 0; c < products.size(); ++c) {
            handedOut.emplace(c, name);
        }
        for (const auto& [item, quantity] : give->items()) {
            const std::vector<size_t> matching = ClassesMatchingGive(products, item);
            // Only the classes it names or ends with are meant: whatever else it means lies
            // outside the table, which hands that out nowhere.
            std::vector<size_t> meant = ClassesNamedBy(products, item);
            if (meant.empty()) {
                std::copy_if(matching.begin(), matching.end(), std::back_inserter(meant),
                             [&](size_t c) { return EndsWithName(products[c], item); });
            }
            if (auto paid = PaidWithOutput(products, matching, meant, handedOut)) {
                const MemberPath member{std::string("Exchanges"), name, std::string("Give"), item};
                findings.push_back({Severity::Warning, fileName, NamePosition(locations, member),
                                    name, member, std::move(*paid)});
            }
        }
    }
    return findings;
}

} // namespace barterbox::tools
