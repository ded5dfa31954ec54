// "/exchange" and "/ex" through the host's dispatch: the listing, and how the line is taken apart
// into an exchange name and a multiplier.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "commands_fixture.h"
#include "host/game_names.h"
#include "hostsim/name_registry.h"

namespace {

using namespace commands_tests;
using testing::UnorderedElementsAre;

// Wood: 2 wood for 1 stone. Named with capitals to show that names keep their letter case.
constexpr char kConfig[] = R"({
  "Exchanges": {
    "Wood": {"Description": "Wood for stone", "Give": {"PrimalItemResource_Wood": 2},
             "Receive": {"Blueprint'/Game/PrimalEarth/CoreBlueprints/Resources/PrimalItemResource_Stone.PrimalItemResource_Stone'": 1}},
    "Plain": {"Give": {"Wood": 1}, "Receive": {"Stone": 1}}
  }
})";

class ChatCommand : public CommandsFixture {
protected:
    void SetUp() override {
        CommandsFixture::SetUp();
        Load(kConfig);
        world->GiveItems("Bob", "PrimalItemResource_Wood", 1000);
    }
    int32_t BobsStone() { return Carried("Bob", "PrimalItemResource_Stone"); }
};

TEST_F(ChatCommand, Listing_HeaderThenOneLinePerExchangeInBothForms) {
    for (const char16_t* line : {u"/ex", u"/exchange", u"/ex   ", u"/exchange "}) {
        hostsim::ClearSentMessages();
        EXPECT_TRUE(Chat(bob, line));
        const auto replies = Replies();
        ASSERT_EQ(replies.size(), 3u) << hostsim::Utf16ToUtf8(line);
        EXPECT_EQ(replies[0], (Reply{bob, "<Barterbox> Available exchanges:"}));
        EXPECT_THAT(std::vector<Reply>(replies.begin() + 1, replies.end()),
                    UnorderedElementsAre(Reply{bob, "<Barterbox>   /ex Wood - Wood for stone"},
                                         Reply{bob, "<Barterbox>   /ex Plain"}));
    }
    EXPECT_TRUE(Log().empty()) << "the chat command logs nothing of its own";
}

TEST_F(ChatCommand, Listing_OfAnEmptyCatalogueIsTheHeaderAlone) {
    barterbox::ClearExchanges();
    barterbox::Settings().ChatPrefix = "Trader";
    Chat(bob, u"/ex");
    EXPECT_EQ(Replies(), (std::vector<Reply>{{bob, "<Trader> Available exchanges:"}}));
}

TEST_F(ChatCommand, Arguments_AreTrimmedAndTheMultiplierReadLeniently) {
    const std::pair<const char16_t*, int32_t> cases[] = {
        {u"/ex Wood", 1},
        {u"/ex   wood   3  ", 3},
        {u"/exchange WOOD 3", 3},
        {u"/ex Wood 0", 1},
        {u"/ex Wood -4", 1},
        {u"/ex Wood abc", 1},
        {u"/ex Wood 2147483648", 1},
        {u"/ex Wood 7x", 7},
        {u"/ex Wood 2 9", 2},
        {u"/ex Wood +5", 5},
    };
    for (const auto& [line, multiplier] : cases) {
        hostsim::ClearSentMessages();
        const int32_t before = BobsStone();
        Chat(bob, line);
        EXPECT_EQ(BobsStone() - before, multiplier) << hostsim::Utf16ToUtf8(line);
        EXPECT_EQ(Replies(), (std::vector<Reply>{{bob, "<Barterbox> Exchange complete: Wood x" +
                                                           std::to_string(multiplier)}}))
            << hostsim::Utf16ToUtf8(line);
    }
}

TEST_F(ChatCommand, Multiplier_IsLimitedByTheSettings) {
    Chat(bob, u"/ex Wood 500");
    EXPECT_EQ(Replies(), (std::vector<Reply>{{bob, "<Barterbox> Exchange complete: Wood x100"}}));
}

TEST_F(ChatCommand, NamesWithSpacesOrOutsideAsciiCannotBeReached) {
    barterbox::PutExchange({"My Deal", "", {{"Wood", 1}}, {{"Stone", 1}}});
    barterbox::PutExchange({"Bois\xC3\xA9", "", {{"Wood", 1}}, {{"Stone", 1}}});
    Chat(bob, u"/ex My Deal");
    Chat(bob, u"/ex Boisé");
    EXPECT_EQ(Replies(), (std::vector<Reply>{{bob, "<Barterbox> Unknown exchange: My"},
                                             {bob, "<Barterbox> Unknown exchange: Bois?"}}));
}

TEST_F(ChatCommand, OnlyTheFirstWordRoutes_OtherChatIsNotTheCommand) {
    EXPECT_FALSE(Chat(bob, u"/exx Wood"));
    EXPECT_FALSE(Chat(bob, u"hello /ex"));
    EXPECT_TRUE(Replies().empty());
}

// A game update that renames any function or field the exchange reaches must never hand out items
// for free or take items for nothing: the exchange either completes in full or changes nothing,
// and a player is never told they lack what they carry. Each name goes missing on a host that
// names the game as the plugin was built on it, and on one that names it as the host's current
// headers do (the character's function as BaseGetPlayerCharacter).
class ChatCommandMissingGameName
    : public ChatCommand,
      public ::testing::WithParamInterface<std::tuple<const char*, bool>> {};

TEST_P(ChatCommandMissingGameName, NeverItemsOutWithoutItemsInNorTheReverse) {
    const auto [missing, currentHost] = GetParam();
    if (currentHost) {
        world->UseCurrentHostNames();
    }
    hostsim::UnregisterName(missing);
    Chat(bob, u"/ex Wood 3");
    const int32_t wood = Carried("Bob", "PrimalItemResource_Wood");
    const bool completed =
        Replies() == std::vector<Reply>{{bob, "<Barterbox> Exchange complete: Wood x3"}};
    if (completed) {
        EXPECT_EQ(wood, 994);
        EXPECT_EQ(BobsStone(), 3);
    } else {
        EXPECT_EQ(wood, 1000);
        EXPECT_EQ(BobsStone(), 0);
        EXPECT_FALSE(Replies().empty() || Replies().front().Text.starts_with("<Barterbox> Need"))
            << "a missing game name is not the player's shortage";
    }
    // The character's function is found under either name, and only when neither is there does
    // the exchange stop.
    const std::string name = missing;
    if (name == game::kGetPlayerCharacter || name == game::kBaseGetPlayerCharacter) {
        EXPECT_EQ(completed, name == (currentHost ? game::kGetPlayerCharacter
                                                  : game::kBaseGetPlayerCharacter));
    }
    // An exchange that fails after its Give items are taken, of a class whose path is too long to
    // convert without the host's allocator: they must come back, so it must not start at all.
    const std::string longClass = "PrimalItem_Long";
    world->AddItemClass("/Game/Mods/" + std::string(100, 'L') + "/" + longClass + "." + longClass,
                        100);
    world->GiveItems("Bob", longClass, 10);
    barterbox::PutExchange({"Long", "", {{longClass, 2}}, {{"/Game/Nothing/None.None", 1}}});
    hostsim::ClearSentMessages();
    Chat(bob, u"/ex Long");
    EXPECT_EQ(Carried("Bob", longClass), 10);
    EXPECT_FALSE(Replies().empty() || Replies().front().Text.starts_with("<Barterbox> Need"));
    hostsim::ClearNameErrors(); // the stand-in's record of the very name this test removed
}

INSTANTIATE_TEST_SUITE_P(
    EachName, ChatCommandMissingGameName,
    ::testing::Combine(::testing::Values(game::kMalloc, game::kGetPlayerCharacter,
                                         game::kBaseGetPlayerCharacter, game::kGetPathName,
                                         game::kFNameToString, game::kGetItemQuantity,
                                         game::kSetQuantity, game::kRemoveItemFromInventory,
                                         game::kNotifyClientsItemStatus, game::kGiveSlotItem,
                                         game::kMyInventoryComponent, game::kInventoryItems,
                                         game::kClassPrivate, game::kNamePrivate),
                       ::testing::Bool()),
    [](const auto& info) {
        std::string name;
        for (const char c : std::string_view(std::get<0>(info.param))) {
            if (c == '(') {
                break;
            }
            name += (c == '.') ? '_' : c;
        }
        return name + (std::get<1>(info.param) ? "_CurrentHost" : "_DefaultHost");
    });

} // namespace
