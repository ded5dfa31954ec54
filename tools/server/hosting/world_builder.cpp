// Building the simulated world; see world_builder.h.
#include "world_builder.h"

#include <stdexcept>

namespace barterbox::server {

namespace {

// The world file's choice for a full inventory, as the stand-in host's world takes it.
hostsim::WhenInventoryFull HostsWhenInventoryFull(tools::WhenInventoryFull whenFull) {
    switch (whenFull) {
    case tools::WhenInventoryFull::GiveNothing:
        return hostsim::WhenInventoryFull::GiveNothing;
    case tools::WhenInventoryFull::GiveWhatFits:
        break;
    }
    return hostsim::WhenInventoryFull::GiveWhatFits;
}

} // namespace

bool BuildWorld(const tools::WorldDescription& contents, hostsim::World& world,
                std::string& error) {
    std::string where;
    try {
        world.SetInventorySlots(contents.InventorySlots);
        world.SetWhenInventoryFull(HostsWhenInventoryFull(contents.WhenFull));
        for (size_t i = 0; i < contents.ItemClasses.size(); ++i) {
            where = "ItemClasses[" + std::to_string(i) + "]";
            // From the path as written: the world derives the class from it exactly as the reader
            // did, and a class path given again would be read as a blueprint of that name.
            world.AddItemClass(contents.ItemClasses[i].Written, contents.ItemClasses[i].MaxStack);
        }
        for (size_t p = 0; p < contents.Players.size(); ++p) {
            const tools::WorldPlayer& player = contents.Players[p];
            where = "Players[" + std::to_string(p) + "]";
            world.Join(player.Name, player.EosId, player.Admin);
            for (size_t g = 0; g < player.Groups.size(); ++g) {
                where = "Players[" + std::to_string(p) + "].Groups[" + std::to_string(g) + "]";
                world.SetPlayerGroup(player.Name, player.Groups[g], true);
            }
            where = "Players[" + std::to_string(p) + "].State";
            for (const CharacterState state : kCharacterStates) {
                if (player.States.Has(state)) {
                    world.SetCharacterState(player.Name, state, true);
                }
            }
            for (size_t i = 0; i < player.Inventory.size(); ++i) {
                const tools::WorldInventoryItem& item = player.Inventory[i];
                where = "Players[" + std::to_string(p) + "].Inventory[" + std::to_string(i) + "]";
                // By path: a class name may be shared by several classes, the path is not.
                world.GiveItems(player.Name, contents.ItemClasses.at(item.ClassIndex).Path,
                                item.Quantity);
            }
        }
    } catch (const std::exception& refused) {
        error = where + ": " + refused.what();
        return false;
    }
    return true;
}

} // namespace barterbox::server
