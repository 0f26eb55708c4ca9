// Rows of an import table turned into facts and known arguments, without a data source:
// exact kinds, decimal commas, and every row that cannot be imported listed with its reason.
#include <gtest/gtest.h>

#include "import/conversion.h"

using namespace zuva;

TEST(ImportConversion, FactsAndKnownArgumentsInRowOrder) {
    ConvertedRows c = convert_rows({{"fakt", "akumulator_rozladowany", "0,8"},
                                    {"argument_znany", "temperatura", "36,6"},
                                    {"Fakt", "duza_litera", "0.5"},
                                    {"rodzaj", "nazwa", "wartosc"},
                                    {"fakt", "brak_iskry", "-1"},
                                    {"argument_znany", "napiecie", " 12.5 "},
                                    {"", "", ""}});
    ASSERT_EQ(c.facts.size(), 2u);
    EXPECT_EQ(c.facts[0].fact_text, "akumulator_rozladowany");
    EXPECT_EQ(c.facts[0].cf_text, "0.8");
    EXPECT_EQ(c.facts[1].fact_text, "brak_iskry");
    EXPECT_EQ(c.facts[1].cf_text, "-1");
    ASSERT_EQ(c.arguments.size(), 2u);
    EXPECT_EQ(c.arguments[0].argument_name, "temperatura");
    EXPECT_DOUBLE_EQ(c.arguments[0].value, 36.6);
    EXPECT_DOUBLE_EQ(c.arguments[1].value, 12.5);
    EXPECT_EQ(c.fact_lines, (std::vector<std::string>{"akumulator_rozladowany  0.8", "brak_iskry  -1"}));
    EXPECT_EQ(c.argument_lines, (std::vector<std::string>{"temperatura  36.6", "napiecie  12.5"}));
    // Rows of another kind (a capital F, a header, an empty row) are skipped silently.
    EXPECT_TRUE(c.rejected.empty());
    EXPECT_FALSE(c.argument_not_number);
}

TEST(ImportConversion, UnusableRowsAreRejectedWithRowNumberAndReasonOthersStay) {
    ConvertedRows c = convert_rows({{"fakt", "dobry", "0,5"},
                                    {"fakt", "za_duzy", "1,5"},
                                    {"fakt", "slowo", "abc"},
                                    {"fakt", "", "0.3"},
                                    {"fakt", "bez_wartosci", ""},
                                    {"argument_znany", "masa", "ciężka"},
                                    {"argument_znany", "dwa_przecinki", "1,2,3"},
                                    {"argument_znany", "nieskonczonosc", "1e999"},
                                    {"fakt", "nieczytelny", std::string(kErrorLoading)},
                                    {"argument_znany", "dobry_arg", "-2"}});
    ASSERT_EQ(c.facts.size(), 1u);
    EXPECT_EQ(c.facts[0].fact_text, "dobry");
    ASSERT_EQ(c.arguments.size(), 1u);
    EXPECT_EQ(c.arguments[0].argument_name, "dobry_arg");
    EXPECT_TRUE(c.argument_not_number);
    ASSERT_EQ(c.rejected.size(), 8u);
    std::vector<std::size_t> rows;
    for (const auto& r : c.rejected)
        rows.push_back(r.row);
    EXPECT_EQ(rows, (std::vector<std::size_t>{2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(c.rejected[0].reason, "wartość CF '1,5' faktu 'za_duzy' nie jest liczbą z przedziału [-1,1]");
    EXPECT_EQ(c.rejected[2].reason, "brak nazwy faktu");
    EXPECT_EQ(c.rejected[3].reason, "brak wartości faktu 'bez_wartosci'");
    EXPECT_EQ(c.rejected[4].reason, "wartość 'ciężka' argumentu 'masa' nie jest liczbą rzeczywistą");
    EXPECT_EQ(c.rejected[7].reason, "komórka wiersza nie dała się odczytać");
}

TEST(ImportConversion, DriverTextKeepsUtf8AndReadsOtherBytesAsWindows1250) {
    EXPECT_EQ(driver_text("zapłon"), "zapłon");
    EXPECT_EQ(driver_text("zap\xb3on"), "zapłon");  // Windows-1250 ł
    EXPECT_EQ(driver_text("a\x98z"), "a?z");        // undefined in Windows-1250
}
