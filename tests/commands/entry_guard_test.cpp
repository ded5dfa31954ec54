// A fault inside a command never reaches the game server: an exception thrown where the plugin
// calls the file system is caught at the command's entry (or, for the audit, at the sink), logged
// as one line naming where, answered as far as it can be, and the next command runs as usual.
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

class EntryGuard : public CommandsFixture, public testing::WithParamInterface<GuardCase> {
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
    std::string LastReply() {
        if (GetParam().By == Way::Rcon) {
            return RconReplies().empty() ? "" : RconReplies().back();
        }
        return Replies().empty() ? "" : Replies().back().Text;
    }
};

TEST_P(EntryGuard, AFaultIsLoggedAnsweredAndTheNextCommandRunsAsUsual) {
    const GuardCase& c = GetParam();
    if (c.FailRegularOpens) {
        barterbox::FileSystem().OpenRegular = &ThrowingOpenRegular;
    } else {
        barterbox::FileSystem().Open = &ThrowingOpen;
    }
    Send(c);
    EXPECT_EQ(Log(), c.Logged);
    EXPECT_EQ(LastReply(), c.Reply);

    barterbox::ResetFileSystem();
    Sink().Clear();
    Send(c);
    for (const std::string& line : Log()) {
        EXPECT_EQ(line.find("Internal error"), std::string::npos) << line;
    }
    EXPECT_EQ(LastReply(), c.Then);
}

const std::string kInternal = "[Barterbox][error] Barterbox: Internal error in ";
const std::string kCompleted = "[Barterbox][info] Barterbox: Player completed 'Wood' x1";

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
        // The audit's sink keeps its own fault: the exchange completes and is answered.
        GuardCase{"ChatWithTheAuditFailing",
                  Way::Chat,
                  u"/ex Wood",
                  false,
                  {kInternal + "audit sink day file: " + kFault, kCompleted},
                  "<Barterbox> Exchange complete: Wood x1",
                  "<Barterbox> Exchange complete: Wood x1"},
        GuardCase{"RconWithTheAuditFailing",
                  Way::Rcon,
                  u"Barterbox.Do 00022b0b Wood",
                  false,
                  {kInternal + "audit sink day file: " + kFault, kCompleted},
                  "5: Exchange completed",
                  "5: Exchange completed"}),
    [](const testing::TestParamInfo<GuardCase>& info) { return std::string(info.param.What); });

} // namespace
