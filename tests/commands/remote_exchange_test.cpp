// "Barterbox.Do" over RCON and "DoExchange" at the console: the EOS ID search, the replies with
// the request id, and the outcome in the player's chat.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

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
