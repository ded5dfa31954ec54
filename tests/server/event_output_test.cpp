// The event lines the server prints, and the escaping of control characters in them.
#include <gtest/gtest.h>

#include "tools/server/output/event_output.h"

namespace {

using namespace barterbox::server;

TEST(EventOutput, EventLines_HaveTheirDocumentedForms) {
    EXPECT_EQ(ChatEventLine("Ada", "Trader", "Exchange complete: Wood x3"),
              "[chat -> Ada] <Trader> Exchange complete: Wood x3");
    EXPECT_EQ(ColouredEventLine("Ada", 0, 1, 0, 1, "Barterbox: 2 exchanges"),
              "[msg -> Ada] (green) Barterbox: 2 exchanges");
    EXPECT_EQ(RconEventLine("Exchange completed"), "[rcon] Exchange completed");
    EXPECT_EQ(InventoryEventLine("Bram", 3, "PrimalItemResource_Wood", 50),
              "[inv Bram] #3 PrimalItemResource_Wood x50");
    EXPECT_EQ(EmptyInventoryLine("Bram"), "[inv Bram] (empty)");
}

TEST(EventOutput, ColourName_NamesThePluginsThreeColoursAndSpellsOutOthers) {
    EXPECT_EQ(ColourName(0, 1, 0, 1), "green");
    EXPECT_EQ(ColourName(1, 0, 0, 1), "red");
    EXPECT_EQ(ColourName(1, 1, 1, 1), "white");
    EXPECT_EQ(ColourName(1, 1, 1, 0.5f), "1,1,1,0.5");
    EXPECT_EQ(ColourName(0, 0, 1, 1), "0,0,1,1");
}

TEST(EventOutput, ShowControls_EscapesControlCharactersButKeepsTabsAndUtf8) {
    EXPECT_EQ(ShowControls("plain text"), "plain text");
    EXPECT_EQ(ShowControls("a\tb"), "a\tb");
    EXPECT_EQ(ShowControls("two\nlines\r"), "two\\x0alines\\x0d");
    EXPECT_EQ(ShowControls("\x1b[31mred"), "\\x1b[31mred");
    EXPECT_EQ(ShowControls(std::string("nul\0byte", 8)), "nul\\x00byte");
    EXPECT_EQ(ShowControls("del\x7f"), "del\\x7f");
    EXPECT_EQ(ShowControls("Électronics"), "Électronics");
    EXPECT_EQ(ShowControls("csi\xc2\x9b"
                           "31m nel\xc2\x85 apc\xc2\x9f"),
              "csi\\u009b31m nel\\u0085 apc\\u009f");
    EXPECT_EQ(ShowControls("\u00a0nbsp \u00bfq"), "\u00a0nbsp \u00bfq");
    EXPECT_EQ(ShowControls("cut\xc2"), "cut\xc2");
    // The same controls as raw 8-bit bytes, which terminals in an 8-bit mode act on; the
    // continuation bytes of UTF-8 characters ("\xe2\x86\x92" is an arrow) stay as they are.
    EXPECT_EQ(ShowControls("csi\x9b"
                           "31m nel\x85 \x80"),
              "csi\\x9b31m nel\\x85 \\x80");
    EXPECT_EQ(ShowControls("\xe2\x86\x92 \xf0\x9f\x98\x80 \xe2\x86"),
              "\xe2\x86\x92 \xf0\x9f\x98\x80 \xe2\\x86");
}

} // namespace
