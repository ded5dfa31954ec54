// libFuzzer target for an RCON request, through the host's command registry into the plugin's RCON
// commands. Properties, for every input: exactly one reply, to the request's id, never empty and
// never longer than one RCON packet. For "Barterbox.Do": "Exchange completed" exactly when Ada's
// inventory changed, class by class, as the one exchange completed at multiplier 1 explains, and
// otherwise no change; "Exchange failed" only after Ada was told why in one chat line. For
// "Barterbox.Run": a green "Exchange complete: " reply exactly when an exchange completed, at
// most at the configured MaxMultiplier, and whatever it answers is what Ada was told. Neither
// changes the table; the ledger is clean.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/command_harness.h"
#include "hostsim/command_registry.h"
#include "hostsim/host_strings.h"

namespace {

using namespace fuzzing;

void RequireDoReplyExplained(const CommandHost& host, const std::string& reply, bool completed) {
    Require(completed == (reply == "Exchange completed"));
    const std::vector<std::string> chat = ChatToAda(host);
    if (reply == "Exchange failed") {
        Require(chat.size() == 1 &&
                (chat[0].starts_with("Unknown exchange: ") || chat[0].starts_with("Need ")));
    } else if (!completed) {
        Require(reply == "Usage: Barterbox.Do <EOSID> <RecipeName>" || reply == "Player not found");
        Require(chat.empty());
    }
}

// What Barterbox.Run answers for Ada is her chat lines, joined; nothing else moved her items.
void RequireRunReplyExplained(const CommandHost& host, const std::string& reply, bool completed) {
    Require(completed == reply.starts_with("Exchange complete: "));
    const std::vector<std::string> chat = ChatToAda(host);
    if (!chat.empty()) {
        std::string told;
        for (const std::string& line : chat) {
            told += told.empty() ? "" : " ";
            told += line;
        }
        Require(reply == told);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    CommandHost& host = FreshHost();
    const Table table = TableNow();
    const Carried carried = CarriedNow(*host.World);

    // The first byte picks the command, so that the fuzzer spends its time in the arguments.
    static const char* const kStarts[] = {"Barterbox.Do ",        "Barterbox.Run ",
                                          "Barterbox.List ",      "Barterbox.Limits ",
                                          "Barterbox.Run 0002a ", "Barterbox.Do 0002a "};
    const std::size_t start = size == 0 ? 0 : data[0] % std::size(kStarts);
    const std::string rest(reinterpret_cast<const char*>(data), size);
    const std::string body = kStarts[start] + (size == 0 ? "" : rest.substr(1));
    hostsim::DispatchRcon(host.Rcon, 7, hostsim::Utf8ToUtf16(body), host.World->GameWorld());

    const std::vector<hostsim::RconReply> replies = host.World->RconReplies();
    Require(replies.size() == 1 && replies[0].RequestId == 7 && replies[0].Connection == host.Rcon);
    const std::string reply = hostsim::Utf16ToUtf8(replies[0].Text);
    Require(!reply.empty() && reply.size() <= 4086);
    const bool run = body.starts_with("Barterbox.Run");
    const bool completed = RequireInventoryExplained(host, carried, run ? kMaxMultiplier : 1);
    Require(!completed || CarriedNow(*host.World) != carried);
    if (run) {
        RequireRunReplyExplained(host, reply, completed);
    } else if (body.starts_with("Barterbox.Do")) {
        RequireDoReplyExplained(host, reply, completed);
    } else {
        Require(!completed);
    }
    Require(TableNow() == table);
    RequireCleanHost(host);
    return 0;
}
