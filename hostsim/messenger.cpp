// The per-plugin messenger; see messenger.h.
#include "messenger.h"

#include <map>
#include <mutex>

#include "host_clock.h"
#include "host_strings.h"
#include "record_limit.h"

namespace hostsim {
namespace {

struct Record {
    std::recursive_mutex Mutex;
    std::vector<SentMessage> Messages;
    std::vector<std::string> Requests;
    std::function<void(const SentMessage&)> Listener;
    std::map<std::string, std::shared_ptr<AsaApi::PluginMessenger>> Messengers;
};

Record& TheRecord() {
    static Record record;
    return record;
}

void Deliver(SentMessage message) {
    Record& record = TheRecord();
    std::lock_guard lock(record.Mutex);
    record.Messages.push_back(message);
    if (record.Listener) {
        record.Listener(record.Messages.back());
    }
    KeepLatest(record.Messages);
}

class Messenger final : public AsaApi::PluginMessenger {
public:
    explicit Messenger(std::string pluginPath) : pluginPath_(std::move(pluginPath)) {}

    void SendNotification(AShooterPlayerController* to, const FString& text, float) override {
        HostEntry inHost;
        SentMessage message;
        message.Type = SentMessage::Kind::Notification;
        message.PluginPath = pluginPath_;
        message.Receiver = to;
        message.Text = ReadFString(text);
        Deliver(std::move(message));
    }

    void SendColouredLine(APlayerController* to, float r, float g, float b, float a,
                          const FString& text) override {
        HostEntry inHost;
        SentMessage message;
        message.Type = SentMessage::Kind::Coloured;
        message.PluginPath = pluginPath_;
        message.Receiver = to;
        message.Colour = {r, g, b, a};
        message.Text = ReadFString(text);
        Deliver(std::move(message));
    }

    void SendChatLine(AShooterPlayerController* to, const FString& sender,
                      const FString& text) override {
        HostEntry inHost;
        SentMessage message;
        message.Type = SentMessage::Kind::Chat;
        message.PluginPath = pluginPath_;
        message.Receiver = to;
        message.Sender = ReadFString(sender);
        message.Text = ReadFString(text);
        Deliver(std::move(message));
    }

private:
    std::string pluginPath_;
};

} // namespace

std::vector<SentMessage> SentMessages() {
    Record& record = TheRecord();
    std::lock_guard lock(record.Mutex);
    return record.Messages;
}

void ClearSentMessages() {
    Record& record = TheRecord();
    std::lock_guard lock(record.Mutex);
    record.Messages.clear();
    record.Requests.clear();
}

void SetMessageListener(std::function<void(const SentMessage&)> listener) {
    Record& record = TheRecord();
    std::lock_guard lock(record.Mutex);
    record.Listener = std::move(listener);
}

std::vector<std::string> MessengerRequests() {
    Record& record = TheRecord();
    std::lock_guard lock(record.Mutex);
    return record.Requests;
}

std::shared_ptr<AsaApi::PluginMessenger> MessengerFor(const std::string& pluginPath) {
    Record& record = TheRecord();
    std::lock_guard lock(record.Mutex);
    record.Requests.push_back(pluginPath);
    KeepLatest(record.Requests);
    auto& messenger = record.Messengers[pluginPath];
    if (!messenger) {
        messenger = std::make_shared<Messenger>(pluginPath);
    }
    return messenger;
}

} // namespace hostsim
