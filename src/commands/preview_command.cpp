// "/exinfo NAME [MULTIPLIER]": what an exchange would take and give the player now, what they
// carry of it, the room it needs and what the rules leave, in chat, changing nothing.
#include <algorithm>
#include <string>

#include "audit/audit_clock.h"
#include "chat_words.h"
#include "command_arguments.h"
#include "command_handlers.h"
#include "exchange/exchange_preview.h"
#include "exchange_replies.h"
#include "host/engine_strings.h"
#include "item_display.h"
#include "player_chat.h"
#include "rules/rule_check.h"

namespace barterbox {
namespace {

// "100 PrimalItemResource_Metal (you have 120), 20 PrimalItemResource_Wood (you have 3)"
std::string TakesText(const ExchangePreview& preview) {
    std::string text;
    for (const PreviewedGive& give : preview.Takes) {
        text += text.empty() ? "" : ", ";
        const std::string item = PlayerItemName(give.Item);
        text += give.Have ? MessageText(MessageId::PreviewItemHeld, give.Needed, item, *give.Have)
                          : MessageText(MessageId::PreviewItem, give.Needed, item);
    }
    return text;
}

std::string GivesText(const ExchangePreview& preview) {
    std::string text;
    for (const PreviewedReceive& receive : preview.Gives) {
        text += text.empty() ? "" : ", ";
        text += MessageText(MessageId::PreviewItem, receive.Quantity, PlayerItemName(receive.Item));
    }
    return text;
}

void SendPreview(AShooterPlayerController* player, const ExchangePreview& preview, int32_t asked) {
    const std::string& name = preview.Exchange;
    if (preview.Multiplier != asked) {
        SendPlayerChat(player, MessageId::PreviewLowered, name, asked, preview.Multiplier);
    }
    SendPlayerChat(player, MessageId::PreviewTakes, name, preview.Multiplier, TakesText(preview));
    SendPlayerChat(player, MessageId::PreviewGives, name, preview.Multiplier, GivesText(preview));
    if (preview.SlotsNeeded && preview.SlotsFree) {
        SendPlayerChat(player, MessageId::PreviewSlots, *preview.SlotsNeeded, *preview.SlotsFree);
    }
    if (const std::optional<std::string> standing =
            StandingText(SubjectOf(player), preview.Exchange, AuditClock())) {
        SendPlayerChat(player, MessageId::PreviewStanding, name, *standing);
    }
    // Why a run now would be refused, in the words the run would use.
    if (preview.Refused.State || preview.Refused.Refusal) {
        ReportExchange({player, preview.Exchange, asked, AuditVia::Chat, {}}, preview.Refused);
    }
}

} // namespace

void OnPreviewChatCommand(AShooterPlayerController* player, FString* line, int, int) {
    if (player == nullptr) {
        return;
    }
    const FirstWordAndRest arguments =
        SplitFirstWordFromRest(ArgumentText(ToNarrowString(*line)).value_or(""));
    if (arguments.FirstWord.empty()) {
        SendPlayerChat(player, MessageId::PreviewUsage, PreviewChatWord());
        return;
    }
    // The multiplier is read as /ex reads it.
    const int32_t multiplier =
        arguments.Rest ? std::max(ReadLeadingInteger(*arguments.Rest).value_or(1), 1) : 1;
    const ExchangePreview preview = PreviewExchange(player, arguments.FirstWord, multiplier);
    if (preview.Exchange.empty()) {
        SendPlayerChat(player, MessageId::UnknownExchange, arguments.FirstWord);
        return;
    }
    SendPreview(player, preview, multiplier);
}

} // namespace barterbox
