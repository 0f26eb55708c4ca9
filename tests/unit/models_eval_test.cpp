// Model evaluation: the order in which arguments are asked, relational models and their
// CF, the edge values of the operations, explanations and the forward model steps.
#include <gtest/gtest.h>

#include <cmath>

#include "consult/calculus_basics.h"
#include "consult/model_eval.h"
#include "consult/model_steps.h"
#include "models_fixture.h"
#include "report/report.h"

using zuva::testing::ModelSession;

namespace zuva {
namespace {

// The names asked in value dialogs, in order.
std::vector<std::string> asked(const std::string& transcript, const std::string& dialog) {
    std::vector<std::string> out;
    const std::string head = "[value] " + dialog + "\n";
    for (auto p = transcript.find(head); p != std::string::npos; p = transcript.find(head, p + 1)) {
        auto n = transcript.find("name: ", p) + 6;
        out.push_back(transcript.substr(n, transcript.find('\n', n) - n));
    }
    return out;
}

TEST(ModelsEval, ArithmeticChainAsksInOrder) {
    ModelSession f;
    f.model_tables(
        "model(1,\"w1\",\"y\",\"p\",\"*\",\"q\",0,\"1\")\n"  // condition without a CF: not applicable
        "model(2,\"bez_warunku\",\"y\",\"a\",\"+\",\"b\",0,\"1\")\n"
        "model(3,\"bez_warunku\",\"z\",\"y\",\"*\",\"c\",0,\"1\")\n");
    for (const char* v : {"2", "3", "10"})
        f.ui.add_answer(v);
    ModelLinks links;
    auto z = oblicz(f.s, links, "z");
    ASSERT_TRUE(z);
    EXPECT_DOUBLE_EQ(*z, 50.0);
    EXPECT_EQ(asked(f.ui.transcript(), "Określ wartość argumentu"),
              (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_NE(f.ui.helper_text().find("Określ wartość argumentu: a\na=2\n\n"), std::string::npos);
    EXPECT_EQ(f.s.inference.model_stosowany.count(1), 0u);
    EXPECT_EQ(f.s.inference.model_stosowany.count(2), 1u);
    EXPECT_EQ(f.s.inference.model_stosowany.count(3), 1u);
    // Fixed once: asking again gives the recorded values without any dialog.
    EXPECT_DOUBLE_EQ(*oblicz(f.s, links, "y"), 5.0);
    EXPECT_EQ(f.count("[value]"), 3u);
}

TEST(ModelsEval, ResultOfInapplicableModelIsNeverAsked) {
    ModelSession f;
    f.model_tables("model(1,\"w1\",\"y\",\"a\",\"+\",\"b\",0,\"1\")\n");
    ModelLinks links;
    EXPECT_FALSE(oblicz(f.s, links, "y"));
    EXPECT_EQ(f.count("[value]"), 0u);
    pamietaj_wniosek_wypadkowy(f.s, "w1", 0.4);  // now the condition holds
    f.ui.add_answer("1");
    f.ui.add_answer("2");
    EXPECT_DOUBLE_EQ(*oblicz(f.s, links, "y"), 3.0);
}

TEST(ModelsEval, NonNumberFailsAndIsAskedAgainLater) {
    ModelSession f;
    f.model_tables("model(1,\"bez_warunku\",\"y\",\"a\",\"+\",\"1\",0,\"1\")\n");
    f.ui.add_answer("abc");
    ModelLinks links;
    EXPECT_FALSE(oblicz(f.s, links, "y"));
    EXPECT_FALSE(f.s.inference.zmienna_ustalona.contains("a"));
    f.ui.add_answer(" 4 ");
    EXPECT_DOUBLE_EQ(*oblicz(f.s, links, "y"), 5.0);
}

// A port whose argument dialog is closed with "Zakończ".
class ClosingUi : public ScriptedUi {
  public:
    std::optional<std::string> value_dialog(std::string_view d, std::string_view t,
                                            std::string_view n) override {
        if (closes_-- > 0) return std::nullopt;
        return ScriptedUi::value_dialog(d, t, n);
    }
    int closes_ = 1;
};

TEST(ModelsEval, ArgumentDialogZakonczConfirmsEnd) {
    ClosingUi ui;
    Session s(ui);
    s.kb.nazwa_mo.short_name.append("MOX.BEN");
    ui.add_answer("&Nie");  // not ending: the dialog comes again
    ui.add_answer("7");
    ModelLinks links;
    EXPECT_DOUBLE_EQ(*oblicz(s, links, "a"), 7.0);
    ui.closes_ = 1;
    ui.add_answer("&Tak");
    EXPECT_THROW(oblicz(s, links, "b"), ProgramExit);
}

TEST(ModelsEval, RelationalModelHoldsAndAsksNamedCf) {
    ModelSession f;
    f.model_tables(
        "model(1,\"bez_warunku\",\"slaby\",\"u\",\"<\",\"12\",1,\"cf1\")\n"
        "model(2,\"bez_warunku\",\"mocny\",\"u\",\">\",\"13\",1,\"cf2\")\n");
    f.ui.add_answer("11.5");  // u
    f.ui.add_answer("2");     // out of range: asked again
    f.ui.add_answer("0.7");
    ModelLinks links;
    int facts_shown = 0;
    links.przedstawienie_faktow = [&](Session&) { ++facts_shown; };
    auto cf = stosuj_model_relacyjny(f.s, links, f.s.kb.models.model[0], true);
    ASSERT_TRUE(cf);
    EXPECT_DOUBLE_EQ(*cf, 0.7);
    EXPECT_DOUBLE_EQ(*resultant(f.s, "slaby"), 0.7);
    EXPECT_EQ(facts_shown, 1);
    EXPECT_EQ(asked(f.ui.transcript(), "Określ wartość CF"), (std::vector<std::string>{"slaby", "slaby"}));
    EXPECT_NE(f.ui.helper_text().find("Stosuję model relacyjny podstawowy 1 o postaci: \n"
                                      "dla spełnionego warunku startowego modelu: \n    bez_warunku\n"
                                      "i spełnionej relacji: \n    u < 12\nwynika z  CF = cf1\n  slaby\n"
                                      "Dla modelu 1 jest spełniona relacja: \n    11.5 < 12\n"),
              std::string::npos);
    EXPECT_NE(f.ui.helper_text().find("Stąd wynika wniosek: \n    slaby(0.7)\n\n"), std::string::npos);

    // The other model's relation fails: CF -1 whatever its cf_text, nothing asked.
    EXPECT_FALSE(stosuj_model_relacyjny(f.s, links, f.s.kb.models.model[1], true));
    auto neg = stosuj_model_relacyjny(f.s, links, f.s.kb.models.model[1], false);
    ASSERT_TRUE(neg);
    EXPECT_DOUBLE_EQ(*neg, -1.0);
    EXPECT_DOUBLE_EQ(*resultant(f.s, "mocny"), -1.0);
    EXPECT_EQ(f.count("[value] Określ wartość CF"), 2u);
    EXPECT_NE(f.ui.helper_text().find("Ponieważ dla wyznaczonych danych nie jest spełniona relacja >\n"
                                      "    11.5 > 13\nto przyjmuje się CF(mocny) = -1.\n"),
              std::string::npos);
    // Applied once.
    EXPECT_FALSE(stosuj_model_relacyjny(f.s, links, f.s.kb.models.model[1], false));
}

TEST(ModelsEval, NumericCfTextOfFailingRelationIsIgnored) {
    ModelSession f;
    f.model_tables("model_r(5,\"bez_warunku\",\"w_normie\",\"<=,<\",[\"1\",\"x\",\"3\"],0,\"0.8\")\n");
    f.ui.add_answer("3");
    ModelLinks links;
    EXPECT_FALSE(model_relacyjny_dla(f.s, links, "w_normie", 3));
    EXPECT_DOUBLE_EQ(*model_relacyjny_dla(f.s, links, "w_normie", 4), -1.0);
    // Display flag 0: no negative explanation.
    EXPECT_EQ(f.ui.helper_text().find("Stosuje model relacyjny rozwinięty"), std::string::npos);
}

TEST(ModelsEval, OperationEdgeValues) {
    ModelSession f;
    auto w = [&](double a, double b, const char* op) { return wykonaj(f.s, a, b, op); };
    EXPECT_EQ(*w(-2.5, 0, "round"), -2.0);
    EXPECT_EQ(*w(2.5, 0, "round"), 3.0);
    EXPECT_EQ(*w(2, 2.5, "A^N"), 8.0);
    EXPECT_EQ(*w(3, 0, "A^N"), 1.0);
    EXPECT_EQ(*w(-7, 2, "mod"), -1.0);
    EXPECT_EQ(*w(-7, 2, "div"), -3.0);
    EXPECT_DOUBLE_EQ(*w(2.345, 2, "zaokrąglenie_do_N"), 2.35);
    EXPECT_EQ(*w(2.5, 0, "zaokrąglenie_do_N"), 3.0);
    EXPECT_EQ(*w(-3.7, 0, "trunc"), -3.0);
    EXPECT_EQ(*w(30, 60, "%"), 50.0);
    EXPECT_EQ(*w(5, 0, "="), 5.0);
    EXPECT_FALSE(w(5, 1, "abs"));  // a unary operation with a second value
    EXPECT_FALSE(w(5, 1, "pow"));
    EXPECT_EQ(f.count("[note]"), 0u);

    EXPECT_EQ(*w(5, 0, "/"), 1.0);
    EXPECT_NE(f.ui.transcript().find("[note] Uwaga!\nPróba dzielenia przez 0!"), std::string::npos);
    EXPECT_EQ(*w(-4, 0, "sqrt"), 2.0);
    EXPECT_NE(f.ui.transcript().find("[note] Uwaga!\nPierwiastek z liczby ujemnej!"), std::string::npos);

    // Undefined cases: not applied, a note and the same line in the helper window.
    for (auto [a, b, op] : {std::tuple{7.0, 0.4, "mod"},
                            {7.0, 0.0, "div"},
                            {1.0, 0.0, "%"},
                            {0.0, 0.0, "ln"},
                            {-1.0, 0.0, "log"},
                            {2.0, -1.0, "A^N"},
                            {2.0, -2.0, "zaokrąglenie_do_N"},
                            {3e9, 2.0, "mod"},
                            {-3e9, 0.0, "round"},
                            {1000.0, 0.0, "exp"}}) {
        std::size_t notes = f.count("[note] Uwaga!");
        auto r = w(a, b, op);
        if (std::string(op) == "exp") {
            EXPECT_TRUE(r && std::isinf(*r));  // refused when a model would fix it
            continue;
        }
        EXPECT_FALSE(r) << op;
        EXPECT_EQ(f.count("[note] Uwaga!"), notes + 1) << op;
    }
}

TEST(ModelsEval, ListOperationsAndPolynomial) {
    EXPECT_EQ(*wykonaj_r({}, "+"), 0.0);
    EXPECT_EQ(*wykonaj_r({}, "*"), 1.0);
    EXPECT_FALSE(wykonaj_r({}, "max_list"));
    EXPECT_EQ(*wykonaj_r({3, 9, -1}, "max_list"), 9.0);
    EXPECT_EQ(*wykonaj_r({3, 9, -1}, "min_list"), -1.0);
    EXPECT_FALSE(wykonaj_wielomianowy({-1}, {2}, 3));
    EXPECT_EQ(*wykonaj_wielomianowy({-1}, {0}, 3), 0.0);

    ModelSession f;
    f.model_tables(
        "model_wielomianowy(4,\"bez_warunku\",\"p\",\"x\",[\"k1\",\"0\",\"k2\"],[0,5,2],1,\"1\")\n"
        "model_liniowy(6,\"bez_warunku\",\"l\",[\"2\",\"k3\"],[\"x\",\"y\"],0,\"1\")\n");
    for (const char* v : {"1", "2", "3"})  // k1, k2, then x
        f.ui.add_answer(v);
    ModelLinks links;
    EXPECT_DOUBLE_EQ(*oblicz(f.s, links, "p"), 19.0);
    EXPECT_EQ(asked(f.ui.transcript(), "Określ wartość argumentu"),
              (std::vector<std::string>{"k1", "k2", "x"}));
    EXPECT_NE(f.ui.helper_text().find("    p = \n      k1 * x^0 + \n      0 * x^5 + \n      k2 * x^2\n"
                                      "Stąd wynika: \n    p = 19\n"),
              std::string::npos);
    // Coefficients before variables: k3, then y (x is fixed already).
    f.ui.add_answer("10");
    f.ui.add_answer("0.5");
    EXPECT_DOUBLE_EQ(*oblicz(f.s, links, "l"), 11.0);
    EXPECT_EQ(asked(f.ui.transcript(), "Określ wartość argumentu").back(), "y");
}

TEST(ModelsEval, BasicExplanationAndFixedValues) {
    ModelSession f;
    f.model_tables(
        "model(1,\"bez_warunku\",\"r\",\"a\",\"sqrt\",\"0\",1,\"1\")\n"
        "model_r(2,\"bez_warunku\",\"s\",\"+\",[\"r\",\"2\"],1,\"1\")\n");
    kasowanie_tekst_raportu(f.s);
    f.s.report.szczegolowosc.append("duża");
    f.ui.add_answer("16");
    ModelLinks links;
    EXPECT_DOUBLE_EQ(*oblicz(f.s, links, "s"), 6.0);
    EXPECT_NE(f.s.report.text.find("\nStosuję model arytmetyczny podstawowy 1 o postaci:\n"
                                   "dla spełnionego warunku startowego modelu: \n    bez_warunku\n"
                                   "zachodzi z współczynnikiem CF = 1 \n        r = sqrt  a\n"
                                   "Stąd wynika: \n    r = 4\n\n"),
              std::string::npos);
    EXPECT_NE(f.s.report.text.find("        s = \n      r  +\n      2\nStąd wynika: \n  s = 6\n\n"),
              std::string::npos);
    EXPECT_NE(f.ui.transcript().find("[explanation] Wyjaśnienie modelu arytmetycznego podstawowego\n"
                                     "Stosuję model arytmetyczny podstawowy 1 o postaci:\n"),
              std::string::npos);
    // The literals "0" and "2" are fixed but never presented.
    EXPECT_TRUE(f.s.inference.zmienna_ustalona.contains("0"));
    EXPECT_NE(f.s.report.text.find("Dane są wartości następujących argumentów:\n    a=16\n    r=4\n\n"),
              std::string::npos);
    EXPECT_EQ(f.s.report.text.find("    0="), std::string::npos);
    EXPECT_EQ(f.s.report.text.find("    2="), std::string::npos);
}

TEST(ModelsEval, RoundingAndListExplanations) {
    ModelSession f;
    f.model_tables(
        "model(1,\"bez_warunku\",\"r\",\"a\",\"zaokrąglenie_do_N\",\"1\",1,\"1\")\n"
        "model_r(2,\"bez_warunku\",\"m\",\"max_list\",[\"r\",\"b\"],1,\"1\")\n");
    kasowanie_tekst_raportu(f.s);
    f.ui.add_answer("2.25");
    f.ui.add_answer("1");
    ModelLinks links;
    EXPECT_DOUBLE_EQ(*oblicz(f.s, links, "m"), 2.3);
    EXPECT_NE(f.s.report.text.find("dla spełnionego warunku stosowania modelu \n    bez_warunku\n"
                                   "zachodzi z współczynnikiem CF = 1\n    r = a zaokrąglenie_do_N 1\n"),
              std::string::npos);
    EXPECT_NE(
        f.s.report.text.find("        m = \n      max_list  \n   r\n   b\nStąd wynika: \n  m = 2.3\n\n"),
        std::string::npos);
}

TEST(ModelsEval, NothingPresentedAtLowDetailButKnownArgumentsAlways) {
    ModelSession f;
    f.model_tables("argument_znany(\"u\",12.5)\n");
    f.s.report.szczegolowosc.append("duża");
    f.s.inference.zmienna_ustalona.append("2", 2.0);
    przedstawienie_zmiennych(f.s);  // only a literal is fixed: the heading alone
    EXPECT_NE(f.ui.transcript().find("[explanation] Dane są wartości następujących argumentów:\nanswer:"),
              std::string::npos);
    EXPECT_EQ(f.ui.transcript().find("2="), std::string::npos);
    EXPECT_EQ(f.count("[explanation]"), 1u);
    f.s.report.szczegolowosc.clear();
    przypisz_argumenty_znane(f.s);
    przedstawienie_zmiennych(f.s);  // low detail
    EXPECT_EQ(f.count("[explanation]"), 1u);
    przedstawienie_zmiennych_pierwotnych(f.s);
    EXPECT_NE(f.ui.transcript().find("[explanation] W bazie modeli są wartości następujących argumentów:\n"
                                     "    u=12.5\n"),
              std::string::npos);
}

TEST(ModelsEval, CircularModelsFailWithoutRecursing) {
    ModelSession f;
    f.model_tables(
        "model(1,\"bez_warunku\",\"x\",\"y\",\"+\",\"1\",0,\"1\")\n"
        "model(2,\"bez_warunku\",\"y\",\"x\",\"*\",\"2\",0,\"1\")\n");
    ModelLinks links;
    EXPECT_FALSE(oblicz(f.s, links, "x"));
    EXPECT_FALSE(forward_model_step(f.s, 8));
    EXPECT_EQ(f.count("[value]"), 0u);
}

TEST(ModelsEval, ForwardStepsTakeModelsInOrder) {
    ModelSession f;
    f.model_tables(
        "model(1,\"bez_warunku\",\"spadek\",\"u0\",\"-\",\"u1\",0,\"1\")\n"
        "model(2,\"bez_warunku\",\"slaby\",\"spadek\",\">\",\"2\",0,\"cf\")\n"
        "model(3,\"bez_warunku\",\"zly\",\"spadek\",\">\",\"5\",0,\"cf\")\n"
        "argument_znany(\"u0\",12.5)\n");
    przypisz_argumenty_znane(f.s);
    f.ui.add_answer("9.5");  // u1: the known u0 is never asked
    EXPECT_TRUE(forward_model_step(f.s, 8));
    EXPECT_DOUBLE_EQ(*f.s.inference.zmienna_ustalona.find("spadek"), 3.0);
    EXPECT_FALSE(forward_model_step(f.s, 8));
    EXPECT_EQ(asked(f.ui.transcript(), "Określ wartość argumentu"), (std::vector<std::string>{"u1"}));

    f.ui.add_answer("0.9");
    EXPECT_TRUE(forward_model_step(f.s, 12));  // model 2 holds
    EXPECT_DOUBLE_EQ(*resultant(f.s, "slaby"), 0.9);
    EXPECT_FALSE(forward_model_step(f.s, 12));  // model 3 does not hold
    EXPECT_TRUE(forward_model_step(f.s, 13));
    EXPECT_DOUBLE_EQ(*resultant(f.s, "zly"), -1.0);
    for (int step = 8; step <= 15; ++step)
        EXPECT_FALSE(forward_model_step(f.s, step)) << step;

    // Without a model-base name the records are not a loaded base.
    f.s.kb.nazwa_mo.clear();
    f.s.inference.model_stosowany.clear();
    f.s.inference.zmienna_ustalona.clear();
    EXPECT_FALSE(forward_model_step(f.s, 8));
}

}  // namespace
}  // namespace zuva
