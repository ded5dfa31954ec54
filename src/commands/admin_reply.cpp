// Replies to the console through the plugin's messenger, or into an RCON reply.
#include "admin_reply.h"

#include "host/engine_strings.h"
#include "host/host_calls.h"

namespace barterbox {
namespace {

host_calls::LineColour ColourOf(ReplyColour colour) {
    switch (colour) {
    case ReplyColour::Green:
        return {0, 1, 0, 1};
    case ReplyColour::Red:
        return {1, 0, 0, 1};
    case ReplyColour::White:
        break;
    }
    return {1, 1, 1, 1};
}

} // namespace

AuditSource SourceOf(const AdminCaller& caller) {
    if (caller.Lines != nullptr) {
        return {AuditVia::Rcon, {}, {}};
    }
    return {AuditVia::Console, host_calls::PlayerEosId(caller.Sender), {}};
}

void SendAdminLine(const AdminCaller& to, ReplyColour colour, std::string_view text) {
    if (to.Lines != nullptr) {
        to.Lines->emplace_back(text);
        return;
    }
    OwnedFString line(FString(ToWideString(text).c_str()));
    host_calls::SendColouredLine(to.Sender, ColourOf(colour), line.get());
}

void WarnOfUnsavedChange(const AdminCaller& to) {
    ReplyToAdmin(to, ReplyColour::Red, MessageId::UnsavedChange);
}

} // namespace barterbox
