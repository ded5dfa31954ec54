// Coloured replies through the plugin's messenger.
#include "admin_reply.h"

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

void SendAdminReply(APlayerController* to, ReplyColour colour, const FString& text) {
    host_calls::SendColouredLine(to, ColourOf(colour), text);
}

void ReplyWithUsage(APlayerController* sender, std::u16string_view usage) {
    ReplyToAdmin(sender, ReplyColour::Red, usage);
}

void WarnOfUnsavedChange(APlayerController* sender) {
    ReplyToAdmin(sender, ReplyColour::Red,
                 u"Barterbox: Failed to save config; the change holds until the next Reload");
}

} // namespace barterbox
