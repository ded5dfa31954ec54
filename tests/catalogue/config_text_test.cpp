// The save text against the JSON library's dump(2) of a document built member by member, for
// escapes, UTF-8, byte order and repeated items; and text that is not UTF-8 refused.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "catalogue/catalogue_state.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"
#include "library_dump.h"

namespace {

using namespace barterbox;
using nlohmann::json;
using testing_support::LibraryDump;

class SaveText : public ::testing::Test {
protected:
    void SetUp() override { ResetCatalogueState(); }
    void TearDown() override { ResetCatalogueState(); }
};

TEST_F(SaveText, EqualsTheLibrarysDumpOfTheDocument) {
    struct State {
        const char* Name;
        void (*Fill)();
    };
    const State states[] = {
        {"empty table, default settings", [] {}},
        {"escapes and control characters",
         [] {
             Settings() = {"a\"b\\c\n\t\x01\x1F\x7F", false, -2147483647 - 1};
             PutExchange({std::string("n\0ul", 4), "\b\f\r\"", {{"\\", 1}}, {{"\"", -1}}});
         }},
        {"UTF-8 left as it is",
         [] {
             Settings().ChatPrefix = "\xF0\x9F\x98\x80 B\xC3\xB6rse \xE2\x86\x92";
             PutExchange({"\xC3\x89tain", "\xEF\xBB\xBF", {{"\xE6\x9C\xA8", 3}}, {{"x", 1}}});
         }},
        {"names in byte order, not letter order",
         [] {
             for (const char* name : {"b", "B", "a", "_", "\xC3\xA0", "10", "9", " "}) {
                 PutExchange({name, "", {{"z", 1}, {"Z", 2}, {"y", 3}}, {{"a", 1}}});
             }
         }},
        {"repeated items: the later one's quantity",
         [] {
             PutExchange({"W", "", {{"a", 1}, {"b", 2}, {"a", 3}, {"a", 4}}, {{"c", 5}, {"c", 6}}});
         }},
        {"empty lists and extreme quantities",
         [] {
             PutExchange({"E", "", {}, {}});
             PutExchange({"F", "", {{"a", 2147483647}}, {{"b", 0}, {"c", -2147483647 - 1}}});
         }},
        {"many exchanges",
         [] {
             // Built with append: GCC 12 warns falsely (-Wrestrict) on literal + to_string.
             for (int i = 0; i < 500; ++i) {
                 std::string name = "Exchange_";
                 name.append(std::to_string(i * 7919 % 500));
                 std::string give = "g";
                 give.append(std::to_string(i % 7));
                 PutExchange({name, std::to_string(i), {{give, i}}, {{"r", -i}}});
             }
         }},
    };
    for (const State& state : states) {
        SCOPED_TRACE(state.Name);
        SetUp();
        state.Fill();
        EXPECT_EQ(ConfigText(), LibraryDump());
    }
}

TEST_F(SaveText, TextThatIsNotUtf8_IsRefusedAsTheLibraryRefusesIt) {
    const char* const malformed[] = {
        "\xFF",             // never in UTF-8
        "\x80",             // a lone continuation byte
        "\xC3",             // a sequence cut short
        "\xE2\x82",         // likewise
        "\xC0\x80",         // an overlong NUL
        "\xE0\x80\xAF",     // an overlong slash
        "\xED\xA0\x80",     // a surrogate
        "\xF4\x90\x80\x80", // past U+10FFFF
        "ok\xC3(",          // a bad continuation
    };
    for (const char* text : malformed) {
        SCOPED_TRACE(::testing::PrintToString(std::string(text)));
        for (int place = 0; place < 3; ++place) {
            SetUp();
            if (place == 0) {
                Settings().ChatPrefix = text;
            } else if (place == 1) {
                PutExchange({"X", text, {{"a", 1}}, {{"b", 1}}});
            } else {
                PutExchange({"X", "", {{text, 1}}, {{"b", 1}}});
            }
            EXPECT_THROW(LibraryDump(), json::type_error);
            EXPECT_THROW(ConfigText(), json::type_error);
        }
    }
}

} // namespace
