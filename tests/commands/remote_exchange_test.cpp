// "Barterbox.Do" over RCON and "DoExchange" at the console: the EOS ID search, the replies with
// the request id, and the outcome in the player's chat.
#include <algorithm>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "commands/rcon_reply.h"
#include "commands_fixture.h"
#include "host/game_names.h"
#include "hostsim/name_registry.h"

namespace {

using namespace commands_tests;
using Lines = std::vector<std::string>;
using Replies_ = std::vector<Reply>;

constexpr char kConfig[] = R"({"Exchanges": {"Wood": {"Give": {"PrimalItemResource_Wood": 10},
  "Receive": {"/Game/PrimalEarth/CoreBlueprints/Resources/PrimalItemResource_Stone.PrimalItemResource_Stone": 1}}}})";

class RemoteExchange : public CommandsFixture {
protected:
    void SetUp() override {
        CommandsFixture::SetUp();
        Load(kConfig);
        world->GiveItems("Bob", "PrimalItemResource_Wood", 25);
    }
    int32_t BobsWood() { return Carried("Bob", "PrimalItemResource_Wood"); }
};

TEST_F(RemoteExchange, Rcon_UsageWithFewerThanThreeWords) {
    Rcon(7, u"Barterbox.Do");
    Rcon(8, u"Barterbox.Do 00022b0b");
    Rcon(9, u"Barterbox.Do    00022b0b   ");
    EXPECT_EQ(RconReplies(), (Lines{"7: Usage: Barterbox.Do <EOSID> <RecipeName>",
                                    "8: Usage: Barterbox.Do <EOSID> <RecipeName>",
                                    "9: Usage: Barterbox.Do <EOSID> <RecipeName>"}));
    EXPECT_TRUE(Replies().empty());
    EXPECT_TRUE(Log().empty());
}

TEST_F(RemoteExchange, Rcon_CompletedRunsOnceWhateverFollowsTheName) {
    EXPECT_TRUE(Rcon(41, u"Barterbox.Do   00022b0b   wood   5"));
    EXPECT_EQ(RconReplies(), Lines{"41: Exchange completed"});
    EXPECT_EQ(BobsWood(), 15);
    EXPECT_EQ(Replies(), (Replies_{{bob, "<Barterbox> Exchange complete: Wood x1"}}));
    EXPECT_EQ(Log(), Lines{"[Barterbox][info] Barterbox: Player completed 'wood' x1"});
}

TEST_F(RemoteExchange, Rcon_FailedWhenTheExchangeFailsForThePlayer) {
    Rcon(1, u"Barterbox.Do 00022b0b Nothing");
    world->ClearInventory("Bob");
    Rcon(2, u"Barterbox.Do 00022b0b Wood");
    EXPECT_EQ(RconReplies(), (Lines{"1: Exchange failed", "2: Exchange failed"}));
    EXPECT_EQ(Replies(), (Replies_{{bob, "<Barterbox> Unknown exchange: Nothing"},
                                   {bob, "<Barterbox> Need 10 PrimalItemResource_Wood (have 0)"}}));
}

// An operator who hears nothing would run it again: without a way to reply, nothing is run.
TEST_F(RemoteExchange, Rcon_RefusedBeforeAnythingMovesWhenTheReplyCannotBeSent) {
    hostsim::UnregisterName(game::kRconSendMessage);
    Rcon(6, u"Barterbox.Do 00022b0b Wood");
    EXPECT_EQ(BobsWood(), 25);
    EXPECT_TRUE(Replies().empty());
    EXPECT_THAT(Log(), testing::Contains("[Barterbox][error] Barterbox: Barterbox.Do refused: the "
                                         "host cannot send its reply"));
    hostsim::ClearNameErrors();
}

TEST_F(RemoteExchange, Rcon_PlayerNotFoundForAnotherCaseOrAnAbsentId) {
    Rcon(3, u"Barterbox.Do 00022B0B Wood");
    Rcon(4, u"Barterbox.Do 00022b0 Wood");
    Rcon(5, u"Barterbox.Do 00022b0b\t Wood"); // a tab belongs to the token
    EXPECT_EQ(RconReplies(),
              (Lines{"3: Player not found", "4: Player not found", "5: Player not found"}));
    EXPECT_EQ(BobsWood(), 25);
}

TEST_F(RemoteExchange, EosIdSearch_SkipsAStaleControllerAndGoesOn) {
    // Ada leaves before Bob in the list: her handle stays behind and resolves to null.
    world->Leave("Ada");
    Rcon(6, u"Barterbox.Do 00021ada Wood");
    Rcon(7, u"Barterbox.Do 00022b0b Wood");
    EXPECT_EQ(RconReplies(), (Lines{"6: Player not found", "7: Exchange completed"}));
}

TEST_F(RemoteExchange, EosIdSearch_FindsAPlayerWhoRejoinedAfterLeaving) {
    world->Leave("Bob");
    AShooterPlayerController* again = world->Join("Bob", "00022b0b");
    world->GiveItems("Bob", "PrimalItemResource_Wood", 10);
    Rcon(8, u"Barterbox.Do 00022b0b Wood");
    EXPECT_EQ(RconReplies(), Lines{"8: Exchange completed"});
    EXPECT_EQ(Replies(), (Replies_{{again, "<Barterbox> Exchange complete: Wood x1"}}));
}

TEST_F(RemoteExchange, DoExchange_RunsForTheNamedPlayerAndWritesNothingItself) {
    Console(ada, u"DoExchange 00022b0b Wood 9");
    EXPECT_EQ(BobsWood(), 15);
    EXPECT_EQ(Replies(), (Replies_{{bob, "<Barterbox> Exchange complete: Wood x1"}}));
    EXPECT_EQ(Log(), Lines{"[Barterbox][info] Barterbox: Player completed 'Wood' x1"});
    EXPECT_TRUE(RconReplies().empty());
}

TEST_F(RemoteExchange, DoExchange_WarnsOfMissingArgumentsAndUnknownPlayers) {
    Console(ada, u"DoExchange");
    Console(ada, u"DoExchange 00022b0b");
    Console(ada, u"DoExchange 00022B0B Wood");
    EXPECT_EQ(Log(),
              (Lines{"[Barterbox][warning] Barterbox: DoExchange requires EOSID and "
                     "RecipeName",
                     "[Barterbox][warning] Barterbox: DoExchange requires EOSID and "
                     "RecipeName",
                     "[Barterbox][warning] Barterbox: Player not found for EOSID 00022B0B"}));
    EXPECT_TRUE(Replies().empty());
    EXPECT_EQ(BobsWood(), 25);
}

TEST_F(RemoteExchange, DoExchange_FromANonAdministratorChangesNothing) {
    Console(bob, u"DoExchange 00022b0b Wood");
    EXPECT_EQ(BobsWood(), 25);
    EXPECT_TRUE(Replies().empty());
    EXPECT_EQ(Log(), Lines{"[Barterbox][warning] Barterbox: DoExchange refused for a "
                           "non-administrator"});
}

} // namespace

namespace {

// Barterbox.Run answers what the player read, at the multiplier that ran, and runs nothing it
// cannot read; at the console it answers the administrator in colour.
TEST_F(RemoteExchange, Run_AnswersWhatThePlayerWasToldAndRefusesAWrongMultiplier) {
    Rcon(1, u"Barterbox.Run 00022b0b wood 2");
    Rcon(2, u"Barterbox.Run 00022b0b Wood 2 and more");
    Rcon(3, u"Barterbox.Run 00022b0b Wood 0");
    Rcon(4, u"Barterbox.Run 00022b0b Wood 2x");
    Rcon(5, u"Barterbox.Run 00022b0b");
    Rcon(6, u"Barterbox.Run 00022B0B Wood");
    EXPECT_EQ(RconReplies(),
              (Lines{"1: Exchange complete: Wood x2", "2: Need 20 PrimalItemResource_Wood (have 5)",
                     "3: '0' is no multiplier: a whole number from 1 to 2147483647",
                     "4: '2x' is no multiplier: a whole number from 1 to 2147483647",
                     "5: Usage: Barterbox.Run <EOSID> <name> [multiplier]",
                     "6: Player not found: 00022B0B"}));
    EXPECT_EQ(BobsWood(), 5);
    EXPECT_EQ(Replies(), (Replies_{{bob, "<Barterbox> Exchange complete: Wood x2"},
                                   {bob, "<Barterbox> Need 20 PrimalItemResource_Wood (have 5)"}}));
    hostsim::ClearSentMessages();
    Console(ada, u"Barterbox.Run 00022b0b Wood");
    Console(bob, u"Barterbox.Run 00022b0b Wood");
    EXPECT_EQ(Replies(), (Replies_{{bob, "<Barterbox> Need 10 PrimalItemResource_Wood (have 5)"},
                                   {ada, "(red) Need 10 PrimalItemResource_Wood (have 5)"}}));
}

// A reply keeps whole lines, never cuts a character in two, and says how many lines it left out.
TEST(RconReply, ALongReplyKeepsWholeLinesAndCountsTheRest) {
    std::vector<std::string> lines;
    for (int index = 0; index < 300; ++index) {
        lines.push_back("  Exchange " + std::to_string(index) + " - day 0/20");
    }
    const std::string reply = barterbox::FitRconReply(lines);
    EXPECT_LE(reply.size(), barterbox::kRconReplyBytes);
    const size_t lastBreak = reply.rfind('\n');
    const std::string kept = reply.substr(0, lastBreak);
    const size_t keptLines = static_cast<size_t>(std::count(kept.begin(), kept.end(), '\n')) + 1;
    EXPECT_EQ(reply.substr(lastBreak + 1),
              "... lines left out to fit one RCON reply: " + std::to_string(300 - keptLines));
    EXPECT_EQ(kept.substr(0, lines[0].size()), lines[0]);
    EXPECT_GT(barterbox::kRconReplyBytes - reply.size(), 0u);
    EXPECT_LT(barterbox::kRconReplyBytes - reply.size(), lines.back().size() + 1);

    EXPECT_EQ(barterbox::FitRconReply({}), "Barterbox: done");
    EXPECT_EQ(barterbox::Utf8Prefix("a\xC3\xA4", 2), "a");
    EXPECT_EQ(barterbox::Utf8Prefix("a\xF0\x9F\x93\xA6", 4), "a");
    EXPECT_EQ(barterbox::Utf8Prefix("a\xF0\x9F\x93\xA6", 5), "a\xF0\x9F\x93\xA6");
}

} // namespace
