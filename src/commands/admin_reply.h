// Replies to an administrator's command: coloured server messages to the sender at the console,
// or the lines of one RCON reply, made from the messages in force.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "audit/audit_record.h"
#include "host/engine_types.h"
#include "rules/message_texts.h"

namespace barterbox {

enum class ReplyColour { Green, Red, White };

// Who ran the command and where it answers: the sender's console, or (Lines set) one RCON reply
// whose lines are gathered, without colour, and sent when the command is done.
struct AdminCaller {
    APlayerController* Sender = nullptr;
    std::vector<std::string>* Lines = nullptr;
};

// How the audit names the caller: the sender's EOS ID at the console; over RCON, no one.
AuditSource SourceOf(const AdminCaller& caller);

// One line to the caller, a UTF-8 text shown as the same characters.
void SendAdminLine(const AdminCaller& to, ReplyColour colour, std::string_view text);

// The message in force, filled with its arguments, as one line in that colour.
template <typename... Args>
void ReplyToAdmin(const AdminCaller& to, ReplyColour colour, MessageId message,
                  const Args&... arguments) {
    SendAdminLine(to, colour, MessageText(message, arguments...));
}

// Tells the caller in red that the table changed but could not be saved: the change holds only
// in memory, and a later Reload would silently undo it.
void WarnOfUnsavedChange(const AdminCaller& to);

} // namespace barterbox
