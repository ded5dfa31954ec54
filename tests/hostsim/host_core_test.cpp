// The stand-in host's own machinery, which every other test relies on to catch the plugin's
// faults: the allocator ledger, name resolution, and command dispatch.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/host_api.h"
#include "hostsim/allocator.h"
#include "hostsim/command_registry.h"
#include "hostsim/host_clock.h"
#include "hostsim/host_environment.h"
#include "hostsim/host_strings.h"
#include "hostsim/messenger.h"
#include "hostsim/name_registry.h"
#include "hostsim/plugin_module_file.h"
#include "hostsim/record_limit.h"

namespace {

using hostsim::BufferOwner;
using testing::HasSubstr;

class HostCore : public ::testing::Test {
protected:
    void SetUp() override { hostsim::ResetHost(); }
    void TearDown() override {
        hostsim::ClearLedgerErrors();
        hostsim::ClearNameErrors();
        hostsim::ResetHost();
    }
};

TEST_F(HostCore, Ledger_ReportsDoubleForeignAndCrossOwnerFrees) {
    void* plugin = hostsim::Allocate(16, BufferOwner::Plugin, "test");
    void* host = hostsim::Allocate(16, BufferOwner::Host, "test");
    int onTheStack = 0;

    hostsim::Release(plugin, BufferOwner::Plugin);
    hostsim::Release(plugin, BufferOwner::Plugin);      // double
    hostsim::Release(&onTheStack, BufferOwner::Plugin); // never handed out
    hostsim::Release(host, BufferOwner::Plugin);        // not the plugin's to free

    const auto errors = hostsim::LedgerErrors();
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_THAT(errors[0], HasSubstr("double or foreign free"));
    EXPECT_THAT(errors[1], HasSubstr("double or foreign free"));
    EXPECT_THAT(errors[2], HasSubstr("owned by the host"));
    EXPECT_EQ(hostsim::LiveBuffers(BufferOwner::Host).size(), 1u) << "a refused free frees nothing";
    hostsim::Release(host, BufferOwner::Host);
}

TEST_F(HostCore, Ledger_CanBeToldToRunOutOfMemoryForThePlugin) {
    hostsim::FailNextAllocations(1);
    EXPECT_EQ(hostsim::Allocate(8, BufferOwner::Plugin, "test"), nullptr);
    void* next = hostsim::Allocate(8, BufferOwner::Plugin, "test");
    EXPECT_NE(next, nullptr);
    hostsim::Release(next, BufferOwner::Plugin);
    EXPECT_TRUE(hostsim::LedgerErrors().empty());
}

TEST_F(HostCore, FStringConstructors_BuildPluginOwnedBuffersAndEmptyTextHasNone) {
    const auto before = hostsim::Counts(BufferOwner::Plugin);
    FString empty("");
    EXPECT_EQ(empty.Data, nullptr);
    EXPECT_EQ(empty.Num, 0);
    FString wide(u"Stein");
    FString narrow("Bois\xC3\xA9");
    EXPECT_EQ(hostsim::ReadFString(wide), u"Stein");
    EXPECT_EQ(hostsim::ReadFString(narrow), u"Boisé");
    EXPECT_EQ(hostsim::Counts(BufferOwner::Plugin).Allocations - before.Allocations, 2u);
    hostsim::Release(wide.Data, BufferOwner::Plugin);
    hostsim::Release(narrow.Data, BufferOwner::Plugin);
}

TEST_F(HostCore, Names_AreCountedAtEveryResolutionAndUnknownNamesRecorded) {
    EXPECT_NE(AsaApi::GetAddress("FMemory.Free(void*)"), nullptr);
    EXPECT_NE(AsaApi::GetAddress("FMemory.Free(void*)"), nullptr);
    EXPECT_EQ(hostsim::ResolveCount("FMemory.Free(void*)"), 2u);
    EXPECT_EQ(AsaApi::GetAddress("UNoSuch.Function()"), nullptr);
    EXPECT_THAT(hostsim::NameErrors(),
                testing::ElementsAre("unknown game name: UNoSuch.Function()"));
}

// The benchmarks split an exchange's time between the plugin and the host with this clock.
TEST_F(HostCore, HostClock_CountsEntriesOnlyWhileOnAndKnowsItsOwnCost) {
    AsaApi::GetAddress("FMemory.Free(void*)");
    hostsim::StartHostClock();
    for (int i = 0; i < 3; ++i) {
        AsaApi::GetAddress("FMemory.Free(void*)");
    }
    const hostsim::HostTime time = hostsim::ReadHostClock();
    hostsim::StopHostClock();
    AsaApi::GetAddress("FMemory.Free(void*)");
    EXPECT_EQ(time.Entries, 3u);
    EXPECT_EQ(hostsim::ReadHostClock().Entries, 3u);
    EXPECT_GT(time.CostPerEntry.count(), 0);
    EXPECT_GE(time.CostPerEntry, time.BiasPerEntry);
}

TEST_F(HostCore, Fields_ResolveOnlyOnObjectsThatHaveThem) {
    struct Thing {
        int32_t Before;
        int32_t Field;
    } thing{1, 2};
    hostsim::RegisterField("Thing.Field", offsetof(Thing, Field),
                           [&](const void* object) { return object == &thing; });
    EXPECT_EQ(AsaApi::GetAddress(&thing, "Thing.Field"), &thing.Field);
    int other = 0;
    EXPECT_EQ(AsaApi::GetAddress(&other, "Thing.Field"), nullptr);
    EXPECT_EQ(AsaApi::GetAddress(&thing, "FMemory.Free(void*)"), nullptr) << "not a field";
    EXPECT_EQ(hostsim::NameErrors().size(), 1u);
    hostsim::UnregisterName("Thing.Field");
}

TEST_F(HostCore, MessengerLookup_WithAPathOtherThanTheLoadedModulesIsAHostError) {
    hostsim::SetPluginModuleFile("/srv/ark/ArkApi/Plugins/Barterbox/Barterbox.so");
    struct Case {
        const char16_t* Path;
        bool Right;
    };
    const Case cases[] = {
        {u"/srv/ark/ArkApi/Plugins/Barterbox/Barterbox.so", true},
        {u"/srv/ark/ArkApi/Plugins/Other/Other.so", false},
        {u"Barterbox.so", false}, // the same file, but not the name the host loaded it by
        {u"", false},
    };
    for (const Case& c : cases) {
        hostsim::ClearNameErrors();
        FString path(c.Path);
        // Every lookup is checked, whatever the message: a chat line and a coloured reply.
        AsaApi::GetApiUtils().GetPluginMessenger(path)->SendChatLine(nullptr, path, path);
        AsaApi::GetApiUtils().GetPluginMessenger(path)->SendColouredLine(nullptr, 0, 1, 0, 1, path);
        hostsim::Release(path.Data, BufferOwner::Plugin);
        const auto faults = hostsim::NameErrors();
        EXPECT_EQ(faults.size(), c.Right ? 0u : 2u) << hostsim::Utf16ToUtf8(c.Path);
        for (const std::string& fault : faults) {
            EXPECT_THAT(fault, HasSubstr("GetPluginMessenger asked with the module path"));
        }
    }
    EXPECT_EQ(hostsim::SentMessages().size(), 8u) << "a wrong path still gets a messenger";
    hostsim::ClearNameErrors();
}

TEST_F(HostCore, RegistryAndUtilities_CountHowOftenTheyAreFetched) {
    AsaApi::GetCommands();
    AsaApi::GetCommands();
    AsaApi::GetApiUtils();
    EXPECT_EQ(hostsim::CommandsFetches(), 2u);
    EXPECT_EQ(hostsim::ApiUtilsFetches(), 1u);
    hostsim::ResetHost();
    EXPECT_EQ(hostsim::CommandsFetches(), 0u);
    EXPECT_EQ(hostsim::ApiUtilsFetches(), 0u);
}

TEST_F(HostCore, Dispatch_RoutesByTheFirstWordInAnyCaseAndPassesTheWholeLine) {
    std::vector<std::u16string> seen;
    FString name("Barterbox.List");
    AsaApi::GetCommands().RegisterConsoleHandler(name,
                                                 [&](APlayerController*, FString* line, bool) {
                                                     seen.push_back(hostsim::ReadFString(*line));
                                                 });
    EXPECT_TRUE(hostsim::DispatchConsole(nullptr, u"barterbox.list  extra words "));
    EXPECT_FALSE(hostsim::DispatchConsole(nullptr, u"Barterbox.Lis"));
    EXPECT_FALSE(hostsim::DispatchChat(nullptr, u"Barterbox.List")) << "kinds are separate";
    EXPECT_THAT(seen, testing::ElementsAre(u"barterbox.list  extra words "));
    EXPECT_TRUE(hostsim::LiveBuffers(BufferOwner::Host).empty())
        << "the host releases the line it handed over";

    EXPECT_TRUE(AsaApi::GetCommands().UnregisterConsoleHandler(name));
    EXPECT_FALSE(AsaApi::GetCommands().UnregisterConsoleHandler(name)) << "absent is accepted";
    hostsim::Release(name.Data, BufferOwner::Plugin);
}

// A server that runs for weeks keeps only the latest entries of every record, module reloads'
// registrations included.
TEST_F(HostCore, RecordLimit_BoundsTheMessagesAndTheRegistryCalls) {
    hostsim::SetRecordLimit(4);
    FString name("Barterbox.List");
    for (int i = 0; i < 100; ++i) {
        AsaApi::GetCommands().RegisterConsoleHandler(name,
                                                     [](APlayerController*, FString*, bool) {});
        AsaApi::GetCommands().UnregisterConsoleHandler(name);
        AsaApi::GetApiUtils().GetPluginMessenger(name)->SendChatLine(nullptr, name, name);
    }
    hostsim::RemoveRecordLimit();
    hostsim::Release(name.Data, BufferOwner::Plugin);
    hostsim::ClearNameErrors();
    EXPECT_LE(hostsim::RegistryCalls().size(), 8u);
    EXPECT_LE(hostsim::SentMessages().size(), 8u);
    EXPECT_EQ(hostsim::RegistryCalls().back().Operation, "UnregisterConsoleHandler");
}

} // namespace
