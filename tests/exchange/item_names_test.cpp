// Short display names of item identifiers and blueprint paths.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exchange/item_names.h"

namespace {

struct NameCase {
    std::string Input;
    std::string Expected;
};

class ShortItemNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ShortItemNameTest, ShortensToTheLastSegment) {
    EXPECT_EQ(barterbox::ShortItemName(GetParam().Input), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ShortItemNameTest,
    ::testing::Values(NameCase{"", ""},
                      // Without a "/" nothing is removed, not even an apostrophe or "_C".
                      NameCase{"PrimalItemResource_Wood", "PrimalItemResource_Wood"},
                      NameCase{"Wood'", "Wood'"}, NameCase{"Res_Stone_C", "Res_Stone_C"},
                      // A dot-separated object name stays whole.
                      NameCase{"Blueprint'/Game/Res/Res_Stone.Res_Stone'", "Res_Stone.Res_Stone"},
                      NameCase{"/Game/Res/Res_Stone.Res_Stone", "Res_Stone.Res_Stone"},
                      NameCase{"/Game/Res/Res_Stone_C", "Res_Stone"},
                      NameCase{"/Game/Res/Res_Stone.Res_Stone_C'", "Res_Stone.Res_Stone"},
                      // Only one apostrophe and one suffix go, and "_C" only in that exact case.
                      NameCase{"/Game/Res/Stone''", "Stone'"},
                      NameCase{"/Game/Res/Stone_C_C", "Stone_C"},
                      NameCase{"/Game/Res/Stone_c", "Stone_c"},
                      // A trailing "/" leaves nothing; a segment of exactly "_C" is a name.
                      NameCase{"/Game/Res/", ""}, NameCase{"/Game/Res/'", ""},
                      NameCase{"/Game/_C", "_C"}, NameCase{"/Game/_C'", "_C"},
                      NameCase{"/Game/x_C", "x"}, NameCase{"/", ""}));

} // namespace
