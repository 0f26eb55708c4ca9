// The verdict comes from the strongly connected components of the condition graph: a rule
// is in a chain exactly when a condition of it is its own conclusion or lies on a cycle
// through it. The chain search descends only into conditions of that component (every other
// branch can record nothing, so the records and their order are unchanged).
#include "verify/contradictions.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "report/report.h"
#include "session/enabling.h"
#include "session/session.h"
#include "text/codec.h"
#include "text/i18n.h"
#include "verify/flatten.h"
#include "verify/shared_flattening.h"

namespace zuva {

namespace {

// The chains of one rule after another, depth first over an explicit stack (one frame per
// rule substituted), with the conclusions of the current path marked beside it. Records are
// kept in order of discovery until a budget runs out; from then on nothing more is kept.
// Conditions are followed by their text ids in the index, so a step hashes no text.
class ChainSearch {
  public:
    ChainSearch(const FlattenIndex& index, Table<RegulaSprzeczna>& out)
        : index_(index), out_(out), on_path_(index.conclusion_count(), 0) {}

    // Every chain of the rule (a row of the index's table) with the conclusion id given,
    // appended to the records; false once a budget has run out.
    bool search(const Regula& rule, std::int32_t conclusion) {
        const std::int32_t component = index_.component(conclusion);
        path_rev_.assign(1, rule.rule_number);
        path_ids_.assign(1, conclusion);
        on_path_[static_cast<std::size_t>(conclusion)] = 1;
        stack_.assign(1, Frame{&rule, 0, nullptr, 0});
        bool within = true;
        while (!stack_.empty() && within) {
            if (steps_left_ == 0) {
                within = false;
                break;
            }
            --steps_left_;
            Frame& f = stack_.back();
            if (f.rules) {
                if (f.next_rule < f.rules->size()) {
                    const Regula* q = (*f.rules)[f.next_rule++];
                    const std::int32_t qid = f.condition;  // q concludes the condition followed
                    path_rev_.push_back(q->rule_number);
                    path_ids_.push_back(qid);
                    on_path_[static_cast<std::size_t>(qid)] = 1;
                    stack_.push_back(Frame{q, 0, nullptr, 0});
                } else {
                    f.rules = nullptr;
                    ++f.pos;
                }
                continue;
            }
            if (f.pos == f.rule->conditions.size()) {
                stack_.pop_back();
                if (!stack_.empty()) {
                    on_path_[static_cast<std::size_t>(path_ids_.back())] = 0;
                    path_ids_.pop_back();
                    path_rev_.pop_back();
                }
                continue;
            }
            // The condition's conclusion id: its text id when a rule concludes it, else -1.
            const std::int32_t hid = index_.conclusion_of(index_.condition_text_id(*f.rule, f.pos));
            if (hid == conclusion) within = record(rule.rule_number);
            if (hid < 0 || on_path_[static_cast<std::size_t>(hid)] || index_.component(hid) != component) {
                ++f.pos;
                continue;
            }
            f.rules = &index_.rules_of(hid);
            f.condition = hid;
            f.next_rule = 0;
        }
        for (std::int32_t id : path_ids_)
            on_path_[static_cast<std::size_t>(id)] = 0;
        return within;
    }

  private:
    // A chain of a long cycle is as long as the cycle and every rule of it has one, so all of
    // them together grow with the square of its length: what is kept is bounded instead.
    static constexpr std::size_t kSteps = 2'000'000;
    static constexpr std::size_t kKeptNumbers = 1'000'000;
    static constexpr std::size_t kKeptChains = 100'000;

    struct Frame {
        const Regula* rule;                       // the rule whose conditions are followed
        std::size_t pos;                          // the condition being followed
        const std::vector<const Regula*>* rules;  // its rules, while they are being substituted
        std::size_t next_rule;
        std::int32_t condition = -1;  // conclusion id of the condition, while substituting
    };

    bool record(std::int32_t rule_number) {
        if (out_.count() >= kKeptChains || path_rev_.size() > numbers_left_) return false;
        numbers_left_ -= path_rev_.size();
        out_.append({rule_number, path_rev_.back(), IntList(path_rev_.rbegin(), path_rev_.rend())});
        return true;
    }

    const FlattenIndex& index_;
    Table<RegulaSprzeczna>& out_;
    std::vector<char> on_path_;  // by conclusion id
    std::vector<Frame> stack_;
    IntList path_rev_;                    // the rule first, the newest last
    std::vector<std::int32_t> path_ids_;  // conclusion ids of the path, in the same order
    std::size_t steps_left_ = kSteps;
    std::size_t numbers_left_ = kKeptNumbers;
};

// Whether the rule (its conclusion id given) has a chain at all: one of its conditions is
// its own conclusion or lies on a cycle through it. A condition no rule concludes is on no
// cycle.
bool has_chain(const FlattenIndex& index, const Regula& r, std::int32_t conclusion) {
    const std::int32_t component = index.component(conclusion);
    for (std::size_t j = 0; j < r.conditions.size(); ++j) {
        const std::int32_t hid = index.conclusion_of(index.condition_text_id(r, j));
        if (hid >= 0 && index.component(hid) == component) return true;
    }
    return false;
}

std::string nazwa_bazy(const Session& s) {
    return s.kb.nazwa_re.name();
}

bool verdict_is(const Session& s, const char* v) {
    return s.kb.sprzecznosc_1z.find_first([&](const std::string& x) { return x == v; }) != nullptr;
}

void pisz_podstawienie(Session& s, const IntList& path) {
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (i) pisz(s, " ==> ");
        piszint(s, path[i]);
    }
    piszcr(s);
}

}  // namespace

std::optional<std::string> nazwa_sprzecznosci_1(const Session& s) {
    const std::string* ext = s.kb.rozszerzenie.first();
    if (ext && to_upper_pl(*ext) == ".BEN") return std::string("SEN1");
    return std::nullopt;
}

void badaj_sprzecznosc_1z(Session& s) {
    s.verify.reguly_sprzeczne.clear();
    s.verify.reguly_sprzeczne_obciete = false;
    s.kb.sprzecznosc_1z.clear();
    const auto held_index = flatten_index_for(s.kb);
    const FlattenIndex& index = *held_index;
    ChainSearch search(index, s.verify.reguly_sprzeczne);
    bool contradictory = false, searching = true;
    for (const auto& r : s.kb.rules.regula) {
        const std::int32_t conclusion = index.rule_conclusion_id(r);
        if (!has_chain(index, r, conclusion)) continue;
        contradictory = true;
        if (searching && !search.search(r, conclusion)) {
            searching = false;
            s.verify.reguly_sprzeczne_obciete = true;
        }
    }
    s.kb.sprzecznosc_1z.append(contradictory ? "TAK" : "NIE");
}

bool wyznacz_sprzecznosc_1z(Session& s) {
    badaj_sprzecznosc_1z(s);
    return verdict_is(s, "NIE");
}

bool testuj_sprzecznosc_1z(Session& s) {
    for (const char* line :
         {tr("Baza reguł elementarna niepewna może być diagnozowana na obecność sprzeczności "),
          tr("zewnętrznych. Diagnostyka sprzeczności zewnętrznych dużych i silnie zagnieżdżonych"),
          tr("baz reguł może trwać długo, gdyż wymaga ona spłaszczenia tych baz."), "",
          tr("Zaleca się diagnozowanie sprzeczności zewnętrznych baz nowych lub"), tr("zmodyfikowanych."),
          tr("Przy kolejnym stosowaniu tych baz można test sprzeczności zewnętrznej "), tr("pominąć."), "",
          tr("Pamiętaj, że niepewne sprzeczności zewnętrzne mogą doprowadzić do 'zawieszenia się'"),
          tr("komputera. "), ""})
        piszln(s, line);
    std::string text =
        tr("Baza reguł elementarna niepewna\n   ") + nazwa_bazy(s) +
        tr("\nmoże być diagnozowana na obecność sprzeczności zewnętrznych.\n\nDiagnostyka "
           "sprzeczności zewnętrznych dużych i silnie ") +
        tr("\nzagnieżdżonych baz reguł może trwać długo, gdyż wymaga ") +
        tr("\nona spłaszczenia tych baz. \nZaleca się diagnozowanie sprzeczności zewnętrznych baz "
           "nowych lub zmodyfikowanych.") +
        tr("\nPrzy kolejnym stosowaniu tych baz można test sprzeczności zewnętrznej pominąć.") +
        tr("\n\nPamiętaj, że niepewne sprzeczności zewnętrzne  ") +
        tr("\nmogą doprowadzić do 'zawieszenia się' komputera.") +
        tr("\n\nChcesz diagnozować bazę reguł na obecność sprzeczności zewnętrznych?");
    if (s.ui.question(tr("Wybierz"), text, {tr("&Tak"), tr("&Nie")}) != 0) return true;
    return informuj_sprzecznosc_1z(s);
}

bool informuj_sprzecznosc_1z(Session& s) {
    std::optional<std::string> type = nazwa_sprzecznosci_1(s);
    std::string name = nazwa_bazy(s);
    if (!verdict_is(s, "TAK") && type) {
        if (wyznacz_sprzecznosc_1z(s)) {
            s.helper(tr(" Baza reguł ") + name);
            s.helper("\n");
            s.helper(tr(" nie jest zewnętrznie ") + *type + tr(" sprzeczna."));
            s.ui.note(tr("Wynik diagnozowania sprzeczności zewnętrznej"),
                      tr("Baza reguł elementarna niepewna\n   ") + name + tr("\nnie jest zewnętrznie ") +
                          *type + tr(" sprzeczna."));
            return true;
        }
    }
    if (verdict_is(s, "TAK") && type) {
        pisz(s, tr(" W  bazie reguł jest co najmniej jedna sprzeczność zewnętrzna "));
        piszcr(s);
        pisz(s, tr(" typu "));
        pisz(s, *type);
        pisz(s, ".");
        pisz(s, "\n\n");
        piszln(s, tr(" Załadowaną bazę reguł możesz tylko edytować, lecz nie możesz korzystać"));
        piszln(s, tr(" z niej dla wnioskowania. Nie możesz również ładować odpowiadającej jej"));
        pisz(s, tr(" bazy modeli, ograniczeń i rad."));
        pisz(s, "\n\n");
        piszln(s, tr(" Możesz jednak diagnozować jej sprzeczności zewnętrzne."));
        piszln(s, tr(" W tym celu musisz przejść do opcji:"));
        pisz(s, tr(" ''Baza reguł niepewnaDiagnostyka sprzeczności zewnętrznych bazy reguł' "));
        pisz(s, "\n\n");
        s.ui.note(
            tr("Informacja o sprzeczności"),
            tr("Baza reguł elementarna niepewna\n   ") + name +
                tr("\nzawiera co najmniej jedną sprzeczność zewnętrzną typu ") + *type +
                tr(".\n\nZaładowaną bazę reguł możesz tylko edytować, \nlecz nie możesz korzystać z niej dla "
                   "wnioskowania.\nNie możesz również ładować odpowiadającej jej bazy modeli, ograniczeń i "
                   "rad.\nMożesz jednak diagnozować jej sprzeczności zewnętrzne. ") +
                tr("W tym celu musisz przejść do opcji\n   'Baza reguł niepewna\n     Diagnostyka "
                   "sprzeczności "
                   "zewnętrznych bazy reguł'."));
        enable_commands(s, {10073});
        return false;
    }
    return true;
}

void pisz_sprzecznosc_1z(Session& s) {
    std::optional<std::string> type_opt = nazwa_sprzecznosci_1(s);
    if (!type_opt || !s.kb.nazwa_re.loaded()) return;
    const std::string& type = *type_opt;
    std::string name = nazwa_bazy(s);
    // A base whose test was declined has no verdict: say so and offer the test, which shows
    // its own result; a contradictory base goes on to the report.
    if (s.kb.sprzecznosc_1z.empty()) {
        const int b = s.ui.question(tr("Diagnostyka sprzeczności zewnętrznych"),
                                    tr("Baza reguł elementarna niepewna\n   ") + name +
                                        tr("\nnie była diagnozowana na obecność sprzeczności zewnętrznych."
                                           "\n\nChcesz ją diagnozować teraz?"),
                                    {tr("&Tak"), tr("&Nie")});
        if (b != 0) {
            s.helper(tr(" Baza reguł ") + name + "\n");
            s.helper(tr(" nie była diagnozowana na obecność sprzeczności zewnętrznych.\n"));
            return;
        }
        if (informuj_sprzecznosc_1z(s)) return;
    }
    const auto& records = s.verify.reguly_sprzeczne;
    if (records.empty() && !s.verify.reguly_sprzeczne_obciete) {
        s.helper(tr(" Baza reguł ") + name + "\n");
        s.helper(tr(" nie jest zewnętrznie ") + type + "-sprzeczna.\n");
        s.ui.note(tr("Uwaga!"), tr("Baza reguł elementarna niepewna\n   ") + name +
                                    tr("\nnie jest zewnętrznie ") + type + "-sprzeczna.");
        return;
    }
    const std::string title = tr("Diagnostyka sprzeczności zewnętrzych bazy reguł");
    kasowanie_tekst_raportu(s);
    pisz(s, tr(" Raport diagnostyki sprzeczności zewnętrznych bazy reguł "));
    piszcr(s);
    pisz(s, " ");
    pisz(s, name);
    pisz(s, "\n\n");
    s.ui.note(title + tr(" elementarnej niepewnej\n   ") + name,
              tr("Raport diagnostyki sprzeczności zewnętrznych bazy reguł."));
    pisz(s, tr(" Następujące reguły są "));
    pisz(s, type);
    pisz(s, tr("-sprzeczne: "));
    pisz(s, "\n\n");
    s.ui.note(title, tr("Następujące reguły są ") + type + tr("-sprzeczne: "));
    // Copies: a note box may take long, but the records do not change meanwhile.
    for (const auto& r : records.rows()) {
        if (r.partner_rule != r.contradictory_rule) continue;
        std::string n = std::to_string(r.contradictory_rule);
        pisz(s, tr(" Reguła "));
        pisz(s, n);
        pisz(s, tr(" jest zewnętrznie "));
        pisz(s, type);
        pisz(s, tr("-samosprzeczna. "));
        pisz(s, "\n\n");
        s.ui.note(title, tr("Reguła ") + n + tr(" jest zewnętrznie ") + type + "-samosprzeczna.");
    }
    for (const auto& r : records.rows()) {
        if (r.partner_rule == r.contradictory_rule || r.substitution_path.size() != 2) continue;
        std::string n = std::to_string(r.contradictory_rule), p = std::to_string(r.partner_rule);
        pisz(s, tr(" Reguła "));
        pisz(s, n);
        pisz(s, tr(" jest zewnętrznie bezpośrednio "));
        pisz(s, type);
        pisz(s, tr("-sprzeczna z regułą "));
        pisz(s, p);
        pisz(s, ".");
        piszcr(s);
        pisz(s, tr(" Można to wykazać podstawiając "));
        pisz_podstawienie(s, r.substitution_path);
        pisz(s, "\n\n");
        s.ui.note(title, tr("Reguła ") + n + tr(" jest zewnętrznie bezpośrednio ") + type +
                             tr("-sprzeczna z regułą ") + p + tr(".\nMożna to wykazać podstawiając ") + p +
                             " do " + n + ".");
    }
    for (const auto& r : records.rows()) {
        if (r.partner_rule == r.contradictory_rule || r.substitution_path.size() <= 2) continue;
        std::string n = std::to_string(r.contradictory_rule), p = std::to_string(r.partner_rule);
        pisz(s, "\n\n");
        pisz(s, tr(" Reguła "));
        pisz(s, n);
        pisz(s, tr(" jest zewnętrznie pośrednio "));
        pisz(s, type);
        pisz(s, tr("-sprzeczna z regułą "));
        pisz(s, p);
        pisz(s, ".");
        piszcr(s);
        pisz(s, tr(" Można to wykazać podstawiając "));
        pisz_podstawienie(s, r.substitution_path);
        pisz(s, "\n\n");
        std::string tekst;
        for (auto k : r.substitution_path)
            tekst += std::to_string(k) + "==>";
        tekst.resize(tekst.size() - 3);
        s.ui.note(title, tr("Reguła ") + n + tr(" jest zewnętrznie pośrednio ") + type +
                             tr(" -sprzeczna z regułą ") + p + tr(".\nMożna to wykazać podstawiając: ") +
                             tekst + ".");
    }
    if (s.verify.reguly_sprzeczne_obciete) {
        std::string cut =
            tr("Baza reguł ma więcej łańcuchów sprzecznych, niż można zapamiętać; pokazano pierwsze ") +
            std::to_string(records.count()) + ".";
        pisz(s, "\n\n ");
        pisz(s, cut);
        piszcr(s);
        s.ui.note(title, cut);
    }
    piszcr(s);
    pisz(s, tr(" Koniec raportu diagnostyki sprzeczności zewnętrznych bazy reguł "));
    piszcr(s);
    pisz(s, " ");
    pisz(s, name);
    pisz(s, ".");
    s.ui.note(
        title,
        tr("Koniec raportu diagnostyki sprzeczności zewnętrznych bazy reguł elementarnej niepewnej\n   ") +
            name + ".");
    raport(s);
}

}  // namespace zuva
