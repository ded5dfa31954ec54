// Barterbox.List: the count, then one line per exchange with its description. Over RCON a list
// that does not fit one reply is paged: Barterbox.List N shows page N, each page ending in a
// line that says how many there are.
#include <algorithm>
#include <string>
#include <vector>

#include "admin_command.h"
#include "catalogue/exchange_catalogue.h"
#include "command_arguments.h"
#include "command_handlers.h"
#include "rcon_reply.h"

namespace barterbox {
namespace {

std::vector<std::string> EntryLines() {
    std::vector<std::string> lines;
    for (const auto& [key, definition] : Catalogue()) {
        // The separator stays even when the description is empty.
        lines.push_back(MessageText(MessageId::ListEntry, definition.Name, definition.Description));
    }
    return lines;
}

// The entries cut into pages that fit one reply with the header and the page line.
std::vector<std::vector<std::string>> Pages(const std::vector<std::string>& entries,
                                            std::size_t header) {
    // The page line's numbers are at most ten digits each; measured with the widest.
    const std::size_t pageLine = MessageText(MessageId::ListPage, 4294967295u, 4294967295u).size();
    const std::size_t room = kRconReplyBytes - std::min(kRconReplyBytes, header + pageLine + 2);
    std::vector<std::vector<std::string>> pages(1);
    std::size_t used = 0;
    for (const std::string& entry : entries) {
        // An entry longer than a whole page gets a page of its own, cut to fit.
        const std::string line(Utf8Prefix(entry, std::max<std::size_t>(room, 1) - 1));
        if (!pages.back().empty() && used + line.size() + 1 > room) {
            pages.emplace_back();
            used = 0;
        }
        pages.back().push_back(line);
        used += line.size() + 1;
    }
    return pages;
}

void ListOverRcon(const AdminCaller& caller, const std::optional<std::string>& arguments) {
    const std::string header = MessageText(MessageId::ListHeader, ExchangeCount());
    const std::vector<std::vector<std::string>> pages = Pages(EntryLines(), header.size());
    const int32_t asked = arguments ? ReadLeadingInteger(*arguments).value_or(1) : 1;
    const std::size_t page =
        std::clamp<std::size_t>(asked < 1 ? 1 : static_cast<std::size_t>(asked), 1, pages.size());
    SendAdminLine(caller, ReplyColour::Green, header);
    for (const std::string& line : pages[page - 1]) {
        SendAdminLine(caller, ReplyColour::White, line);
    }
    if (pages.size() > 1) {
        ReplyToAdmin(caller, ReplyColour::White, MessageId::ListPage, page, pages.size());
    }
}

void List(const AdminCaller& caller, const std::optional<std::string>& arguments) {
    if (caller.Lines != nullptr) {
        ListOverRcon(caller, arguments);
        return;
    }
    ReplyToAdmin(caller, ReplyColour::Green, MessageId::ListHeader, ExchangeCount());
    for (const std::string& line : EntryLines()) {
        SendAdminLine(caller, ReplyColour::White, line);
    }
}

} // namespace

void OnListConsoleCommand(APlayerController* sender, FString* line, bool) {
    RunAtConsole(sender, *line, &List);
}

void OnListRconCommand(RCONClientConnection* connection, RCONPacket* request, UWorld*) {
    RunOverRcon(connection, *request, &List);
}

} // namespace barterbox
