// libFuzzer target for the world file reader: any bytes give either findings or a world, never a
// crash; a world the reader accepts builds in the simulated host with every player, class, item
// and group membership it names, and findings come in the order of the file, each with a message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "hostsim/host_environment.h"
#include "hostsim/world/world.h"
#include "tools/common/world_file.h"
#include "tools/server/hosting/world_builder.h"

namespace {

void Require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

void CheckFindings(const barterbox::tools::WorldReadResult& read) {
    for (size_t i = 0; i < read.Errors.size(); ++i) {
        const barterbox::tools::WorldFileError& error = read.Errors[i];
        Require(!error.Message.empty());
        Require(i == 0 || !(error.Where < read.Errors[i - 1].Where));
        const std::string line = barterbox::tools::FormatWorldError("world.json", error);
        Require(line.starts_with("world.json") && line.find(": error: ") != std::string::npos);
    }
}

void CheckWorld(const barterbox::tools::WorldDescription& contents) {
    hostsim::World world;
    std::string error;
    Require(barterbox::server::BuildWorld(contents, world, error));
    Require(world.ItemClasses().size() == contents.ItemClasses.size());
    Require(world.Players().size() == contents.Players.size());
    // What each player carries is what the file gave them, split into stacks of the class's
    // largest size at most.
    for (const barterbox::tools::WorldPlayer& player : contents.Players) {
        int64_t expected = 0;
        for (const barterbox::tools::WorldInventoryItem& item : player.Inventory) {
            Require(item.ClassIndex < contents.ItemClasses.size());
            expected += item.Quantity;
        }
        int64_t carried = 0;
        for (const hostsim::InventorySlot& slot : world.Inventory(player.Name)) {
            Require(slot.Quantity > 0 && !slot.ClassName.empty());
            carried += slot.Quantity;
        }
        Require(carried == expected);
        // The groups the file gave, each a membership of the player's EOS ID.
        for (const std::string& group : player.Groups) {
            Require(world.IsPlayerInGroup(player.EosId, group));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const bool host = [] {
        hostsim::ResetHost();
        return true;
    }();
    (void)host;
    const barterbox::tools::WorldReadResult read = barterbox::tools::ReadWorldText(
        std::string_view(reinterpret_cast<const char*>(data), size));
    CheckFindings(read);
    if (read.Ok()) {
        CheckWorld(read.Contents);
    }
    return 0;
}
