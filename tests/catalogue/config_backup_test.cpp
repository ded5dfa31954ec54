// A save after a load that found config.json but could not read it keeps that file as
// config.json.bak, so that a typo in a hand-written table never costs the administrator the table.
#include <filesystem>

#include <gtest/gtest.h>

#include "catalogue/atomic_file.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "config_fixture.h"

namespace {

using namespace barterbox;
using testing_support::ReadBytes;
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
        EXPECT_EQ(ReadBytes(ConfigFile()), ConfigText());
        EXPECT_EQ(FolderEntries(), (Lines{"config.json", "config.json.bak"}));
    }
}

TEST_F(ConfigBackup, ReplacesAnOlderBak) {
    WriteBytes(PathOf("config.json.bak"), "older backup");
    LoadQuietly(kUnparsable);
    SaveConfig();
    EXPECT_EQ(ReadBytes(PathOf("config.json.bak")), kUnparsable);
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

TEST_F(ConfigBackup, FailedRenameToBak_FailsTheSaveAndOverwritesNothing) {
    LoadQuietly(kUnparsable);
    FileSystem().Replace = [](const char* from, const char* to) {
        const std::string target(to);
        if (target.size() >= 4 && target.compare(target.size() - 4, 4, ".bak") == 0) {
            return -1;
        }
        return RealFileSystem().Replace(from, to);
    };
    SaveConfig();
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
    EXPECT_EQ(ReadBytes(ConfigFile()), ConfigText());
}

} // namespace
