// A fault inside a command never reaches the game server: an exception thrown where the plugin
// calls the file system is caught at the command's entry (or, for the audit, at the sink), logged
// as one line naming where, answered as far as it can be, and the next command runs as usual.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <gtest/gtest.h>

#include "commands_fixture.h"
#include "platform/file_call_table.h"

namespace {

using namespace commands_tests;
using Lines = std::vector<std::string>;

constexpr char kConfig[] = R"({"Exchanges": {"Wood": {"Give": {"PrimalItemResource_Wood": 10},
  "Receive": {"/Game/PrimalEarth/CoreBlueprints/Resources/PrimalItemResource_Stone.PrimalItemResource_Stone": 1}}}})";
constexpr char kFault[] = "the disk controller stopped";

std::FILE* ThrowingOpen(const char*, const char*) {
    throw std::runtime_error(kFault);
}
std::FILE* ThrowingOpenRegular(const char*) {
    throw std::runtime_error(kFault);
}
std::FILE* ThrowingOpenAppend(const char*) {
    throw std::runtime_error(kFault);
}

enum class Way { Chat, Console, Rcon };

struct GuardCase {
    const char* What;
    Way By;
    const char16_t* Line;
    bool FailRegularOpens; // else the opens that create or append
    // What the fault leaves: one log line, and the reply to whoever asked.
    Lines Logged;
    std::string Reply;
    // The reply once the file system works again.
    std::string Then;
};

class GuardFixture : public CommandsFixture {
protected:
    void SetUp() override {
        CommandsFixture::SetUp();
        Load(kConfig);
        world->GiveItems("Bob", "PrimalItemResource_Wood", 30);
    }
    void TearDown() override {
        barterbox::ResetFileSystem();
        CommandsFixture::TearDown();
    }
    void Send(const GuardCase& c) {
        switch (c.By) {
        case Way::Chat:
            Chat(bob, c.Line);
            break;
        case Way::Console:
            Console(ada, c.Line);
            break;
        case Way::Rcon:
            Rcon(5, c.Line);
            break;
        }
    }
    // The reply to whoever asked, as one text.
    std::string LastReply(Way by) {
        if (by == Way::Rcon) {
            return RconReplies().empty() ? "" : RconReplies().back();
        }
        return Replies().empty() ? "" : Replies().back().Text;
    }
};

class EntryGuard : public GuardFixture, public testing::WithParamInterface<GuardCase> {};

TEST_P(EntryGuard, AFaultIsLoggedAnsweredAndTheNextCommandRunsAsUsual) {
    const GuardCase& c = GetParam();
    if (c.FailRegularOpens) {
        barterbox::FileSystem().OpenRegular = &ThrowingOpenRegular;
    } else {
        barterbox::FileSystem().Open = &ThrowingOpen;
        barterbox::FileSystem().OpenAppend = &ThrowingOpenAppend;
    }
    Send(c);
    EXPECT_EQ(Log(), c.Logged);
    EXPECT_EQ(LastReply(c.By), c.Reply);

    barterbox::ResetFileSystem();
    Sink().Clear();
    Send(c);
    for (const std::string& line : Log()) {
        EXPECT_EQ(line.find("Internal error"), std::string::npos) << line;
    }
    EXPECT_EQ(LastReply(c.By), c.Then);
}

const std::string kInternal = "[Barterbox][error] Barterbox: Internal error in ";
const std::string kGaveBack = "[Barterbox][warning] Barterbox: Cancelled 'Wood' for 00022b0b: gave "
                              "back " +
                              std::string(testing_support::kWoodPath) + "_C x10";

// The fault is raised where the plugin calls the file system; the exchange's own cases below.
INSTANTIATE_TEST_SUITE_P(
    Commands, EntryGuard,
    testing::Values(
        GuardCase{"Save",
                  Way::Console,
                  u"Barterbox.Save",
                  false,
                  {kInternal + "Barterbox.Save: " + kFault},
                  "(red) Barterbox: Internal error in Barterbox.Save; the server's log says why",
                  "(green) Barterbox: Config saved (1 exchanges)"},
        GuardCase{"Reload",
                  Way::Console,
                  u"Barterbox.Reload",
                  true,
                  {kInternal + "Barterbox.Reload: " + kFault},
                  "(red) Barterbox: Internal error in Barterbox.Reload; the server's log says "
                  "why",
                  "(green) Barterbox: Reloaded 1 exchanges"},
        // The audit's sink keeps its own fault; the trade, left with no record, is undone and
        // answered, and so is its cancellation's record.
        GuardCase{"ChatWithTheAuditFailing",
                  Way::Chat,
                  u"/ex Wood",
                  false,
                  {kInternal + "audit sink day file: " + kFault, kGaveBack,
                   kInternal + "audit sink day file: " + kFault},
                  "<Barterbox> Failed to record the exchange. Exchange cancelled.",
                  "<Barterbox> Exchange complete: Wood x1"},
        GuardCase{"RconWithTheAuditFailing",
                  Way::Rcon,
                  u"Barterbox.Do 00022b0b Wood",
                  false,
                  {kInternal + "audit sink day file: " + kFault, kGaveBack,
                   kInternal + "audit sink day file: " + kFault},
                  "5: Exchange failed",
                  "5: Exchange completed"}),
    [](const testing::TestParamInfo<GuardCase>& info) { return std::string(info.param.What); });

// A fault in the middle of an exchange, after the Give items were taken: they go back before the
// fault reaches the guard, and the attempt is on the record as cancelled.
TEST_F(GuardFixture, AFaultMidExchange_GivesBackWhatWasTakenAndIsRecorded) {
    bool thrown = false;
    world->SetGiveRefusal([&](std::string_view, int32_t) -> bool {
        if (!std::exchange(thrown, true)) {
            throw std::runtime_error(kFault);
        }
        return false;
    });
    Chat(bob, u"/ex Wood");
    EXPECT_EQ(Carried("Bob", "PrimalItemResource_Wood"), 30);
    EXPECT_EQ(Carried("Bob", "PrimalItemResource_Stone"), 0);
    EXPECT_EQ(Log(), (Lines{"[Barterbox][warning] Barterbox: Cancelled 'Wood' for 00022b0b: gave "
                            "back " +
                                std::string(testing_support::kWoodPath) + "_C x10",
                            kInternal + "/ex: " + kFault}));
    EXPECT_EQ(LastReply(Way::Chat),
              "<Barterbox> Something went wrong inside the plugin; an administrator "
              "can read why in the server's log");
    const std::filesystem::path audit = std::filesystem::path(ConfigPath()).parent_path() / "audit";
    ASSERT_TRUE(std::filesystem::exists(audit));
    const auto day = *std::filesystem::directory_iterator(audit);
    std::ifstream in(day.path());
    const std::string records{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(records.find(R"("outcome":"cancelled")"), std::string::npos) << records;
}

} // namespace
