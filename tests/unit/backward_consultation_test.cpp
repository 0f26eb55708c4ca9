// Whole backward consultations through the scripted port: the candidate lists of both
// hypothesis types, the order of questions, the verdict, the end of a run without a CF.
#include <gtest/gtest.h>

#include "backward_test_support.h"
#include "consult/backward.h"
#include "consult/calculus_basics.h"
#include "forward_test_support.h"
#include "kb/askable_conditions.h"
#include "kb/base_file_reader.h"
#include "report/report.h"
#include "ui/scripted_ui.h"

using namespace zuva;
using namespace zuva::testing_support;
using namespace zuva::backward_support;

namespace {

// Conclusions with Polish first letters, so that the Windows-1250 order (ś 0x9C, ż 0xBF,
// ć 0xE6) differs from the UTF-8 order (ć, ś, ż).
const char* const kMedical =
    "reguła(1,\"grypa\",[\"choroba\",\"ból\"],1,\"0.9\")\n"
    "reguła(2,\"choroba\",[\"gorączka\",\"kaszel\"],1,\"0.8\")\n"
    "reguła(3,\"świnka\",[\"obrzęk\"],1,\"0.5\")\n"
    "reguła(4,\"żółtaczka\",[\"choroba\",\"żółta_skóra\"],1,\"0.7\")\n"
    "reguła(5,\"angina\",[\"gardło\"],1,\"0.6\")\n"
    "reguła(6,\"ćwiczenia\",[\"zdrowie\"],1,\"0.4\")\n";

std::size_t pos_of(const std::string& hay, const std::string& needle) {
    auto p = hay.find(needle);
    return p == std::string::npos ? hay.size() + 1 : p;
}

}  // namespace

TEST(BackwardConsultation, NarrowSenseRunListsOnlyTopConclusionsAndGivesTheVerdict) {
    ScriptedUi ui(opening("1", "2", {"0.9", "0.5", "0.6", "&NIE", "&Nie"}));
    Session s(ui);
    use_rule_base(s, kMedical, "med");
    wnioskowanie_wstecz(s);
    EXPECT_FALSE(ui.has_answers());
    const std::string& t = ui.transcript();

    EXPECT_NE(t.find("[radio] Hipoteza wybór\nWybierz typ testowanej hipotezy!\n1. Hipoteza w sensie wąskim\n"
                     "2. Hipoteza w sensie szerokim\n"),
              std::string::npos);
    EXPECT_NE(t.find("[list] Hipoteza w sensie wąskim\nWybierz hipotezę w sensie wąskim!\n1. angina\n"),
              std::string::npos);
    EXPECT_EQ(listed(t), (std::vector<std::string>{"angina", "grypa", "świnka", "żółtaczka", "ćwiczenia"}));
    // Depth first: choroba's conditions before grypa's second condition.
    EXPECT_EQ(asked(t), (std::vector<std::string>{"gorączka", "kaszel", "ból"}));
    EXPECT_NE(t.find("[note] Określenie CF dla warunku \nPodaj CF dla warunku\n   gorączka\n"),
              std::string::npos);
    EXPECT_NE(t.find("[note] Uwaga!\nTestuję hipotezę w sensie wąskim\n   grypa\n"), std::string::npos);

    // choroba = 0.8 · min(0.9, 0.5) = 0.4; grypa = 0.9 · min(0.4, 0.6) = 0.36.
    EXPECT_DOUBLE_EQ(*resultant(s, "choroba"), 0.4);
    EXPECT_DOUBLE_EQ(*resultant(s, "grypa"), 0.36);
    const std::string& r = s.report.text;
    EXPECT_NE(r.find("Wnioskowanie elementarne niepewne wstecz dla bazy reguł REmed.BEN\n"),
              std::string::npos);
    EXPECT_NE(r.find("Testuję hipotezę w sensie wąskim:  \ngrypa\n\n"), std::string::npos);
    EXPECT_NE(r.find("Hipoteza pomocnicza choroba jest testowana.\n"), std::string::npos);
    EXPECT_NE(r.find("Hipoteza główna  grypa jest testowana.\n"), std::string::npos);
    EXPECT_NE(r.find("Z wszystkich reguł kumulatywnych (z pojedynczej reguły) dla hipotezy:\n    grypa\n"
                     "wynika:\n    grypa(0.36)\n\n"),
              std::string::npos);
    EXPECT_NE(r.find("Dla testowanej hipotezy jest:\nCF(grypa) = 0.36\n\n"), std::string::npos);
    EXPECT_NE(t.find("[explanation] Wynik wnioskowania wstecz:\nZ bazy wiedzy MED\n"
                     "z zadeklarowanych faktów i z wartości argumentów\nwynika hipoteza w sensie wąskim:\n"
                     "  grypa(0.36)\n"),
              std::string::npos);
    EXPECT_NE(r.find("To już wszystko, co wynikło z bazy wiedzy MED\nz zadeklarowanych faktów i wartości "
                     "argumentów\nw trakcie testowania hipotezy:\ngrypa\n"),
              std::string::npos);
    // The final listing runs at the detail level "duża", which stays set.
    EXPECT_TRUE(duza_szczegolowosc(s));
    EXPECT_LT(pos_of(t, "[note] Uwaga!\nTeraz czas na podsumowanie!"),
              pos_of(t, "[note] Koniec wnioskowania wstecz"));
    EXPECT_LT(pos_of(t, "[note] Koniec wnioskowania wstecz"), pos_of(t, "[question] Plik podsumowania"));
    EXPECT_LT(pos_of(t, "[question] Plik podsumowania"),
              pos_of(t, "[question] Raport wnioskowania/diagnostyki"));
    // The run leaves neither its marker nor its hypothesis behind.
    EXPECT_TRUE(s.inference.jakiewnioskowanie.empty());
    EXPECT_TRUE(s.inference.hipoteza.empty());
}

TEST(BackwardConsultation, BroadSenseRunListsEveryConclusionOnceAndTestsAnIntermediateOne) {
    ScriptedUi ui(opening("2", "2", {"0.9", "0.5", "&NIE", "&Nie"}));
    Session s(ui);
    use_rule_base(s, kMedical, "med");
    wnioskowanie_wstecz(s);
    EXPECT_FALSE(ui.has_answers());
    const std::string& t = ui.transcript();
    EXPECT_NE(t.find("[list] Hipoteza w sensie szerokim\nWybierz hipotezę w sensie szerokim!\n"),
              std::string::npos);
    EXPECT_EQ(listed(t),
              (std::vector<std::string>{"angina", "choroba", "grypa", "świnka", "żółtaczka", "ćwiczenia"}));
    EXPECT_EQ(asked(t), (std::vector<std::string>{"gorączka", "kaszel"}));
    EXPECT_NE(s.report.text.find("Testuję hipotezę w sensie szerokim: \nchoroba\n\n"), std::string::npos);
    EXPECT_NE(s.report.text.find("Dla testowanej hipotezy jest:\nCF(choroba) = 0.4\n\n"), std::string::npos);
    EXPECT_NE(t.find("wynika hipoteza w sensie szerokim:\n  choroba(0.4)\n"), std::string::npos);
    EXPECT_FALSE(resultant(s, "grypa"));
}

TEST(BackwardConsultation, ClosingTheChoiceDialogEndsTheCommand) {
    ScriptedUi ui({"1", "&NIE", "1", ""});
    Session s(ui);
    use_rule_base(s, kMedical, "med");
    wnioskowanie_wstecz(s);
    EXPECT_FALSE(ui.has_answers());
    EXPECT_EQ(ui.transcript().find("Testuję"), std::string::npos);
    EXPECT_TRUE(s.inference.hipoteza.empty());
}

TEST(BackwardConsultation, WithoutRuleBaseTheUserIsToldToLoadOne) {
    ScriptedUi ui;
    Session s(ui);
    wnioskowanie_wstecz(s);
    EXPECT_NE(ui.transcript().find("[note] Uwaga!\nProszę załadować bazę reguł!"), std::string::npos);
}

TEST(BackwardConsultation, HypothesisWithoutAnyWayToACfEndsAfterTheAnnouncement) {
    // A circular pair and a hypothesis whose only rule has no condition: the test ends,
    // without a verdict, a summary or the report question.
    for (const char* position : {"1", "2", "3"}) {
        ScriptedUi ui(opening("2", position, {}));
        Session s(ui);
        use_rule_base(s,
                      "reguła(1,\"pierwszy\",[\"drugi\"],1,\"0.9\")\n"
                      "reguła(2,\"drugi\",[\"pierwszy\"],1,\"0.9\")\n"
                      "reguła(3,\"zawsze\",[\"bez warunku\"],1,\"0.5\")\n");
        wnioskowanie_wstecz(s);
        const std::string& t = ui.transcript();
        EXPECT_NE(t.find("Testuję hipotezę w sensie szerokim"), std::string::npos);
        EXPECT_EQ(t.find("Wynik wnioskowania wstecz"), std::string::npos) << position;
        EXPECT_EQ(t.find("Plik podsumowania"), std::string::npos);
        EXPECT_EQ(t.find("Raport wnioskowania"), std::string::npos);
        EXPECT_TRUE(asked(t).empty());
        EXPECT_TRUE(s.inference.hipoteza.empty());
    }
}

TEST(BackwardConsultation, TotalConflictOfACumulativeHypothesisGivesNoCf) {
    ScriptedUi ui(opening("1", "1", {}));
    Session s(ui);
    use_rule_base(s,
                  "fakt(\"p\",\"1.0\")\n"
                  "reguła(1,\"spor\",[\"p\"],1,\"1\")\n"
                  "reguła(2,\"spor\",[\"p\"],1,\"-1\")\n");
    wnioskowanie_wstecz(s);
    // Both rules were applied (P = 1, N = -1), yet the hypothesis has no CF.
    ASSERT_NE(s.inference.prbd.find_rule(1), nullptr);
    ASSERT_NE(s.inference.prbd.find_rule(2), nullptr);
    EXPECT_DOUBLE_EQ(s.inference.prbd.find_rule(2)->contribution, -1.0);
    EXPECT_FALSE(resultant(s, "spor"));
    EXPECT_EQ(ui.transcript().find("Wynik wnioskowania wstecz"), std::string::npos);
    // The declared fact was presented and not asked.
    EXPECT_NE(s.report.text.find("W bazie reguł są następujące fakty:\n    p(1.0)\n"), std::string::npos);
    EXPECT_TRUE(asked(ui.transcript()).empty());
}

TEST(BackwardConsultation, KoniecRuleFiringBeforeTheTestGivesTheHypothesisCfZero) {
    ScriptedUi ui(opening("1", "1", {"0.8", "&NIE", "&Nie"}));
    Session s(ui);
    use_rule_base(s,
                  "reguła(1,\"koniec\",[\"stop\"],1,\"1.0\")\n"
                  "reguła(2,\"wynik\",[\"dane\"],1,\"0.9\")\n");
    wnioskowanie_wstecz(s);
    EXPECT_FALSE(ui.has_answers());
    const std::string& t = ui.transcript();
    EXPECT_EQ(asked(t), (std::vector<std::string>{"stop"}));
    EXPECT_EQ(count_of(t, "[note] Uwaga - koniec!\nReguła z wnioskiem 'koniec' kończy wnioskowanie."), 2);
    EXPECT_NE(s.report.text.find("CF(wynik) = 0\n"), std::string::npos);
}

TEST(BackwardConsultation, KoniecConcludedDuringTheTestEndsEveryEvaluationWithCfZero) {
    // The "koniec" rule has a CF other than 1.0, so it is not tried before the test; it is
    // applied when "koniec" is needed as a condition, and from then on every evaluation
    // gives 0 and nothing more is asked.
    ScriptedUi ui(opening("1", "1", {"0.5", "&NIE", "&Nie"}));
    Session s(ui);
    const std::string base =
        "reguła(1,\"koniec\",[\"stop\"],1,\"0.9\")\n"
        "reguła(2,\"cel\",[\"koniec\",\"a\"],1,\"0.8\")\n";
    ASSERT_FALSE(parse_base_text(s.kb, BaseKind::Rules, base));
    s.kb.nazwa_re.short_name.append("RETEST.BEN");
    s.kb.wyroznik.append("TEST");
    pamietaj_liste_dopytywalnych(s, wyznacz_warunki_dopytywalne(s));
    wnioskowanie_wstecz(s);
    EXPECT_FALSE(ui.has_answers());
    const std::string& t = ui.transcript();
    EXPECT_EQ(asked(t), (std::vector<std::string>{"stop"}));
    EXPECT_EQ(count_of(t, "[note] Uwaga - koniec!\nReguła z wnioskiem 'koniec' kończy wnioskowanie."), 1);
    EXPECT_NE(s.report.text.find("CF(cel) = 0\n"), std::string::npos);
    EXPECT_TRUE(s.inference.hipoteza.empty());
}
