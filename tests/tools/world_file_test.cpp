// The world file reader: the example world as records, the defaults, every kind of fault with its
// member and position, and the item-class lookups that the server and the checker share.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/class_names.h"
#include "tools/common/world_file.h"

namespace {

using namespace barterbox::tools;

const std::string kResources = "/Game/PrimalEarth/CoreBlueprints/Resources/";

std::vector<std::string> ErrorLines(const std::string& text) {
    std::vector<std::string> lines;
    for (const WorldFileError& error : ReadWorldText(text).Errors) {
        lines.push_back(FormatWorldError("world.json", error));
    }
    return lines;
}

TEST(WorldFile, ReadWorldFile_ReadsTheExampleWorld) {
    const WorldReadResult read = ReadWorldFile(BARTERBOX_SOURCE_DIR "/examples/world.json");
    ASSERT_TRUE(read.Ok()) << FormatWorldError("world.json", read.Errors.front());
    const WorldDescription& world = read.Contents;
    EXPECT_EQ(world.InventorySlots, 300);
    ASSERT_GE(world.ItemClasses.size(), 18u);
    const WorldItemClass& wood = world.ItemClasses.front();
    EXPECT_EQ(wood.Path, kResources + "PrimalItemResource_Wood.PrimalItemResource_Wood_C");
    EXPECT_EQ(wood.ClassName, "PrimalItemResource_Wood_C");
    EXPECT_EQ(wood.MaxStack, 100);

    ASSERT_EQ(world.Players.size(), 3u);
    int admins = 0;
    for (const WorldPlayer& player : world.Players) {
        admins += player.Admin ? 1 : 0;
        EXPECT_FALSE(player.Inventory.empty()) << player.Name;
        for (const WorldInventoryItem& item : player.Inventory) {
            ASSERT_LT(item.ClassIndex, world.ItemClasses.size());
            EXPECT_EQ(world.ItemClasses[item.ClassIndex].ClassName, item.Item);
        }
    }
    EXPECT_EQ(admins, 1);
    const WorldPlayer& ada = world.Players[0];
    EXPECT_EQ(ada.Name, "Ada");
    EXPECT_EQ(ada.EosId, "0002a8e1f3c44b6d9e5f7a1b2c3d4e5f");
    EXPECT_TRUE(ada.Admin);
    EXPECT_EQ(ada.Inventory[0].Item, "PrimalItemResource_Wood_C");
    EXPECT_EQ(ada.Inventory[0].Quantity, 250);
}

TEST(WorldFile, ReadWorldText_FillsInTheDefaultsAndResolvesEveryItemForm) {
    const std::string text = R"({
  "ItemClasses": [
    { "Path": "/Game/R/Res_Wood.Res_Wood", "MaxStack": 100 },
    { "Path": "/Game/R/Res_Stone.Res_Stone_C", "MaxStack": 50 }
  ],
  "Players": [
    { "Name": "Ada", "EosId": "e1" },
    { "Name": "Bo", "EosId": "e2", "Admin": true, "Groups": ["VIP", "Donor"], "Inventory": [
      { "Item": "Res_Stone", "Quantity": 1 },
      { "Item": "/Game/R/Res_Wood.Res_Wood", "Quantity": 2 },
      { "Item": "Blueprint'/Game/R/Res_Stone.Res_Stone'", "Quantity": 3 },
      { "Item": "/Game/R/Res_Wood.Res_Wood_C", "Quantity": 250 },
      { "Item": "Res_Wood_C", "Quantity": 4 }
    ] }
  ]
})";
    const WorldReadResult read = ReadWorldText(text);
    ASSERT_TRUE(read.Ok()) << FormatWorldError("world.json", read.Errors.front());
    EXPECT_EQ(read.Contents.InventorySlots, 300);
    ASSERT_EQ(read.Contents.Players.size(), 2u);
    EXPECT_FALSE(read.Contents.Players[0].Admin);
    EXPECT_TRUE(read.Contents.Players[0].Inventory.empty());
    EXPECT_TRUE(read.Contents.Players[0].Groups.empty());
    EXPECT_EQ(read.Contents.Players[1].Groups, (std::vector<std::string>{"VIP", "Donor"}));
    const auto& inventory = read.Contents.Players[1].Inventory;
    ASSERT_EQ(inventory.size(), 5u);
    EXPECT_EQ(inventory[0].ClassIndex, 1u);
    EXPECT_EQ(inventory[1].ClassIndex, 0u);
    EXPECT_EQ(inventory[2].ClassIndex, 1u);
    EXPECT_EQ(inventory[3].ClassIndex, 0u);
    EXPECT_EQ(inventory[3].Quantity, 250);
    EXPECT_EQ(inventory[4].ClassIndex, 0u);
    // Either way of writing a class gives the game's class path and name.
    ASSERT_EQ(read.Contents.ItemClasses.size(), 2u);
    EXPECT_EQ(read.Contents.ItemClasses[0].Path, "/Game/R/Res_Wood.Res_Wood_C");
    EXPECT_EQ(read.Contents.ItemClasses[0].ClassName, "Res_Wood_C");
    EXPECT_EQ(read.Contents.ItemClasses[1].Path, "/Game/R/Res_Stone.Res_Stone_C");
    EXPECT_EQ(read.Contents.ItemClasses[1].ClassName, "Res_Stone_C");

    const WorldReadResult empty = ReadWorldText("{}");
    ASSERT_TRUE(empty.Ok());
    EXPECT_EQ(empty.Contents.InventorySlots, 300);
    EXPECT_TRUE(empty.Contents.ItemClasses.empty());
    EXPECT_TRUE(empty.Contents.Players.empty());
}

struct WorldErrorCase {
    const char* Name;
    std::string Text;
    std::vector<std::string> Lines;
};

class WorldFileErrors : public ::testing::TestWithParam<WorldErrorCase> {};

TEST_P(WorldFileErrors, ReadWorldText_ReportsWhatIsWrongAndWhere) {
    EXPECT_EQ(ErrorLines(GetParam().Text), GetParam().Lines);
}

const std::string kOneClass =
    R"("ItemClasses": [{ "Path": "/G/Res_Wood.Res_Wood", "MaxStack": 10 }])";

INSTANTIATE_TEST_SUITE_P(
    Cases, WorldFileErrors,
    ::testing::Values(
        WorldErrorCase{"SyntaxError",
                       "{\n  \"Players\": [,]\n}",
                       {"world.json:2:15: error: [json.exception.parse_error.101] parse error at "
                        "line 2, column 15: syntax error while parsing value - unexpected ','; "
                        "expected '[', '{', or a literal"}},
        WorldErrorCase{"RootNotAnObject",
                       "[]",
                       {"world.json:1:1: error: the world must be a JSON object, not an array"}},
        WorldErrorCase{"UnknownAndRepeatedMembers",
                       "{\"InventorySlots\": 5, \"Items\": [],\n \"InventorySlots\": 6}",
                       {"world.json:1:23: error: Items: unknown member; expected InventorySlots, "
                        "WhenInventoryFull, ItemClasses, Players",
                        "world.json:2:2: error: InventorySlots: this member is given twice in "
                        "one object (first at line 1)"}},
        WorldErrorCase{"WhenInventoryFullUnknown",
                       "{\"WhenInventoryFull\": \"GiveSome\"}",
                       {"world.json:1:23: error: WhenInventoryFull: must be \"GiveWhatFits\" or "
                        "\"GiveNothing\", not \"GiveSome\""}},
        WorldErrorCase{"InventorySlotsOutOfRange",
                       "{\"InventorySlots\": 0}",
                       {"world.json:1:20: error: InventorySlots: must be a whole number from 1 to "
                        "100000, not 0"}},
        WorldErrorCase{"InventorySlotsFractional",
                       "{\"InventorySlots\": 2.5}",
                       {"world.json:1:20: error: InventorySlots: must be a whole number from 1 to "
                        "100000, not 2.5"}},
        WorldErrorCase{"ItemClassesNotAnArray",
                       "{\"ItemClasses\": {}}",
                       {"world.json:1:17: error: ItemClasses: must be an array of item classes, "
                        "not an object"}},
        WorldErrorCase{
            "ItemClassFaults",
            "{\"ItemClasses\": [\n"
            "  {\"Path\": \"/G/Wood.Wood\", \"MaxStack\": 10},\n"
            "  {\"Path\": \"/G/Wood.Wood_C\", \"MaxStack\": 10},\n"
            "  {\"Path\": \"/G/NoClass.\", \"MaxStack\": 0},\n"
            "  {\"Path\": 7},\n"
            "  {\"MaxStack\": 3000000000, \"Stack\": 1},\n"
            "  \"Wood\"\n"
            "]}",
            {"world.json:3:12: error: ItemClasses[1].Path: this is already the class of "
             "ItemClasses[0] (/G/Wood.Wood_C)",
             "world.json:4:12: error: ItemClasses[2].Path: must be a full path name whose class "
             "name follows its last \".\", not \"/G/NoClass.\"",
             "world.json:4:39: error: ItemClasses[2].MaxStack: must be a whole number from 1 to "
             "2147483647, not 0",
             "world.json:5:3: error: ItemClasses[3]: MaxStack is missing",
             "world.json:5:12: error: ItemClasses[3].Path: must be a string, not a number",
             "world.json:6:3: error: ItemClasses[4]: Path is missing",
             "world.json:6:16: error: ItemClasses[4].MaxStack: must be a whole number from 1 to "
             "2147483647, not 3000000000",
             "world.json:6:28: error: ItemClasses[4].Stack: unknown member; expected Path, "
             "MaxStack",
             "world.json:7:3: error: ItemClasses[5]: must be an object with Path and MaxStack, "
             "not a string"}},
        WorldErrorCase{
            "PlayerFaults",
            "{\"Players\": [\n"
            "  {\"Name\": \"Ada Lovelace\", \"EosId\": \"\", \"Admin\": 1},\n"
            "  {\"Name\": \"Bo\", \"EosId\": \"e2\"},\n"
            "  {\"Name\": \"Bo\", \"EosId\": \"e2\", \"Inventory\": {}},\n"
            "  {\"EosId\": 5},\n"
            "  7\n"
            "]}",
            {"world.json:2:12: error: Players[0].Name: must be a non-empty text without spaces, "
             "not \"Ada Lovelace\"",
             "world.json:2:37: error: Players[0].EosId: must be a non-empty text without spaces, "
             "not \"\"",
             "world.json:2:50: error: Players[0].Admin: must be true or false, not a number",
             "world.json:4:12: error: Players[2].Name: the name \"Bo\" is already taken by "
             "Players[1]",
             "world.json:4:27: error: Players[2].EosId: the EOS ID \"e2\" is already taken by "
             "Players[1]",
             "world.json:4:46: error: Players[2].Inventory: must be an array of {\"Item\", "
             "\"Quantity\"} entries, not an object",
             "world.json:5:3: error: Players[3]: Name is missing",
             "world.json:5:13: error: Players[3].EosId: must be a string, not a number",
             "world.json:6:3: error: Players[4]: must be an object with Name, EosId, Admin, "
             "Groups, State and Inventory, not a number"}},
        WorldErrorCase{
            "GroupFaults",
            "{\"Players\": [\n"
            "  {\"Name\": \"Ada\", \"EosId\": \"e1\", \"Groups\": \"VIP\"},\n"
            "  {\"Name\": \"Bo\", \"EosId\": \"e2\", \"Groups\": [\"VIP\", 7, \"\", \"Big "
            "Spender\",\n"
            "    \"vip\", \"default\", \"Don\\u001b\"]},\n"
            "  {\"Name\": \"Cy\", \"EosId\": \"e3\", \"Group\": []},\n"
            "  {\"Name\": \"Di\", \"EosId\": \"e4\", \"State\": [\"riding\", \"asleep\", 3]}\n"
            "]}",
            {"world.json:2:44: error: Players[0].Groups: must be an array of group names, not a "
             "string",
             "world.json:3:51: error: Players[1].Groups[1]: must be a string, not a number",
             "world.json:3:54: error: Players[1].Groups[2]: must be a non-empty text without "
             "spaces, not \"\"",
             "world.json:3:58: error: Players[1].Groups[3]: must be a non-empty text without "
             "spaces, not \"Big Spender\"",
             "world.json:4:5: error: Players[1].Groups[4]: \"vip\" is the group \"VIP\" again; "
             "group names ignore the case of A to Z",
             "world.json:4:12: error: Players[1].Groups[5]: every player is in the group "
             "Default; leave it out",
             "world.json:4:23: error: Players[1].Groups[6]: must not hold control characters, "
             "not \"Don\\u001b\"",
             "world.json:5:33: error: Players[2].Group: unknown member; expected Name, EosId, "
             "Admin, Groups, State, Inventory",
             "world.json:6:53: error: Players[3].State[1]: \"asleep\" is no state; the states "
             "are dead, unconscious, carried, riding, transferring and noglin",
             "world.json:6:63: error: Players[3].State[2]: must be a string, not a number"}},
        WorldErrorCase{
            "InventoryFaults",
            "{" + kOneClass +
                ", \"Players\": [{\"Name\": \"Ada\", \"EosId\": \"e1\", \"Inventory\": [\n"
                "  {\"Item\": \"Res_Stone\", \"Quantity\": 1},\n"
                "  {\"Item\": \"Res_Wood\", \"Quantity\": -1},\n"
                "  {\"Item\": 5, \"Quantity\": \"5\", \"Count\": 1},\n"
                "  {},\n"
                "  []\n"
                "]}]}",
            {"world.json:2:12: error: Players[0].Inventory[0].Item: \"Res_Stone\" names no item "
             "class of ItemClasses",
             "world.json:3:36: error: Players[0].Inventory[1].Quantity: must be a whole number "
             "from 1 to 2147483647, not -1",
             "world.json:4:12: error: Players[0].Inventory[2].Item: must be a string, not a number",
             "world.json:4:27: error: Players[0].Inventory[2].Quantity: must be a whole number "
             "from 1 to 2147483647, not \"5\"",
             "world.json:4:32: error: Players[0].Inventory[2].Count: unknown member; expected "
             "Item, Quantity",
             "world.json:5:3: error: Players[0].Inventory[3]: Item is missing",
             "world.json:5:3: error: Players[0].Inventory[3]: Quantity is missing",
             "world.json:6:3: error: Players[0].Inventory[4]: must be an object with Item and "
             "Quantity, not an array"}},
        WorldErrorCase{"PathWithSpacesOrControlCharacters",
                       "{\"ItemClasses\": [{\"Path\": \"/G/A.Wood Log\", \"MaxStack\": 1},\n"
                       " {\"Path\": \"/G/A.\\u001b[2J\", \"MaxStack\": 1}]}",
                       {"world.json:1:27: error: ItemClasses[0].Path: must not hold spaces or "
                        "control characters, not \"/G/A.Wood Log\"",
                        "world.json:2:11: error: ItemClasses[1].Path: must not hold spaces or "
                        "control characters, not \"/G/A.\\u001b[2J\""}},
        WorldErrorCase{"PlayerNameOrEosIdWithControlCharacters",
                       "{\"Players\": [{\"Name\": \"Ada\\u001b[2J\", \"EosId\": \"e1\"},\n"
                       " {\"Name\": \"Bo\", \"EosId\": \"e2\\u0085\"},\n"
                       " {\"Name\": \"Cy\\u007f\", \"EosId\": \"e3\\u00a0\"}]}",
                       {"world.json:1:23: error: Players[0].Name: must not hold control "
                        "characters, not \"Ada\\u001b[2J\"",
                        "world.json:2:26: error: Players[1].EosId: must not hold control "
                        "characters, not \"e2\xc2\x85\"",
                        "world.json:3:11: error: Players[2].Name: must not hold control "
                        "characters, not \"Cy\x7f\""}},
        WorldErrorCase{"AmbiguousClassName",
                       R"({"ItemClasses": [{"Path": "/A/X.Res", "MaxStack": 1}, )"
                       R"({"Path": "/B/X.Res", "MaxStack": 1}],)"
                       "\n"
                       R"("Players": [{"Name": "A", "EosId": "1", )"
                       R"("Inventory": [{"Item": "Res", "Quantity": 1}]}]})",
                       {"world.json:2:64: error: Players[0].Inventory[0].Item: \"Res\" names "
                        "several item classes (/A/X.Res_C, /B/X.Res_C); write the full path "
                        "instead"}},
        WorldErrorCase{"InventoryBeyondItsSlots",
                       "{\"InventorySlots\": 3, " + kOneClass +
                           ", \"Players\": [{\"Name\": \"A\", \"EosId\": \"1\", \"Inventory\": "
                           "[{\"Item\": \"Res_Wood\", \"Quantity\": 21}, "
                           "{\"Item\": \"Res_Wood\", \"Quantity\": 10}]}]}",
                       {"world.json:1:145: error: Players[0].Inventory: needs 4 slots once split "
                        "into stacks, more than InventorySlots (3)"}}),
    [](const ::testing::TestParamInfo<WorldErrorCase>& info) { return info.param.Name; });

TEST(WorldFile, ReadWorldFile_ReportsAFileThatCannotBeRead) {
    const WorldReadResult read = ReadWorldFile("/nonexistent/world.json");
    ASSERT_EQ(read.Errors.size(), 1u);
    EXPECT_EQ(FormatWorldError("/nonexistent/world.json", read.Errors[0]),
              "/nonexistent/world.json: error: cannot read the file: No such file or directory");
    const WorldReadResult folder = ReadWorldFile("/");
    ASSERT_EQ(folder.Errors.size(), 1u);
#if defined(_WIN32) // Windows refuses to open a folder as a file at all
    EXPECT_EQ(folder.Errors[0].Message, "cannot read the file: Permission denied");
#else
    EXPECT_EQ(folder.Errors[0].Message,
              "cannot read the file: not a regular file (a folder, a device or a pipe)");
    // A device would be read until memory runs out.
    const WorldReadResult device = ReadWorldFile("/dev/zero");
    ASSERT_EQ(device.Errors.size(), 1u);
    EXPECT_EQ(device.Errors[0].Message,
              "cannot read the file: not a regular file (a folder, a device or a pipe)");
#endif
}

TEST(WorldFile, ClassOfBlueprint_AcceptsTheBlueprintFormsOfAKnownClassOnly) {
    const std::vector<WorldItemClass> classes = {
        {"/Game/R/Res_Wood.Res_Wood_C", "Res_Wood_C", 100},
        {"/Game/R/Res_Stone.Res_Stone_C", "Res_Stone_C", 100}};
    struct Case {
        const char* Blueprint;
        std::optional<size_t> Class;
    };
    const Case cases[] = {
        {"Blueprint'/Game/R/Res_Stone.Res_Stone'", 1},
        {"/Game/R/Res_Stone.Res_Stone", 1},
        {"/Game/R/Res_Stone.Res_Stone_C", 1},
        {"/Game/R/Res_Wood.Res_Wood", 0},
        {"Res_Stone", std::nullopt}, // a class name is not a blueprint
        {"Res_Stone_C", std::nullopt},
        {"Blueprint'/Game/R/Res_Stone.Res_Stone_C'", 1},
        {"Blueprint'/Game/R/Res_Stone.Res_Stone", std::nullopt},
        {"blueprint'/Game/R/Res_Stone.Res_Stone'", std::nullopt},
        {"/Game/R/Res_Stone.Res_Ston", std::nullopt},
        {"/Game/R/Res_Stone.Res_Stone_X", std::nullopt},
        {"/game/r/res_stone.res_stone", std::nullopt},
        {"Blueprint''", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassOfBlueprint(classes, c.Blueprint), c.Class) << c.Blueprint;
        // The simulated game's GiveSlotItem must take exactly the same texts.
        EXPECT_EQ(barterbox::BlueprintNames(c.Blueprint, classes[1].Path), c.Class == 1u)
            << c.Blueprint;
    }
}

TEST(WorldFile, ClassesNamedBy_GivesEveryClassOfASharedClassName) {
    const std::vector<WorldItemClass> classes = {
        {"/A/X.Res_C", "Res_C", 1}, {"/B/X.Res_C", "Res_C", 1}, {"/B/X.Other_C", "Other_C", 1}};
    EXPECT_EQ(ClassesNamedBy(classes, "Res"), (std::vector<size_t>{0, 1}));
    EXPECT_EQ(ClassesNamedBy(classes, "Res_C"), (std::vector<size_t>{0, 1}));
    EXPECT_EQ(ClassesNamedBy(classes, "/B/X.Res"), (std::vector<size_t>{1}));
    EXPECT_EQ(ClassesNamedBy(classes, "Blueprint'/A/X.Res'"), (std::vector<size_t>{0}));
    EXPECT_EQ(ClassesNamedBy(classes, "res"), (std::vector<size_t>{}));
    EXPECT_EQ(ClassesNamedBy(classes, "X"), (std::vector<size_t>{}));
    EXPECT_EQ(ClassesNamedBy(classes, "Res_C_C"), (std::vector<size_t>{}));
}

} // namespace
