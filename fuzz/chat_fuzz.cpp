// libFuzzer target for a player's chat line, through the host's command registry into the
// exchange chat command, on inventories from roomy to nearly full. Properties, for every input:
// Ada's inventory changes, class by class, only by what a completed exchange's Give and Receive
// entries times the multiplier she was told explain (an exchange that did not fit is undone); the
// table does not change; the host's ledger is clean afterwards.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/command_harness.h"
#include "hostsim/command_registry.h"
#include "hostsim/host_strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace fuzzing;
    // The first byte also picks Ada's inventory size and what the game does when it is full: in
    // the small ones, most exchanges do not fit and must be undone.
    static const int32_t kSlots[] = {4, 5, 6, 40};
    const uint8_t pick = size == 0 ? 0 : data[0];
    CommandHost& host = FreshHost(kSlots[(pick / 4) % 4],
                                  (pick / 16) % 2 == 0 ? hostsim::WhenInventoryFull::GiveWhatFits
                                                       : hostsim::WhenInventoryFull::GiveNothing);
    const Table table = TableNow();
    const Carried carried = CarriedNow(*host.World);

    // The first byte picks how the line begins, so that the fuzzer spends its time in the
    // arguments; the rest follows it as it is.
    static const char* const kStarts[] = {"/ex ", "/exchange ", "/ex", ""};
    const std::string rest(reinterpret_cast<const char*>(data), size);
    const std::string line = size == 0 ? "" : kStarts[data[0] % 4] + rest.substr(1);
    hostsim::DispatchChat(host.Ada, hostsim::Utf8ToUtf16(line));

    RequireInventoryExplained(host, carried, kMaxMultiplier);
    Require(TableNow() == table);
    RequireCleanHost(host);
    return 0;
}
