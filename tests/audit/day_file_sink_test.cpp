// The audit file's writes: whole lines only, and a run of failed writes logged once, through the
// file-system seam that the config saves use.
#include <gtest/gtest.h>

#include "audit/audit_record.h"
#include "audit/audit_sinks.h"
#include "catalogue/config_file.h"
#include "config_fixture.h"
#include "platform/file_call_table.h"
#include "platform/process_environment.h"

namespace {

using namespace barterbox;
using testing_support::ReadBytes;
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
    FileSystem().Open = [](const char*, const char*) -> std::FILE* { return nullptr; };
    WriteSave();
    WriteSave();
    WriteSave();
    EXPECT_EQ(LogTexts(), Lines{kFailed});
    FileSystem() = RealFileSystem();
    WriteSave();
    FileSystem().Open = [](const char*, const char*) -> std::FILE* { return nullptr; };
    WriteSave();
    EXPECT_EQ(LogTexts(), (Lines{kFailed, kFailed}));
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

} // namespace
