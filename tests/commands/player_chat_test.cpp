// Chat lines to a player: one line per message, under the chat prefix, through this plugin's
// messenger, with every host string released.
#include <string>

#include <gtest/gtest.h>

#include "commands/item_display.h"
#include "commands/player_chat.h"
#include "exchange_fixture.h"
#include "host/module_path.h"
#include "hostsim/host_strings.h"
#include "rules/rules_state.h"

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
    barterbox::SendPlayerChat(alice, barterbox::MessageId::NotEnoughItems, int64_t{10},
                              std::string("Wood"), int32_t{7});
    const auto messages = hostsim::SentMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Type, hostsim::SentMessage::Kind::Chat);
    EXPECT_EQ(messages[0].Receiver, alice);
    EXPECT_EQ(messages[0].Sender, u"Trader");
    EXPECT_EQ(messages[0].Text, u"Need 10 Wood (have 7)");
    EXPECT_EQ(messages[0].PluginPath, ThisModule());
    EXPECT_EQ(hostsim::MessengerRequests(), std::vector<std::string>{ThisModule()});
}

TEST_F(PlayerChat, SendPlayerChat_CarriesTextBeyondAsciiAsTheSameCharacters) {
    barterbox::TradeRules rules;
    // A translation with a character outside the BMP, which UTF-16 carries as a surrogate pair.
    rules.Messages.push_back({barterbox::MessageId::ListingEntryWithDescription,
                              "  {} {} \xE2\x80\x93 {} \xF0\x9F\x93\xA6"});
    barterbox::SetRulesInForce(rules);
    barterbox::Settings().ChatPrefix = "H\xC3\xA4ndler";
    barterbox::SendPlayerChat(alice, barterbox::MessageId::ListingHeader);
    barterbox::Settings().ChatPrefix = "";
    // An argument's braces are never read as placeholders.
    barterbox::SendPlayerChat(alice, barterbox::MessageId::ListingEntryWithDescription,
                              std::string("/tausch"), std::string("a{}b"),
                              std::string("Gr\xC3\xBC\xC3\x9F"));
    const auto messages = hostsim::SentMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].Sender, u"H\u00e4ndler");
    EXPECT_EQ(messages[0].Text, u"Available exchanges:");
    EXPECT_EQ(messages[1].Sender, u"");
    EXPECT_EQ(messages[1].Text, u"  /tausch a{}b \u2013 Gr\u00fc\u00df \U0001F4E6");
}

// DisplayNames match an item as written, its short name or a blueprint's class, letter case aside.
TEST_F(PlayerChat, PlayerItemName_FindsTheEntryForTheTextTheShortNameOrTheClass) {
    barterbox::TradeRules rules;
    rules.DisplayNames = {{"Bar", "Bar Name"}, {"PrimalItemResource_Wood", "Holz"}};
    barterbox::SetRulesInForce(rules);
    EXPECT_EQ(barterbox::PlayerItemName("/Game/Foo/Bar_C"), "Bar Name");
    EXPECT_EQ(barterbox::PlayerItemName(
                  "Blueprint'/Game/X/PrimalItemResource_Wood.PrimalItemResource_Wood'"),
              "Holz");
    EXPECT_EQ(barterbox::PlayerItemName("primalitemresource_wood"), "Holz");
    EXPECT_EQ(barterbox::PlayerItemName("/Game/X/Stone.Stone"), "Stone.Stone");
}

} // namespace
