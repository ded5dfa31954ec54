// Running an administrator's command at the console or over RCON; see admin_command.h.
#include "admin_command.h"

#include <vector>

#include "command_arguments.h"
#include "host/engine_strings.h"
#include "host/game_calls.h"
#include "logger/plugin_logger.h"
#include "rcon_reply.h"

namespace barterbox {

bool IsAdministrator(APlayerController* sender) {
    return sender != nullptr && game_calls::IsAdmin(sender);
}

void RunAtConsole(APlayerController* sender, const FString& line, AdminCommand command) {
    if (!IsAdministrator(sender)) {
        return;
    }
    command(AdminCaller{sender, nullptr}, ArgumentText(ToNarrowString(line)));
}

void RunOverRcon(RCONClientConnection* connection, const RCONPacket& request,
                 AdminCommand command) {
    const std::string body = ToNarrowString(request.Body);
    // A client that hears nothing back would send it again: no reply, nothing done.
    if (!game_calls::RconRepliesResolve()) {
        Log(spdlog::level::err, "Barterbox: {} refused: the host cannot send its reply",
            SplitFirstWordFromRest(body).FirstWord);
        return;
    }
    std::vector<std::string> lines;
    command(AdminCaller{nullptr, &lines}, ArgumentText(body));
    ReplyToRcon(connection, request.Id, FitRconReply(lines));
}

std::optional<std::string> ArgumentsOrUsage(const AdminCaller& caller,
                                            const std::optional<std::string>& arguments,
                                            MessageId usage) {
    if (!arguments) {
        ReplyToAdmin(caller, ReplyColour::Red, usage);
    }
    return arguments;
}

} // namespace barterbox
