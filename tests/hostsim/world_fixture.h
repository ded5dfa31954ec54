// A fresh stand-in host with a simulated world holding a few of the game's resource classes.
#pragma once

#include <optional>

#include "host_fixture.h"
#include "hostsim/world/world.h"
#include "item_paths.h"

namespace world_tests {

using testing_support::kStonePath;
using testing_support::kWoodPath;

class WorldFixture : public testing_support::HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        world.emplace();
        world->AddItemClass(kWoodPath, 100);
        world->AddItemClass(kStonePath, 100);
    }
    void TearDown() override {
        world.reset();
        HostFixture::TearDown();
    }

    std::optional<hostsim::World> world;
};

} // namespace world_tests
