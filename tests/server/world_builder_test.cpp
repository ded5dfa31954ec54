// Building the simulated world from a world file: each class gets the game's class path once,
// whichever way the file writes it.
#include <gtest/gtest.h>

#include "host_fixture.h"
#include "hostsim/world/world.h"
#include "tools/common/world_file.h"
#include "tools/server/hosting/world_builder.h"

namespace {

class WorldBuilder : public testing_support::HostFixture {};

// Found by the world-file fuzzer: a class path read from the file was derived a second time.
TEST_F(WorldBuilder, ClassesGetTheGeneratedSuffixOnceInEveryWrittenForm) {
    const auto read = barterbox::tools::ReadWorldText(R"({"ItemClasses": [
        {"Path": "/G/A.Res_Wood", "MaxStack": 20},
        {"Path": "/G/Res_Stone.Res_Stone_C", "MaxStack": 20},
        {"Path": "/G/Res_Flint.Res_Flint", "MaxStack": 20}],
      "Players": [{"Name": "A", "EosId": "1", "Inventory": [
        {"Item": "/G/A.Res_Wood", "Quantity": 1}, {"Item": "Res_Stone", "Quantity": 1},
        {"Item": "Res_Flint_C", "Quantity": 1}]}]})");
    ASSERT_TRUE(read.Ok());
    hostsim::World world;
    std::string error;
    ASSERT_TRUE(barterbox::server::BuildWorld(read.Contents, world, error)) << error;
    const std::vector<hostsim::InventorySlot> slots = world.Inventory("A");
    ASSERT_EQ(slots.size(), 3u);
    EXPECT_EQ(slots[0].ClassName, "Res_Wood_C");
    EXPECT_EQ(slots[1].ClassName, "Res_Stone_C");
    EXPECT_EQ(slots[2].ClassName, "Res_Flint_C");
}

// The Permissions module asks the world by EOS ID, so the file's groups must arrive under it.
TEST_F(WorldBuilder, GroupsBecomeMembershipsOfThePlayersEosId) {
    const auto read = barterbox::tools::ReadWorldText(R"({"Players": [
        {"Name": "A", "EosId": "0002a", "Groups": ["VIP", "Donor"]},
        {"Name": "B", "EosId": "0002b"}]})");
    ASSERT_TRUE(read.Ok());
    hostsim::World world;
    std::string error;
    ASSERT_TRUE(barterbox::server::BuildWorld(read.Contents, world, error)) << error;
    EXPECT_TRUE(world.IsPlayerInGroup("0002a", "donor"));
    EXPECT_TRUE(world.IsPlayerInGroup("0002a", "VIP"));
    EXPECT_FALSE(world.IsPlayerInGroup("0002b", "VIP"));
    EXPECT_EQ(world.Players()[0].Groups, (std::vector<std::string>{"VIP", "Donor"}));
}

} // namespace
