// Undoing an exchange whose hand-out failed; see exchange_undo.h.
#include "exchange_undo.h"

#include <algorithm>
#include <limits>

#include "host/engine_strings.h"
#include "host/game_calls.h"
#include "host/host_calls.h"
#include "logger/plugin_logger.h"
#include "received_classes.h"

namespace barterbox {
namespace {

void CountInto(AShooterPlayerController* player, ReceivedHoldings& holdings, ClassTextMemo& memo) {
    for (ReceivedHolding& holding : holdings) {
        holding.Quantity = 0;
    }
    const EngineArray<UPrimalItem*>* items = PlayerItems(player);
    for (int32_t i = 0; items != nullptr && i < items->Num; ++i) {
        UPrimalItem* item = items->Data[i];
        UClass* itemClass = item != nullptr ? game_calls::ItemClass(item) : nullptr;
        if (itemClass == nullptr) {
            continue;
        }
        const std::string& path = ClassPathText(itemClass, memo);
        for (ReceivedHolding& holding : holdings) {
            if (IsReceivedClass(path, holding.ClassPath)) {
                holding.Class = itemClass;
                holding.Quantity += game_calls::ItemQuantity(item);
                break;
            }
        }
    }
}

// "path x3, path x5", for the log.
std::string Listed(const std::vector<AuditedItem>& classes) {
    std::string text;
    for (const AuditedItem& entry : classes) {
        text += (text.empty() ? "" : ", ") + entry.Name + " x" + std::to_string(entry.Quantity);
    }
    return text;
}

// What the removal took, one entry per class in the order first taken.
std::vector<std::pair<UClass*, int64_t>> ByClass(const std::vector<TakenItems>& taken) {
    std::vector<std::pair<UClass*, int64_t>> classes;
    for (const TakenItems& stack : taken) {
        auto known = std::find_if(classes.begin(), classes.end(),
                                  [&](const auto& entry) { return entry.first == stack.Class; });
        if (known == classes.end()) {
            classes.emplace_back(stack.Class, stack.Quantity);
        } else {
            known->second += stack.Quantity;
        }
    }
    return classes;
}

// Hands `quantity` of the class back through the game, in calls of at most the largest amount
// the game counts; how many actually arrived.
int64_t GiveBack(AShooterPlayerController* player, UClass* itemClass, const std::string& path,
                 int64_t quantity) {
    const int64_t held = CountItemsOfClass(player, itemClass);
    int64_t left = quantity;
    while (left > 0) {
        const auto part =
            static_cast<int32_t>(std::min<int64_t>(left, std::numeric_limits<int32_t>::max()));
        OwnedFString classPath{FString(path.c_str())};
        if (!game_calls::GiveSlotItem(player, classPath.get(), part)) {
            // The game may have handed out part of it before it said no.
            return CountItemsOfClass(player, itemClass) - held;
        }
        left -= part;
    }
    return quantity;
}

// One holding per class the entries may hand out, each at 0.
ReceivedHoldings HoldingsOf(const std::vector<ItemAmount>& receive) {
    ReceivedHoldings holdings;
    for (const ItemAmount& entry : receive) {
        for (std::string& path : ClassesHandedOutFor(entry.Item)) {
            if (std::none_of(holdings.begin(), holdings.end(), [&](const ReceivedHolding& known) {
                    return known.ClassPath == path;
                })) {
                holdings.push_back({std::move(path), nullptr, 0});
            }
        }
    }
    return holdings;
}

// Takes back what arrived since `before` was counted; what cannot be taken back goes into Kept.
void TakeBackWhatArrived(ExchangeAttempt& attempt, const ReceivedHoldings& before) {
    ReceivedHoldings after = HoldingsOf(attempt.Exchange.Receive);
    CountInto(attempt.Player, after, attempt.Memo);
    for (size_t i = 0; i < after.size(); ++i) {
        const int64_t arrived = after[i].Quantity - before[i].Quantity;
        if (arrived > 0) {
            const int64_t tookBack = RemoveItemsOfClass(attempt.Player, after[i].Class, arrived);
            if (tookBack < arrived) {
                attempt.Outcome.Kept.push_back({after[i].ClassPath, arrived - tookBack});
            }
        }
    }
}

// Gives back what the removal took, class by class, into Returned, and what did not arrive into
// Owed.
void GiveBackWhatWasTaken(ExchangeAttempt& attempt) {
    for (const auto& [itemClass, quantity] : ByClass(attempt.Taken)) {
        const std::string& path = ClassPathText(itemClass, attempt.Memo);
        const int64_t arrived =
            std::max<int64_t>(GiveBack(attempt.Player, itemClass, path, quantity), 0);
        attempt.Outcome.Returned.push_back({path, arrived});
        if (arrived < quantity) {
            attempt.Outcome.Owed.push_back({path, quantity - arrived});
        }
    }
}

} // namespace

ReceivedHoldings CountReceivedClasses(ExchangeAttempt& attempt) {
    ReceivedHoldings holdings = HoldingsOf(attempt.Exchange.Receive);
    // A class the memo has not met is one the player does not hold, so the walk, the one cost
    // this adds to an exchange that completes, is needed only when the player already holds some.
    const auto& met = attempt.Memo.Classes;
    const bool held = std::any_of(met.begin(), met.end(), [&](const auto& metClass) {
        return std::any_of(holdings.begin(), holdings.end(), [&](const ReceivedHolding& holding) {
            return IsReceivedClass(metClass.second.Path, holding.ClassPath);
        });
    });
    if (held) {
        CountInto(attempt.Player, holdings, attempt.Memo);
    }
    return holdings;
}

bool UndoExchange(ExchangeAttempt& attempt, const ReceivedHoldings& before) {
    attempt.UndoBegun = true;
    ExchangeOutcome& outcome = attempt.Outcome;
    if (!before.empty()) {
        TakeBackWhatArrived(attempt, before);
    }
    GiveBackWhatWasTaken(attempt);
    const std::string eosId = host_calls::PlayerEosId(attempt.Player);
    const std::string& name = attempt.Exchange.Name;
    if (outcome.Kept.empty() && outcome.Owed.empty()) {
        Log(spdlog::level::warn, "Barterbox: Cancelled '{}' for {}: gave back {}", name, eosId,
            Listed(outcome.Returned));
        return true;
    }
    for (const AuditedItem& entry : outcome.Owed) {
        Log(spdlog::level::err, "Barterbox: Undo of '{}' incomplete: {} is owed {} x{}", name,
            eosId, entry.Name, entry.Quantity);
    }
    for (const AuditedItem& entry : outcome.Kept) {
        Log(spdlog::level::err,
            "Barterbox: Undo of '{}' incomplete: {} still holds {} x{} handed out by it", name,
            eosId, entry.Name, entry.Quantity);
    }
    return false;
}

std::vector<AuditedItem> TakenByClass(const std::vector<TakenItems>& taken, ClassTextMemo& memo) {
    std::vector<AuditedItem> classes;
    for (const auto& [itemClass, quantity] : ByClass(taken)) {
        classes.push_back({ClassPathText(itemClass, memo), quantity});
    }
    return classes;
}

} // namespace barterbox
