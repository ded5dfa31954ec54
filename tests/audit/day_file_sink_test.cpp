// The audit file's writes: whole lines only, and a run of failed writes logged once, through the
// file-system seam that the config saves use.
#include <gtest/gtest.h>

#include "audit/audit_record.h"
#include "audit/audit_sinks.h"
#include "catalogue/config_file.h"
#include "config_fixture.h"
#include "platform/file_call_table.h"
#include "platform/file_calls.h"
#include "platform/process_environment.h"

namespace {

using namespace barterbox;
using testing_support::ReadBytes;
using testing_support::WriteBytes;
using Lines = std::vector<std::string>;

const char* const kFailed = "[Barterbox][error] Barterbox: Failed to write audit record";
const std::string kSave = R"({"time":"2026-12-08T15:25:01.123Z","event":"save","via":"console",)"
                          R"("eos_id":"0002ad","exchanges":3,"succeeded":true})"
                          "\n";

class AuditLog : public testing_support::ConfigFixture {
protected:
    void SetUp() override {
        ConfigFixture::SetUp();
        PluginFolder() = Folder();
        platform::SetProcessEnvironment("BARTERBOX_FIXED_CLOCK", "2026-12-08T15:25:01.123Z");
    }
    void TearDown() override {
        // Empty is no time, which leaves the audit on the system's clock.
        platform::SetProcessEnvironment("BARTERBOX_FIXED_CLOCK", "");
        FileSystem() = RealFileSystem();
        PluginFolder().clear();
        ConfigFixture::TearDown();
    }
    std::string DayFile() const { return PathOf("audit/2026-12-08.jsonl"); }
    static void WriteSave() { AuditSave({AuditVia::Console, "0002ad", {}}, 3, true); }
};

TEST_F(AuditLog, ARecordIsOneLineInTheFixedDaysFile) {
    WriteSave();
    WriteSave();
    EXPECT_EQ(ReadBytes(DayFile()), kSave + kSave);
    EXPECT_EQ(LogTexts(), Lines{});
}

TEST_F(AuditLog, ARunOfFailedWrites_IsLoggedOnceUntilAWriteSucceeds) {
    FileSystem().OpenAppend = [](const char*) -> std::FILE* { return nullptr; };
    WriteSave();
    WriteSave();
    WriteSave();
    EXPECT_EQ(LogTexts(), Lines{kFailed});
    FileSystem() = RealFileSystem();
    WriteSave();
    FileSystem().OpenAppend = [](const char*) -> std::FILE* { return nullptr; };
    WriteSave();
    // The run's end says what it cost: administrators' changes stand without their records.
    EXPECT_EQ(LogTexts(), (Lines{kFailed,
                                 "[Barterbox][warning] Barterbox: Audit records are written "
                                 "again; 3 could not be written, 3 of them administrators' "
                                 "changes",
                                 kFailed}));
    EXPECT_EQ(ReadBytes(DayFile()), kSave);
}

TEST_F(AuditLog, AWriteThatStopsPartWay_LeavesNoTornLine) {
    WriteSave();
    // A full disk: half the line reaches the file, then the write fails.
    FileSystem().Write = [](const void* data, std::size_t size, std::size_t count,
                            std::FILE* file) {
        return RealFileSystem().Write(data, size, count / 2, file);
    };
    WriteSave();
    EXPECT_EQ(ReadBytes(DayFile()), kSave);
    EXPECT_EQ(LogTexts(), Lines{kFailed});
}

// A close can report that the bytes never reached the disk: the record is not on file, and the
// line is taken back off the file rather than left for a reader to count.
TEST_F(AuditLog, AFailingCloseAfterAWholeWrite_IsAFailedWriteAndLeavesNoLine) {
    WriteSave();
    FileSystem().Close = [](std::FILE* file) {
        RealFileSystem().Close(file);
        return EOF;
    };
    WriteSave();
    EXPECT_EQ(LogTexts(), Lines{kFailed});
    FileSystem() = RealFileSystem();
    EXPECT_EQ(ReadBytes(DayFile()), kSave);
}

// Half a line left by a writer that could not cut it back (a crash, a server of an older
// version): the next record starts on a line of its own instead of being merged into it.
TEST_F(AuditLog, AFileEndingInHalfALine_GetsTheNextRecordOnALineOfItsOwn) {
    WriteSave();
    const std::string torn = kSave + kSave.substr(0, 40);
    WriteBytes(DayFile(), torn);
    WriteSave();
    EXPECT_EQ(ReadBytes(DayFile()), torn + "\n" + kSave);
    EXPECT_EQ(LogTexts(), Lines{});
}

// Another writer (one that takes no lock) appends while this one's write fails part-way: the cut
// takes nothing of the other's, and the next record still starts on a line of its own.
TEST_F(AuditLog, AWriteThatFailsPartWay_NeverCutsAnotherWritersRecord) {
    const std::string other = R"({"event":"other server"})"
                              "\n";
    WriteSave();
    static std::string otherPath;
    otherPath = DayFile();
    FileSystem().Write = [](const void* data, std::size_t size, std::size_t count,
                            std::FILE* file) {
        std::FILE* other = std::fopen(otherPath.c_str(), "ab");
        std::fputs(R"({"event":"other server"})"
                   "\n",
                   other);
        std::fclose(other);
        return RealFileSystem().Write(data, size, count / 2, file);
    };
    WriteSave();
    FileSystem() = RealFileSystem();
    WriteSave();
    const std::string half = kSave.substr(0, kSave.size() / 2);
    EXPECT_EQ(ReadBytes(DayFile()), kSave + other + half + "\n" + kSave);
    EXPECT_EQ(LogTexts(), (Lines{kFailed, "[Barterbox][warning] Barterbox: Audit records are "
                                          "written again; 1 could not be written, 1 of them "
                                          "administrators' changes"}));
}

// Writers take one lock from measuring the file to cutting back a failed write. A lock that
// another program keeps costs the record, after a short wait, and not the game thread.
TEST_F(AuditLog, ALockHeldElsewhere_CostsTheRecordAndTheNextWriteGoesOn) {
    WriteSave();
    std::FILE* holder = platform::OpenForAppend(DayFile());
    ASSERT_NE(holder, nullptr);
    ASSERT_EQ(platform::LockForAppend(holder, std::chrono::milliseconds{0}), 0);
    WriteSave();
    EXPECT_EQ(LogTexts(), Lines{kFailed});
    std::fclose(holder);
    WriteSave();
    EXPECT_EQ(ReadBytes(DayFile()), kSave + kSave);
}

} // namespace
