// SaveConfig: the exact bytes it writes, and saves that fail part-way (through the file-system
// seam and through the operating system's own limits) leaving the earlier file as it was.
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <system_error>

#if !defined(_WIN32)
#include <sys/resource.h>
#endif

#include <gtest/gtest.h>

#include "catalogue/atomic_file.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"
#include "config_fixture.h"

namespace {

using namespace barterbox;
using testing_support::ReadBytes;
using testing_support::SavedBytes;
using testing_support::WriteBytes;
using Lines = std::vector<std::string>;

const char* const kSaved = "[Barterbox][info] Barterbox: Config saved";
const char* const kFailed = "[Barterbox][error] Barterbox: Failed to save config";
const std::string kWhy = "[Barterbox][error] Barterbox: Save failed: ";

const std::string kThatch = "Blueprint'/Game/PrimalEarth/CoreBlueprints/Items/Structures/Thatch/"
                            "PrimalItemStructure_ThatchFloor.PrimalItemStructure_ThatchFloor'";

// The state whose save is data/saved_config.json.
void PutGoldenState() {
    Settings() = {"Tauschb\xC3\xB6rse", false, 25};
    PutExchange({"\xC3\x89"
                 "clat",
                 "Ein \"Glanz\" \xE2\x86\x92 Perle\\Stein",
                 {{"Kristall", 2147483647}},
                 {{"Perle", 0}}});
    PutExchange({"metal",
                 "",
                 {{"PrimalItemResource_Metal", 1}, {"PrimalItemResource_Metal", 7}},
                 {{"PrimalItemResource_MetalIngot", -3}}});
    PutExchange({"Wood",
                 "Wood for thatch",
                 {{"PrimalItemResource_Wood", 10}, {"PrimalItemResource_Fiber", 5}},
                 {{kThatch, 1}}});
    PutExchange({"Empty", "", {}, {{"PrimalItemResource_Stone", 1}}});
}

std::string GoldenBytes() {
    return testing_support::ReadBytes(BARTERBOX_CATALOGUE_TEST_DATA "/saved_config.json");
}

class ConfigSave : public testing_support::ConfigFixture {};

// --- What a save writes ----------------------------------------------------------------------

TEST_F(ConfigSave, WritesSortedTwoSpaceUnescapedTextWithoutFinalLineBreak) {
    PutGoldenState();
    SaveConfig();
    EXPECT_EQ(LogTexts(), Lines{kSaved});
    EXPECT_EQ(ReadBytes(ConfigFile()), SavedBytes(GoldenBytes()));
    EXPECT_EQ(FolderEntries(), (Lines{"config.json", "config.json.lock"}))
        << "no temporary file stays behind";
}

TEST_F(ConfigSave, ReplacesALongerFileWhole) {
    LoadQuietly(std::string(100000, ' ') + "{}");
    PutGoldenState();
    SaveConfig();
    EXPECT_EQ(ReadBytes(ConfigFile()), SavedBytes(GoldenBytes()));
}

TEST_F(ConfigSave, EmptyTableAndDefaultSettings_WriteBothMembers) {
    SaveConfig();
    EXPECT_EQ(ReadBytes(ConfigFile()), SavedBytes("{\n"
                                                  "  \"Exchanges\": {},\n"
                                                  "  \"Settings\": {\n"
                                                  "    \"AllowMultiplier\": true,\n"
                                                  "    \"ChatPrefix\": \"Barterbox\",\n"
                                                  "    \"MaxMultiplier\": 100\n"
                                                  "  }\n"
                                                  "}"));
}

TEST_F(ConfigSave, AfterALoad_RewritesSortedWithoutIgnoredMembersOrDroppedExchangesKeepingABackup) {
    const std::string loaded =
        R"({"Version": 3, "Settings": {"MaxMultiplier": 7.5, "Colour": "red"},
        "Exchanges": {"z": {"Receive": {"b": "5", "a": 2.9}, "Give": {"c": true}, "Note": 1},
                      "Dropped": {"Give": {"a": 1}},
                      "A": {"Give": {"x": 1}, "Receive": {"y": 1}, "Description": "\u00e9"}}})";
    LoadQuietly(loaded);
    SaveConfig();
    EXPECT_EQ(LogTexts(), (Lines{"[Barterbox][warning] Barterbox: Kept config.json as "
                                 "config.json.bak: the load dropped parts of it that this save "
                                 "does not write",
                                 kSaved}));
    EXPECT_EQ(ReadBytes(PathOf("config.json.bak")), loaded);
    EXPECT_EQ(ReadBytes(ConfigFile()), SavedBytes("{\n"
                                                  "  \"Exchanges\": {\n"
                                                  "    \"A\": {\n"
                                                  "      \"Description\": \"\xC3\xA9\",\n"
                                                  "      \"Give\": {\n"
                                                  "        \"x\": 1\n"
                                                  "      },\n"
                                                  "      \"Receive\": {\n"
                                                  "        \"y\": 1\n"
                                                  "      }\n"
                                                  "    },\n"
                                                  "    \"z\": {\n"
                                                  "      \"Description\": \"\",\n"
                                                  "      \"Give\": {\n"
                                                  "        \"c\": 1\n"
                                                  "      },\n"
                                                  "      \"Receive\": {\n"
                                                  "        \"a\": 2,\n"
                                                  "        \"b\": 1\n"
                                                  "      }\n"
                                                  "    }\n"
                                                  "  },\n"
                                                  "  \"Settings\": {\n"
                                                  "    \"AllowMultiplier\": true,\n"
                                                  "    \"ChatPrefix\": \"Barterbox\",\n"
                                                  "    \"MaxMultiplier\": 7\n"
                                                  "  }\n"
                                                  "}"));
}

TEST_F(ConfigSave, SavedFile_LoadsBackToTheSameTableAndSettings) {
    PutGoldenState();
    SaveConfig();
    Settings() = PluginSettings{};
    LoadConfig();
    EXPECT_EQ(Settings().ChatPrefix, "Tauschb\xC3\xB6rse");
    EXPECT_FALSE(Settings().AllowMultiplier);
    EXPECT_EQ(Settings().MaxMultiplier, 25);
    EXPECT_EQ(ExchangeCount(), 3u) << "the exchange without Give items is dropped on load";
    const ExchangeDefinition* metal = FindExchange("METAL");
    ASSERT_NE(metal, nullptr);
    ASSERT_EQ(metal->Give.size(), 1u);
    EXPECT_EQ(metal->Give[0].Quantity, 7);
    EXPECT_EQ(FindExchange("\xC3\x89"
                           "clat")
                  ->Description,
              "Ein \"Glanz\" \xE2\x86\x92 Perle\\Stein");
}

// --- Saves that fail -------------------------------------------------------------------------

class ConfigSaveFailure : public testing_support::ConfigFixture {
protected:
    void SetUp() override {
        ConfigFixture::SetUp();
        // An earlier save, then a change that the failing save must not write.
        PutExchange({"Wood", "", {{"a", 1}}, {{"b", 2}}});
        SaveConfig();
        previous_ = ReadBytes(ConfigFile());
        PutGoldenState();
        Sink().Clear();
    }

    // The earlier file byte for byte, no temporary file, the error lines alone, the table intact.
    void ExpectNothingChanged(const std::string& reason) {
        EXPECT_EQ(ReadBytes(ConfigFile()), previous_);
        EXPECT_EQ(FolderEntries(), (Lines{"config.json", "config.json.lock"}));
        EXPECT_EQ(LogTexts(), (Lines{kFailed, kWhy + reason}));
        EXPECT_EQ(ExchangeCount(), 4u);
        ASSERT_NE(FindExchange("Wood"), nullptr);
        EXPECT_EQ(FindExchange("Wood")->Description, "Wood for thatch");
    }

    std::string previous_;
};

struct FailingStep {
    const char* Name;
    void (*Break)(FileSystemCalls& calls);
    const char* Reason; // the second error line, which says why, before the system's words
    int Error;          // errno as the failing call left it; 0 for none
};

// The system's words for the error, as this platform's C library has them.
std::string Words(int error) {
    return error == 0 ? "the system gave no reason" : std::generic_category().message(error);
}

const FailingStep kFailingSteps[] = {
    {"open",
     [](FileSystemCalls& calls) {
         calls.Open = [](const char*, const char*) -> std::FILE* {
             errno = EACCES;
             return nullptr;
         };
     },
     "cannot create a new file beside config.json: ", EACCES},
    {"short write",
     [](FileSystemCalls& calls) {
         calls.Write = [](const void* data, std::size_t size, std::size_t count, std::FILE* file) {
             const std::size_t written = RealFileSystem().Write(data, size, count / 2, file);
             errno = ENOSPC;
             return written;
         };
     },
     "cannot write the new file beside config.json: ", ENOSPC},
    {"flush", [](FileSystemCalls& calls) { calls.Flush = [](std::FILE*) { return EOF; }; },
     "cannot write the new file beside config.json: ", 0},
    {"sync",
     [](FileSystemCalls& calls) {
         calls.Sync = [](std::FILE*) {
             errno = EIO;
             return -1;
         };
     },
     "cannot write the new file beside config.json: ", EIO},
    {"close",
     [](FileSystemCalls& calls) {
         calls.Close = [](std::FILE* file) {
             RealFileSystem().Close(file);
             errno = ENOSPC;
             return EOF;
         };
     },
     "cannot write the new file beside config.json: ", ENOSPC},
    {"rename",
     [](FileSystemCalls& calls) {
         calls.Replace = [](const char*, const char*) {
             errno = EBUSY;
             return -1;
         };
     },
     "cannot put the new file in the place of config.json: ", EBUSY},
};

TEST_F(ConfigSaveFailure, AnyFailingStep_LeavesTheEarlierFileAndLogsTheErrorWithItsReason) {
    for (const FailingStep& step : kFailingSteps) {
        SCOPED_TRACE(step.Name);
        FileSystem() = RealFileSystem();
        step.Break(FileSystem());
        Sink().Clear();
        SaveConfig();
        ExpectNothingChanged(step.Reason + Words(step.Error));
    }
}

#if !defined(_WIN32) // Windows has no per-process file size limit
TEST_F(ConfigSaveFailure, FileSizeLimit_LeavesTheEarlierFileAndLogsTheError) {
    // The operating system's own refusal, as on a full disk: writes past 64 bytes fail (EFBIG),
    // with the signal that would kill the process ignored.
    rlimit previousLimit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previousLimit), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit smallLimit = previousLimit;
    smallLimit.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &smallLimit), 0);
    SaveConfig();
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &previousLimit), 0);
    std::signal(SIGXFSZ, previousHandler);

    ExpectNothingChanged("cannot write the new file beside config.json: " + Words(EFBIG));
}
#endif

TEST_F(ConfigSaveFailure, RemovedFolder_LogsTheErrorAndKeepsTheTable) {
    std::filesystem::remove_all(Folder());
    SaveConfig();
    EXPECT_EQ(
        LogTexts(),
        (Lines{kFailed, kWhy + "cannot create a new file beside config.json: " + Words(ENOENT)}));
    EXPECT_EQ(ExchangeCount(), 4u);
    EXPECT_FALSE(std::filesystem::exists(Folder())) << "a save creates no folder";
}

TEST_F(ConfigSaveFailure, TextThatIsNotUtf8_LeavesTheEarlierFileAndLogsTheError) {
    PutExchange({"Bad\xFF", "", {{"a", 1}}, {{"b", 1}}});
    SaveConfig();
    EXPECT_EQ(ReadBytes(ConfigFile()), previous_);
    EXPECT_EQ(FolderEntries(), (Lines{"config.json", "config.json.lock"}));
    ASSERT_EQ(LogTexts().size(), 2u);
    EXPECT_EQ(LogTexts()[0], kFailed);
    EXPECT_EQ(LogTexts()[1].rfind(kWhy + "a name or text is not valid UTF-8: ", 0), 0u)
        << LogTexts()[1];
}

TEST_F(ConfigSaveFailure, ANextSaveAfterAFailure_Succeeds) {
    FileSystem().Sync = [](std::FILE*) { return -1; };
    SaveConfig();
    FileSystem() = RealFileSystem();
    SaveConfig();
    EXPECT_EQ(LogTexts(),
              (Lines{kFailed,
                     kWhy + "cannot write the new file beside config.json: the system gave no "
                            "reason",
                     kSaved}));
    EXPECT_EQ(ReadBytes(ConfigFile()), SavedBytes(GoldenBytes()));
}

} // namespace
