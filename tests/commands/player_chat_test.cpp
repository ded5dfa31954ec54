// Chat lines to a player: one line per message, under the chat prefix, through this plugin's
// messenger, with every host string released.
#include <string>

#include <gtest/gtest.h>

#include "commands/player_chat.h"
#include "exchange_fixture.h"
#include "host/module_path.h"
#include "hostsim/host_strings.h"

namespace {

using namespace exchange_tests;

class PlayerChat : public ExchangeFixture {
protected:
    static std::string ThisModule() {
        barterbox::OwnedFString path(barterbox::PluginModulePath());
        return hostsim::Utf16ToUtf8(hostsim::ReadFString(path.get()));
    }
};

TEST_F(PlayerChat, SendPlayerChat_SendsOneLineUnderTheChatPrefixThroughThisPluginsMessenger) {
    barterbox::Settings().ChatPrefix = "Trader";
    barterbox::SendPlayerChat(alice, u"Need {} {} (have {})", int64_t{10}, std::u16string(u"Wood"),
                              int32_t{7});
    const auto messages = hostsim::SentMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Type, hostsim::SentMessage::Kind::Chat);
    EXPECT_EQ(messages[0].Receiver, alice);
    EXPECT_EQ(messages[0].Sender, u"Trader");
    EXPECT_EQ(messages[0].Text, u"Need 10 Wood (have 7)");
    EXPECT_EQ(messages[0].PluginPath, ThisModule());
    EXPECT_EQ(hostsim::MessengerRequests(), std::vector<std::string>{ThisModule()});
}

TEST_F(PlayerChat, SendPlayerChat_CarriesAChatPrefixBeyondAsciiAndAnEmptyOne) {
    barterbox::Settings().ChatPrefix = "H\xC3\xA4ndler";
    barterbox::SendPlayerChat(alice, u"Available exchanges:");
    barterbox::Settings().ChatPrefix = "";
    barterbox::SendPlayerChat(alice, u"  /ex {} - {}", std::u16string(u"a{}b"),
                              std::u16string(u"x"));
    const auto messages = hostsim::SentMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].Sender, u"H\u00e4ndler");
    EXPECT_EQ(messages[0].Text, u"Available exchanges:");
    EXPECT_EQ(messages[1].Sender, u"");
    EXPECT_EQ(messages[1].Text, u"  /ex a{}b - x");
}

} // namespace
