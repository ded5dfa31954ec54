// barterbox-check as an administrator runs it: the real program on files on disk, its standard
// output and its exit status.
// It runs the program through a POSIX shell, so it has no Windows build; there the example check
// (BarterboxCheck.ExamplesAreClean) runs barterbox-check.exe itself.
#if !defined(_WIN32)
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <nlohmann/json.hpp>

namespace {

const std::string kProgram = BARTERBOX_CHECK_PROGRAM;
const std::string kExamples = BARTERBOX_SOURCE_DIR "/examples";

struct ProgramRun {
    std::string Output;
    int Status = -1;
};

// Runs the program with the arguments (already quoted for the shell); standard error is dropped.
ProgramRun RunCheck(const std::string& arguments) {
    ProgramRun run;
    const std::string command = "'" + kProgram + "' " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot start " << command;
        return run;
    }
    std::array<char, 4096> buffer{};
    size_t count = 0;
    while ((count = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.Output.append(buffer.data(), count);
    }
    const int status = pclose(pipe);
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class CheckProgram : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("barterbox-check-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

private:
    std::filesystem::path folder_;
};

// The examples' rules.json lies beside their config.json, so each run checks it too.
TEST_F(CheckProgram, ExamplesAreCleanWithAndWithoutTheWorld) {
    const std::string config = kExamples + "/config.json";
    const std::string world = kExamples + "/world.json";
    for (const std::string& arguments :
         {config, config + " --world " + world, "--world " + world + " " + config}) {
        const ProgramRun run = RunCheck(arguments);
        EXPECT_EQ(run.Status, 0) << arguments;
        EXPECT_EQ(run.Output, config + ": no findings, 6 exchanges\n" + kExamples +
                                  "/rules.json: no findings, rules for 4 exchanges\n")
            << arguments;
    }
    // Scripts keep their silence, and programs get the empty array.
    for (const std::string& arguments :
         {"--quiet " + config, "-q --world " + world + " " + config}) {
        const ProgramRun quiet = RunCheck(arguments);
        EXPECT_EQ(quiet.Status, 0) << arguments;
        EXPECT_EQ(quiet.Output, "") << arguments;
    }
    const ProgramRun json = RunCheck("--json " + config);
    EXPECT_EQ(json.Status, 0);
    EXPECT_EQ(json.Output, "[]\n");
    const std::string one =
        Write("one.json", R"({"Exchanges": {"A": {"Give": {"x": 1}, "Receive": {"/G/Y.Y": 1}}}})");
    EXPECT_EQ(RunCheck(one).Output, one + ": no findings, 1 exchange\n");
}

TEST_F(CheckProgram, WarningsOnlyExitWithOne) {
    const std::string config =
        Write("config.json", "{\n  \"Settings\": {\"MaxMultiplier\": 0}\n}\n");
    const ProgramRun run = RunCheck(config);
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Output, config + ":2:33: warning: Settings.MaxMultiplier: 0 is 0 or less; every "
                                   "exchange then fails\n");
}

TEST_F(CheckProgram, ErrorsExitWithTwo) {
    const std::string config = Write("config.json", "{\"Settings\": {\"ChatPrefix\": [1]},}");
    const ProgramRun run = RunCheck(config);
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Output, config + ":1:33: error: a trailing comma before \"}\"; JSON allows no "
                                   "comma after the last member; [json.exception.parse_error.101] "
                                   "parse error at line 1, column 34: syntax error while parsing "
                                   "object key - unexpected '}'; expected string literal\n");

    const ProgramRun missing = RunCheck(config + ".missing");
    EXPECT_EQ(missing.Status, 2);
    EXPECT_EQ(missing.Output,
              config + ".missing: error: cannot read the file: No such file or directory\n");

    // Only regular files: a device would be read until memory runs out.
    const std::string clean = Write("clean.json", "{}");
    for (const std::string& arguments : {std::string("/dev/zero"), "--world /dev/zero " + clean}) {
        const ProgramRun device = RunCheck(arguments);
        EXPECT_EQ(device.Status, 2) << arguments;
        EXPECT_EQ(device.Output, "/dev/zero: error: cannot read the file: not a regular file (a "
                                 "folder, a device or a pipe)\n");
    }
}

TEST_F(CheckProgram, JsonPrintsTheFindingsAsAnArray) {
    const std::string config = Write("config.json", R"({"Exchanges": {"Iron Deal": {}}})");
    const ProgramRun run = RunCheck("--json " + config);
    EXPECT_EQ(run.Status, 1);
    const nlohmann::json findings = nlohmann::json::parse(run.Output);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0]["file"], config);
    EXPECT_EQ(findings[0]["line"], 1);
    EXPECT_EQ(findings[0]["column"], 16);
    EXPECT_EQ(findings[0]["severity"], "warning");
    EXPECT_EQ(findings[0]["exchange"], "Iron Deal");
    EXPECT_EQ(findings[0]["member"], "/Exchanges/Iron Deal");
    EXPECT_EQ(findings[0]["message"],
              "has neither Give nor Receive items; the plugin drops this exchange");
}

// The loop of docs/config.md: "PrimalItemResource_Metal" is paid with the ingots that Ingots
// hands out. The JSON carries the loop, and the graph draws it in red beside the dashed edge of
// the loose match that the loop does not use.
TEST_F(CheckProgram, LoopsReachJsonAndTheGraphAndAGraphThatCannotBeWrittenIsAnError) {
    const std::string resources = "/Game/PrimalEarth/CoreBlueprints/Resources/PrimalItemResource_";
    const std::string config = Write(
        "config.json",
        R"({"Exchanges": {"Crystal": {"Give": {"PrimalItemResource_Metal": 2}, "Receive": {")" +
            resources + R"(Crystal.PrimalItemResource_Crystal": 1}},
                       "Ingots": {"Give": {"PrimalItemResource_Crystal": 1}, "Receive": {")" +
            resources + R"(MetalIngot.PrimalItemResource_MetalIngot": 3}}}})");
    const std::string graph = Write("table.dot", "");
    const ProgramRun run =
        RunCheck("--json --world '" + kExamples + "/world.json' --dot '" + graph + "' " + config);
    EXPECT_EQ(run.Status, 2);
    const nlohmann::json findings = nlohmann::json::parse(run.Output);
    ASSERT_EQ(findings.size(), 3u);
    EXPECT_EQ(findings[0]["severity"], "error");
    EXPECT_EQ(findings[0]["member"], "/Exchanges/Crystal");
    EXPECT_EQ(findings[0]["message"],
              "loop: Crystal x1, Ingots x1 gains 1 PrimalItemResource_MetalIngot_C per round");

    std::ifstream drawn(graph);
    const std::string dot((std::istreambuf_iterator<char>(drawn)), {});
    for (const char* statement : {
             "e0 [shape=box, style=\"rounded,bold\", label=\"Crystal\", color=red, "
             "fontcolor=red];",
             "c5 -> e0 [label=\"2\", style=dashed];",
             "c6 -> e0 [label=\"2\", style=dashed, color=red, fontcolor=red];",
             "e1 -> c6 [label=\"3\", color=red, fontcolor=red];",
         }) {
        EXPECT_NE(dot.find(statement), std::string::npos) << statement << "\n" << dot;
    }

    const std::string folder = std::filesystem::path(graph).parent_path().string();
    const ProgramRun unwritable =
        RunCheck("-q --dot '" + folder + "' " + kExamples + "/config.json");
    EXPECT_EQ(unwritable.Status, 2);
    EXPECT_EQ(unwritable.Output, folder + ": error: cannot write the file: Is a directory\n");
}

// A name may hold any character. In the report lines a newline would forge a line of the name's
// own making, and in the graph a NUL would end Graphviz's reading of the file; both are escaped,
// and the JSON report carries the names as they are.
TEST_F(CheckProgram, ControlCharactersInNamesAreEscapedInEveryOutput) {
    const std::string config =
        Write("config.json",
              "{\"Exchanges\": {\n"
              "  \"Sell\\nconfig.json:1:1: note: all clear\": {\"Give\": {\"/G/A.A\": 1}, "
              "\"Receive\": {\"/G/B.B\": 2}},\n"
              "  \"Buy\\u0000\": {\"Give\": {\"/G/B.B\": 1}, \"Receive\": {\"/G/A.A\": 1}}\n}}");
    const std::string graph = Write("table.dot", "");
    const ProgramRun run = RunCheck("--dot '" + graph + "' " + config);
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Output.find("\nconfig.json:1:1"), std::string::npos) << run.Output;
    // Two lines, each the checker's: the name's space, and the loop.
    EXPECT_EQ(std::count(run.Output.begin(), run.Output.end(), '\n'), 2) << run.Output;
    EXPECT_EQ(run.Output.find(config + ":2:3: warning: "), 0u) << run.Output;
    EXPECT_NE(run.Output.find("loop: Sell\\nconfig.json:1:1: note: all clear x1, Buy\\x00 x1 "
                              "gains 1 B_C per round"),
              std::string::npos)
        << run.Output;

    std::ifstream drawn(graph, std::ios::binary);
    const std::string dot((std::istreambuf_iterator<char>(drawn)), {});
    EXPECT_EQ(dot.find('\0'), std::string::npos);
    EXPECT_NE(dot.find("label=\"Buy\\\\x00\""), std::string::npos) << dot;

    const nlohmann::json findings = nlohmann::json::parse(RunCheck("--json " + config).Output);
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_EQ(findings[1]["exchange"], "Sell\nconfig.json:1:1: note: all clear");
    EXPECT_EQ(findings[1]["message"], "loop: Sell\nconfig.json:1:1: note: all clear x1, " +
                                          std::string("Buy\0 x1", 7) + " gains 1 B_C per round");
}

// A search that runs out of its time says so as a warning rather than keep a script waiting; no
// loop it has not proved is reported. A limit of 0 runs out before the first search.
TEST_F(CheckProgram, ALoopSearchOutOfTimeStopsWithAWarning) {
    const std::string config = Write("config.json", "{\"Exchanges\": {\n"
                                                    "  \"Sell\": {\"Give\": {\"/G/A.A\": 1}, "
                                                    "\"Receive\": {\"/G/B.B\": 2}},\n"
                                                    "  \"Buy\": {\"Give\": {\"/G/B.B\": 1}, "
                                                    "\"Receive\": {\"/G/A.A\": 1}}\n}}");
    const ProgramRun stopped = RunCheck("--loop-seconds 0 " + config);
    EXPECT_EQ(stopped.Status, 1);
    EXPECT_EQ(stopped.Output, config + ": warning: stopped looking for loops after 0 s "
                                       "(--loop-seconds); the exchanges not yet searched may "
                                       "hold loops\n");
    const ProgramRun found = RunCheck("--loop-seconds 5 " + config);
    EXPECT_EQ(found.Status, 2);
    EXPECT_EQ(found.Output, config + ":2:3: error: Exchanges.Sell: loop: Sell x1, Buy x1 gains 1 "
                                     "B_C per round\n");
    EXPECT_EQ(RunCheck("--loop-seconds -1 " + config).Status, 2) << "a usage error";
}

TEST_F(CheckProgram, WorldChecksNeedTheWorldAndABrokenWorldIsAnError) {
    const std::string config =
        Write("config.json",
              R"({"Exchanges": {"A": {"Give": {"Woood": 1}, "Receive": {"/G/Stone": 1}}}})");
    EXPECT_EQ(RunCheck(config).Status, 0) << "without a world, item names are not checked";

    const ProgramRun checked = RunCheck("--world " + kExamples + "/world.json " + config);
    EXPECT_EQ(checked.Status, 1);
    EXPECT_EQ(checked.Output,
              config +
                  ":1:31: warning: Exchanges.A.Give.Woood: matches no item class of the "
                  "world; no player can ever pay it\n" +
                  config +
                  ":1:56: warning: Exchanges.A.Receive.\"/G/Stone\": no item class of the "
                  "world has this blueprint; the game would refuse it, so every run would be "
                  "cancelled\n");

    // A Receive item that is no blueprint path is an error already; the world adds nothing.
    const std::string bare = Write(
        "bare.json", R"({"Exchanges": {"A": {"Give": {"Wood": 1}, "Receive": {"Stone": 1}}}})");
    const ProgramRun once = RunCheck("--world " + kExamples + "/world.json " + bare);
    EXPECT_EQ(once.Status, 2);
    EXPECT_EQ(once.Output, bare +
                               ":1:55: error: Exchanges.A.Receive.Stone: not a blueprint path (it "
                               "holds no \"/\"); the game hands out nothing for it, so the "
                               "exchange never completes\n");

    const std::string world = Write("world.json", "{\"InventorySlots\": -1}");
    const ProgramRun broken = RunCheck("--world " + world + " " + config);
    EXPECT_EQ(broken.Status, 2);
    EXPECT_EQ(broken.Output, world + ":1:20: error: InventorySlots: must be a whole number from 1 "
                                     "to 100000, not -1\n");
}

// rules.json is read from the config's folder when it is there; --rules names another, which must
// be there. The exit status sums up both files.
TEST_F(CheckProgram, RulesBesideTheConfigOrNamedAreCheckedWithIt) {
    const std::string config =
        Write("config.json",
              R"({"Exchanges": {"Ingots": {"Give": {"x": 1}, "Receive": {"/G/Y.Y": 1}}}})");
    const std::string named = Write("trial.json", R"({"Exchanges": {"Ingots": {"Day": 20}}})");
    const ProgramRun alone = RunCheck(config);
    EXPECT_EQ(alone.Status, 0);
    EXPECT_EQ(alone.Output, config + ": no findings, 1 exchange\n") << "no rules.json, no line";
    const ProgramRun clean = RunCheck("--rules " + named + " " + config);
    EXPECT_EQ(clean.Status, 0);
    EXPECT_EQ(clean.Output, config + ": no findings, 1 exchange\n" + named +
                                ": no findings, rules for 1 exchange\n");
    EXPECT_EQ(RunCheck("-q --rules " + named + " " + config).Output, "");

    const std::string beside = Write("rules.json", "{\"Exchanges\": {\"Ingots\": {\"Dya\": 20}}}");
    const ProgramRun warned = RunCheck(config);
    EXPECT_EQ(warned.Status, 1);
    EXPECT_EQ(warned.Output, beside + ":1:27: warning: Exchanges.Ingots.Dya: unknown member (did "
                                      "you mean \"Day\"?); the plugin passes over it, so it "
                                      "limits nothing\n");
    const ProgramRun json = RunCheck("--json " + config);
    const nlohmann::json findings = nlohmann::json::parse(json.Output);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0]["file"], beside);
    EXPECT_EQ(findings[0]["exchange"], "Ingots");
    EXPECT_EQ(findings[0]["member"], "/Exchanges/Ingots/Dya");
    EXPECT_EQ(RunCheck("--rules " + named + " " + config).Status, 0) << "the named one replaces it";

    const ProgramRun missing = RunCheck("--rules " + named + ".missing " + config);
    EXPECT_EQ(missing.Status, 2);
    EXPECT_EQ(missing.Output,
              named + ".missing: error: cannot read the file: No such file or directory\n");
}

// The plugin reads no rules.json through a link, and closes every exchange; a folder is no file.
TEST_F(CheckProgram, RulesThatThePluginCannotReadAreAnError) {
    const std::string config = Write("config.json", "{}");
    const std::string target = Write("shared-rules.json", "{}");
    const std::string link = std::filesystem::path(config).replace_filename("rules.json").string();
    std::filesystem::create_symlink(target, link);
    const ProgramRun linked = RunCheck(config);
    EXPECT_EQ(linked.Status, 2);
    EXPECT_EQ(linked.Output, link + ": error: the file is a symbolic link; the plugin reads no "
                                    "rules.json through a link, and closes every exchange at its "
                                    "load\n");
    std::filesystem::remove(link);
    std::filesystem::create_directory(link);
    const ProgramRun folder = RunCheck(config);
    EXPECT_EQ(folder.Status, 2);
    EXPECT_EQ(folder.Output, link + ": error: cannot read the file: not a regular file (a folder, "
                                    "a device or a pipe)\n");
}

// A Cluster block holds the database's password, which is expected; a file every user of the
// machine may read is a warning, and a member of the block the plugin does not know is one too.
TEST_F(CheckProgram, AClusterPasswordReadableByEveryoneIsAWarning) {
    const std::string config = Write("config.json", "{}");
    const std::string rules = Write("rules.json", R"({"Cluster": {"Server": "Island",
  "Database": {"Host": "db", "User": "barterbox", "Password": "secret", "Name": "ark"}}})");
    std::filesystem::permissions(rules, std::filesystem::perms(0600));
    EXPECT_EQ(RunCheck("-q " + config).Status, 0) << "readable by its owner alone";
    std::filesystem::permissions(rules, std::filesystem::perms(0644));
    const ProgramRun open = RunCheck(config);
    EXPECT_EQ(open.Status, 1);
    EXPECT_EQ(open.Output, rules +
                               ":2:63: warning: Cluster.Database.Password: the file holds the "
                               "trade ledger's database password and every user of this machine "
                               "may read it; let only the server's account read it (chmod 600 "
                               "rules.json)\n");
    Write("rules.json", R"({"Cluster": {"Server": "Island", "Sever": 1,
  "Database": {"Host": "db", "User": "u", "Password": "", "Name": "ark", "Wait": 5}}})");
    std::filesystem::permissions(rules, std::filesystem::perms(0600));
    const ProgramRun unknown = RunCheck("-q " + config);
    EXPECT_EQ(unknown.Status, 1);
    EXPECT_NE(unknown.Output.find("Cluster.Sever: unknown member (did you mean \"Server\"?); "
                                  "the plugin passes over it\n"),
              std::string::npos)
        << unknown.Output;
    EXPECT_NE(unknown.Output.find("Cluster.Database.Wait: unknown member (did you mean "
                                  "\"WaitMs\"?)"),
              std::string::npos)
        << unknown.Output;
}

TEST_F(CheckProgram, UsageErrorsExitWithTwoAndHelpWithZero) {
    EXPECT_EQ(RunCheck("").Status, 2);
    EXPECT_EQ(RunCheck("--bogus x.json").Status, 2);
    EXPECT_EQ(RunCheck("--world").Status, 2);
    const ProgramRun help = RunCheck("--help");
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Output.find("--world"), std::string::npos) << help.Output;
    EXPECT_NE(help.Output.find("--rules"), std::string::npos) << help.Output;
    EXPECT_EQ(RunCheck("--rules").Status, 2);
}

} // namespace

#endif
