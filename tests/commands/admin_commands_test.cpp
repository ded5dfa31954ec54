// The administrators' console commands through the host's dispatch: who may run them, their
// argument forms, their coloured replies, and what they do to the table and to config.json.
#include <cerrno>
#include <system_error>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "commands_fixture.h"

namespace {

using namespace commands_tests;
using Replies_ = std::vector<Reply>;
using Lines = std::vector<std::string>;

constexpr char kConfig[] = R"({
  "Exchanges": {
    "My Deal": {"Description": "Two for one", "Give": {"Wood": 2}, "Receive": {"Stone": 1}}
  },
  "Settings": {"ChatPrefix": "Barterbox", "AllowMultiplier": true, "MaxMultiplier": 100}
})";

class AdminCommands : public CommandsFixture {
protected:
    void SetUp() override {
        CommandsFixture::SetUp();
        Load(kConfig);
    }
};

// ---- The administrator test ----

TEST_F(AdminCommands, NonAdministrators_AreIgnoredSilentlyByEveryCommand) {
    const std::string before = ReadConfig().value();
    for (const char16_t* line :
         {u"Barterbox.Reload", u"Barterbox.List", u"Barterbox.Add x a:1 b:2",
          u"Barterbox.Remove My Deal", u"Barterbox.Save", u"DoExchange 00022b0b My"}) {
        EXPECT_TRUE(Console(bob, line));
        EXPECT_TRUE(Console(nullptr, line));
    }
    EXPECT_TRUE(Replies().empty());
    EXPECT_EQ(ReadConfig(), before);
    EXPECT_EQ(barterbox::ExchangeCount(), 1u);
    // DoExchange alone says why it refused, as it acts on another player's inventory.
    EXPECT_EQ(Log(), Lines(2, "[Barterbox][warning] Barterbox: DoExchange refused for a "
                              "non-administrator"));
}

TEST_F(AdminCommands, AdministratorStatus_IsReadAtEveryCommand) {
    world->SetAdmin("Bob", true);
    Console(bob, u"Barterbox.List");
    world->SetAdmin("Ada", false);
    Console(ada, u"Barterbox.List");
    EXPECT_EQ(Replies(), (Replies_{{bob, "(green) Barterbox: 1 exchanges"},
                                   {bob, "(white)   My Deal - Two for one"}}));
}

// ---- Reload, List, Save ----

TEST_F(AdminCommands, Reload_ReadsTheEditedFileAndKeepsTheTableWhenTheFileIsUnreadable) {
    WriteConfig(R"({"Exchanges": {"A": {"Give": {"x": 1}, "Receive": {"y": 1}},
                                  "B": {"Give": {"x": 1}, "Receive": {"y": 1}}}})");
    Console(ada, u"Barterbox.Reload ignored words");
    EXPECT_EQ(Replies(), (Replies_{{ada, "(green) Barterbox: Reloaded 2 exchanges"}}));
    EXPECT_EQ(barterbox::FindExchange("My Deal"), nullptr);

    // A typo in the file must not empty a running server's table.
    for (const char* unreadable : {"{ not json", R"({"Settings": {"ChatPrefix": 7}})"}) {
        hostsim::ClearSentMessages();
        WriteConfig(unreadable);
        Console(ada, u"Barterbox.Reload");
        EXPECT_EQ(Replies(), (Replies_{{ada, "(red) Barterbox: Reload failed, kept 2 exchanges"}}));
        EXPECT_NE(barterbox::FindExchange("B"), nullptr);
    }

    hostsim::ClearSentMessages();
    std::filesystem::remove(ConfigPath());
    Console(ada, u"Barterbox.Reload");
    EXPECT_EQ(Replies(), (Replies_{{ada, "(green) Barterbox: Reloaded 0 exchanges"}}));
}

TEST_F(AdminCommands, List_SendsTheSeparatorEvenWithoutADescription) {
    barterbox::PutExchange({"Bare", "", {{"a", 1}}, {{"b", 1}}});
    Console(ada, u"Barterbox.List");
    const auto replies = Replies();
    ASSERT_EQ(replies.size(), 3u);
    EXPECT_EQ(replies[0], (Reply{ada, "(green) Barterbox: 2 exchanges"}));
    EXPECT_THAT(Replies_(replies.begin() + 1, replies.end()),
                testing::UnorderedElementsAre(Reply{ada, "(white)   Bare - "},
                                              Reply{ada, "(white)   My Deal - Two for one"}));

    hostsim::ClearSentMessages();
    barterbox::ClearExchanges();
    Console(ada, u"Barterbox.List");
    EXPECT_EQ(Replies(), (Replies_{{ada, "(green) Barterbox: 0 exchanges"}}));
}

TEST_F(AdminCommands, Save_WritesTheFileAndAFailedSaveIsNeverAnsweredAsASuccess) {
    std::filesystem::remove(ConfigPath());
    Console(ada, u"Barterbox.Save");
    EXPECT_TRUE(ReadConfig().has_value());
    EXPECT_EQ(Replies(), (Replies_{{ada, "(green) Barterbox: Config saved (1 exchanges)"}}));
    EXPECT_EQ(Log(), Lines{"[Barterbox][info] Barterbox: Config saved"});

    hostsim::ClearSentMessages();
    Sink().Clear();
    std::filesystem::remove_all(std::filesystem::path(ConfigPath()).parent_path());
    Console(ada, u"Barterbox.Save");
    EXPECT_EQ(Replies(), (Replies_{{ada, "(red) Barterbox: Failed to save config"}}));
    // The audit folder has gone with the plugin folder, and is not made again without it.
    EXPECT_EQ(Log(), (Lines{"[Barterbox][error] Barterbox: Failed to save config",
                            "[Barterbox][error] Barterbox: Save failed: cannot create a new file "
                            "beside config.json: " +
                                std::generic_category().message(ENOENT),
                            "[Barterbox][error] Barterbox: Failed to write audit record"}));

    // Add and Remove did change the table, so they say so, and that it is not on disk.
    const char* const unsaved =
        "(red) Barterbox: Failed to save config; the change holds until the next Reload";
    hostsim::ClearSentMessages();
    Console(ada, u"Barterbox.Add Quick Wood:1 /Game/Stone.Stone:1");
    Console(ada, u"Barterbox.Remove My Deal");
    EXPECT_EQ(Replies(),
              (Replies_{{ada, "(green) Added exchange 'Quick': Wood x1 -> Stone.Stone x1"},
                        {ada, unsaved},
                        {ada, "(green) Removed exchange 'My Deal'"},
                        {ada, unsaved}}));
    EXPECT_NE(barterbox::FindExchange("quick"), nullptr);
}

// A file changed on disk since this server read it (another server's save, a hand edit) would be
// undone by the table: the Save writes nothing and asks for a Reload, after which it saves.
TEST_F(AdminCommands, Save_OfAFileChangedOnDiskIsRefusedInRedUntilAReload) {
    const char* const theirs =
        R"({"Exchanges": {"Theirs": {"Give": {"x": 1}, "Receive": {"y": 1}}}})";
    WriteConfig(theirs);
    Console(ada, u"Barterbox.Save");
    EXPECT_EQ(Replies(),
              (Replies_{{ada, "(red) Barterbox: Failed to save config"},
                        {ada, "(red) Barterbox: config.json changed on disk since this "
                              "server read it; use Barterbox.Reload, then save again"}}));
    EXPECT_EQ(ReadConfig(), theirs);

    hostsim::ClearSentMessages();
    Console(ada, u"Barterbox.Reload");
    Console(ada, u"Barterbox.Save");
    EXPECT_EQ(Replies(), (Replies_{{ada, "(green) Barterbox: Reloaded 1 exchanges"},
                                   {ada, "(green) Barterbox: Config saved (1 exchanges)"}}));
    EXPECT_THAT(ReadConfig().value(), testing::HasSubstr("\"Theirs\": {"));
}

// ---- Add ----

TEST_F(AdminCommands, Add_WithTooFewArgumentsRepliesTheUsage) {
    for (const char16_t* line : {u"Barterbox.Add", u"Barterbox.Add ", u"Barterbox.Add name",
                                 u"Barterbox.Add name wood:1", u"Barterbox.Add \"\" \"\" a b"}) {
        hostsim::ClearSentMessages();
        Console(ada, line);
        EXPECT_EQ(Replies(), (Replies_{{ada, "(red) Usage: Barterbox.Add <name> <giveItem>:<qty> "
                                             "<receiveBlueprint>:<qty>"}}))
            << hostsim::Utf16ToUtf8(line);
    }
    EXPECT_EQ(barterbox::ExchangeCount(), 1u);
    EXPECT_TRUE(Log().empty());
}

TEST_F(AdminCommands, Add_FormatErrorsReplyRedAndChangeNothing) {
    const std::string before = ReadConfig().value();
    // The format the word breaks, then what is wrong with it.
    const std::tuple<const char16_t*, const char*, const char*> cases[] = {
        {u"Barterbox.Add Iron Deal metal:10 MetalIngot:5", "Give format: ItemName:quantity",
         "'Deal' has no ':' before a quantity"},
        {u"Barterbox.Add x wood MetalIngot:5", "Give format: ItemName:quantity",
         "'wood' has no ':' before a quantity"},
        {u"Barterbox.Add x wood: MetalIngot:5", "Give format: ItemName:quantity",
         "'' is no whole number from 1 to 2147483647"},
        {u"Barterbox.Add x wood:abc MetalIngot:5", "Give format: ItemName:quantity",
         "'abc' is no whole number from 1 to 2147483647"},
        {u"Barterbox.Add x wood:2147483648 MetalIngot:5", "Give format: ItemName:quantity",
         "'2147483648' is no whole number from 1 to 2147483647"},
        {u"Barterbox.Add x wood:3 MetalIngot", "Receive format: Blueprint:quantity",
         "'MetalIngot' has no ':' before a quantity"},
        {u"Barterbox.Add x wood:3 MetalIngot:many", "Receive format: Blueprint:quantity",
         "'many' is no whole number from 1 to 2147483647"},
        {u"Barterbox.Add x wood:3 MetalIngot:-2147483649", "Receive format: Blueprint:quantity",
         "'-2147483649' is no whole number from 1 to 2147483647"},
        // A quantity below 1 could only take items for nothing, or give nothing for them.
        {u"Barterbox.Add x wood:0 MetalIngot:5", "Give format: ItemName:quantity",
         "'0' is no whole number from 1 to 2147483647"},
        {u"Barterbox.Add x wood:-3 MetalIngot:5", "Give format: ItemName:quantity",
         "'-3' is no whole number from 1 to 2147483647"},
        {u"Barterbox.Add Deal Wood:5 MetalIngot:-2", "Receive format: Blueprint:quantity",
         "'-2' is no whole number from 1 to 2147483647"},
        {u"Barterbox.Add Deal Wood:5 MetalIngot:0x", "Receive format: Blueprint:quantity",
         "'0x' is no whole number from 1 to 2147483647"},
        // An empty Give item would match every item; an empty Receive item could never be given.
        {u"Barterbox.Add a :1 BP:1", "Give format: ItemName:quantity",
         "':1' names no item before its ':'"},
        {u"Barterbox.Add b Stone:1 :1", "Receive format: Blueprint:quantity",
         "':1' names no item before its ':'"},
        {u"Barterbox.Add c \"\":1 \"\":1", "Give format: ItemName:quantity",
         "':1' names no item before its ':'"},
        // The give argument is read first, so its error wins.
        {u"Barterbox.Add x wood MetalIngot", "Give format: ItemName:quantity",
         "'wood' has no ':' before a quantity"},
    };
    for (const auto& [line, reply, problem] : cases) {
        hostsim::ClearSentMessages();
        Console(ada, line);
        EXPECT_EQ(Replies(), (Replies_{{ada, std::string("(red) ") + reply},
                                       {ada, std::string("(red) ") + problem}}))
            << hostsim::Utf16ToUtf8(line);
    }
    EXPECT_EQ(barterbox::ExchangeCount(), 1u);
    EXPECT_EQ(ReadConfig(), before);
    EXPECT_TRUE(Log().empty());
}

TEST_F(AdminCommands, Add_StoresQuotedNamesSavesAndReplies) {
    Console(ada,
            u"Barterbox.Add \"Iron Deal\" metal:10 "
            u"Blueprint'/Game/Mods/PrimalItemResource_MetalIngot.PrimalItemResource_MetalIngot':5"
            u" ignored:1");
    EXPECT_EQ(Replies(),
              (Replies_{{ada, "(green) Added exchange 'Iron Deal': metal x10 -> "
                              "PrimalItemResource_MetalIngot."
                              "PrimalItemResource_MetalIngot x5"},
                        {ada, "(red) Barterbox: Warning: ignored what follows the Receive item: "
                              "ignored:1"}}));
    const barterbox::ExchangeDefinition* deal = barterbox::FindExchange("iron deal");
    ASSERT_NE(deal, nullptr);
    EXPECT_EQ(deal->Name, "Iron Deal");
    EXPECT_EQ(deal->Description, "");
    ASSERT_EQ(deal->Give.size(), 1u);
    EXPECT_EQ(deal->Give[0].Item, "metal");
    EXPECT_EQ(deal->Give[0].Quantity, 10);
    EXPECT_THAT(ReadConfig().value(), testing::HasSubstr("\"Iron Deal\": {"));
    EXPECT_EQ(Log(), (Lines{"[Barterbox][info] Barterbox: Config saved",
                            "[Barterbox][info] Barterbox: Added 'Iron Deal' via command"}));
}

TEST_F(AdminCommands, Add_ReadsTheQuantityUpToTheFirstNonDigitAndStoresOddValuesAsTyped) {
    Console(ada, u"Barterbox.Add o:dd wood:3:4 x:2x");
    // Stored as typed, but the game hands out nothing for a Receive that is no blueprint path.
    EXPECT_EQ(Replies(), (Replies_{{ada, "(green) Added exchange 'o:dd': wood x3 -> x x2"},
                                   {ada, "(red) Barterbox: Warning: 'x' is no blueprint path "
                                         "(/Game/.../Name.Name); the game hands out nothing for "
                                         "it"}}));
    const barterbox::ExchangeDefinition* odd = barterbox::FindExchange("o:dd");
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->Receive[0].Item, "x");
    EXPECT_EQ(odd->Receive[0].Quantity, 2);
}

TEST_F(AdminCommands, Add_ReplacesAnExchangeWhoseNameDiffersOnlyInCase) {
    Console(ada, u"Barterbox.Add \"MY DEAL\" Wood:1 /Game/Stone.Stone:1");
    EXPECT_EQ(Replies(),
              (Replies_{{ada, "(green) Added exchange 'MY DEAL': Wood x1 -> Stone.Stone x1"}}));
    EXPECT_EQ(barterbox::ExchangeCount(), 1u);
    EXPECT_EQ(barterbox::FindExchange("my deal")->Description, "");
    const std::string saved = ReadConfig().value();
    EXPECT_THAT(saved, testing::HasSubstr("\"MY DEAL\""));
    EXPECT_THAT(saved, testing::Not(testing::HasSubstr("\"My Deal\"")));
}

// ---- Remove ----

TEST_F(AdminCommands, Remove_TrimsTheNameAndEchoesItAsTyped) {
    Console(ada, u"Barterbox.Remove   my deal  ");
    EXPECT_EQ(Replies(), (Replies_{{ada, "(green) Removed exchange 'my deal'"}}));
    EXPECT_EQ(barterbox::ExchangeCount(), 0u);
    EXPECT_THAT(ReadConfig().value(), testing::HasSubstr("\"Exchanges\": {}"));
    EXPECT_EQ(Log(), (Lines{"[Barterbox][info] Barterbox: Config saved",
                            "[Barterbox][info] Barterbox: Removed 'my deal' via command"}));
}

TEST_F(AdminCommands, Remove_UsageNotFoundAndEmptyName) {
    const std::string before = ReadConfig().value();
    Console(ada, u"Barterbox.Remove");
    Console(ada, u"Barterbox.Remove    ");
    Console(ada, u"Barterbox.Remove \"My Deal\"");
    EXPECT_EQ(Replies(), (Replies_{{ada, "(red) Usage: Barterbox.Remove <name>"},
                                   {ada, "(red) Exchange '' not found"},
                                   {ada, "(red) Exchange '\"My Deal\"' not found"}}));
    EXPECT_EQ(ReadConfig(), before);
    EXPECT_TRUE(Log().empty());
}

} // namespace
