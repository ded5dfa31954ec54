// Helpers of the commands fixture; see commands_fixture.h.
#include "commands_fixture.h"

#include <fstream>
#include <sstream>

namespace commands_tests {

void CommandsFixture::WriteConfig(const std::string& text) const {
    std::ofstream(ConfigPath(), std::ios::binary) << text;
}

std::optional<std::string> CommandsFixture::ReadConfig() const {
    std::ifstream in(ConfigPath(), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<Reply> CommandsFixture::Replies() const {
    std::vector<Reply> replies;
    for (const auto& message : hostsim::SentMessages()) {
        std::string text;
        if (message.Type == hostsim::SentMessage::Kind::Chat) {
            // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on the + chain.
            text.append("<").append(hostsim::Utf16ToUtf8(message.Sender)).append("> ");
        } else if (message.Type == hostsim::SentMessage::Kind::Coloured) {
            text = message.Colour == hostsim::kGreen   ? "(green) "
                   : message.Colour == hostsim::kRed   ? "(red) "
                   : message.Colour == hostsim::kWhite ? "(white) "
                                                       : "(other) ";
        } else {
            text = "[notification] ";
        }
        text.append(hostsim::Utf16ToUtf8(message.Text));
        replies.push_back({message.Receiver, text});
    }
    return replies;
}

std::vector<std::string> CommandsFixture::RconReplies() const {
    std::vector<std::string> replies;
    for (const auto& reply : world->RconReplies()) {
        replies.push_back(std::to_string(reply.RequestId) + ": " +
                          hostsim::Utf16ToUtf8(reply.Text));
    }
    return replies;
}

} // namespace commands_tests
