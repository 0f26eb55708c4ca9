// Forward inference over generated rule bases: chains (in and against table order),
// fans out of one fact and fans into one conclusion, all from declared facts, with no
// questions and silent rules (display_flag 0). Prints rules, seconds and rules/second.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "consult/forward.h"
#include "kb/askable_conditions.h"
#include "session/session.h"
#include "store/list_helpers.h"
#include "ui/ui.h"

using namespace zuva;

namespace {

// Answers every dialog at once: first option, second button ("&NIE"/"&Nie"), and keeps
// nothing of what is written.
class QuietUi : public Ui {
  public:
    std::size_t written = 0;
    void helper_write(std::string_view t) override { written += t.size(); }
    void helper_clear() override {}
    void helper_recreate(int) override {}
    void set_title(std::string_view) override {}
    void note(std::string_view, std::string_view) override {}
    int question(std::string_view, std::string_view, const std::vector<std::string>&) override { return 1; }
    std::string open_file(std::string_view, const std::vector<FileFilter>&, std::string_view) override {
        return {};
    }
    std::string save_file(std::string_view, const std::vector<FileFilter>&, std::string_view) override {
        return {};
    }
    int radio(std::string_view, std::string_view, const std::vector<std::string>&, int) override { return 1; }
    std::optional<std::string> input_text(std::string_view, std::string_view, std::string_view) override {
        return std::string();
    }
    std::optional<std::string> value_dialog(std::string_view, std::string_view, std::string_view) override {
        return std::string("0.5");
    }
    bool explanation(std::string_view, const std::vector<std::string>&) override { return true; }
    void read_text(std::string_view, std::string_view) override {}
    std::optional<int> choose_one(std::string_view, const std::vector<std::string>&) override { return 0; }
    std::optional<std::vector<int>> choose_many(std::string_view, const std::vector<std::string>&) override {
        return std::vector<int>{};
    }
    void browse_text(std::string_view, std::string_view, bool) override {}
    void browse_list(std::string_view, const std::vector<std::string>&) override {}
    void open_editor(std::string_view, bool) override {}
    void open_document(std::string_view) override {}
};

// A quarter each: chains in table order, chains against it, fans out, fans in.
void generate(Session& s, int n) {
    auto& kb = s.kb;
    int number = 0;
    auto rule = [&](std::string conclusion, TextList conditions, const char* cf) {
        kb.rules.regula.append({++number, std::move(conclusion), std::move(conditions), 0, cf});
    };
    const int quarter = n / 4;
    const int chain = 50;
    for (int k = 0; number < quarter; ++k) {  // chains in table order
        std::string prev = "fakt_a" + std::to_string(k);
        kb.rules.fakt.append({prev, "0.9"});
        for (int i = 0; i < chain && number < quarter; ++i) {
            std::string next = "a" + std::to_string(k) + "_" + std::to_string(i);
            rule(next, {prev}, "0.95");
            prev = next;
        }
    }
    for (int k = 0; number < 2 * quarter; ++k) {  // chains against table order
        const int len = std::min(chain, 2 * quarter - number);
        kb.rules.fakt.append({"fakt_b" + std::to_string(k), "0.8"});
        for (int i = len - 1; i >= 0; --i) {
            std::string from =
                i == 0 ? "fakt_b" + std::to_string(k) : "b" + std::to_string(k) + "_" + std::to_string(i - 1);
            rule("b" + std::to_string(k) + "_" + std::to_string(i), {from}, "0.9");
        }
    }
    kb.rules.fakt.append({"zrodlo", "1"});
    for (int i = 0; number < 3 * quarter; ++i)  // fan out of one fact
        rule("c" + std::to_string(i), {"zrodlo", "fakt_a0"}, i % 2 ? "0.7" : "-0.4");
    for (int k = 0; number < n; ++k)  // fans into one conclusion, ten rules each
        for (int i = 0; i < 10 && number < n; ++i)
            rule("d" + std::to_string(k), {"c" + std::to_string((k * 10 + i) % quarter)},
                 i % 3 ? "0.5" : "-0.3");
    kb.nazwa_re.short_name.append("REBENCH.BEN");
    kb.wyroznik.append("BENCH");
    // The askable conditions as the rule-base load finds them.
    pamietaj_liste_dopytywalnych(s, wyznacz_warunki_dopytywalne(s));
}

// The same base as a CLIPS program: one template for a fact with its CF, one rule per
// rule (the CF of the new fact is the rule CF times the smallest condition CF), the
// declared facts, and a timed (run).
void print_clips(Session& s) {
    std::printf("(deftemplate fakt (slot name) (slot cf))\n(deffacts start\n");
    for (const auto& f : s.kb.rules.fakt)
        std::printf("  (fakt (name %s) (cf %s))\n", f.fact_text.c_str(), f.cf_text.c_str());
    std::printf(")\n");
    for (const auto& r : s.kb.rules.regula) {
        std::printf("(defrule r%d", r.rule_number);
        for (std::size_t i = 0; i < r.conditions.size(); ++i)
            std::printf(" (fakt (name %s) (cf ?c%zu))", r.conditions[i].c_str(), i);
        std::printf(" => (assert (fakt (name %s) (cf (* %s (min", r.conclusion.c_str(), r.cf_text.c_str());
        for (std::size_t i = 0; i < r.conditions.size(); ++i)
            std::printf(" ?c%zu", i);
        if (r.conditions.size() == 1) std::printf(" ?c0");
        std::printf("))))))\n");
    }
    std::printf(
        "(defglobal ?*t0* = 0.0)\n(reset)\n(bind ?*t0* (time))\n(run)\n(printout t \"clips-run-seconds \" (- "
        "(time) ?*t0*) "
        "crlf)\n(exit)\n");
}

double best_of_five(int n, std::size_t* resultants) {
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        QuietUi ui;
        Session s(ui);
        generate(s, n);
        const auto t0 = std::chrono::steady_clock::now();
        wnioskowanie_w_przod(s);
        const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        best = std::min(best, secs);
        if (resultants) *resultants = s.inference.wypadkowa_prbd.count();
    }
    return best;
}

// Askable conditions asked one at a time: n rules, each with one askable condition
// (n / 2 of them, every one used by two rules); with constraints, every five consecutive
// conditions form one exact constraint (n / 10 constraints). Members of even constraints
// are answered 1 (the others follow), of odd ones -1 (the rest is declared member by member).
class AnsweringUi : public QuietUi {
  public:
    std::optional<std::string> value_dialog(std::string_view, std::string_view title,
                                            std::string_view name) override {
        const bool walk = title.find("Dla warunków z bazy ograniczeń dokładnych") != std::string_view::npos;
        const bool exact = walk || title.find("-1.0 lub 1.0") != std::string_view::npos;
        if (!exact) return std::string("0.5");
        const int q = std::atoi(std::string(name.substr(1)).c_str());
        return std::string(walk || (q / 5) % 2 ? "-1" : "1");
    }
};

void generate_askable(Session& s, int n, bool constraints) {
    auto& kb = s.kb;
    const int conditions = n / 2;
    for (int i = 0; i < n; ++i)
        kb.rules.regula.append(
            {i + 1, "w" + std::to_string(i), {"q" + std::to_string(i % conditions)}, 0, "0.9"});
    kb.nazwa_re.short_name.append("REBENCH.BEN");
    kb.wyroznik.append("BENCH");
    TextList askable;
    for (int i = 0; i < conditions; ++i)
        askable.push_back("q" + std::to_string(i));
    kb.lista_warunkow_dopytywalnych.insert_front(sortuj(askable));
    if (!constraints) return;
    for (int k = 0; k < conditions / 5; ++k) {
        TextList members;
        for (int j = 0; j < 5; ++j)
            members.push_back("q" + std::to_string(5 * k + j));
        kb.exact.ograniczenie.append({k + 1, members});
    }
    kb.nazwa_og.short_name.append("OGBENCH.BEN");
}

double best_of_five_askable(int n, bool constraints, std::size_t* resultants) {
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        AnsweringUi ui;
        Session s(ui);
        generate_askable(s, n, constraints);
        const auto t0 = std::chrono::steady_clock::now();
        wnioskowanie_w_przod(s);
        const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        best = std::min(best, secs);
        if (resultants) *resultants = s.inference.wypadkowa_prbd.count();
    }
    return best;
}

}  // namespace

// No arguments: the table for 10,000 and 100,000 rules.
// --clips N: the base of N rules as a CLIPS program on standard output.
// --seconds N: the best time of the whole command for N rules.
int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--clips") {
        QuietUi ui;
        Session s(ui);
        generate(s, std::atoi(argv[2]));
        print_clips(s);
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--seconds") {
        std::printf("%.6f\n", best_of_five(std::atoi(argv[2]), nullptr));
        return 0;
    }
    std::printf("%10s %10s %14s %12s\n", "rules", "seconds", "rules/second", "resultants");
    // Best of five runs of the whole command (start dialogs, index, loop, end).
    for (int n : {10000, 100000}) {
        std::size_t resultants = 0;
        const double best = best_of_five(n, &resultants);
        std::printf("%10d %10.4f %14.0f %12zu\n", n, best, n / best, resultants);
    }
    // One askable condition a rule, asked when the rule needs it; then the same base with
    // an exact constraint over every five conditions.
    std::printf("\n%10s %12s %10s %12s\n", "rules", "constraints", "seconds", "resultants");
    for (bool constraints : {false, true}) {
        const int n = 100000;
        std::size_t resultants = 0;
        const double best = best_of_five_askable(n, constraints, &resultants);
        std::printf("%10d %12d %10.4f %12zu\n", n, constraints ? n / 10 : 0, best, resultants);
    }
    return 0;
}
