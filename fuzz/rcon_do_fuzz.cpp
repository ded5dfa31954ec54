// libFuzzer target for an RCON "Barterbox.Do" request, through the host's command registry into
// the remote exchange command. Properties, for every input: exactly one reply, to the request's
// id; "Exchange completed" exactly when Ada's inventory changed, class by class, as the one
// exchange completed at multiplier 1 explains, and otherwise no change; "Exchange failed" only
// after Ada was told why in one chat line; the table does not change; the ledger is clean.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/command_harness.h"
#include "hostsim/command_registry.h"
#include "hostsim/host_strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace fuzzing;
    CommandHost& host = FreshHost();
    const Table table = TableNow();
    const Carried carried = CarriedNow(*host.World);

    const std::string body =
        "Barterbox.Do " + std::string(reinterpret_cast<const char*>(data), size);
    hostsim::DispatchRcon(host.Rcon, 7, hostsim::Utf8ToUtf16(body), host.World->GameWorld());

    const std::vector<hostsim::RconReply> replies = host.World->RconReplies();
    Require(replies.size() == 1 && replies[0].RequestId == 7 && replies[0].Connection == host.Rcon);
    const std::string reply = hostsim::Utf16ToUtf8(replies[0].Text);
    const bool completed = RequireInventoryExplained(host, carried, 1);
    Require(completed == (reply == "Exchange completed"));
    Require(!completed || CarriedNow(*host.World) != carried);
    const std::vector<std::string> chat = ChatToAda(host);
    if (reply == "Exchange failed") {
        Require(chat.size() == 1 &&
                (chat[0].starts_with("Unknown exchange: ") || chat[0].starts_with("Need ")));
    } else if (!completed) {
        Require(reply == "Usage: Barterbox.Do <EOSID> <RecipeName>" || reply == "Player not found");
        Require(chat.empty());
    }
    Require(TableNow() == table);
    RequireCleanHost(host);
    return 0;
}
