// The host's event listeners; see host_events.h.
#include "host_events.h"

#include "hostsim/host_strings.h"
#include "hostsim/messenger.h"
#include "server_context.h"
#include "tools/server/output/event_output.h"

namespace barterbox::server {
namespace {

void OnMessage(const hostsim::SentMessage& message) {
    const std::string receiver = ReceiverName(message.Receiver);
    const std::string text = hostsim::Utf16ToUtf8(message.Text);
    switch (message.Type) {
    case hostsim::SentMessage::Kind::Chat:
        WriteLine(ChatEventLine(receiver, hostsim::Utf16ToUtf8(message.Sender), text), Tone::Chat);
        break;
    case hostsim::SentMessage::Kind::Coloured: {
        const hostsim::Colour& c = message.Colour;
        WriteLine(ColouredEventLine(receiver, c.R, c.G, c.B, c.A, text),
                  ColourTone(c.R, c.G, c.B, c.A));
        break;
    }
    case hostsim::SentMessage::Kind::Notification:
        WriteLine("[note -> " + receiver + "] " + text, Tone::Chat);
        break;
    }
}

void OnRconReply(const hostsim::RconReply& reply) {
    const std::string text = hostsim::Utf16ToUtf8(reply.Text);
    WriteLine(RconEventLine(text), Tone::Rcon);
    ServerContext& server = Server();
    if (reply.Connection != nullptr && reply.Connection == server.CaptureConnection) {
        server.CapturedReplies.push_back(text);
    }
}

} // namespace

std::string ReceiverName(const void* controller) {
    if (controller == nullptr) {
        return "(nobody)";
    }
    const ServerContext& server = Server();
    std::string name = server.World != nullptr ? server.World->PlayerNameOf(controller) : "";
    return name.empty() ? "(unknown)" : name;
}

void InstallHostListeners() {
    hostsim::SetMessageListener(&OnMessage);
    Server().World->SetRconListener(&OnRconReply);
}

void RemoveHostListeners() {
    hostsim::SetMessageListener(nullptr);
    if (Server().World != nullptr) {
        Server().World->SetRconListener(nullptr);
    }
}

} // namespace barterbox::server
