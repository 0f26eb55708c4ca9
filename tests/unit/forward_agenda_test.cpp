// The forward loop's agenda must choose exactly what a literal scan of the rule table
// chooses at every step. A reference loop written straight from the step list (every
// pass rescans all rules and all pending lists) is run on random bases, circular ones
// included, and the two transcripts and resultant tables must be identical.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "consult/cf_calculus.h"
#include "consult/forward.h"
#include "consult/model_steps.h"
#include "forward_test_support.h"
#include "report/report.h"
#include "text/number_format.h"
#include "ui/scripted_ui.h"

using namespace zuva;
using namespace zuva::testing_support;

namespace {

// Answers every CF question from the name asked about; declines every question box.
class AutoUi : public ScriptedUi {
  public:
    std::optional<std::string> value_dialog(std::string_view dialog, std::string_view title,
                                            std::string_view name) override {
        block("value", dialog, "name: " + std::string(name));
        static const char* const values[] = {"0.9", "-0.6", "0.5", "1", "-1", "0.3", "0", "-0.25"};
        return values[std::hash<std::string_view>{}(name) % 8];
    }
    int question(std::string_view title, std::string_view text, const std::vector<std::string>&) override {
        block("question", title, text);
        return 1;
    }
};

const Regula* rule_at(Session& s, std::size_t i) {
    return &s.kb.rules.regula[i];
}

void after_resultant(Session& s, const std::string& c, double cf, bool disj) {
    wyjasnienie_wypadkowej(s, c, cf, disj);
    pamietaj_wniosek_wypadkowy(s, c, cf);
    przedstawienie_faktow(s);
    przedstawienie_zmiennych(s);
}

// Empty-list conclusions of one kind without a resultant, in pending-table order.
std::vector<std::string> emptied(Session& s, bool disj) {
    RuleIndex& ix = rule_index(s);
    std::vector<std::pair<std::uint64_t, std::string>> v;
    std::vector<char> seen(ix.statement_count(), 0);
    for (std::size_t p = 0; p < s.kb.rules.regula.count(); ++p) {
        const auto id = static_cast<std::size_t>(ix.conclusion_of[p]);
        if (seen[id]++) continue;
        const std::string& c = s.kb.rules.regula[p].conclusion;
        if ((ix.disjunctive[id] != 0) != disj || (!disj && c == "koniec")) continue;
        if (!lista_oczekujacych_pusta(s, c) || resultant(s, c)) continue;
        v.emplace_back(ix.last_reduced[id], c);
    }
    std::sort(v.begin(), v.end());
    std::vector<std::string> out;
    for (auto& [k, c] : v)
        out.push_back(c);
    return out;
}

// Returns "koniec" or "end".
std::string reference_loop(Session& s) {
    RuleIndex& ix = rule_index(s);
    const std::size_t n = s.kb.rules.regula.count();
    auto disj = [&](std::size_t i) {
        return ix.disjunctive[static_cast<std::size_t>(ix.conclusion_of[i])] != 0;
    };
    for (;;) {
        if (!zrob_koniec(s)) return "koniec";
        bool done = false;
        for (std::size_t i = 0; i < n && !done; ++i) {  // step 1
            const Regula& r = *rule_at(s, i);
            if (disj(i) || r.conclusion == "koniec") continue;
            if (!lista_oczekujacych_niepusta(s, r.conclusion) || zastosowana(s, r.rule_number)) continue;
            auto cf = testuj_warunki(s, r.conditions);
            if (!cf) continue;
            double rcf = wyznacz_cf(s, r.conclusion, r.cf_text);
            auto c = zapisz_wklad_kumulatywny(s, r, *cf, rcf);
            if (!c) continue;
            przedstawienie_faktow(s);
            wyjasnienie_regula(s, *c, r);
            oznacz_zastosowana(s, r.rule_number);
            done = true;
        }
        if (done) continue;
        if (!zrob_koniec(s)) return "koniec";
        for (std::size_t i = 0; i < n && !done; ++i) {  // step 2
            const Regula& r = *rule_at(s, i);
            if (!disj(i) || !lista_oczekujacych_niepusta(s, r.conclusion) || zastosowana(s, r.rule_number))
                continue;
            auto cf = testuj_warunki(s, r.conditions);
            if (!cf) continue;
            double rcf = wyznacz_cf(s, r.conclusion, r.cf_text);
            if (oba_cf_ujemne(*cf, rcf)) continue;
            auto c = zapisz_wklad_dysjunktywny(s, r, *cf, rcf);
            if (!c) continue;
            przedstawienie_faktow(s);
            wyjasnienie_regula(s, *c, r);
            oznacz_zastosowana(s, r.rule_number);
            done = true;
        }
        if (done) continue;
        if (!zrob_koniec(s)) return "koniec";
        for (std::size_t i = 0; i < n && !done; ++i) {  // step 3
            const Regula& r = *rule_at(s, i);
            if (!disj(i) || !lista_oczekujacych_niepusta(s, r.conclusion) || zastosowana(s, r.rule_number))
                continue;
            auto cf = testuj_warunki(s, r.conditions);
            if (!cf) continue;
            double rcf = *parse_real(r.cf_text);
            if (!oba_cf_ujemne(*cf, rcf)) continue;
            if (!redukuj_liste_regul_dysjunktywnych(s, r.conclusion, r.rule_number)) continue;
            przedstawienie_faktow(s);
            wyjasnienie_regula_dysjunktywna_pomijana(s, r, *cf, rcf);
            oznacz_zastosowana(s, r.rule_number);
            done = true;
        }
        if (done) continue;
        for (const auto& c : emptied(s, false))  // step 4
            if (!done && !calkowity_konflikt(s, c)) {
                after_resultant(s, c, wypadkowa_kumulatywna(s, c), false);
                done = true;
            }
        for (const auto& c : emptied(s, false))  // step 5
            if (!done && calkowity_konflikt(s, c)) {
                after_resultant(s, c, 0.0, false);
                done = true;
            }
        for (int sign = 0; sign < 2 && !done; ++sign)  // steps 6 and 7
            for (const auto& c : emptied(s, true)) {
                if (done || jednakowe_znaki(s, c) != (sign == 0)) continue;
                if (auto cf = wypadkowa_dysjunktywna(s, c)) {
                    after_resultant(s, c, *cf, true);
                    done = true;
                }
            }
        if (done) continue;
        return "end";
    }
}

std::string random_base(std::mt19937& rng) {
    const char* const cfs[] = {"0.9", "0.5", "-0.5", "1", "-1", "0.3", "-0.8", "0.7", "0.33"};
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::string text;
    const int statements = 6 + pick(8);
    auto name = [](int i) { return "s" + std::to_string(i); };
    for (int i = 0; i < 2; ++i)
        if (pick(2)) text += "fakt(\"" + name(pick(statements)) + "\",\"" + cfs[pick(9)] + "\")\n";
    for (int i = 0; i < 2; ++i)
        if (pick(2)) text += "reguła_dysjunktywna(\"" + name(pick(statements)) + "\")\n";
    if (pick(4) == 0) text += "reguła_dysjunktywna(\"koniec\")\n";
    const int rules = 4 + pick(22);
    for (int r = 1; r <= rules; ++r) {
        std::string conclusion = pick(15) == 0 ? "koniec" : name(pick(statements));
        std::string conds;
        const int k = pick(8) == 0 ? 1 : 1 + pick(3);
        for (int j = 0; j < k; ++j) {
            if (j) conds += ",";
            conds += "\"" + (pick(10) == 0 ? std::string("bez warunku") : name(pick(statements))) + "\"";
        }
        text += "reguła(" + std::to_string(r) + ",\"" + conclusion + "\",[" + conds + "]," +
                std::to_string(pick(2)) + ",\"" + cfs[pick(9)] + "\")\n";
    }
    return text;
}

void prepare(Session& s, const std::string& base) {
    use_rule_base(s, base);
    opcja_z_menu_szczegolowosci(s, 2);
    kasowanie_tekst_raportu(s);
    kasowanie_tablic_roboczych(s);
    s.inference.wypadkowa_prbd.append("bez warunku", 1.0);
}

}  // namespace

TEST(ForwardAgenda, ChoosesWhatALiteralScanChooses) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 400; ++round) {
        const std::string base = random_base(rng);
        SCOPED_TRACE(base);

        AutoUi fast_ui;
        Session fast(fast_ui);
        prepare(fast, base);
        wnioskowanie(fast);

        AutoUi ref_ui;
        Session ref(ref_ui);
        prepare(ref, base);
        tworz_listy_oczekujacych(ref);
        if (!ref.kb.rules.fakt.empty()) {
            piszln(ref, "W bazie reguł są następujące fakty:");
            std::vector<std::string> lines;
            for (const auto& f : ref.kb.rules.fakt) {
                lines.push_back("    " + f.fact_text + "(" + f.cf_text + ")");
                piszln(ref, lines.back());
            }
            pokaz_wyjasnienie(ref, "W bazie reguł są następujące fakty:", lines);
        }
        for (const auto& f : ref.kb.rules.fakt)
            if (!resultant(ref, f.fact_text))
                ref.inference.wypadkowa_prbd.append(f.fact_text, *parse_real(f.cf_text));
        const std::string how = reference_loop(ref);

        const std::string& t = fast_ui.transcript();
        const std::string end_mark = how == "koniec"
                                         ? "[note] Uwaga - koniec!"
                                         : "[note] Uwaga!\nBrak możliwości dalszego wnioskowania!";
        const std::size_t cut = t.find(end_mark);
        ASSERT_NE(cut, std::string::npos) << how << "\n" << t;
        // The koniec text goes to the helper window just before its note.
        std::string prefix = t.substr(0, cut);
        const std::string koniec_line = "Reguła z wnioskiem 'koniec' kończy wnioskowanie.\n";
        if (how == "koniec" && prefix.size() >= koniec_line.size() &&
            prefix.compare(prefix.size() - koniec_line.size(), koniec_line.size(), koniec_line) == 0)
            prefix.resize(prefix.size() - koniec_line.size());
        ASSERT_EQ(prefix, ref_ui.transcript());

        auto rows_fast = fast.inference.wypadkowa_prbd.rows();
        auto rows_ref = ref.inference.wypadkowa_prbd.rows();
        if (how == "end") {
            // The end of inference presents the facts and stores nothing more.
            ASSERT_EQ(rows_fast.size(), rows_ref.size());
        }
        for (std::size_t i = 0; i < std::min(rows_fast.size(), rows_ref.size()); ++i) {
            EXPECT_EQ(rows_fast[i].key, rows_ref[i].key);
            EXPECT_EQ(rows_fast[i].value, rows_ref[i].value);
        }
        for (const auto& p : ref.inference.prbd.rows()) {
            const Prbd* q = fast.inference.prbd.find_rule(p.rule_number);
            ASSERT_TRUE(q) << p.rule_number;
            EXPECT_EQ(q->contribution, p.contribution);
        }
        EXPECT_EQ(fast.inference.prbd.count(), ref.inference.prbd.count());
        if (HasFailure()) return;
    }
}
