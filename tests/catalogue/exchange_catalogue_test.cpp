// The exchange table's case rules: names match by key, but keep their configured letter case.
#include <gtest/gtest.h>

#include "catalogue/exchange_catalogue.h"

namespace {

using namespace barterbox;

ExchangeDefinition Definition(std::string name, std::string description = "") {
    return {std::move(name), std::move(description), {{"Wood", 1}}, {{"Stone", 2}}};
}

class ExchangeCatalogueTest : public ::testing::Test {
protected:
    void SetUp() override { ClearExchanges(); }
    void TearDown() override { ClearExchanges(); }
};

TEST_F(ExchangeCatalogueTest, ExchangeKey_LowersOnlyAToZ) {
    EXPECT_EQ(ExchangeKey("WoOd"), "wood");
    EXPECT_EQ(ExchangeKey("Wood "), "wood ");
    EXPECT_EQ(ExchangeKey("\xC3\x89tain"), "\xC3\x89tain"); // bytes above 127 stay as they are
    EXPECT_EQ(ExchangeKey("[@Z`]"), "[@z`]");
}

TEST_F(ExchangeCatalogueTest, FindExchange_MatchesAnyCaseAndKeepsTheConfiguredName) {
    PutExchange(Definition("Wood"));
    for (const char* typed : {"WOOD", "wood", "Wood", "wOOd"}) {
        const ExchangeDefinition* found = FindExchange(typed);
        ASSERT_NE(found, nullptr) << typed;
        EXPECT_EQ(found->Name, "Wood");
    }
    EXPECT_EQ(FindExchange("Wood "), nullptr);
    EXPECT_EQ(FindExchange("Woo"), nullptr);
    EXPECT_EQ(ExchangeCount(), 1u) << "a lookup never inserts";
}

TEST_F(ExchangeCatalogueTest, PutExchange_ReplacesTheWholeEntryAndKeepsTheCount) {
    PutExchange({"stone", "old", {{"a", 1}, {"b", 2}}, {{"c", 3}}});
    PutExchange(Definition("Other"));
    PutExchange({"Stone", "new", {{"x", 9}}, {{"y", 8}}});

    EXPECT_EQ(ExchangeCount(), 2u);
    const ExchangeDefinition* stone = FindExchange("STONE");
    ASSERT_NE(stone, nullptr);
    EXPECT_EQ(stone->Name, "Stone");
    EXPECT_EQ(stone->Description, "new");
    ASSERT_EQ(stone->Give.size(), 1u);
    EXPECT_EQ(stone->Give[0].Item, "x");
    ASSERT_EQ(stone->Receive.size(), 1u);
    EXPECT_EQ(stone->Receive[0].Quantity, 8);
}

TEST_F(ExchangeCatalogueTest, NamesDifferingOutsideAToZAreDistinct) {
    PutExchange(Definition("\xC3\xA9tain")); // étain
    PutExchange(Definition("\xC3\x89tain")); // Étain: another byte, not a case of A to Z
    EXPECT_EQ(ExchangeCount(), 2u);
    EXPECT_EQ(FindExchange("\xC3\x89TAIN")->Name, "\xC3\x89tain");
}

TEST_F(ExchangeCatalogueTest, EraseExchange_ReportsWhetherAnythingWasThere) {
    PutExchange(Definition("Wood"));
    EXPECT_FALSE(EraseExchange("Stone"));
    EXPECT_EQ(ExchangeCount(), 1u);
    EXPECT_TRUE(EraseExchange("WOOD"));
    EXPECT_EQ(ExchangeCount(), 0u);
    EXPECT_FALSE(EraseExchange("Wood"));
}

TEST_F(ExchangeCatalogueTest, TakeCatalogueChanges_ListsTheKeysPutOrErasedSinceTheLastCall) {
    TakeCatalogueChanges(); // whatever came before this test
    PutExchange(Definition("Wood"));
    PutExchange(Definition("STONE"));
    EXPECT_FALSE(EraseExchange("Fiber")) << "nothing there, so nothing changed";
    EXPECT_TRUE(EraseExchange("wood"));
    PutExchange(Definition("Stone"));

    CatalogueChanges changes = TakeCatalogueChanges();
    EXPECT_FALSE(changes.Everything);
    EXPECT_EQ(changes.Keys, (std::vector<std::string>{"wood", "stone", "wood", "stone"}));

    changes = TakeCatalogueChanges();
    EXPECT_FALSE(changes.Everything);
    EXPECT_TRUE(changes.Keys.empty()) << "taken once, the list starts again";
}

TEST_F(ExchangeCatalogueTest,
       TakeCatalogueChanges_SaysEverythingAfterAClearOrAListLongerThanTheTable) {
    TakeCatalogueChanges();
    PutExchange(Definition("Wood"));
    ClearExchanges();
    PutExchange(Definition("Stone"));
    CatalogueChanges changes = TakeCatalogueChanges();
    EXPECT_TRUE(changes.Everything);
    EXPECT_TRUE(changes.Keys.empty());

    // One entry replaced over and over: the list stops at the table's size and some slack, so a
    // table nobody saves never makes it grow without end.
    for (int i = 0; i < 1000; ++i) {
        PutExchange(Definition("Stone", std::to_string(i)));
    }
    changes = TakeCatalogueChanges();
    EXPECT_TRUE(changes.Everything);
    EXPECT_TRUE(changes.Keys.empty());
    EXPECT_EQ(ExchangeCount(), 1u);
}

} // namespace
