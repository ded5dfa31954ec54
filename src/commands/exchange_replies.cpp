// The player's texts for an exchange's outcome; see exchange_replies.h.
#include "exchange_replies.h"

#include "exchange/item_names.h"
#include "host/engine_strings.h"
#include "logger/plugin_logger.h"
#include "player_chat.h"

namespace barterbox {
namespace {

void TellPlayer(AShooterPlayerController* player, const ExchangeOutcome& outcome) {
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
