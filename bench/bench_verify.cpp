// Times of the external-contradiction test and the redundancy detection on generated
// acyclic rule bases (chains of depth 10, the tops of two chains sharing a conclusion), on one
// long cycle of rules, and on a wide rule that has no flattened form.
#include <chrono>
#include <cstdio>
#include <string>

#include "session/session.h"
#include "store/list_helpers.h"
#include "ui/scripted_ui.h"
#include "verify/analysis.h"
#include "verify/contradictions.h"
#include "verify/flatten.h"
#include "verify/joint_diagnoses.h"
#include "verify/model_results.h"
#include "verify/redundancy.h"

using namespace zuva;

namespace {

void generate(Session& s, int rules) {
    const int depth = 10;
    int n = 1;
    for (int j = 0; j < rules / depth; ++j) {
        std::string chain = std::to_string(j);
        for (int i = 0; i < depth; ++i) {
            Regula r;
            r.rule_number = n++;
            r.conclusion = i == 0 ? "w" + std::to_string(j / 2) : "c" + chain + "_" + std::to_string(i);
            if (i + 1 < depth)
                r.conditions = {"c" + chain + "_" + std::to_string(i + 1),
                                "a" + chain + "_" + std::to_string(i)};
            else
                r.conditions = {"a" + chain + "_" + std::to_string(i), "b" + chain};
            // Every fifth pair of chains is redundant: the odd chain needs only the askables of
            // the top rule of the even one.
            if (i == 0 && j % 2 == 1 && j % 10 == 1) r.conditions = {"a" + std::to_string(j - 1) + "_0"};
            r.display_flag = 1;
            r.cf_text = "0.8";
            s.kb.rules.regula.append(std::move(r));
        }
    }
    std::unordered_set<std::string> concl;
    for (const auto& r : s.kb.rules.regula)
        concl.insert(r.conclusion);
    TextList all;
    for (const auto& r : s.kb.rules.regula)
        all.insert(all.end(), r.conditions.begin(), r.conditions.end());
    for (const auto& c : redukuj(all))
        if (!concl.count(c)) s.kb.dopytywalny.append(c);
    s.kb.nazwa_re.short_name.append("REBENCH.BEN");
    s.kb.rozszerzenie.append(".BEN");
}

Regula rule(int n, std::string conclusion, TextList conditions) {
    Regula r;
    r.rule_number = n;
    r.conclusion = std::move(conclusion);
    r.conditions = std::move(conditions);
    r.display_flag = 1;
    r.cf_text = "0.8";
    return r;
}

void name(Session& s) {
    s.kb.nazwa_re.short_name.append("REBENCH.BEN");
    s.kb.rozszerzenie.append(".BEN");
}

// c0 <- c1 <- ... <- c{n-1} <- c0.
void cycle(Session& s, int n) {
    for (int i = 0; i < n; ++i)
        s.kb.rules.regula.append(rule(i + 1, "c" + std::to_string(i), {"c" + std::to_string((i + 1) % n)}));
    name(s);
}

// cel <- x1..xn, martwy; xi <- ai and xi <- bi; martwy and martwy2 conclude each other.
void wide(Session& s, int n) {
    TextList top;
    for (int i = 1; i <= n; ++i)
        top.push_back("x" + std::to_string(i));
    top.push_back("martwy");
    int k = 1;
    s.kb.rules.regula.append(rule(k++, "cel", top));
    for (int i = 1; i <= n; ++i) {
        s.kb.rules.regula.append(rule(k++, "x" + std::to_string(i), {"a" + std::to_string(i)}));
        s.kb.rules.regula.append(rule(k++, "x" + std::to_string(i), {"b" + std::to_string(i)}));
        s.kb.dopytywalny.append("a" + std::to_string(i));
        s.kb.dopytywalny.append("b" + std::to_string(i));
    }
    s.kb.rules.regula.append(rule(k++, "martwy", {"martwy2"}));
    s.kb.rules.regula.append(rule(k++, "martwy2", {"martwy"}));
    name(s);
}

template <class F>
double seconds(F f) {
    auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// `count` exact constraints and as many uncertain ones, each of four members named by
// `member(k, j)`, under the names of their bases.
template <class F>
void add_constraints(Session& s, int count, F member) {
    for (int k = 0; k < count; ++k) {
        TextList members;
        for (int j = 0; j < 4; ++j)
            members.push_back(member(k, j));
        s.kb.exact.ograniczenie.append({k + 1, members});
        s.kb.uncertain.ograniczenie_n.append({k + 1, members});
    }
    s.kb.nazwa_og.short_name.append("OGBENCH.BEN");
    s.kb.nazwa_op.short_name.append("ONBENCH.BEN");
}

}  // namespace

int main() {
    for (int rules : {1000, 10000}) {
        ScriptedUi ui;
        Session s(ui);
        generate(s, rules);
        double t1 = seconds([&] { badaj_sprzecznosc_1z(s); });
        double t2 = seconds([&] { wyznacz_nadmiar_p(s); });
        std::printf("%6d rules: external contradictions %.4f s (verdict %s), redundancy %.4f s (%zu pairs)\n",
                    rules, t1, s.kb.sprzecznosc_1z.first()->c_str(), t2,
                    s.verify.para_splaszczona_n1.count());
    }
    for (int n : {30000, 300000}) {
        ScriptedUi ui;
        Session s(ui);
        cycle(s, n);
        double t = seconds([&] { badaj_sprzecznosc_1z(s); });
        std::printf("cycle of %6d rules: external contradictions %.4f s (verdict %s, %zu chains kept)\n", n,
                    t, s.kb.sprzecznosc_1z.first()->c_str(), s.verify.reguly_sprzeczne.count());
    }
    for (int n : {20, 200}) {
        ScriptedUi ui;
        Session s(ui);
        wide(s, n);
        std::size_t forms = 0;
        double t1 = seconds([&] {
            FlattenIndex index(s.kb);
            Splaszczanie gen = splaszcz(index, "cel", s.kb.rules.regula[0].conditions);
            while (gen.next())
                ++forms;
        });
        double t2 = seconds([&] { wyznacz_nadmiar_p(s); });
        std::printf("wide rule of %3d conditions: flattening %.4f s (%zu forms), redundancy %.4f s\n", n, t1,
                    forms, t2);
    }
    // The rules with constraints: one exact (and one uncertain) constraint of 4 members per 10
    // rules, over askable conditions of different chains, so that some rules contradict them.
    for (int rules : {1000, 10000}) {
        ScriptedUi ui;
        Session s(ui);
        generate(s, rules);
        add_constraints(s, rules / 10, [&](int k, int j) {
            return "a" + std::to_string((4 * k + j) % (rules / 10)) + "_" + std::to_string(j);
        });
        double c1 = seconds([&] { wyznacz_sprzecznosc_2(s, false); });
        double c2 = seconds([&] { wyznacz_nadmiar_2(s, false); });
        double c3 = seconds([&] { wyznacz_sprzecznosc_2(s, true); });
        double c4 = seconds([&] { wyznacz_nadmiar_2(s, true); });
        IntList all;
        for (const auto& r : s.kb.rules.regula)
            all.push_back(r.rule_number);
        std::vector<RegulaDoTestowania> tested;
        double c5 = seconds([&] {
            tested = formy_do_testowania(s, all);
            testuj(s, 2, tested);
        });
        std::printf(
            "%6d rules, %d constraints: joint contradictions %.4f s (%zu), joint redundancy %.4f s (%zu), "
            "uncertain %.4f s / %.4f s, exclusion of all conclusions %.4f s\n",
            rules, rules / 10, c1, s.verify.laczne[0].sprzecznosc.count(), c2,
            s.verify.laczne[0].reguly_nadmiarowe.count(), c3, c4, c5);
    }
    // The same with the members of each constraint in one chain, so that the upper rules of
    // every chain contradict their constraint (exact and uncertain).
    for (int rules : {1000, 10000}) {
        ScriptedUi ui;
        Session s(ui);
        generate(s, rules);
        add_constraints(s, rules / 10,
                        [](int k, int j) { return "a" + std::to_string(k) + "_" + std::to_string(2 * j); });
        double c1 = seconds([&] { wyznacz_sprzecznosc_2(s, false); });
        double c2 = seconds([&] { wyznacz_sprzecznosc_2(s, true); });
        std::printf(
            "%6d rules, %d constraints within chains: joint contradictions %.4f s (%zu), uncertain %.4f s "
            "(%zu)\n",
            rules, rules / 10, c1, s.verify.laczne[0].sprzecznosc.count(), c2,
            s.verify.laczne[1].sprzecznosc.count());
    }
    // The tests of model results on the same rules and constraints, with 1,000 basic models
    // in pairs of one result: half of the pairs under askable conditions that a constraint
    // holds, half under the conclusions of two chains, which the scenario test of their
    // flattened rules shows exclusive (one constraint holds an askable of each chain). Every
    // group passes, so every group is judged. Without the constraint base the same models are
    // held by exclusive-model lists.
    for (int rules : {1000, 10000}) {
        ScriptedUi ui;
        Session s(ui);
        generate(s, rules);
        const int chains = rules / 10, pairs = 500 * rules / 10000;
        for (int k = 0; k < chains; ++k) {
            TextList members;
            for (int j = 0; j < 4; ++j)
                members.push_back("a" + std::to_string((4 * k + j) % chains) + "_" + std::to_string(j));
            s.kb.exact.ograniczenie.append({k + 1, members});
        }
        int number = 1, constraint = chains + 1;
        auto model = [&](const std::string& cond, const std::string& result, const char* op) {
            Model m;
            m.model_number = number++;
            m.application_condition = cond;
            m.result = result;
            m.argument1 = "x";
            m.operation_symbol = op;
            m.argument2 = "1";
            m.display_flag = 1;
            m.cf_text = "1";
            s.kb.models.model.append(std::move(m));
        };
        for (int k = 0; k < pairs; ++k) {
            const std::string a = std::to_string(2 * k), b = std::to_string(2 * k + 1);
            model("a" + a + "_0", "y" + std::to_string(k), "+");
            model("a" + b + "_0", "y" + std::to_string(k), "-");
            s.kb.exact.ograniczenie.append({constraint++, {"a" + a + "_0", "a" + b + "_0"}});
            model("c" + a + "_1", "z" + std::to_string(k), "+");
            model("c" + b + "_1", "z" + std::to_string(k), "-");
            s.kb.exact.ograniczenie.append({constraint++, {"a" + a + "_1", "a" + b + "_1"}});
            s.kb.models.modele_ekskluzywne.append({{"a" + a + "_0", "a" + b + "_0"}});
            s.kb.models.modele_ekskluzywne.append({{"c" + a + "_1", "c" + b + "_1"}});
        }
        s.kb.nazwa_mo.short_name.append("MOBENCH.BEN");
        bool without = false, with = false;
        double m1 = seconds([&] { without = testuj_wyniki_wszystkich_modeli_bez_ograniczen(s); });
        s.kb.nazwa_og.short_name.append("OGBENCH.BEN");
        double m2 = seconds([&] { with = testuj_wyniki_wszystkich_modeli_z_og(s); });
        std::printf(
            "%6d rules, %zu constraints, %zu models: model results without constraints %.4f s (%s), "
            "with exact constraints %.4f s (%s)\n",
            rules, s.kb.exact.ograniczenie.count(), s.kb.models.model.count(), m1,
            without ? "passed" : "refused", m2, with ? "passed" : "refused");
    }
    return 0;
}
