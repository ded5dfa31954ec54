// libFuzzer target for an administrator's console line, through the host's command registry into
// each of the plugin's console commands. Properties, for every input: the table changes only as
// the reply says (a green "Added exchange" adds or replaces the one entry it names, a green
// "Removed exchange" removes the one it names, anything else changes none); config.json loads
// back to the table that is running; Ada's inventory changes only through an exchange that
// DoExchange or Barterbox.Run completed (Barterbox.Run at any multiplier the settings allow); the
// host's ledger is clean afterwards.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/config_file.h"
#include "fuzz/command_harness.h"
#include "host/ascii_case.h"
#include "hostsim/command_registry.h"
#include "hostsim/host_strings.h"
#include "hostsim/messenger.h"

namespace {

using namespace fuzzing;

constexpr std::string_view kAdded = "Added exchange '";
constexpr std::string_view kRemoved = "Removed exchange '";

// The exchange key of a name: A to Z lowered, every other byte as it is.
std::string KeyOf(std::string_view name) {
    return barterbox::AsciiLowered(name);
}

// Requires that the table changed exactly as the replies say.
void RequireChangeAsReplied(const Table& before, const Table& after) {
    std::vector<std::string> changed;
    for (const auto& [key, entry] : after) {
        const auto it = before.find(key);
        if (it == before.end() || it->second != entry) {
            changed.push_back(key);
        }
    }
    for (const auto& [key, entry] : before) {
        if (!after.contains(key)) {
            changed.push_back(key);
        }
    }
    int told = 0;
    for (const hostsim::SentMessage& message : hostsim::SentMessages()) {
        const std::string text = hostsim::Utf16ToUtf8(message.Text);
        if (message.Colour != hostsim::kGreen) {
            continue;
        }
        if (text.starts_with(kAdded)) {
            // Added or replaced: the entry the reply names, under that name.
            ++told;
            Require(changed.size() == 1 && after.contains(changed[0]));
            const TableEntry& entry = after.at(changed[0]);
            Require(text.starts_with(std::string(kAdded) + entry.Name + "': "));
            Require(after.size() == before.size() + (before.contains(changed[0]) ? 0 : 1));
        } else if (text.starts_with(kRemoved)) {
            // Removed: the entry whose key is that of the name as typed.
            ++told;
            Require(text.ends_with("'") && text.size() > kRemoved.size());
            const std::string typed =
                text.substr(kRemoved.size(), text.size() - kRemoved.size() - 1);
            Require(changed.size() == 1 && changed[0] == KeyOf(typed));
            Require(before.contains(changed[0]) && after.size() + 1 == before.size());
        }
    }
    Require(told <= 1);
    Require(told == 1 || changed.empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    CommandHost& host = FreshHost();
    const Table before = TableNow();
    const Carried carried = CarriedNow(*host.World);

    // The first byte picks the command, so that the fuzzer spends its time in the arguments.
    static const char* const kStarts[] = {"Barterbox.Add ",         "Barterbox.Remove ",
                                          "Barterbox.Save",         "Barterbox.List",
                                          "Barterbox.Reload",       "DoExchange 0002a ",
                                          "Barterbox.Run 0002a ",   "Barterbox.Limits 0002a",
                                          "Barterbox.Reset 0002a ", ""};
    const std::string rest(reinterpret_cast<const char*>(data), size);
    const std::string line =
        size == 0 ? "" : kStarts[data[0] % std::size(kStarts)] + rest.substr(1);
    hostsim::DispatchConsole(host.Ada, hostsim::Utf8ToUtf16(line));

    const Table after = TableNow();
    RequireChangeAsReplied(before, after);
    // Whatever the command, the file on disk holds the table that is running.
    std::ifstream file(host.ConfigFile);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    barterbox::LoadConfigFromText(text);
    Require(TableNow() == after);
    RequireInventoryExplained(host, carried, kMaxMultiplier);
    RequireCleanHost(host);
    return 0;
}
