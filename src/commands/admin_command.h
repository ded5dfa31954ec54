// How an administrator's command is run: at the console, where only an administrator is
// answered, and over RCON, whose password makes every client one, with one reply per request.
// The command itself is the same function either way.
#pragma once

#include <optional>
#include <string>

#include "admin_reply.h"
#include "host/engine_types.h"
#include "rules/message_table.h"

namespace barterbox {

// `arguments`: the narrowed text after the command word; nullopt when the line has none.
using AdminCommand = void (*)(const AdminCaller& caller,
                              const std::optional<std::string>& arguments);

// Whether the console command's sender may run administrator commands.
bool IsAdministrator(APlayerController* sender);

// A sender who is no administrator gets no answer at all.
void RunAtConsole(APlayerController* sender, const FString& line, AdminCommand command);

// The lines the command answers, joined into one reply that fits one RCON packet; nothing is done
// when the host cannot send the reply.
void RunOverRcon(RCONClientConnection* connection, const RCONPacket& request, AdminCommand command);

// The arguments, or nullopt after answering the usage in red.
std::optional<std::string> ArgumentsOrUsage(const AdminCaller& caller,
                                            const std::optional<std::string>& arguments,
                                            MessageId usage);

} // namespace barterbox
