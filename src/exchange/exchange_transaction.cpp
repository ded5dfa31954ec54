// The exchange transaction; see exchange_transaction.h.
#include "exchange_transaction.h"

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "audit/audit_clock.h"
#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"
#include "exchange_attempt.h"
#include "exchange_checks.h"
#include "exchange_undo.h"
#include "host/engine_strings.h"
#include "host/game_calls.h"
#include "host/host_calls.h"
#include "inventory.h"
#include "inventory_room.h"
#include "logger/plugin_logger.h"
#include "removal_plan.h"
#include "rules/rule_check.h"

namespace barterbox {
namespace {

bool FitsInt32(int64_t value) {
    return value >= std::numeric_limits<int32_t>::min() &&
           value <= std::numeric_limits<int32_t>::max();
}

void End(ExchangeAttempt& attempt, ExchangeStep step, ExchangeResult result) {
    attempt.Outcome.Step = step;
    attempt.Outcome.Result = result;
}

// The first Give entry the player does not carry in its needed quantity, if any.
std::optional<ExchangeShortfall> FirstShortfall(ExchangeAttempt& attempt) {
    for (const ItemAmount& give : attempt.Exchange.Give) {
        const int64_t needed = Scaled(give.Quantity, attempt.Multiplier);
        const int32_t have = CountItems(attempt.Player, give.Item, &attempt.Memo);
        if (have < needed) {
            return ExchangeShortfall{give.Item, needed, have};
        }
    }
    return std::nullopt;
}

// Whether every Receive entry can be offered to the game at all: a scaled quantity below 1 or
// beyond 32 bits never can, and it is known before anything is taken. Each such entry is logged.
bool EverythingCanBeGiven(const ExchangeAttempt& attempt) {
    bool allGivable = true;
    for (const ItemAmount& receive : attempt.Exchange.Receive) {
        const int64_t quantity = Scaled(receive.Quantity, attempt.Multiplier);
        if (quantity < 1 || !FitsInt32(quantity)) {
            allGivable = false;
            Log(spdlog::level::err, "Barterbox: Failed to give {} x{}", receive.Item, quantity);
        }
    }
    return allGivable;
}

} // namespace

int32_t EffectiveMultiplier(int32_t requested) {
    const PluginSettings& settings = Settings();
    int32_t multiplier = requested;
    if (!settings.AllowMultiplier && multiplier > 1) {
        multiplier = 1;
    }
    if (multiplier > settings.MaxMultiplier) {
        multiplier = settings.MaxMultiplier;
    }
    return multiplier;
}

// No trading while the character is dead, unconscious, carried, riding, being transferred or
// controlled by a Noglin, as far as the game tells: a guard whose name the host lacks is not
// applied (the load named it), and the later checks still stand.
bool PassesStateGuards(ExchangeAttempt& attempt) {
    const CharacterStates refused = StatesRefusedFor(attempt.Exchange.Name);
    for (const CharacterState state : kCharacterStates) {
        if (refused.Has(state) &&
            game_calls::CharacterIsIn(attempt.Player, state).value_or(false)) {
            attempt.Outcome.State = state;
            End(attempt, ExchangeStep::State, ExchangeResult::Refused);
            return false;
        }
    }
    return true;
}

// The trade rules, after the lookup and before the inventory is counted: false, with the outcome
// saying which rule, when they refuse; a multiplier beyond what they leave is lowered to it.
bool PassesRules(ExchangeAttempt& attempt, const RuleSubject& subject, RuleUse use) {
    const RuleVerdict verdict = CheckRules(subject, attempt.Exchange.Name, attempt.Multiplier,
                                           AuditClock(), use == RuleUse::Run);
    attempt.Hold = verdict.Hold;
    attempt.Outcome.LedgerAttempt = verdict.Hold.Attempt;
    if (verdict.Refusal) {
        attempt.Outcome.Refusal = verdict.Refusal;
        End(attempt, ExchangeStep::Rules, ExchangeResult::Refused);
        return false;
    }
    if (verdict.LoweredBy) {
        attempt.Multiplier = verdict.Runs;
        attempt.Outcome.Effective = verdict.Runs;
        attempt.Outcome.LoweredBy = verdict.LoweredBy;
    }
    return true;
}

namespace {

// Every check made before anything is taken; false, with the outcome saying why, when the
// exchange stops there.
bool PassesChecks(ExchangeAttempt& attempt) {
    // Without the game's counting functions every player would be told they carry nothing.
    if (!game_calls::ItemCountingResolves(attempt.Player)) {
        End(attempt, ExchangeStep::Count, ExchangeResult::Refused);
        return false;
    }
    if (std::optional<ExchangeShortfall> shortfall = FirstShortfall(attempt)) {
        attempt.Outcome.Shortfall = std::move(shortfall);
        End(attempt, ExchangeStep::Check, ExchangeResult::Short);
        return false;
    }
    // An exchange that could only take the player's items and give nothing back, in full or in
    // part, for a reason known now.
    if (!EverythingCanBeGiven(attempt) || !game_calls::ItemTransferResolves()) {
        End(attempt, ExchangeStep::Check, ExchangeResult::Refused);
        return false;
    }
    // A hand-out that plainly cannot fit, refused before the items move.
    if (const std::optional<InventoryRoom> room = RoomForExchange(attempt);
        room && room->Needed > room->Free) {
        attempt.Outcome.Room = RoomShortage{room->Needed, room->Free};
        End(attempt, ExchangeStep::Check, ExchangeResult::Refused);
        return false;
    }
    return true;
}

// Takes every Give entry; what it took, stack by stack, goes into the attempt, so that it can be
// given back should the exchange not complete.
bool TakeEverything(ExchangeAttempt& attempt) {
    // Entries may match the same items, and an amount of 0 or less cannot be taken: a dry run
    // proves that every removal will succeed, so that nothing is taken unless everything can be.
    std::vector<PlannedRemoval> plan;
    for (const ItemAmount& give : attempt.Exchange.Give) {
        plan.push_back({give.Item, Scaled(give.Quantity, attempt.Multiplier)});
    }
    if (!CanRemoveAll(attempt.Player, plan, &attempt.Memo)) {
        return false;
    }
    for (const PlannedRemoval& removal : plan) {
        if (!RemoveItems(attempt.Player, removal.Identifier, static_cast<int32_t>(removal.Amount),
                         &attempt.Memo, &attempt.Taken)) {
            return false;
        }
    }
    return true;
}

// Hands out every Receive entry, each known to be givable; one that the game refuses, in whole or
// in part (a full inventory), is logged and does not stop the others. Those it accepted go into
// the outcome.
bool GiveEverything(ExchangeAttempt& attempt) {
    bool allGiven = true;
    for (const ItemAmount& receive : attempt.Exchange.Receive) {
        const int64_t quantity = Scaled(receive.Quantity, attempt.Multiplier);
        OwnedFString blueprint{FString(receive.Item.c_str())};
        if (game_calls::GiveSlotItem(attempt.Player, blueprint.get(),
                                     static_cast<int32_t>(quantity))) {
            attempt.Outcome.Given.push_back({receive.Item, quantity});
            continue;
        }
        allGiven = false;
        Log(spdlog::level::err, "Barterbox: Failed to give {} x{}", receive.Item, quantity);
    }
    return allGiven;
}

// All or nothing: whatever fails once items move, the player gets back what was taken and gives
// back what arrived. Only when that cannot be done either does the player keep a part.
void Trade(ExchangeAttempt& attempt) {
    attempt.Outcome.Step = ExchangeStep::Take;
    if (!TakeEverything(attempt)) {
        attempt.Outcome.Taken = TakenByClass(attempt.Taken, attempt.Memo);
        // The dry run proved the removals, so this is a game function that went away midway.
        const ExchangeResult result = attempt.Taken.empty()       ? ExchangeResult::Refused
                                      : UndoExchange(attempt, {}) ? ExchangeResult::Cancelled
                                                                  : ExchangeResult::Partial;
        End(attempt, ExchangeStep::Take, result);
        return;
    }
    attempt.Outcome.Taken = TakenByClass(attempt.Taken, attempt.Memo);
    attempt.Before = CountReceivedClasses(attempt);
    attempt.Outcome.Step = ExchangeStep::Give;
    if (!GiveEverything(attempt)) {
        attempt.Outcome.InventoryFull =
            game_calls::IsInventoryFull(PlayerInventory(attempt.Player)).value_or(false);
        End(attempt, ExchangeStep::Give,
            UndoExchange(attempt, attempt.Before) ? ExchangeResult::Cancelled
                                                  : ExchangeResult::Partial);
        return;
    }
    End(attempt, ExchangeStep::Finish, ExchangeResult::Complete);
}

// A fault midway (no memory, a library's error) must not cost the player what was already taken:
// it goes back, and what arrived is taken back, as far as that can still be done. The outcome
// then says how it ended, for the audit.
void UndoAfterFault(ExchangeAttempt& attempt) noexcept {
    if (attempt.Taken.empty()) {
        attempt.Outcome.Result = ExchangeResult::Refused;
        return;
    }
    attempt.Outcome.Result = ExchangeResult::Partial;
    if (attempt.UndoBegun) {
        return; // the fault was in the undo itself: what it did not do stays owed
    }
    try {
        if (UndoExchange(attempt, attempt.Before)) {
            attempt.Outcome.Result = ExchangeResult::Cancelled;
        }
    } catch (...) {
        // The undo failed as well; the record says partial, and the fault goes on.
    }
}

// Whether the attempt's record is on file.
bool Record(const ExchangeRequest& request, const ExchangeOutcome& outcome) {
    return AuditExchange(
        {request.Via, host_calls::PlayerEosId(request.Player), std::string(request.By)}, outcome);
}

// A trade whose record cannot be written is undone like any step that fails: the trade rules
// count runs from the records, and no reply may announce a trade that is not on file. The
// cancellation is then recorded, if it can be.
void UndoUnrecorded(const ExchangeRequest& request, ExchangeAttempt& attempt) {
    End(attempt, ExchangeStep::Record,
        UndoExchange(attempt, attempt.Before) ? ExchangeResult::Cancelled
                                              : ExchangeResult::Partial);
    Record(request, attempt.Outcome);
}

// Runs the attempt to its end, all or nothing.
void Attempt(const ExchangeRequest& request, ExchangeAttempt& attempt) {
    attempt.Player = request.Player;
    attempt.Multiplier = EffectiveMultiplier(request.Multiplier);
    attempt.Outcome.Exchange = std::string(request.Name);
    attempt.Outcome.Multiplier = request.Multiplier;
    attempt.Outcome.Effective = attempt.Multiplier;
    const ExchangeDefinition* found = FindExchange(request.Name);
    if (found == nullptr) {
        End(attempt, ExchangeStep::Find, ExchangeResult::Unknown);
        return;
    }
    attempt.Exchange = *found;
    attempt.Outcome.Exchange = attempt.Exchange.Name;
    const RuleSubject subject = SubjectOf(request.Player);
    if (!PassesStateGuards(attempt) || !PassesRules(attempt, subject, RuleUse::Run)) {
        return;
    }
    if (PassesChecks(attempt)) {
        Trade(attempt);
    }
}

} // namespace

ExchangeOutcome ExecuteExchange(const ExchangeRequest& request) {
    if (request.Player == nullptr) {
        ExchangeOutcome refused;
        refused.Exchange = std::string(request.Name);
        refused.Result = ExchangeResult::Refused;
        return refused;
    }
    ExchangeAttempt attempt;
    try {
        Attempt(request, attempt);
        if (!Record(request, attempt.Outcome) &&
            attempt.Outcome.Result == ExchangeResult::Complete) {
            UndoUnrecorded(request, attempt);
        }
    } catch (...) {
        // On its way to the entry guard, which logs it and answers the caller.
        UndoAfterFault(attempt);
        Record(request, attempt.Outcome);
        ReleaseHeldRuns(attempt.Hold);
        throw;
    }
    // Counted only once on file, as the ledger is rebuilt from the records at the next load.
    if (attempt.Outcome.Result == ExchangeResult::Complete) {
        CountCompletedRuns(SubjectOf(request.Player), attempt.Exchange.Name, attempt.Multiplier,
                           AuditClock(), attempt.Hold);
    } else {
        ReleaseHeldRuns(attempt.Hold);
    }
    return std::move(attempt.Outcome);
}

} // namespace barterbox
