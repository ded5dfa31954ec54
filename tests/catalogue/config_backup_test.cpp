// A save never costs the administrator a file: one the plugin could not read, or one edited by
// hand since the plugin last read or wrote it, is kept as config.json.bak (or .bak.1, ...); a
// linked, read-only or restricted config.json keeps what the administrator set on it.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <system_error>
#include <thread>

#if !defined(_WIN32)
#include <sys/resource.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "catalogue/atomic_file.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"
#include "config_fixture.h"
#include "platform/file_lock.h"

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
const std::string kWhy = "[Barterbox][error] Barterbox: Save failed: ";
const char* const kNotRegular = "config.json is not a regular file (it is, or leads to, a folder, "
                                "a device or a pipe); nothing was written";

// A hand-written table with a missing comma, and one with a value of the wrong type.
const std::string kUnparsable = "{\"Exchanges\": {\"Wood\": {\"Give\": {\"a\": 1} \"Receive\": "
                                "{\"b\": 1}}}}\n";
const std::string kWrongType = "{\"Settings\": {\"MaxMultiplier\": \"ten\"}}\n";

class ConfigBackup : public testing_support::ConfigFixture {
protected:
    static void AddAnExchange() { PutExchange({"Stone", "", {{"a", 1}}, {{"b", 1}}}); }
};

const char* const kReadAgain = "[Barterbox][info] Barterbox: config.json changed on disk since "
                               "this server read it; the change is made to the file as it is now";
const char* const kChangedOnDisk = "config.json changed on disk since this server read it "
                                   "(another server's save or a hand edit); nothing was written";

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
        EXPECT_EQ(FolderEntries(), (Lines{"config.json", "config.json.bak", "config.json.lock"}));
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
    EXPECT_EQ(FolderEntries(), (Lines{"config.json", "config.json.lock"}));
}

TEST_F(ConfigBackup, FileRemovedSinceTheLoad_IsSimplySaved) {
    LoadQuietly(kUnparsable);
    std::filesystem::remove(ConfigFile());
    SaveConfig();
    EXPECT_EQ(LogTexts(), Lines{kSaved});
    EXPECT_EQ(FolderEntries(), (Lines{"config.json", "config.json.lock"}));
}

TEST_F(ConfigBackup, FailedWrite_LeavesTheUnreadableFileInPlaceForTheNextSave) {
    LoadQuietly(kUnparsable);
    FileSystem().Flush = [](std::FILE*) { return EOF; };
    SaveConfig();
    EXPECT_EQ(ReadBytes(ConfigFile()), kUnparsable);
    EXPECT_EQ(FolderEntries(), (Lines{"config.json", "config.json.lock"}));

    FileSystem() = RealFileSystem();
    SaveConfig();
    EXPECT_EQ(LogTexts(),
              (Lines{kFailed,
                     kWhy + "cannot write the new file beside config.json: the system gave no "
                            "reason",
                     kKept, kSaved}));
    EXPECT_EQ(ReadBytes(PathOf("config.json.bak")), kUnparsable);
}

TEST_F(ConfigBackup, FailedFinalRename_LeavesTheFileInPlaceAndNoStrayBackup) {
    LoadQuietly(kUnparsable);
    FileSystem().Replace = [](const char*, const char*) {
        errno = EACCES;
        return -1;
    };
    EXPECT_FALSE(SaveConfig());
    EXPECT_EQ(LogTexts(), (Lines{kFailed, kWhy +
                                              "cannot put the new file in the place of "
                                              "config.json: " +
                                              std::generic_category().message(EACCES)}));
    EXPECT_EQ(ReadBytes(ConfigFile()), kUnparsable);
    EXPECT_EQ(FolderEntries(), (Lines{"config.json", "config.json.lock"}))
        << "the temporary file is removed";

    // A folder in the file's place is neither moved aside nor replaced, whatever the rename does.
    std::filesystem::remove(ConfigFile());
    std::filesystem::create_directory(ConfigFile());
    WriteBytes(ConfigFile() + "/notes.txt", "kept");
    LoadConfig();
    Sink().Clear();
    EXPECT_FALSE(SaveConfig());
    EXPECT_EQ(LogTexts(), (Lines{kFailed, kWhy + kNotRegular}));
    EXPECT_EQ(ReadBytes(PathOf("config.json/notes.txt")), "kept");
    EXPECT_EQ(FolderEntries(), (Lines{"config.json", "config.json.lock"}));
}

// A backup that is a copy (no hard links on the file system) and does not fit the disk fails the
// save with the system's own reason, and leaves no partial copy; the old file stays.
int& WritesLeft() {
    static int left = 0;
    return left;
}

TEST_F(ConfigBackup, BackupCopyThatDoesNotFit_FailsTheSaveWithTheSystemsReason) {
    LoadQuietly(kUnparsable);
    FileSystem().Link = [](const char*, const char*) {
        errno = EPERM; // as on FAT
        return -1;
    };
    WritesLeft() = 1; // the new file's text; the copy's first block finds the disk full
    FileSystem().Write = [](const void* data, std::size_t size, std::size_t count,
                            std::FILE* file) {
        if (WritesLeft()-- > 0) {
            return RealFileSystem().Write(data, size, count, file);
        }
        errno = ENOSPC;
        return std::size_t{0};
    };
    EXPECT_FALSE(SaveConfig());
    EXPECT_EQ(LogTexts(), (Lines{kFailed, kWhy + "cannot copy config.json aside: " +
                                              std::generic_category().message(ENOSPC)}));
    EXPECT_EQ(ReadBytes(ConfigFile()), kUnparsable);
    EXPECT_EQ(FolderEntries(), (Lines{"config.json", "config.json.lock"}));

    FileSystem().Write = RealFileSystem().Write;
    Sink().Clear();
    EXPECT_TRUE(SaveConfig());
    EXPECT_EQ(LogTexts(), (Lines{kKept, kSaved}));
    EXPECT_EQ(ReadBytes(PathOf("config.json.bak")), kUnparsable);
}

#if !defined(_WIN32) // Windows has no per-process file size limit
TEST_F(ConfigBackup, BackupCopyPastTheFileSizeLimit_FailsTheSaveWithTheSystemsReason) {
    // The operating system's own refusal: the new text (an empty table) fits under the limit, the
    // copy of the large unreadable file does not (EFBIG), with the killing signal ignored.
    const std::string large = kUnparsable + std::string(100000, ' ');
    LoadQuietly(large);
    FileSystem().Link = [](const char*, const char*) {
        errno = EPERM;
        return -1;
    };
    rlimit previousLimit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previousLimit), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit smallLimit = previousLimit;
    smallLimit.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &smallLimit), 0);
    const bool saved = static_cast<bool>(SaveConfig());
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &previousLimit), 0);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(LogTexts(), (Lines{kFailed, kWhy + "cannot copy config.json aside: " +
                                              std::generic_category().message(EFBIG)}));
    EXPECT_EQ(ReadBytes(ConfigFile()), large);
    EXPECT_EQ(FolderEntries(), (Lines{"config.json", "config.json.lock"}));
}
#endif

// A save replaces only a regular file: a folder, a pipe or a device in config.json's place, or
// at the end of its link, stays as it is, and nothing is moved into the plugin folder or written
// beside the link's target.
TEST_F(ConfigBackup, SomethingOtherThanAFileAtConfigJson_IsLeftAloneAndTheSaveFails) {
    std::filesystem::create_directory(PathOf("OtherPlugin"));
    WriteBytes(PathOf("OtherPlugin/OtherPlugin.dll"), "MZ");
    struct Case {
        const char* Name;
        std::function<void()> Make;
        std::string Reason;
    };
    const std::vector<Case> cases = {
        {"folder", [&] { std::filesystem::create_directory(ConfigFile()); }, kNotRegular},
#if !defined(                                                                                      \
    _WIN32) // links need an administrator's right on Windows; pipes and devices are POSIX's
        {"link to a folder",
         [&] { std::filesystem::create_directory_symlink("OtherPlugin", ConfigFile()); },
         kNotRegular},
        {"link to a device", [&] { std::filesystem::create_symlink("/dev/zero", ConfigFile()); },
         kNotRegular},
        {"named pipe", [&] { ASSERT_EQ(mkfifo(ConfigFile().c_str(), 0600), 0); }, kNotRegular},
        {"link to a named pipe",
         [&] {
             ASSERT_EQ(mkfifo(PathOf("OtherPlugin/pipe").c_str(), 0600), 0);
             std::filesystem::create_symlink("OtherPlugin/pipe", ConfigFile());
         },
         kNotRegular},
        {"dangling link",
         [&] { std::filesystem::create_symlink("OtherPlugin/none.json", ConfigFile()); },
         "config.json is a link to " + PathOf("OtherPlugin/none.json") + ", which does not exist"},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::filesystem::remove(PathOf("OtherPlugin/pipe"));
        c.Make();
        LoadConfig();
        AddAnExchange();
        Sink().Clear();
        EXPECT_FALSE(SaveConfig());
        EXPECT_EQ(LogTexts(), (Lines{kFailed, kWhy + c.Reason}));
        EXPECT_EQ(FolderEntries(), (Lines{"OtherPlugin", "config.json"}));
        EXPECT_EQ(ReadBytes(PathOf("OtherPlugin/OtherPlugin.dll")), "MZ");
        std::filesystem::remove(ConfigFile());
    }
#if !defined(_WIN32)
    EXPECT_FALSE(std::filesystem::exists("/dev/zero.tmp"));
#endif
}

// ---- Files the administrator changed, linked or protected ----

const char* const kChanged = "[Barterbox][warning] Barterbox: config.json changed on disk since it "
                             "was loaded; kept it as config.json.bak";

TEST_F(ConfigBackup, HandEditSinceTheLoad_IsKeptAsideBeforeTheSave) {
    const std::string edited = "{\"Exchanges\": {}, \"Settings\": {\"ChatPrefix\": \"Edited\"}}";
    struct Edit {
        const char* Name;
        std::string Text;
        bool KeepTheTime; // an edit within the file system's clock tick leaves the time as it was
        // A save that failed after comparing the content while the file's time was fresh: that
        // look must leave the next one comparing the content again.
        bool FailedSaveFirst = false;
    };
    // The loaded file is "{}": an edit of the same size is told by its time or its content.
    const Edit edits[] = {
        {"another size", edited, false},
        {"same size", "[]", false},
        {"same size and time", "[]", true},
        {"same size and time, after a failed save", "[]", true, true},
    };
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.Name);
        std::filesystem::remove(PathOf("config.json.bak"));
        Settings() = PluginSettings{};
        LoadQuietly("{}");
        const auto loadedTime = std::filesystem::last_write_time(ConfigFile());
        if (edit.FailedSaveFirst) {
            FileSystem().Sync = [](std::FILE*) { return -1; };
            EXPECT_FALSE(SaveConfig());
            FileSystem() = RealFileSystem();
            Sink().Clear();
        }
        WriteBytes(ConfigFile(), edit.Text);
        if (edit.KeepTheTime) {
            std::filesystem::last_write_time(ConfigFile(), loadedTime);
        }
        // A Save would undo the edit: it writes nothing, and a Reload is asked for.
        const SaveResult refused = SaveConfig();
        EXPECT_FALSE(refused);
        EXPECT_TRUE(refused.ChangedOnDisk);
        EXPECT_EQ(LogTexts(), (Lines{kFailed, kWhy + kChangedOnDisk}));
        EXPECT_EQ(ReadBytes(ConfigFile()), edit.Text);
        Sink().Clear();
        // An Add is made to the edited file, which is kept aside, as its form is lost.
        EXPECT_TRUE(SaveChange(AddAnExchange));
        EXPECT_EQ(LogTexts(), (Lines{kReadAgain, "[Barterbox][info] Barterbox: Loaded 0 exchanges",
                                     kChanged, kSaved}));
        EXPECT_EQ(ReadBytes(PathOf("config.json.bak")), edit.Text);
        EXPECT_EQ(ReadBytes(ConfigFile()), SavedBytes(ConfigText()));
        EXPECT_EQ(Settings().ChatPrefix, edit.Text == edited ? "Edited" : "Barterbox");
        EXPECT_EQ(ExchangeCount(), 1u);
        Sink().Clear();
    }
    // The plugin's own last save is no hand edit, nor is the same text with CR LF line ends (as
    // an editor on Windows rewrites it).
    std::filesystem::remove(PathOf("config.json.bak"));
    AddAnExchange();
    SaveConfig();
    std::string crlf;
    for (const char c : ReadBytes(ConfigFile())) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    WriteBytes(ConfigFile(), crlf);
    SaveConfig();
    EXPECT_EQ(LogTexts(), (Lines{kSaved, kSaved}));
    EXPECT_EQ(FolderEntries(), (Lines{"config.json", "config.json.lock"}));
}

// Another server sharing the file saved since this one read it: its text is the plugin's own, so
// an Add or a Remove reads it in and writes it back whole with the change, and keeps no backup.
TEST_F(ConfigBackup, AnotherServersSave_IsReadInAndKeptWithoutABackup) {
    PutExchange({"Theirs", "", {{"c", 1}}, {{"d", 1}}});
    Settings().ChatPrefix = "Cluster";
    const std::string theirs = ConfigText();
    LoadQuietly("{}");
    WriteBytes(ConfigFile(), SavedBytes(theirs));
    EXPECT_TRUE(SaveChange(AddAnExchange));
    EXPECT_EQ(LogTexts(),
              (Lines{kReadAgain, "[Barterbox][info] Barterbox: Loaded 1 exchanges", kSaved}));
    EXPECT_NE(FindExchange("Theirs"), nullptr);
    EXPECT_NE(FindExchange("Stone"), nullptr);
    EXPECT_EQ(Settings().ChatPrefix, "Cluster");
    EXPECT_EQ(ReadBytes(ConfigFile()), SavedBytes(ConfigText()));

    // Their Remove of this server's Add, then this server's Remove of theirs: nothing is left.
    EraseExchange("Stone");
    const std::string removed = ConfigText();
    PutExchange({"Stone", "", {{"a", 1}}, {{"b", 1}}});
    WriteBytes(ConfigFile(), SavedBytes(removed));
    Sink().Clear();
    EXPECT_TRUE(SaveChange([] { EraseExchange("Theirs"); }));
    EXPECT_EQ(ExchangeCount(), 0u);
    EXPECT_EQ(LogTexts(),
              (Lines{kReadAgain, "[Barterbox][info] Barterbox: Loaded 1 exchanges", kSaved}));
    EXPECT_EQ(FolderEntries(), (Lines{"config.json", "config.json.lock"}));
}

// Saves of a shared file take turns under its lock; one held past the save's patience fails the
// save and writes nothing, and the table keeps the change until the next Reload.
TEST_F(ConfigBackup, LockHeldByAnotherServer_FailsTheSaveAfterWaiting) {
    LoadQuietly("{}");
    platform::FileLock theirs;
    ASSERT_EQ(theirs.Take(ConfigFile() + ".lock", std::chrono::milliseconds(0)),
              platform::FileLock::Outcome::Locked);
    EXPECT_FALSE(SaveChange(AddAnExchange));
    EXPECT_EQ(LogTexts(), (Lines{kFailed, kWhy + "another server's save held config.json's lock "
                                                 "(config.json.lock) for over 5 seconds; nothing "
                                                 "was written"}));
    EXPECT_EQ(ReadBytes(ConfigFile()), "{}");
    EXPECT_NE(FindExchange("Stone"), nullptr);

    // Let go while the save waits: it saves.
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        theirs.Release();
    });
    Sink().Clear();
    EXPECT_TRUE(SaveConfig());
    release.join();
    EXPECT_EQ(LogTexts(), Lines{kSaved});
    EXPECT_EQ(ReadBytes(ConfigFile()), SavedBytes(ConfigText()));
}

// An edit that lands while the save writes its new file (between the first look and the rename)
// is kept aside as any other.
std::string& LateEditPath() {
    static std::string path;
    return path;
}

TEST_F(ConfigBackup, HandEditWhileTheSaveWrites_IsKeptAside) {
    LoadQuietly("{}");
    LateEditPath() = ConfigFile();
    FileSystem().Sync = [](std::FILE* file) {
        WriteBytes(LateEditPath(), "{\"Exchanges\": {\"Late\": {}}}");
        return RealFileSystem().Sync(file);
    };
    AddAnExchange();
    EXPECT_TRUE(SaveConfig());
    EXPECT_EQ(LogTexts(), (Lines{kChanged, kSaved}));
    EXPECT_EQ(ReadBytes(PathOf("config.json.bak")), "{\"Exchanges\": {\"Late\": {}}}");
    EXPECT_EQ(ReadBytes(ConfigFile()), SavedBytes(ConfigText()));
}

// An editor that saves in place empties the file, then writes it. When the save looks in between,
// the editor's text must still end up in the backup, whether it lands before the save's rename or
// after it (into the file the editor has open), never in a file that is gone.
struct InPlaceEditor {
    static InPlaceEditor& Now() {
        static InPlaceEditor editor;
        return editor;
    }
    std::string Path;
    std::FILE* Open = nullptr; // emptied, and not yet written
    bool WriteAfterTheRename = false;

    void Empty() {
        if (Open == nullptr) {
            Open = std::fopen(Path.c_str(), "wb");
        }
    }
    void Finish() {
        if (Open != nullptr) {
            std::fputs("{\"Exchanges\": {\"Edited\": {}}}", Open);
            std::fclose(Open);
            Open = nullptr;
        }
    }
};

TEST_F(ConfigBackup, InPlaceHandEditRacingTheSave_EndsUpWholeInTheBackup) {
#if defined(_WIN32)
    GTEST_SKIP() << "Windows renames nothing over a file that an editor holds open";
#endif
    for (const bool afterTheRename : {false, true}) {
        SCOPED_TRACE(afterTheRename ? "written after the rename" : "written before the rename");
        std::filesystem::remove(PathOf("config.json.bak"));
        LoadQuietly("{}");
        InPlaceEditor::Now() = InPlaceEditor{ConfigFile(), nullptr, afterTheRename};
        // Emptied while the new file is written, so that the save's last look finds it empty.
        FileSystem().Sync = [](std::FILE* file) {
            InPlaceEditor::Now().Empty();
            return RealFileSystem().Sync(file);
        };
        FileSystem().Replace = [](const char* from, const char* to) {
            InPlaceEditor& editor = InPlaceEditor::Now();
            if (!editor.WriteAfterTheRename) {
                editor.Finish();
            }
            const int result = RealFileSystem().Replace(from, to);
            editor.Finish();
            return result;
        };
        AddAnExchange();
        EXPECT_TRUE(SaveConfig());
        FileSystem() = RealFileSystem();
        EXPECT_EQ(LogTexts(), (Lines{kChanged, kSaved}));
        EXPECT_EQ(ReadBytes(PathOf("config.json.bak")), "{\"Exchanges\": {\"Edited\": {}}}");
        EXPECT_EQ(ReadBytes(ConfigFile()), SavedBytes(ConfigText()));
    }
}

TEST_F(ConfigBackup, UnreadableFileFixedByHandSinceTheLoad_IsKeptAsAHandEdit) {
    LoadQuietly(kUnparsable);
    WriteBytes(ConfigFile(), "{\"Exchanges\": {\"Fixed\": {}}}");
    SaveChange(AddAnExchange);
    EXPECT_EQ(LogTexts(), (Lines{kReadAgain, "[Barterbox][info] Barterbox: Loaded 0 exchanges",
                                 "[Barterbox][warning] Barterbox: Dropped 'Fixed' from "
                                 "config.json: it has neither Give nor Receive items",
                                 kChanged, kSaved}));
    EXPECT_EQ(ReadBytes(PathOf("config.json.bak")), "{\"Exchanges\": {\"Fixed\": {}}}");
}

// A file broken by hand since the load cannot be read in: the table stays, and the broken file
// is kept aside before the save writes the table with the change.
TEST_F(ConfigBackup, FileBrokenByHandSinceTheLoad_IsKeptAsideAndTheTableSaved) {
    LoadQuietly("{}");
    WriteBytes(ConfigFile(), kUnparsable);
    EXPECT_TRUE(SaveChange(AddAnExchange));
    ASSERT_EQ(LogTexts().size(), 3u);
    EXPECT_EQ(LogTexts()[0].rfind("[Barterbox][error] Barterbox: Failed to parse config.json: ", 0),
              0u);
    EXPECT_EQ(LogTexts()[1], kChanged);
    EXPECT_EQ(ReadBytes(PathOf("config.json.bak")), kUnparsable);
    EXPECT_EQ(ReadBytes(ConfigFile()), SavedBytes(ConfigText()));
    EXPECT_EQ(ExchangeCount(), 1u);
}

TEST_F(ConfigBackup, FileCreatedByHandAfterALoadThatFoundNone_IsKeptAside) {
    WriteBytes(ConfigFile(), "{\"Exchanges\": {}}");
    EXPECT_TRUE(SaveConfig().ChangedOnDisk);
    Sink().Clear();
    SaveChange(AddAnExchange);
    EXPECT_EQ(LogTexts(), (Lines{kReadAgain, "[Barterbox][info] Barterbox: Loaded 0 exchanges",
                                 kChanged, kSaved}));
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
    EXPECT_EQ(LogTexts(), (Lines{kFailed, kWhy + "config.json is read-only"}));
    EXPECT_EQ(ReadBytes(ConfigFile()), "{}");
    EXPECT_EQ(FolderEntries(), (Lines{"config.json", "config.json.lock"}));
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
    EXPECT_EQ(FolderEntries(), (Lines{"config.json", "config.json.lock", "victim.txt"}));
}

// Two servers saving one shared file each write a temporary file of their own; what an earlier
// run left behind goes once it is older than any save.
TEST_F(ConfigBackup, TemporaryFilesOfOtherServers_StayAndStaleOnesGo) {
    const auto anHourAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    WriteBytes(PathOf("config.json.tmp-0badf00d"), "another server's save in progress");
    WriteBytes(PathOf("config.json.tmp-deadbeef"), "left by a crash");
    WriteBytes(PathOf("config.json.tmp"), "left by an older version");
    std::filesystem::last_write_time(PathOf("config.json.tmp-deadbeef"), anHourAgo);
    // A folder of such a name is the administrator's: it stays, and the save goes on.
    std::filesystem::create_directory(PathOf("config.json.tmp-cafe0000"));
    std::error_code notOnWindows; // whose C++ library sets no folder's time
    std::filesystem::last_write_time(PathOf("config.json.tmp-cafe0000"), anHourAgo, notOnWindows);
    AddAnExchange();
    EXPECT_TRUE(SaveConfig());
    EXPECT_EQ(FolderEntries(), (Lines{"config.json", "config.json.lock", "config.json.tmp-0badf00d",
                                      "config.json.tmp-cafe0000"}));

    EXPECT_EQ(ReadBytes(PathOf("config.json.tmp-0badf00d")), "another server's save in progress");
}

TEST_F(ConfigBackup, HardLinkedConfig_IsSavedUnderThisNameWithAWarning) {
    LoadQuietly("{}");
    std::filesystem::create_hard_link(ConfigFile(), PathOf("other.json"));
    AddAnExchange();
    EXPECT_TRUE(SaveConfig());
    EXPECT_EQ(LogTexts(), (Lines{"[Barterbox][warning] Barterbox: config.json has 2 names (hard "
                                 "links); the save replaces this one, and the others keep the old "
                                 "table",
                                 kSaved}));
    EXPECT_EQ(ReadBytes(PathOf("other.json")), "{}");
    AddAnExchange();
    SaveConfig();
    EXPECT_EQ(LogTexts().back(), kSaved) << "said once: the saved file has one name";
}

#if !defined(_WIN32) // Windows keeps the access list and owner through its own calls
TEST_F(ConfigBackup, OwnerAndGroup_AreKeptOrTheirLossSaidOnce) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "giving a file another owner needs root";
    }
    LoadQuietly("{}");
    ASSERT_EQ(chown(ConfigFile().c_str(), 4321, 4322), 0);
    AddAnExchange();
    EXPECT_TRUE(SaveConfig());
    struct stat info {};
    ASSERT_EQ(stat(ConfigFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 4322u);
    EXPECT_EQ(LogTexts(), Lines{kSaved});

    FileSystem().Own = [](const char*, const char*) {
        errno = EPERM;
        return -1;
    };
    Sink().Clear();
    SaveConfig();
    SaveConfig();
    EXPECT_EQ(LogTexts(),
              (Lines{"[Barterbox][warning] Barterbox: A save cannot give config.json its owner "
                     "and group back (" +
                         std::generic_category().message(EPERM) +
                         "); saved files belong to the server's account",
                     kSaved, kSaved}));
}
#endif

TEST_F(ConfigBackup, EveryBackupNameTaken_FailsTheSaveAndSaysWhy) {
    LoadQuietly(kUnparsable);
    WriteBytes(PathOf("config.json.bak"), "old");
    for (int number = 1; number < 1000; ++number) {
        WriteBytes(PathOf("config.json.bak." + std::to_string(number)), "old");
    }
    EXPECT_FALSE(SaveConfig());
    EXPECT_EQ(LogTexts(), (Lines{kFailed, kWhy + "config.json was to be kept aside, but all 1000 "
                                                 "backup names (config.json.bak to "
                                                 "config.json.bak.999) are taken; move old "
                                                 "backups away"}));
    EXPECT_EQ(ReadBytes(ConfigFile()), kUnparsable);
    EXPECT_EQ(FolderEntries().size(), 1002u) << "no temporary file stays, the lock file does";
}

} // namespace
