// The base fixture of every test that talks to the stand-in host: a fresh host with a recording
// log sink, and after each test a check that the allocator ledger is clean.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "recording_sink.h"

namespace testing_support {

class HostFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Log lines without date and time, e.g. "[Barterbox][warning] Barterbox: ...".
    std::vector<std::string> LogTexts() { return sink_->Texts(); }
    RecordingSink& Sink() { return *sink_; }

    // Gives the plugin code linked into the test its logger over the recording sink, as
    // LoadPlugin would.
    void CreateLogger();

private:
    std::shared_ptr<RecordingSink> sink_;
};

// Gives every layer's record its initial values: the file calls, the logger, the host's fault
// reporter, the catalogue and the audit. Each fixture starts and ends with it.
void ResetPluginState();

// Plugin-owned buffers still alive and ledger errors, as one text per fault.
std::vector<std::string> LedgerFaults();

} // namespace testing_support
