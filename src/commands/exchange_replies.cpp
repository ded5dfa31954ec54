// The player's texts for an exchange's outcome; see exchange_replies.h.
#include "exchange_replies.h"

#include "exchange/item_names.h"
#include "host/engine_strings.h"
#include "logger/plugin_logger.h"
#include "player_chat.h"
#include "rules/rule_duration.h"

namespace barterbox {
namespace {

// An exchange with limits while the cluster's ledger, which holds the counts, does not answer.
constexpr char16_t kLedgerPausedText[] = u"{} is paused: the trade ledger cannot be reached";

// Why the trade rules refused it, in the player's words.
void TellRefusal(AShooterPlayerController* player, const std::u16string& exchange,
                 const RuleRefusal& refusal) {
    const std::u16string wait = refusal.Wait ? ToWideString(TimeLeftText(*refusal.Wait)) : u"";
    switch (refusal.Rule) {
    case TradeRule::Closed:
        SendPlayerChat(player, u"{} is closed for now", exchange);
        return;
    case TradeRule::Group:
        SendPlayerChat(player, u"{} is not available to you", exchange);
        return;
    case TradeRule::Cooldown:
        SendPlayerChat(player, u"{} is ready again in {}", exchange, wait);
        return;
    case TradeRule::Day:
        SendPlayerChat(player, u"Limit reached for {}: {} per day", exchange, refusal.Limit);
        return;
    case TradeRule::Week:
        SendPlayerChat(player, u"Limit reached for {}: {} per week", exchange, refusal.Limit);
        return;
    case TradeRule::Total:
        SendPlayerChat(player, u"Limit reached for {}: {} in all", exchange, refusal.Limit);
        return;
    case TradeRule::Stock:
        if (refusal.Wait) {
            SendPlayerChat(player, u"{} is sold out; more in {}", exchange, wait);
        } else {
            SendPlayerChat(player, u"{} is sold out", exchange);
        }
        return;
    case TradeRule::Ledger:
        SendPlayerChat(player, kLedgerPausedText, exchange);
        return;
    case TradeRule::Unreadable:
        break;
    }
    SendPlayerChat(player, u"Exchanges are closed for now");
}

void TellPlayer(AShooterPlayerController* player, const ExchangeOutcome& outcome) {
    if (outcome.State) {
        SendPlayerChat(player, u"You cannot trade while {}",
                       ToWideString(WordsOf(*outcome.State).Reason));
        return;
    }
    if (outcome.Refusal) {
        TellRefusal(player, ToWideString(outcome.Exchange), *outcome.Refusal);
        return;
    }
    if (outcome.Room) {
        SendPlayerChat(player, u"Needs {} free slots, you have {}", outcome.Room->Needed,
                       outcome.Room->Free);
        return;
    }
    switch (outcome.Result) {
    case ExchangeResult::Complete:
        SendPlayerChat(player, u"Exchange complete: {} x{}", ToWideString(outcome.Exchange),
                       outcome.Effective);
        return;
    case ExchangeResult::Unknown:
        SendPlayerChat(player, u"Unknown exchange: {}", ToWideString(outcome.Exchange));
        return;
    case ExchangeResult::Short:
        if (outcome.Shortfall) {
            SendPlayerChat(player, u"Need {} {} (have {})", outcome.Shortfall->Needed,
                           ToWideString(ShortItemName(outcome.Shortfall->Item)),
                           outcome.Shortfall->Have);
            return;
        }
        break;
    case ExchangeResult::Partial:
        SendPlayerChat(player, u"Exchange partially complete - some items failed");
        return;
    case ExchangeResult::Cancelled:
        if (outcome.Step == ExchangeStep::Give) {
            SendPlayerChat(player, u"Failed to give items. Exchange cancelled.");
            if (outcome.InventoryFull) {
                SendPlayerChat(player, u"Your inventory is full");
            }
            return;
        }
        if (outcome.Step == ExchangeStep::Record) {
            SendPlayerChat(player, u"Failed to record the exchange. Exchange cancelled.");
            return;
        }
        break;
    case ExchangeResult::Refused:
        break;
    }
    SendPlayerChat(player, u"Failed to remove items. Exchange cancelled.");
}

} // namespace

void ReportExchange(const ExchangeRequest& request, const ExchangeOutcome& outcome) {
    if (request.Player == nullptr) {
        return;
    }
    TellPlayer(request.Player, outcome);
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
