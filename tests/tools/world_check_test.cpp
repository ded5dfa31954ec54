// The checks against a world: Give identifiers matched as the plugin matches inventory items,
// Receive blueprints as the world's GiveSlotItem takes them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/check/config_check.h"
#include "tools/check/finding_output.h"
#include "tools/check/world_check.h"

namespace {

using namespace barterbox::tools;

// As the world file reader gives them: the game's generated-class paths and names.
const std::vector<WorldItemClass> kClasses = {
    {"/Game/R/PrimalItemResource_Metal.PrimalItemResource_Metal_C", "PrimalItemResource_Metal_C",
     300},
    {"/Game/R/PrimalItemResource_MetalIngot.PrimalItemResource_MetalIngot_C",
     "PrimalItemResource_MetalIngot_C", 200},
    {"/Game/R/PrimalItemResource_Wood.PrimalItemResource_Wood_C", "PrimalItemResource_Wood_C", 100},
};

TEST(WorldCheck, ClassesMatchingGive_MatchesSubstringsCaseSensitively) {
    struct Case {
        const char* Identifier;
        std::vector<size_t> Classes;
    };
    const Case cases[] = {
        {"PrimalItemResource_Wood", {2}},
        {"PrimalItemResource_Metal", {0, 1}}, // a prefix of the ingot's name too
        {"PrimalItemResource_Metal.", {0}},
        {"/Game/R/PrimalItemResource_Metal.PrimalItemResource_Metal", {0}},
        {"MetalIngot", {1}},
        {"Resource", {0, 1, 2}},
        {"", {0, 1, 2}}, // the empty identifier matches every item
        {"wood", {}},
        {"PrimalItemResource_Wood_C", {2}}, // the class's own name
        {"Wood_C", {2}},
        {"Metal_C", {0}},
        {"/Game/R/PrimalItemResource_Wood.PrimalItemResource_Wood_C", {2}},
        {"PrimalItemResource_Wood_C_C", {}},
        {"Blueprint'/Game/R/PrimalItemResource_Wood.PrimalItemResource_Wood'", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassesMatchingGive(kClasses, c.Identifier), c.Classes) << c.Identifier;
    }
}

std::vector<std::string> WorldLines(const std::string& text,
                                    const std::vector<WorldItemClass>& classes = kClasses) {
    const ConfigCheck check = CheckConfigText("config.json", text);
    WorldDescription world;
    world.ItemClasses = classes;
    std::vector<std::string> lines;
    for (const Finding& finding :
         CheckAgainstWorld("config.json", check.Document, check.Locations, world)) {
        lines.push_back(HumanLine(finding));
    }
    return lines;
}

TEST(WorldCheck, CheckAgainstWorld_ReportsGiveItemsNoPlayerCanPayOrThatMatchSeveralClasses) {
    const std::string text = "{\"Exchanges\": {\"Ingots\": {\"Give\": {\n"
                             "  \"PrimalItemResource_Metal\": 20,\n"
                             "  \"PrimalItemResource_Wood\": 4,\n"
                             "  \"primalitemresource_wood\": 1,\n"
                             "  \"\": 1,\n"
                             "  \"Resource_Metal\": 2\n"
                             "}, \"Receive\": {\"/Game/R/PrimalItemResource_MetalIngot."
                             "PrimalItemResource_MetalIngot\": 10}}}}";
    EXPECT_EQ(WorldLines(text),
              (std::vector<std::string>{
                  "config.json:2:3: warning: Exchanges.Ingots.Give.PrimalItemResource_Metal: "
                  "matches 2 item classes (PrimalItemResource_Metal_C, "
                  "PrimalItemResource_MetalIngot_C); the plugin counts and takes items of all of "
                  "them",
                  "config.json:2:3: warning: Exchanges.Ingots.Give.PrimalItemResource_Metal: also "
                  "matches PrimalItemResource_MetalIngot_C (handed out by Ingots), most likely not "
                  "meant; players can pay it with what the table hands out; write "
                  "\"/Game/R/PrimalItemResource_Metal.PrimalItemResource_Metal_C\" to take "
                  "PrimalItemResource_Metal_C alone",
                  "config.json:4:3: warning: Exchanges.Ingots.Give.primalitemresource_wood: "
                  "matches no item class of the world; no player can ever pay it",
                  "config.json:5:3: warning: Exchanges.Ingots.Give.\"\": matches 3 item classes "
                  "(PrimalItemResource_Metal_C, PrimalItemResource_MetalIngot_C, "
                  "PrimalItemResource_Wood_C); the plugin counts and takes items of all of them",
                  // The tail of a class name means that class, and not the ingots.
                  "config.json:6:3: warning: Exchanges.Ingots.Give.Resource_Metal: matches 2 item "
                  "classes (PrimalItemResource_Metal_C, PrimalItemResource_MetalIngot_C); the "
                  "plugin counts and takes items of all of them",
                  "config.json:6:3: warning: Exchanges.Ingots.Give.Resource_Metal: also matches "
                  "PrimalItemResource_MetalIngot_C (handed out by Ingots), most likely not meant; "
                  "players can pay it with what the table hands out; write "
                  "\"/Game/R/PrimalItemResource_Metal.PrimalItemResource_Metal_C\" to take "
                  "PrimalItemResource_Metal_C alone"}));
}

TEST(WorldCheck, CheckAgainstWorld_ReportsReceiveBlueprintsTheGameWouldRefuse) {
    const std::string text =
        "{\"Exchanges\": {\"Wood\": {\"Give\": {\"PrimalItemResource_Wood\": 1}, \"Receive\": {\n"
        "  \"Blueprint'/Game/R/PrimalItemResource_Metal.PrimalItemResource_Metal'\": 1,\n"
        "  \"/Game/R/PrimalItemResource_Metal.PrimalItemResource_Metal\": 1,\n"
        "  \"/Game/R/PrimalItemResource_Wood.PrimalItemResource_Wood_C\": 1,\n"
        "  \"PrimalItemResource_Wood\": 1,\n"
        "  \"Blueprint'/Game/R/PrimalItemResource_Stone.PrimalItemResource_Stone'\": 1,\n"
        "  \"/Game/R/PrimalItemResource_MetalIngot.PrimalItemResource_MetalIngot\": 60001\n"
        "}}}}";
    EXPECT_EQ(
        WorldLines(text),
        (std::vector<std::string>{
            "config.json:5:3: warning: Exchanges.Wood.Receive.PrimalItemResource_Wood: no "
            "item class of the world has this blueprint; the game would refuse it, so "
            "every run would be cancelled",
            "config.json:6:3: warning: Exchanges.Wood.Receive.\"Blueprint'/Game/R/"
            "PrimalItemResource_Stone.PrimalItemResource_Stone'\": no item class of the "
            "world has this blueprint; the game would refuse it, so every run would be "
            "cancelled",
            // 60,000 would fill the world's 300 slots with stacks of 200; one more cannot fit.
            "config.json:7:3: warning: Exchanges.Wood.Receive.\"/Game/R/"
            "PrimalItemResource_MetalIngot.PrimalItemResource_MetalIngot\": needs 301 stacks "
            "of 200 even once, more than the world's InventorySlots (300); it can never "
            "fit, so every run would be refused or cancelled"}));
}

// A class path names its class after the object, so .../Pkg.Obj_C hands out Obj_C: a world may
// hold such a class, but a writer who put a package's name first most likely meant Pkg_C. The
// same blueprint written with its object named after its package, or as a blueprint, is fine.
TEST(WorldCheck, CheckAgainstWorld_WarnsOfAClassPathWhoseObjectIsNotItsPackages) {
    std::vector<WorldItemClass> classes = kClasses;
    classes.push_back({"/Game/Odd/Pkg.Obj_C", "Obj_C", 100});
    classes.push_back({"/Game/Odd/Obj.Obj_C", "Obj_C", 100});
    const std::string text =
        "{\"Exchanges\": {\"Odd\": {\"Give\": {\"PrimalItemResource_Wood\": 1}, \"Receive\": {\n"
        "  \"/Game/Odd/Pkg.Obj_C\": 1,\n"
        "  \"Blueprint'/Game/Odd/Pkg.Obj_C'\": 1,\n"
        "  \"/Game/Odd/Obj.Obj_C\": 1,\n"
        "  \"/Game/Odd/Obj.Obj\": 1\n"
        "}}}}";
    const std::string odd = "a class path whose object Obj_C is not named after its package Pkg; "
                            "the game hands out the class Obj_C, not Pkg_C";
    EXPECT_EQ(WorldLines(text, classes),
              (std::vector<std::string>{
                  "config.json:2:3: warning: Exchanges.Odd.Receive.\"/Game/Odd/Pkg.Obj_C\": " + odd,
                  "config.json:3:3: warning: Exchanges.Odd.Receive.\"Blueprint'/Game/Odd/"
                  "Pkg.Obj_C'\": " +
                      odd}));
}

TEST(WorldCheck, CheckAgainstWorld_ListsAtMostEightClassNames) {
    WorldDescription world;
    for (int i = 0; i < 11; ++i) {
        const std::string name = "Res_" + std::to_string(i);
        world.ItemClasses.push_back({"/G/" + name + "." + name + "_C", name + "_C", 1});
    }
    const ConfigCheck check =
        CheckConfigText("config.json", R"({"Exchanges": {"A": {"Give": {"Res": 1}}}})");
    const auto findings = CheckAgainstWorld("config.json", check.Document, check.Locations, world);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].Message,
              "matches 11 item classes (Res_0_C, Res_1_C, Res_2_C, Res_3_C, Res_4_C, Res_5_C, "
              "Res_6_C, Res_7_C, and 3 more); the plugin counts and takes items of all of them");
}

} // namespace
