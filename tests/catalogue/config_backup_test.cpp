// A save never costs the administrator a file: one the plugin could not read, or one edited by
// hand since the plugin last read or wrote it, is kept as config.json.bak (or .bak.1, ...); a
// linked, read-only or restricted config.json keeps what the administrator set on it.
#include <filesystem>

#include <unistd.h>

#include <gtest/gtest.h>

#include "catalogue/atomic_file.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "config_fixture.h"

namespace {

using namespace barterbox;
using testing_support::ReadBytes;
using testing_support::SavedBytes;
using testing_support::WriteBytes;
using Lines = std::vector<std::string>;

const char* const kKept = "[Barterbox][warning] Barterbox: Kept unreadable config.json as "
                          "config.json.bak";
const char* const kSaved = "[Barterbox][info] Barterbox: Config saved";
const char* const kFailed = "[Barterbox][error] Barterbox: Failed to save config";

// A hand-written table with a missing comma, and one with a value of the wrong type.
const std::string kUnparsable = "{\"Exchanges\": {\"Wood\": {\"Give\": {\"a\": 1} \"Receive\": "
                                "{\"b\": 1}}}}\n";
const std::string kWrongType = "{\"Settings\": {\"MaxMultiplier\": \"ten\"}}\n";

class ConfigBackup : public testing_support::ConfigFixture {
protected:
    void AddAnExchange() { PutExchange({"Stone", "", {{"a", 1}}, {{"b", 1}}}); }
};

TEST_F(ConfigBackup, SaveAfterAnUnreadableLoad_KeepsTheFileAsBakThenSaves) {
    for (const std::string& unreadable : {kUnparsable, kWrongType}) {
        SCOPED_TRACE(unreadable);
        std::filesystem::remove(PathOf("config.json.bak"));
        LoadQuietly(unreadable);
        AddAnExchange();
        SaveConfig();
        EXPECT_EQ(LogTexts(), (Lines{kKept, kSaved}));
        EXPECT_EQ(ReadBytes(PathOf("config.json.bak")), unreadable);
        EXPECT_EQ(ReadBytes(ConfigFile()), SavedBytes(ConfigText()));
        EXPECT_EQ(FolderEntries(), (Lines{"config.json", "config.json.bak"}));
    }
}

TEST_F(ConfigBackup, NeverOverwritesAnEarlierBackup) {
    WriteBytes(PathOf("config.json.bak"), "older backup");
    LoadQuietly(kUnparsable);
    SaveConfig();
    LoadQuietly(kWrongType);
    SaveConfig();
    EXPECT_EQ(ReadBytes(PathOf("config.json.bak")), "older backup");
    EXPECT_EQ(ReadBytes(PathOf("config.json.bak.1")), kUnparsable);
    EXPECT_EQ(ReadBytes(PathOf("config.json.bak.2")), kWrongType);
    EXPECT_EQ(LogTexts(), (Lines{"[Barterbox][warning] Barterbox: Kept unreadable config.json as "
                                 "config.json.bak.2",
                                 kSaved}));
}

TEST_F(ConfigBackup, KeepsTheFileOnlyOnce) {
    LoadQuietly(kUnparsable);
    SaveConfig();
    AddAnExchange();
    SaveConfig();
    EXPECT_EQ(LogTexts(), (Lines{kKept, kSaved, kSaved}));
    EXPECT_EQ(ReadBytes(PathOf("config.json.bak")), kUnparsable);
}

TEST_F(ConfigBackup, NoBakAfterALoadThatReadTheFileOrFoundNone) {
    LoadQuietly(kUnparsable);
    LoadQuietly("{}");
    SaveConfig();

    LoadQuietly(kUnparsable);
    std::filesystem::remove(ConfigFile());
    LoadConfig();
    Sink().Clear();
    SaveConfig();

    EXPECT_EQ(LogTexts(), Lines{kSaved});
    EXPECT_EQ(FolderEntries(), Lines{"config.json"});
}

TEST_F(ConfigBackup, FileRemovedSinceTheLoad_IsSimplySaved) {
    LoadQuietly(kUnparsable);
    std::filesystem::remove(ConfigFile());
    SaveConfig();
    EXPECT_EQ(LogTexts(), Lines{kSaved});
    EXPECT_EQ(FolderEntries(), Lines{"config.json"});
}

TEST_F(ConfigBackup, FailedWrite_LeavesTheUnreadableFileInPlaceForTheNextSave) {
    LoadQuietly(kUnparsable);
    FileSystem().Flush = [](std::FILE*) { return EOF; };
    SaveConfig();
    EXPECT_EQ(ReadBytes(ConfigFile()), kUnparsable);
    EXPECT_EQ(FolderEntries(), Lines{"config.json"});

    FileSystem() = RealFileSystem();
    SaveConfig();
    EXPECT_EQ(LogTexts(), (Lines{kFailed, kKept, kSaved}));
    EXPECT_EQ(ReadBytes(PathOf("config.json.bak")), kUnparsable);
}

TEST_F(ConfigBackup, FailedFinalRename_LeavesTheFileInPlaceAndNoStrayBackup) {
    LoadQuietly(kUnparsable);
    FileSystem().Replace = [](const char*, const char*) { return -1; };
    EXPECT_FALSE(SaveConfig());
    EXPECT_EQ(LogTexts(), Lines{kFailed});
    EXPECT_EQ(ReadBytes(ConfigFile()), kUnparsable);
    EXPECT_EQ(FolderEntries(), Lines{"config.json"}) << "the temporary file is removed";
}

TEST_F(ConfigBackup, FolderInPlaceOfTheFile_IsMovedAside) {
    std::filesystem::create_directory(ConfigFile());
    WriteBytes(ConfigFile() + "/notes.txt", "kept");
    LoadConfig();
    Sink().Clear();
    SaveConfig();
    EXPECT_EQ(LogTexts(), (Lines{kKept, kSaved}));
    EXPECT_EQ(ReadBytes(PathOf("config.json.bak/notes.txt")), "kept");
    EXPECT_EQ(ReadBytes(ConfigFile()), SavedBytes(ConfigText()));
}

// ---- Files the administrator changed, linked or protected ----

const char* const kChanged = "[Barterbox][warning] Barterbox: config.json changed on disk since it "
                             "was loaded; kept it as config.json.bak";

TEST_F(ConfigBackup, HandEditSinceTheLoad_IsKeptAsideBeforeTheSave) {
    const std::string edited = "{\"Exchanges\": {}, \"Settings\": {\"ChatPrefix\": \"Edited\"}}";
    for (const bool sameSize : {false, true}) {
        SCOPED_TRACE(sameSize);
        std::filesystem::remove(PathOf("config.json.bak"));
        LoadQuietly("{}");
        // An edit of the same size is told by its time or, failing that, its content.
        WriteBytes(ConfigFile(), sameSize ? std::string("[ ]") : edited);
        AddAnExchange();
        EXPECT_TRUE(SaveConfig());
        EXPECT_EQ(LogTexts(), (Lines{kChanged, kSaved}));
        EXPECT_EQ(ReadBytes(PathOf("config.json.bak")), sameSize ? "[ ]" : edited);
        EXPECT_EQ(ReadBytes(ConfigFile()), SavedBytes(ConfigText()));
        Sink().Clear();
    }
    // The plugin's own last save is no hand edit.
    AddAnExchange();
    SaveConfig();
    EXPECT_EQ(LogTexts(), Lines{kSaved});
}

TEST_F(ConfigBackup, UnreadableFileFixedByHandSinceTheLoad_IsKeptAsAHandEdit) {
    LoadQuietly(kUnparsable);
    WriteBytes(ConfigFile(), "{\"Exchanges\": {\"Fixed\": {}}}");
    SaveConfig();
    EXPECT_EQ(LogTexts(), (Lines{kChanged, kSaved}));
    EXPECT_EQ(ReadBytes(PathOf("config.json.bak")), "{\"Exchanges\": {\"Fixed\": {}}}");
}

TEST_F(ConfigBackup, FileCreatedByHandAfterALoadThatFoundNone_IsKeptAside) {
    WriteBytes(ConfigFile(), "{\"Exchanges\": {}}");
    SaveConfig();
    EXPECT_EQ(LogTexts(), (Lines{kChanged, kSaved}));
    EXPECT_EQ(ReadBytes(PathOf("config.json.bak")), "{\"Exchanges\": {}}");
}

TEST_F(ConfigBackup, LinkedConfig_IsSavedWhereItPointsAndStaysALink) {
#if defined(_WIN32)
    GTEST_SKIP() << "symbolic links need an administrator's right on Windows";
#endif
    const std::string shared = PathOf("cluster/shared.json");
    std::filesystem::create_directory(PathOf("cluster"));
    WriteBytes(shared, "{}");
    std::filesystem::permissions(shared, std::filesystem::perms(0600));
    std::filesystem::create_symlink("cluster/shared.json", ConfigFile());
    LoadConfig();
    Sink().Clear();
    AddAnExchange();
    EXPECT_TRUE(SaveConfig());
    EXPECT_TRUE(std::filesystem::is_symlink(ConfigFile()));
    EXPECT_EQ(ReadBytes(shared), SavedBytes(ConfigText()));
    EXPECT_EQ(std::filesystem::status(shared).permissions(), std::filesystem::perms(0600));
    EXPECT_EQ(FolderEntries(), (Lines{"cluster", "config.json"}));
}

TEST_F(ConfigBackup, ReadOnlyConfig_IsNotReplaced) {
    LoadQuietly("{}");
    std::filesystem::permissions(ConfigFile(), std::filesystem::perms(0444));
    AddAnExchange();
    EXPECT_FALSE(SaveConfig());
    EXPECT_EQ(LogTexts(), Lines{kFailed});
    EXPECT_EQ(ReadBytes(ConfigFile()), "{}");
    EXPECT_EQ(FolderEntries(), Lines{"config.json"});
}

TEST_F(ConfigBackup, PlantedTemporaryLink_IsRemovedNeverWrittenThrough) {
#if defined(_WIN32)
    GTEST_SKIP() << "symbolic links need an administrator's right on Windows";
#endif
    const std::string victim = PathOf("victim.txt");
    WriteBytes(victim, "precious");
    std::filesystem::create_symlink(victim, ConfigFile() + ".tmp");
    AddAnExchange();
    EXPECT_TRUE(SaveConfig());
    EXPECT_EQ(ReadBytes(victim), "precious");
    EXPECT_EQ(ReadBytes(ConfigFile()), SavedBytes(ConfigText()));
    EXPECT_EQ(FolderEntries(), (Lines{"config.json", "victim.txt"}));
}

} // namespace
