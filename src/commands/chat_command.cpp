// "/exchange" and "/ex": without arguments, the listing; otherwise runs the named exchange with
// an optional multiplier.
#include <algorithm>
#include <string>

#include "catalogue/exchange_catalogue.h"
#include "chat_words.h"
#include "command_arguments.h"
#include "command_handlers.h"
#include "exchange_replies.h"
#include "host/engine_strings.h"
#include "player_chat.h"
#include "rules/rule_check.h"

namespace barterbox {
namespace {

void SendListing(AShooterPlayerController* player) {
    SendPlayerChat(player, MessageId::ListingHeader);
    const std::string word = ListingChatWord();
    const RuleSubject subject = SubjectOf(player);
    for (const auto& [key, definition] : Catalogue()) {
        // Those closed to the player are left out: disabled, or not for their groups.
        if (!OpenToPlayer(subject, definition.Name)) {
            continue;
        }
        if (definition.Description.empty()) {
            SendPlayerChat(player, MessageId::ListingEntry, word, definition.Name);
        } else {
            SendPlayerChat(player, MessageId::ListingEntryWithDescription, word, definition.Name,
                           definition.Description);
        }
    }
}

} // namespace

void OnExchangeChatCommand(AShooterPlayerController* player, FString* line, int, int) {
    if (player == nullptr) {
        return;
    }
    const FirstWordAndRest arguments =
        SplitFirstWordFromRest(ArgumentText(ToNarrowString(*line)).value_or(""));
    if (arguments.FirstWord.empty()) {
        SendListing(player);
        return;
    }
    int32_t multiplier = 1;
    if (arguments.Rest) {
        // Not a number, or out of range, runs once; below 1 is raised to 1.
        multiplier = std::max(ReadLeadingInteger(*arguments.Rest).value_or(1), 1);
    }
    RunAndReportExchange({player, arguments.FirstWord, multiplier, AuditVia::Chat, {}});
}

} // namespace barterbox
