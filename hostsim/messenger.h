// The host's per-plugin messengers, and the record of every message a plugin sent through one.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/host_api.h"

namespace hostsim {

struct Colour {
    float R = 0, G = 0, B = 0, A = 0;
    bool operator==(const Colour&) const = default;
};

inline constexpr Colour kGreen{0, 1, 0, 1};
inline constexpr Colour kRed{1, 0, 0, 1};
inline constexpr Colour kWhite{1, 1, 1, 1};

struct SentMessage {
    enum class Kind { Chat, Coloured, Notification } Type = Kind::Chat;
    std::string PluginPath; // the module path the messenger was asked for with
    const void* Receiver = nullptr;
    std::u16string Sender;  // chat lines only
    hostsim::Colour Colour; // coloured lines only
    std::u16string Text;
};

// Every message sent since the last reset, in order.
std::vector<SentMessage> SentMessages();
void ClearSentMessages();
// Called for each message as it is sent (the simulated server prints them).
void SetMessageListener(std::function<void(const SentMessage&)> listener);

// How often a plugin asked for its messenger, and with which module paths.
std::vector<std::string> MessengerRequests();

std::shared_ptr<AsaApi::PluginMessenger> MessengerFor(const std::string& pluginPath);

} // namespace hostsim
