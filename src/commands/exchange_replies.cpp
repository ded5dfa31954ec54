// The player's texts for an exchange's outcome; see exchange_replies.h.
#include "exchange_replies.h"

#include "item_display.h"
#include "logger/plugin_logger.h"
#include "player_chat.h"
#include "rules/rule_duration.h"

namespace barterbox {
namespace {

using Lines = std::vector<std::string>;

MessageId StateMessage(CharacterState state) {
    switch (state) {
    case CharacterState::Dead:
        return MessageId::StateDead;
    case CharacterState::Unconscious:
        return MessageId::StateUnconscious;
    case CharacterState::Carried:
        return MessageId::StateCarried;
    case CharacterState::Riding:
        return MessageId::StateRiding;
    case CharacterState::Transferring:
        return MessageId::StateTransferring;
    case CharacterState::Noglin:
        break;
    }
    return MessageId::StateNoglin;
}

// Why the trade rules refused it, in the player's words.
std::string RefusalLine(const std::string& exchange, const RuleRefusal& refusal) {
    const std::string wait = refusal.Wait ? TimeLeftText(*refusal.Wait) : "";
    switch (refusal.Rule) {
    case TradeRule::Closed:
        return MessageText(MessageId::ExchangeClosed, exchange);
    case TradeRule::Group:
        return MessageText(MessageId::NotForYou, exchange);
    case TradeRule::Cooldown:
        return MessageText(MessageId::CooldownWait, exchange, wait);
    case TradeRule::Day:
        return MessageText(MessageId::DayLimit, exchange, refusal.Limit);
    case TradeRule::Week:
        return MessageText(MessageId::WeekLimit, exchange, refusal.Limit);
    case TradeRule::Total:
        return MessageText(MessageId::TotalLimit, exchange, refusal.Limit);
    case TradeRule::Stock:
        return refusal.Wait ? MessageText(MessageId::SoldOutUntil, exchange, wait)
                            : MessageText(MessageId::SoldOut, exchange);
    case TradeRule::Ledger:
        return MessageText(MessageId::LedgerPaused, exchange);
    case TradeRule::Unreadable:
        break;
    }
    return MessageText(MessageId::AllClosed);
}

Lines CancelledLines(const ExchangeOutcome& outcome) {
    if (outcome.Step == ExchangeStep::Give) {
        Lines lines{MessageText(MessageId::GiveFailed)};
        if (outcome.InventoryFull) {
            lines.push_back(MessageText(MessageId::InventoryFull));
        }
        return lines;
    }
    if (outcome.Step == ExchangeStep::Record) {
        return {MessageText(MessageId::RecordFailed)};
    }
    return {MessageText(MessageId::RemoveFailed)};
}

Lines ResultLines(const ExchangeOutcome& outcome) {
    switch (outcome.Result) {
    case ExchangeResult::Complete:
        return {MessageText(MessageId::ExchangeComplete, outcome.Exchange, outcome.Effective)};
    case ExchangeResult::Unknown:
        return {MessageText(MessageId::UnknownExchange, outcome.Exchange)};
    case ExchangeResult::Short:
        if (outcome.Shortfall) {
            return {MessageText(MessageId::NotEnoughItems, outcome.Shortfall->Needed,
                                PlayerItemName(outcome.Shortfall->Item), outcome.Shortfall->Have)};
        }
        break;
    case ExchangeResult::Partial:
        return {MessageText(MessageId::ExchangePartial)};
    case ExchangeResult::Cancelled:
        return CancelledLines(outcome);
    case ExchangeResult::Refused:
        break;
    }
    return {MessageText(MessageId::RemoveFailed)};
}

} // namespace

std::vector<std::string> OutcomeLines(const ExchangeOutcome& outcome) {
    if (outcome.State) {
        return {
            MessageText(MessageId::CannotTradeWhile, MessageText(StateMessage(*outcome.State)))};
    }
    if (outcome.Refusal) {
        return {RefusalLine(outcome.Exchange, *outcome.Refusal)};
    }
    if (outcome.Room) {
        return {MessageText(MessageId::NoRoom, outcome.Room->Needed, outcome.Room->Free)};
    }
    return ResultLines(outcome);
}

void ReportExchange(const ExchangeRequest& request, const ExchangeOutcome& outcome) {
    if (request.Player == nullptr) {
        return;
    }
    for (const std::string& line : OutcomeLines(outcome)) {
        SendChatText(request.Player, line);
    }
    if (outcome.Result == ExchangeResult::Complete) {
        Log(spdlog::level::info, "Barterbox: Player completed '{}' x{}", request.Name,
            outcome.Effective);
    }
}

ExchangeOutcome RunAndReportExchange(const ExchangeRequest& request) {
    ExchangeOutcome outcome = ExecuteExchange(request);
    ReportExchange(request, outcome);
    return outcome;
}

} // namespace barterbox
