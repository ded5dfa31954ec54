// The game's item classes that the tests' small worlds hold, by the paths the game gives them.
#pragma once

namespace testing_support {

inline constexpr char kWoodPath[] =
    "/Game/PrimalEarth/CoreBlueprints/Resources/PrimalItemResource_Wood.PrimalItemResource_Wood";
inline constexpr char kStonePath[] =
    "/Game/PrimalEarth/CoreBlueprints/Resources/PrimalItemResource_Stone.PrimalItemResource_Stone";

} // namespace testing_support
