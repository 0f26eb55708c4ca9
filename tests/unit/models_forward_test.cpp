// A forward consultation over a rule base whose rule needs the conclusion of a relational
// model fed by computed quantities (the sample model base of the examples).
#include <gtest/gtest.h>

#include "consult/calculus_basics.h"
#include "consult/forward.h"
#include "consult/summary.h"
#include "models_fixture.h"
#include "text/file_io.h"

using zuva::testing::ModelSession;

namespace zuva {
namespace {

const char* const kRules =
    "reguła(1,\"naladuj_lub_wymien_akumulator\",[\"akumulator_rozladowany\",\"silnik_nie_kreci\"],1,\"0.9\")"
    "\n"
    "reguła(2,\"sprawdz_rozrusznik\",[\"duzy_spadek_napiecia_przy_rozruchu\"],1,\"0.7\")\n";

std::string sample_models() {
    auto bytes = read_file_bytes(std::string(ZUVA_TEST_DATA) + "/../../examples/BAZY/MOAUTO.BEN");
    EXPECT_TRUE(bytes);
    return bytes ? *cp1250_to_utf8(*bytes) : std::string();
}

// The names asked in value dialogs, in order.
std::vector<std::string> asked(const std::string& transcript) {
    std::vector<std::string> out;
    for (auto p = transcript.find("[value] "); p != std::string::npos;
         p = transcript.find("[value] ", p + 1)) {
        auto n = transcript.find("name: ", p) + 6;
        out.push_back(transcript.substr(n, transcript.find('\n', n) - n));
    }
    return out;
}

void run(ModelSession& f, std::initializer_list<const char*> answers) {
    f.rules(kRules, "REAUTO.BEN");
    ASSERT_NE(f.models(sample_models(), "MOAUTO.BEN"), "");
    for (const char* a : answers)
        f.ui.add_answer(a);
    wnioskowanie_w_przod(f.s);
    EXPECT_FALSE(f.ui.has_answers());
}

TEST(ModelsForward, RelationHoldsAndARuleUsesItsConclusion) {
    ModelSession f;
    // Detail, labels, fact mode, two voltages, CF of the relational conclusion, the rule's
    // askable condition, CF of the interval conclusion, summary, report.
    run(f, {"1", "&NIE", "1", "12.1", "9.4", "0.8", "1", "0.9", "&NIE", "&Nie"});
    EXPECT_EQ(asked(f.ui.transcript()),
              (std::vector<std::string>{"napiecie_spoczynkowe", "napiecie_podczas_rozruchu",
                                        "akumulator_rozladowany", "silnik_nie_kreci",
                                        "duzy_spadek_napiecia_przy_rozruchu"}));
    EXPECT_DOUBLE_EQ(*resultant(f.s, "akumulator_rozladowany"), 0.8);
    EXPECT_DOUBLE_EQ(*resultant(f.s, "naladuj_lub_wymien_akumulator"), 0.72);
    EXPECT_DOUBLE_EQ(*resultant(f.s, "sprawdz_rozrusznik"), 0.63);
    // The final listing of fixed values, in table order and without numeric literals.
    EXPECT_NE(
        f.s.report.text.find("Dane są wartości następujących argumentów:\n    napiecie_spoczynkowe=12.1\n"
                             "    napiecie_podczas_rozruchu=9.4\n    spadek_napiecia=2.7\n"
                             "    stopien_naladowania=25\n    stopien_naladowania_zaokraglony=25\n\n"),
        std::string::npos);
    EXPECT_TRUE(f.s.inference.zmienna_ustalona.contains("-1487.5"));
    std::string summary = tekst_podsumowania(f.s);
    auto values = summary.substr(summary.find("wartości argumentów\n"));
    EXPECT_EQ(values,
              "wartości argumentów\n    napiecie_spoczynkowe = 12.1\n    napiecie_podczas_rozruchu = 9.4\n"
              "    spadek_napiecia = 2.7\n    stopien_naladowania = 25\n    stopien_naladowania_zaokraglony "
              "= 25\n");
}

TEST(ModelsForward, FailingRelationsGiveMinusOneWithoutAskingTheirCf) {
    ModelSession f;
    run(f, {"1", "&NIE", "1", "12.7", "12.2", "1", "&NIE", "&Nie"});
    EXPECT_EQ(
        asked(f.ui.transcript()),
        (std::vector<std::string>{"napiecie_spoczynkowe", "napiecie_podczas_rozruchu", "silnik_nie_kreci"}));
    EXPECT_DOUBLE_EQ(*resultant(f.s, "akumulator_rozladowany"), -1.0);
    EXPECT_DOUBLE_EQ(*resultant(f.s, "duzy_spadek_napiecia_przy_rozruchu"), -1.0);
    EXPECT_NE(f.ui.helper_text().find("to przyjmuje się CF(akumulator_rozladowany) = -1.\n"),
              std::string::npos);
}

}  // namespace
}  // namespace zuva
