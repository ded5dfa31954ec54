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
    WriteLine(RconEventLine(hostsim::Utf16ToUtf8(reply.Text)), Tone::Rcon);
}

} // namespace

std::vector<std::string> CollectRconReplies(hostsim::World& world,
                                            const RCONClientConnection* connection,
                                            const std::function<void()>& request) {
    std::vector<std::string> replies;
    world.SetRconListener([&](const hostsim::RconReply& reply) {
        OnRconReply(reply);
        if (connection != nullptr && reply.Connection == connection) {
            replies.push_back(hostsim::Utf16ToUtf8(reply.Text));
        }
    });
    // Back to printing alone, even when the request throws: the listener refers to `replies`.
    struct PrintingAlone {
        hostsim::World& Listened;
        ~PrintingAlone() { Listened.SetRconListener(&OnRconReply); }
    } restore{world};
    request();
    return replies;
}

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
