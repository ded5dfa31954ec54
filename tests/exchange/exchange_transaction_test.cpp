// The exchange transaction's outcomes, each checked by what the player was told, the log, and
// the inventory afterwards; and the guarantees that nothing is taken unless everything can be
// and that no quantity wraps around.
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "audit/audit_sinks.h"
#include "exchange/exchange_transaction.h"
#include "exchange_fixture.h"
#include "host/engine_strings.h"
#include "hostsim/messenger.h"
#include "hostsim/name_registry.h"

namespace {

using namespace exchange_tests;
using barterbox::ItemAmount;
using Texts = std::vector<std::u16string>;
using Lines = std::vector<std::string>;

// What the audit was handed, each record with how many messages the host had sent by then: a
// sink of record beside the day file, which a test can make fail.
struct HeldRecord {
    nlohmann::ordered_json Members;
    size_t MessagesBefore = 0;
};
std::vector<HeldRecord> heldRecords;
bool recordsFail = false;

bool HoldRecord(const barterbox::AuditRecord& record) {
    if (recordsFail) {
        return false;
    }
    heldRecords.push_back({record.Members, hostsim::SentMessages().size()});
    return true;
}

class ExchangeTransaction : public ExchangeFixture {
protected:
    void SetUp() override {
        ExchangeFixture::SetUp();
        heldRecords.clear();
        recordsFail = false;
        barterbox::TheAuditState().Sinks.push_back({"held", &HoldRecord, true});
    }
    // The last record's members, and whether it was handed over before any reply.
    static const nlohmann::ordered_json& LastRecord() {
        static const nlohmann::ordered_json none;
        return heldRecords.empty() ? none : heldRecords.back().Members;
    }
    static bool LastRecordBeforeTheReply() {
        return !heldRecords.empty() && heldRecords.back().MessagesBefore == 0;
    }
    static void Define(std::string name, std::vector<ItemAmount> give,
                       std::vector<ItemAmount> receive) {
        barterbox::PutExchange({std::move(name), "", std::move(give), std::move(receive)});
    }
    void Give(const std::string& className, int32_t quantity) {
        world->GiveItems("Alice", className, quantity);
        world->ClearGameCalls();
    }
    int32_t Total(const std::string& className) {
        int32_t total = 0;
        for (const auto& [name, quantity] : SlotsOf()) {
            total += name == className ? quantity : 0;
        }
        return total;
    }
    // GiveSlotItem calls the game saw, as "blueprint x quantity -> result".
    std::vector<std::string> GiveSlotItemCalls() {
        std::vector<std::string> calls;
        for (const auto& call : world->GameCalls()) {
            if (call.Function == game::kGiveSlotItem) {
                calls.push_back(call.Arguments + " -> " + call.Result);
            }
        }
        return calls;
    }
};

// ---- Completion and lookup ----

TEST_F(ExchangeTransaction, Complete_TakesTheGiveItemsHandsOutTheReceiveItemsAndSaysSo) {
    Define("Wood", {{kWood, 5}}, {{BlueprintOf(kStone), 2}, {PathOf(kThatch) + "_C", 3}});
    Give(kWood, 12);
    EXPECT_TRUE(ExecuteAndTell(alice, "Wood", 2));
    EXPECT_EQ(Chat(), Texts{u"Exchange complete: Wood x2"});
    EXPECT_EQ(LogTexts(), Lines{"[Barterbox][info] Barterbox: Player completed 'Wood' x2"});
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 2}, {kStone, 4}, {kThatch, 6}}));
    EXPECT_EQ(
        GiveSlotItemCalls(),
        (std::vector<std::string>{std::string("\"") + BlueprintOf(kStone) + "\", 0, 4 -> true",
                                  std::string("\"") + PathOf(kThatch) + "_C\", 0, 6 -> true"}));
}

TEST_F(ExchangeTransaction, Lookup_FindsTheNameInAnyCaseShowingTheStoredNameAndLoggingTheTyped) {
    Define("Wood", {{kWood, 1}}, {{BlueprintOf(kStone), 1}});
    Give(kWood, 3);
    for (const char* typed : {"WOOD", "Wood", "wood"}) {
        EXPECT_TRUE(ExecuteAndTell(alice, typed, 1)) << typed;
    }
    EXPECT_EQ(Chat(), Texts(3, u"Exchange complete: Wood x1"));
    EXPECT_EQ(LogTexts(), (Lines{"[Barterbox][info] Barterbox: Player completed 'WOOD' x1",
                                 "[Barterbox][info] Barterbox: Player completed 'Wood' x1",
                                 "[Barterbox][info] Barterbox: Player completed 'wood' x1"}));
    EXPECT_EQ(SlotsOf(), (Slots{{kStone, 3}})) << "each hand-out tops up the stack of its class";
}

TEST_F(ExchangeTransaction, UnknownName_IsEchoedAsTypedAndChangesNothing) {
    Define("Wood", {{kWood, 1}}, {{BlueprintOf(kStone), 1}});
    Give(kWood, 3);
    EXPECT_FALSE(ExecuteAndTell(alice, "Wo{}od ", 1));
    EXPECT_EQ(Chat(), Texts{u"Unknown exchange: Wo{}od "});
    EXPECT_TRUE(LogTexts().empty());
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 3}}));
}

TEST_F(ExchangeTransaction, NullPlayer_GetsNothingSentOrLogged) {
    Define("Wood", {{kWood, 1}}, {{BlueprintOf(kStone), 1}});
    EXPECT_FALSE(ExecuteAndTell(nullptr, "Wood", 1));
    EXPECT_FALSE(ExecuteAndTell(nullptr, "Nothing", 1));
    EXPECT_TRUE(hostsim::SentMessages().empty());
    EXPECT_TRUE(LogTexts().empty());
}

// ---- Multiplier limits ----

struct MultiplierCase {
    bool Allow;
    int32_t Max;
    int32_t Requested;
    int32_t Effective;
};

class ExchangeMultiplier : public ExchangeTransaction,
                           public ::testing::WithParamInterface<MultiplierCase> {};

TEST_P(ExchangeMultiplier, RequestedMultiplier_IsLimitedByTheSettings) {
    const MultiplierCase& c = GetParam();
    barterbox::Settings().AllowMultiplier = c.Allow;
    barterbox::Settings().MaxMultiplier = c.Max;
    Define("Wood", {{kWood, 1}}, {{PathOf(kStone), 1}});
    Give(kWood, 1000);
    EXPECT_TRUE(ExecuteAndTell(alice, "wood", c.Requested));
    EXPECT_EQ(Chat(), Texts{u"Exchange complete: Wood x" +
                            barterbox::ToWideString(std::to_string(c.Effective))});
    EXPECT_EQ(Total(kWood), 1000 - c.Effective);
    EXPECT_EQ(Total(kStone), c.Effective);
    // The record keeps both: what was asked for, and the runs that count.
    EXPECT_EQ(LastRecord().value("multiplier", 0), c.Requested);
    EXPECT_EQ(LastRecord().value("effective", 0), c.Effective);
}

INSTANTIATE_TEST_SUITE_P(Limits, ExchangeMultiplier,
                         ::testing::Values(MultiplierCase{false, 100, 5, 1},
                                           MultiplierCase{false, 100, 1, 1},
                                           MultiplierCase{true, 100, 250, 100},
                                           MultiplierCase{true, 2, 3, 2},
                                           MultiplierCase{true, 100, 7, 7}),
                         [](const auto& info) {
                             const MultiplierCase& c = info.param;
                             return std::string(c.Allow ? "Allowed" : "NotAllowed") + "Max" +
                                    std::to_string(c.Max) + "Requested" +
                                    std::to_string(c.Requested);
                         });

// ---- The check ----

TEST_F(ExchangeTransaction, ShortGiveItem_IsReportedWithTheNeedTheShortNameAndTheHoldings) {
    Define("Wood", {{kWood, 5}}, {{BlueprintOf(kStone), 1}});
    Define("Path", {{PathOf(kWood), 5}}, {{BlueprintOf(kStone), 1}});
    Give(kWood, 7);
    EXPECT_FALSE(ExecuteAndTell(alice, "Wood", 2));
    EXPECT_FALSE(ExecuteAndTell(alice, "Path", 2));
    EXPECT_EQ(Chat(), (Texts{u"Need 10 PrimalItemResource_Wood (have 7)",
                             u"Need 10 PrimalItemResource_Wood.PrimalItemResource_Wood (have 7)"}));
    EXPECT_TRUE(world->GameCalls().empty());
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 7}}));
}

TEST_F(ExchangeTransaction, CharacterWithoutAnInventory_CarriesNothing) {
    Define("Wood", {{kWood, 5}}, {{BlueprintOf(kStone), 1}});
    world->RemoveInventory("Alice");
    EXPECT_FALSE(ExecuteAndTell(alice, "Wood", 1));
    EXPECT_EQ(Chat(), Texts{u"Need 5 PrimalItemResource_Wood (have 0)"});
    EXPECT_TRUE(world->GameCalls().empty());
}

TEST_F(ExchangeTransaction, Check_ComparesEachEntryOnItsOwnAndStopsAtTheFirstShortOne) {
    Define("Kit", {{kWood, 5}, {kStone, 3}, {kThatch, 9}}, {{BlueprintOf(kIngot), 1}});
    Give(kWood, 5);
    Give(kStone, 2);
    EXPECT_FALSE(ExecuteAndTell(alice, "Kit", 1));
    EXPECT_EQ(Chat(), Texts{u"Need 3 PrimalItemResource_Stone (have 2)"});
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 5}, {kStone, 2}}));
}

// ---- The hand-out ----

// All or nothing: the entries handed out before and after the refused one are taken back, and
// the Give items come back as new items of their class. A class path whose object is not named
// after its package is taken back as the class the game handed out.
TEST_F(ExchangeTransaction, RefusedReceiveEntry_IsLoggedAndTheWholeExchangeIsUndone) {
    const std::string unknown =
        "Blueprint'/Game/Mods/Nothing/PrimalItem_Nothing.PrimalItem_Nothing'";
    world->AddItemClass("/Game/Odd/Pkg.Obj", 100);
    Define("Wood", {{kWood, 2}},
           {{BlueprintOf(kStone), 1},
            {"/Game/Odd/Pkg.Obj_C", 25},
            {unknown, 1},
            {PathOf(kThatch), 1}});
    Give(kWood, 4);
    Give(kStone, 7);
    EXPECT_FALSE(ExecuteAndTell(alice, "Wood", 2));
    EXPECT_EQ(Chat(), Texts{u"Failed to give items. Exchange cancelled."});
    EXPECT_EQ(LogTexts(),
              (Lines{std::string("[Barterbox][error] Barterbox: Failed to give ") + unknown + " x2",
                     "[Barterbox][warning] Barterbox: Cancelled 'Wood' for 0002a11ce: "
                     "gave back " +
                         PathOf(kWood) + "_C x4"}));
    EXPECT_EQ(SlotsOf(), (Slots{{kStone, 7}, {kWood, 4}}));
    EXPECT_EQ(LastRecord().value("outcome", ""), "cancelled");
    EXPECT_TRUE(LastRecordBeforeTheReply()) << "the record is on file before the player is told";
}

// The game refuses the give-back too: nothing is retried, and the log says what is owed.
TEST_F(ExchangeTransaction, UndoTheGameRefuses_LogsWhatIsOwedAndSaysPartial) {
    Define("Wood", {{kWood, 3}}, {{BlueprintOf(kStone), 1}});
    Give(kWood, 3);
    world->SetGiveRefusal([](std::string_view, int32_t) { return true; });
    EXPECT_FALSE(ExecuteAndTell(alice, "Wood", 1));
    EXPECT_EQ(Chat(), Texts{u"Exchange partially complete - some items failed"});
    EXPECT_EQ(LogTexts(), (Lines{std::string("[Barterbox][error] Barterbox: Failed to give ") +
                                     BlueprintOf(kStone) + " x1",
                                 "[Barterbox][error] Barterbox: Undo of 'Wood' incomplete: "
                                 "0002a11ce is owed " +
                                     PathOf(kWood) + "_C x3"}));
    EXPECT_TRUE(SlotsOf().empty());
}

// A Receive entry that can never be given is known before anything is taken: the player keeps
// the Give items instead of paying for nothing.
TEST_F(ExchangeTransaction, ReceiveEntryOfZeroOrLess_RefusesTheExchangeBeforeAnythingIsTaken) {
    Define("Wood", {{kWood, 1}}, {{BlueprintOf(kStone), 0}, {BlueprintOf(kThatch), -4}});
    Give(kWood, 1);
    EXPECT_FALSE(ExecuteAndTell(alice, "Wood", 1));
    EXPECT_TRUE(world->GameCalls().empty());
    EXPECT_EQ(LogTexts(), (Lines{std::string("[Barterbox][error] Barterbox: Failed to give ") +
                                     BlueprintOf(kStone) + " x0",
                                 std::string("[Barterbox][error] Barterbox: Failed to give ") +
                                     BlueprintOf(kThatch) + " x-4"}));
    EXPECT_EQ(Chat(), Texts{u"Failed to remove items. Exchange cancelled."});
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 1}}));
    // Nothing was taken, so nothing went back and nothing is owed.
    EXPECT_EQ(LastRecord().value("outcome", ""), "refused");
    EXPECT_FALSE(LastRecord().contains("returned"));
    EXPECT_FALSE(LastRecord().contains("owed"));
}

// Where the game lets the plugin measure room, a hand-out that cannot fit is refused before
// anything moves: three new stacks of stone beyond the 40 the held stack takes, less the slot the
// wood frees, against the one slot free.
TEST_F(ExchangeTransaction, ReceiveThatCannotFit_IsRefusedBeforeAnythingIsTaken) {
    world->SetInventorySlots(3);
    Define("Wood", {{kWood, 100}}, {{BlueprintOf(kStone), 300}});
    Give(kStone, 60);
    Give(kWood, 100);
    EXPECT_FALSE(ExecuteAndTell(alice, "Wood", 1));
    EXPECT_EQ(Chat(), Texts{u"Needs 2 free slots, you have 1"});
    EXPECT_TRUE(world->GameCalls().empty());
    // One that fits only because the wood's slot comes free.
    Define("Wood", {{kWood, 100}}, {{BlueprintOf(kStone), 240}});
    EXPECT_TRUE(ExecuteAndTell(alice, "Wood", 1));
    EXPECT_EQ(SlotsOf(), (Slots{{kStone, 100}, {kStone, 100}, {kStone, 100}}));
}

// Where it cannot measure (here: no stack size), the undo stays the guard. In both ways a game may
// treat a full inventory, part of the stone arrives or none does; either way the player ends as
// they began, and is told the inventory was full.
TEST_F(ExchangeTransaction, ReceiveThatDoesNotFit_IsTakenBackAndTheGiveItemsReturned) {
    hostsim::UnregisterName(game::kGetMaxItemQuantity);
    for (const auto whenFull :
         {hostsim::WhenInventoryFull::GiveWhatFits, hostsim::WhenInventoryFull::GiveNothing}) {
        hostsim::ClearSentMessages();
        world->SetWhenInventoryFull(whenFull);
        world->ClearInventory("Alice");
        world->SetInventorySlots(3);
        Define("Wood", {{kWood, 100}}, {{BlueprintOf(kStone), 300}});
        Give(kStone, 60);
        Give(kWood, 100);
        EXPECT_FALSE(ExecuteAndTell(alice, "Wood", 1));
        // The game can tell only when what fits has filled the inventory.
        const Texts full{u"Failed to give items. Exchange cancelled.", u"Your inventory is full"};
        EXPECT_EQ(Chat(), whenFull == hostsim::WhenInventoryFull::GiveWhatFits
                              ? full
                              : Texts{full.front()});
        EXPECT_EQ(SlotsOf(), (Slots{{kStone, 60}, {kWood, 100}}));
    }
    hostsim::ClearNameErrors();
}

// ---- What an undo records ----

constexpr char kNowhere[] = "/Game/Nothing/None.None"; // a blueprint the game cannot hand out

using Items = std::vector<barterbox::AuditedItem>;

barterbox::ExchangeOutcome Execute(AShooterPlayerController* player, std::string_view name) {
    return barterbox::ExecuteExchange({player, name, 1, barterbox::AuditVia::Chat, {}});
}

// A give-back that only partly fits: what arrived is returned, the rest owed.
TEST_F(ExchangeTransaction, UndoRecord_AGiveBackThatPartlyFitsReturnsWhatArrivedAndOwesTheRest) {
    world->SetInventorySlots(2);
    Define("Wood", {{kWood, 200}}, {{kNowhere, 1}});
    Give(kWood, 200);
    world->SetGiveRefusal([this](std::string_view item, int32_t) {
        world->SetInventorySlots(1); // the inventory shrinks before the Give items come back
        return item == kNowhere;
    });
    const barterbox::ExchangeOutcome outcome = Execute(alice, "Wood");
    EXPECT_EQ(outcome.Result, barterbox::ExchangeResult::Partial);
    EXPECT_EQ(outcome.Returned, (Items{{PathOf(kWood) + "_C", 100}}));
    EXPECT_EQ(outcome.Owed, (Items{{PathOf(kWood) + "_C", 100}}));
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 100}}));
}

// More than the game counts in one call comes back in several calls, all of it.
TEST_F(ExchangeTransaction, UndoRecord_AGiveBackBeyond32BitsGoesOutInCallsTheGameCounts) {
    world->AddItemClass("/Game/Test/Dust.Dust", 2147483647);
    world->AddStack("Alice", "Dust", 2147483647);
    world->AddStack("Alice", "Dust", 2147483647);
    Define("Dust", {{"Dust", 2147483647}, {"Dust", 2147483647}}, {{kNowhere, 1}});
    const barterbox::ExchangeOutcome outcome = Execute(alice, "Dust");
    EXPECT_EQ(outcome.Result, barterbox::ExchangeResult::Cancelled);
    EXPECT_EQ(outcome.Returned, (Items{{"/Game/Test/Dust.Dust_C", 4294967294}}));
    const std::string giveBack = "\"/Game/Test/Dust.Dust_C\", 0, 2147483647 -> true";
    EXPECT_THAT(GiveSlotItemCalls(),
                testing::ElementsAre(testing::HasSubstr(kNowhere), giveBack, giveBack));
    EXPECT_EQ(SlotsOf(), (Slots{{"Dust", 2147483647}, {"Dust", 2147483647}}));
}

// What arrived and cannot be taken back stays with the player, and the record says so.
TEST_F(ExchangeTransaction, UndoRecord_WhatCannotBeTakenBackIsKeptAndTheOutcomePartial) {
    Define("Wood", {{kWood, 2}}, {{BlueprintOf(kStone), 3}, {kNowhere, 1}});
    Give(kWood, 2);
    world->SetGiveRefusal([](std::string_view item, int32_t) {
        if (item != kNowhere) {
            return false;
        }
        hostsim::UnregisterName(game::kRemoveItemFromInventory);
        return true;
    });
    const barterbox::ExchangeOutcome outcome = Execute(alice, "Wood");
    EXPECT_EQ(outcome.Result, barterbox::ExchangeResult::Partial);
    EXPECT_EQ(outcome.Kept, (Items{{PathOf(kStone) + "_C", 3}}));
    EXPECT_EQ(outcome.Returned, (Items{{PathOf(kWood) + "_C", 2}}));
    EXPECT_TRUE(outcome.Owed.empty());
    hostsim::ClearNameErrors();
}

// A game function that goes away between two Give entries: what the first took comes back.
TEST_F(ExchangeTransaction, UndoRecord_ARemovalThatFailsBetweenTwoGiveEntriesIsUndone) {
    Define("Kit", {{kWood, 2}, {kStone, 2}}, {{BlueprintOf(kIngot), 1}});
    Give(kWood, 2);
    Give(kStone, 2);
    world->SetCallListener([](const hostsim::GameCall& call) {
        if (call.Function == game::kRemoveItemFromInventory) {
            hostsim::UnregisterName(game::kRemoveItemFromInventory);
        }
    });
    const barterbox::ExchangeOutcome outcome = Execute(alice, "Kit");
    world->SetCallListener({});
    EXPECT_EQ(outcome.Result, barterbox::ExchangeResult::Cancelled);
    EXPECT_EQ(outcome.Returned, (Items{{PathOf(kWood) + "_C", 2}}));
    EXPECT_EQ(SlotsOf(), (Slots{{kStone, 2}, {kWood, 2}}));
    hostsim::ClearNameErrors();
}

// ---- The record ----

// A trade that cannot be put on file is undone: the trade rules count runs from the records, and
// no reply may announce a trade that is not on file. The cancellation is recorded once writes
// work again; a completed trade's record, like every other, comes before the reply.
TEST_F(ExchangeTransaction, ACompletedTradeWhoseRecordFails_IsUndoneAndSaysSo) {
    Define("Wood", {{kWood, 5}}, {{BlueprintOf(kStone), 2}});
    Give(kWood, 12);
    recordsFail = true;
    EXPECT_FALSE(ExecuteAndTell(alice, "Wood", 2));
    EXPECT_EQ(Chat(), Texts{u"Failed to record the exchange. Exchange cancelled."});
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 12}})) << "no stone kept, the wood given back";
    EXPECT_EQ(LogTexts(), Lines{"[Barterbox][warning] Barterbox: Cancelled 'Wood' for 0002a11ce: "
                                "gave back " +
                                PathOf(kWood) + "_C x10"});
    recordsFail = false;
    hostsim::ClearSentMessages();
    EXPECT_TRUE(ExecuteAndTell(alice, "Wood", 1));
    EXPECT_EQ(LastRecord().value("outcome", ""), "complete");
    EXPECT_TRUE(LastRecordBeforeTheReply());
}

// ---- Nothing is taken unless everything can be ----

TEST_F(ExchangeTransaction, GiveEntriesMatchingTheSameItems_BeyondWhatIsCarriedTakeNothing) {
    Define("Double", {{kWood, 6}, {"Resource_Wood", 6}}, {{BlueprintOf(kStone), 1}});
    Give(kWood, 10);
    EXPECT_FALSE(ExecuteAndTell(alice, "Double", 1));
    EXPECT_EQ(Chat(), Texts{u"Failed to remove items. Exchange cancelled."});
    EXPECT_TRUE(world->GameCalls().empty());
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 10}}));
}

TEST_F(ExchangeTransaction, GiveEntriesMatchingTheSameItems_WithinWhatIsCarriedComplete) {
    Define("Double", {{kWood, 6}, {"Resource_Wood", 4}}, {{BlueprintOf(kStone), 1}});
    Give(kWood, 10);
    EXPECT_TRUE(ExecuteAndTell(alice, "Double", 1));
    EXPECT_EQ(SlotsOf(), (Slots{{kStone, 1}}));
}

struct UntakeableCase {
    const char* What;
    int32_t SecondQuantity;
    int32_t MaxMultiplier;
};

class ExchangeUntakeable : public ExchangeTransaction,
                           public ::testing::WithParamInterface<UntakeableCase> {};

TEST_P(ExchangeUntakeable, AnAmountRemovalCannotTake_CancelsWithTheInventoryUntouched) {
    barterbox::Settings().MaxMultiplier = GetParam().MaxMultiplier;
    Define("Kit", {{kWood, 5}, {kStone, GetParam().SecondQuantity}}, {{BlueprintOf(kIngot), 1}});
    Give(kWood, 5);
    Give(kStone, 5);
    EXPECT_FALSE(ExecuteAndTell(alice, "Kit", 1)) << GetParam().What;
    EXPECT_EQ(Chat(), Texts{u"Failed to remove items. Exchange cancelled."});
    EXPECT_TRUE(world->GameCalls().empty()) << "the first entry's items stay where they are";
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 5}, {kStone, 5}}));
    // A multiplier of 0 or less also makes the Receive entry one that can never be given.
    const Lines logged{std::string("[Barterbox][error] Barterbox: Failed to give ") +
                       BlueprintOf(kIngot) + " x" + std::to_string(GetParam().MaxMultiplier)};
    EXPECT_EQ(LogTexts(), GetParam().MaxMultiplier < 1 ? logged : Lines{});
}

INSTANTIATE_TEST_SUITE_P(Amounts, ExchangeUntakeable,
                         ::testing::Values(UntakeableCase{"GiveQuantityZero", 0, 100},
                                           UntakeableCase{"GiveQuantityNegative", -3, 100},
                                           UntakeableCase{"MaxMultiplierZero", 1, 0},
                                           UntakeableCase{"MaxMultiplierNegative", 1, -2}),
                         [](const auto& info) { return std::string(info.param.What); });

// ---- No quantity wraps around ----

TEST_F(ExchangeTransaction, NeedBeyondThe32BitRange_IsReportedInFull) {
    Define("Huge", {{kWood, 2000000000}}, {{BlueprintOf(kStone), 1}});
    Give(kWood, 50);
    EXPECT_FALSE(ExecuteAndTell(alice, "Huge", 2));
    EXPECT_EQ(Chat(), Texts{u"Need 4000000000 PrimalItemResource_Wood (have 50)"});
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 50}}));
}

TEST_F(ExchangeTransaction, ReceiveBeyondThe32BitRange_RefusesTheExchangeLoggedInFull) {
    Define("Huge", {{kWood, 1}}, {{BlueprintOf(kStone), 2000000000}, {BlueprintOf(kThatch), 1}});
    Give(kWood, 3);
    EXPECT_FALSE(ExecuteAndTell(alice, "Huge", 3));
    EXPECT_TRUE(world->GameCalls().empty());
    EXPECT_EQ(LogTexts(), Lines{std::string("[Barterbox][error] Barterbox: Failed to give ") +
                                BlueprintOf(kStone) + " x6000000000"});
    EXPECT_EQ(Chat(), Texts{u"Failed to remove items. Exchange cancelled."});
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 3}}));
}

// The largest quantity the game counts is offered as it is; here it does not fit, and is undone.
TEST_F(ExchangeTransaction, ReceiveOfTheLargest32BitValue_IsOfferedToTheGame) {
    hostsim::UnregisterName(game::kGetCurrentNumInventoryItems); // room not measured
    Define("Max", {{kWood, 1}}, {{BlueprintOf(kStone), 2147483647}});
    Give(kWood, 1);
    EXPECT_FALSE(ExecuteAndTell(alice, "Max", 1));
    EXPECT_EQ(GiveSlotItemCalls().front(),
              std::string("\"") + BlueprintOf(kStone) + "\", 0, 2147483647 -> false");
    EXPECT_EQ(Chat(),
              (Texts{u"Failed to give items. Exchange cancelled.", u"Your inventory is full"}));
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 1}}));
    hostsim::ClearNameErrors();
}

TEST_F(ExchangeTransaction, GiveOfTheLargest32BitValueAcrossStacks_Completes) {
    world->AddItemClass("/Game/Test/Dust.Dust", 2147483647);
    world->AddStack("Alice", "Dust", 2000000000);
    world->AddStack("Alice", "Dust", 147483647);
    Define("Dust", {{"Dust", 2147483647}}, {{BlueprintOf(kWood), 1}});
    EXPECT_TRUE(ExecuteAndTell(alice, "Dust", 1));
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 1}}));
}

TEST_F(ExchangeTransaction, HoldingsBeyondThe32BitRange_CountAsTheLargestValue) {
    world->AddItemClass("/Game/Test/Dust.Dust", 2147483647);
    world->AddStack("Alice", "Dust", 2147483647);
    world->AddStack("Alice", "Dust", 2147483647);
    Define("Dust", {{"Dust", 2000000000}}, {{"/Game/Test/Dust.Dust", 1}});
    EXPECT_TRUE(ExecuteAndTell(alice, "Dust", 1));
    EXPECT_EQ(Chat(), Texts{u"Exchange complete: Dust x1"});
    EXPECT_EQ(SlotsOf(), (Slots{{"Dust", 2147483647}, {"Dust", 147483648}}));
}

} // namespace
