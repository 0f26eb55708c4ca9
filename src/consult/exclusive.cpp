// The completion walks only the constraints that list the statement (through the index),
// so a question costs what the member's own constraints cost, whatever the size of the
// constraint base.
#include "consult/exclusive.h"

#include <memory>

#include "consult/calculus_basics.h"
#include "consult/pytaj.h"
#include "consult/why_asked.h"
#include "report/report.h"
#include "session/session.h"
#include "store/list_helpers.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {

namespace {

void build(const Table<Ograniczenie>& t, std::unordered_map<std::string, std::vector<std::int32_t>>& out) {
    out.reserve(t.count() * 4);
    for (std::size_t i = 0; i < t.count(); ++i) {
        const auto pos = static_cast<std::int32_t>(i);
        for (const auto& c : t[i].exclusive_conditions) {
            auto& l = out[c];
            // A condition listed twice in one constraint is one membership.
            if (l.empty() || l.back() != pos) l.push_back(pos);
        }
    }
}

const std::vector<std::int32_t>& of(const std::unordered_map<std::string, std::vector<std::int32_t>>& m,
                                    const std::string& c) {
    static const std::vector<std::int32_t> none;
    auto it = m.find(c);
    return it == m.end() ? none : it->second;
}

const Ograniczenie& exact_at(const Session& s, std::int32_t p) {
    return s.kb.exact.ograniczenie[static_cast<std::size_t>(p)];
}
const Ograniczenie& uncertain_at(const Session& s, std::int32_t p) {
    return s.kb.uncertain.ograniczenie_n[static_cast<std::size_t>(p)];
}

// The members of a constraint other than x, in list order, each once.
TextList pozostale(const Ograniczenie& o, const std::string& x) {
    TextList out;
    for (const auto& c : o.exclusive_conditions)
        if (c != x && !contains(out, c)) out.push_back(c);
    return out;
}

// Two members (a constraint that lists exactly two different conditions).
bool dwuelementowe(const Ograniczenie& o, const std::string& x, std::string& other) {
    TextList rest = pozostale(o, x);
    if (rest.size() != 1) return false;
    other = rest.front();
    return true;
}

// The error is recorded once; `answers` marks an error that the user's answers caused, which
// ends the run but not the knowledge base: the next inference start forgets it.
void zapisz_blad(Session& s, bool answers = false) {
    if (!blad_wykluczajacych(s)) s.inference.blad_wykluczajacych.append("TAK");
    if (answers && !werdykt_odpowiedzi(s)) s.inference.blad_wykluczajacych.append(kBladOdpowiedzi);
}

const char* const kPath = N_("Wnioskowanie nie jest możliwe! Aby poprawić bazę reguł przejdź do opcji:");
const char* const kMenu = N_(" 'Baza reguł niepewna/Edycja bazy reguł' ");

// Two members of one exact constraint are both true.
void blad_dwa_prawdziwe(Session& s, const std::string& a, const std::string& b, std::int32_t k,
                        const char* where) {
    const std::string n = std::to_string(k);
    piszln(s, tr("Błąd bazy reguł! Dwa warunki wykluczające się:"));
    piszln(s, "    " + a);
    piszln(s, "    " + b);
    piszln(s, tr("z ograniczenia dokładnego ") + n + std::string(where));
    piszln(s, tr(kPath));
    piszln(s, tr(kMenu));
    piszcr(s);
    s.ui.note(tr("Uwaga błąd!"), tr("Błąd bazy reguł! Dwa warunki wykluczające się:\n   ") + a + "\n   " + b +
                                     tr("\nz ograniczenia dokładnego ") + n + std::string(where) + "\n" +
                                     tr(kPath) + "\n" + tr(kMenu));
    zapisz_blad(s);
}

// Where the resultant of a statement came from: a completion is followed back to the
// statement that started it (a member asked during a completion was answered).
enum class Zrodlo { Odpowiedz, Fakt, Regula, Model, Nieznane };
Zrodlo zrodlo(const Session& s, const std::string& statement) {
    std::int64_t slot = s.inference.wypadkowa_prbd.slot_of(statement);
    for (int guard = 0; guard < 1000 && slot >= 0; ++guard) {
        const ResultantOrigin o = origin_of_slot(s, slot);
        switch (o.kind) {
            case OriginKind::Answer:
                return Zrodlo::Odpowiedz;
            case OriginKind::Fact:
            case OriginKind::ModelFact:
            case OriginKind::Imported:
                return Zrodlo::Fakt;
            case OriginKind::CumulativeRules:
            case OriginKind::DisjunctiveRules:
                return Zrodlo::Regula;
            case OriginKind::RelationalModel:
                return Zrodlo::Model;
            case OriginKind::ExactConstraint:
            case OriginKind::UncertainConstraint:
                if (o.flag) return Zrodlo::Odpowiedz;
                if (o.ref == slot) return Zrodlo::Nieznane;
                slot = o.ref;
                break;
            default:
                return Zrodlo::Nieznane;
        }
    }
    return Zrodlo::Nieznane;
}

std::string opis_zrodla(Zrodlo z) {
    switch (z) {
        case Zrodlo::Odpowiedz:
            return tr(" (z odpowiedzi)");
        case Zrodlo::Fakt:
            return tr(" (z faktów)");
        case Zrodlo::Regula:
            return tr(" (z reguł)");
        case Zrodlo::Model:
            return tr(" (z modeli)");
        case Zrodlo::Nieznane:
            break;
    }
    return {};
}

// A member would get a resultant that contradicts the one it has: the two statements are
// named with where their values came from. When an answer took part, the answers are blamed,
// not the base, and the run ends through its normal end.
void blad_sprzeczny(Session& s, const std::string& x, const std::string& other, std::int32_t k, double cf) {
    if (blad_wykluczajacych(s)) return;
    const Zrodlo zx = zrodlo(s, x), zo = zrodlo(s, other);
    const bool answers = zx == Zrodlo::Odpowiedz || zo == Zrodlo::Odpowiedz;
    const std::string n = std::to_string(k);
    const std::string where =
        cf > 0 ? tr(" mają CF=1.0.") : tr(" mają CF=-1.0, a jeden z nich musi mieć CF=1.0.");
    const std::string head = answers ? tr("Sprzeczne odpowiedzi! Dwa warunki wykluczające się:")
                                     : tr("Błąd bazy reguł! Dwa warunki wykluczające się:");
    const std::string a = x + opis_zrodla(zx), b = other + opis_zrodla(zo);
    const std::string tail = answers ? tr("Wnioskowanie nie może być kontynuowane. Rozpocznij je ponownie\n"
                                          "i udziel odpowiedzi zgodnych z bazą ograniczeń dokładnych.")
                                     : std::string(tr(kPath)) + "\n" + tr(kMenu);
    piszln(s, head);
    piszln(s, "    " + a);
    piszln(s, "    " + b);
    piszln(s, tr("z ograniczenia dokładnego ") + n + where);
    if (answers) {
        piszln(s, tr("Wnioskowanie nie może być kontynuowane. Rozpocznij je ponownie"));
        piszln(s, tr("i udziel odpowiedzi zgodnych z bazą ograniczeń dokładnych."));
    } else {
        piszln(s, tr(kPath));
        piszln(s, tr(kMenu));
    }
    piszcr(s);
    s.ui.note(tr("Uwaga błąd!"), head + "\n   " + a + "\n   " + b + tr("\nz ograniczenia dokładnego ") + n +
                                     where + "\n" + tail);
    zapisz_blad(s, answers);
}

// Gives `member` the resultant v unless it has one: the same value is left alone, a
// contradicting one (the other sign of an exact member) is an error. True when the member
// has the value afterwards.
bool nadaj(Session& s, const std::string& x, const std::string& member, std::int32_t k, double v) {
    if (auto r = resultant(s, member)) {
        if (*r == v) return true;
        if ((*r == 1.0 && v == -1.0) || (*r == -1.0 && v == 1.0)) blad_sprzeczny(s, x, member, k, -v);
        return false;
    }
    s.inference.wypadkowa_prbd.append(member, v);
    record_constraint_completion(s, x, true);
    return true;
}

// pamietaj_warunki_pozostale with -1.0: every member but `keep` is false.
void pozostale_falszywe(Session& s, const Ograniczenie& o, const std::string& keep) {
    for (const auto& m : pozostale(o, keep))
        nadaj(s, keep, m, o.constraint_number, -1.0);
}

// pamietaj_dychotomiczne: the other member of every two-member exact constraint of x gets
// the opposite of cf.
void pamietaj_dychotomiczne(Session& s, const std::string& x, double cf) {
    for (std::int32_t p : of(indeks_ograniczen(s).exact, x)) {
        const Ograniczenie& o = exact_at(s, p);
        std::string other;
        if (dwuelementowe(o, x, other)) nadaj(s, x, other, o.constraint_number, -cf);
    }
}

// The member of the constraint with the resultant 1.0, if any.
const std::string* prawdziwy(const Session& s, const Ograniczenie& o) {
    for (const auto& m : o.exclusive_conditions)
        if (auto r = resultant(s, m); r && *r == 1.0) return &m;
    return nullptr;
}

// Why a member is asked while a constraint is completed: which statement started the
// completion, the members with their state, and what the constraint demands.
class CompletionWhy : public WhySource {
  public:
    CompletionWhy(const std::string& trigger, const Ograniczenie& o, bool exact)
        : trigger_(trigger), o_(o), exact_(exact) {}
    void why(const Session& s, bool innermost, std::vector<std::string>& lines) const override {
        const auto cf = resultant(s, trigger_);
        lines.push_back(tr("Warunek ") + trigger_ + (cf ? " (CF = " + format_cf(*cf) + ")" : std::string()) +
                        tr(" jest w ograniczeniu ") + (exact_ ? tr("dokładnym ") : tr("niepewnym ")) +
                        std::to_string(o_.constraint_number) + tr(" razem z warunkami:"));
        // The members are asked in list order: the first one still open is asked now.
        bool current_found = false;
        for (const auto& m : pozostale(o_, trigger_)) {
            std::string state;
            if (auto r = resultant(s, m)) {
                state = "(CF = " + format_cf(*r) + ")";
            } else if (!current_found) {
                state = innermost ? tr("(o to pytam)") : tr("(ustalane teraz)");
                current_found = true;
            } else {
                state = tr("(jeszcze bez CF)");
            }
            lines.push_back("    " + m + " " + state);
        }
        lines.push_back(exact_ ? tr("Tylko jeden z tych warunków może mieć CF=1, a pozostałe mają CF=-1.")
                               : tr("Przynajmniej jeden z tych warunków musi mieć CF>0."));
    }

  private:
    const std::string& trigger_;
    const Ograniczenie& o_;
    bool exact_;
};

// Asks one member of an exact constraint until kontrola_cf accepts the answer.
double zapytaj_dokladny(Session& s, const std::string& member) {
    const std::string head = tr("Dla warunków z bazy ograniczeń dokładnych CF =1 lub -1");
    for (;;) {
        piszln(s, head);
        piszcr(s);
        std::optional<double> v;
        while (!v) {
            auto typed =
                ask_value(s, tr("Określ wartość CF"), " " + head, member, AskedKind::ConditionCf, true);
            if (typed) v = parse_real(*typed);
        }
        pisz(s, "    CF(" + member + ") = ");
        piszreal(s, *v);
        piszcr(s);
        piszcr(s);
        if (kontrola_cf(s, *v)) return *v;
    }
}

// Case 3: x is false; the other members are examined, the missing ones declared.
void uzupelnij_falszywy(Session& s, const std::string& x, const Ograniczenie& o) {
    const std::int32_t k = o.constraint_number;
    // A member that is already true settles the constraint: everybody else is false.
    if (const std::string* t = prawdziwy(s, o)) {
        const std::string keep = *t;
        return pozostale_falszywe(s, o, keep);
    }
    const TextList rest = pozostale(o, x);
    // Members passed over: those with a resultant, up to the first without one.
    std::size_t first_open = 0;
    while (first_open < rest.size() && resultant(s, rest[first_open]))
        ++first_open;
    if (first_open == rest.size()) return;  // every member has a resultant
    const std::string y = first_open == 0 ? x : rest[first_open - 1];
    TextList open;
    for (std::size_t i = first_open; i < rest.size(); ++i)
        if (!resultant(s, rest[i])) open.push_back(rest[i]);

    auto all_others_false = [&](const std::string& m) {
        for (const auto& c : o.exclusive_conditions)
            if (c != m) {
                auto r = resultant(s, c);
                if (!r || *r != -1.0) return false;
            }
        return true;
    };
    auto last_follows = [&](const std::string& m) {
        nadaj(s, x, m, k, 1.0);
        piszln(s, tr("Pozostałe warunki wykluczające się z ograniczenia dokładnego ") + std::to_string(k) +
                      tr(" mają CF=-1, więc warunek ") + m + " ma CF=1.");
        piszcr(s);
    };
    if (open.size() == 1 && all_others_false(open.front())) return last_follows(open.front());

    piszln(s, tr("Warunek: "));
    piszln(s, "    " + y + "(-1)");
    piszln(s,
           std::string(tr("jest w liście warunków wykluczających się ")) + tr("bazy ograniczeń dokładnych."));
    piszln(s, tr("Pozostałe warunki wykluczające się z niezadeklarowanym CF są następujące:"));
    for (const auto& m : open)
        piszln(s, "    " + m);
    piszln(s, tr("Tylko jeden z z pozostałych warunków musi mieć CF=1, a pozostałe CF=-1. "));
    piszln(s, tr("Zadeklaruj wartości CF tych warunków. "));
    std::vector<std::string> lines = {tr("Warunek "),
                                      "    " + y + "(-1)",
                                      tr("jest w liście warunków wykluczających się "),
                                      tr("bazy ograniczeń dokładnych. "),
                                      tr("Pozostałe warunki wykluczające się z "),
                                      tr("niezadeklarowanym CF są następujące:")};
    for (const auto& m : open)
        lines.push_back("    " + m);
    lines.push_back(tr("i tylko jeden z nich musi mieć CF=1, a pozostałe CF=-1. "));
    pokaz_wyjasnienie(s, tr("CF warunków wykluczających bazy ograniczeń dokładnych"), lines);

    // pamietaj_warunki_pozostale_dalej: the members without a resultant in list order.
    const CompletionWhy why(x, o, true);
    const WhyScope asking(s, why);
    for (std::size_t i = 0; i < open.size(); ++i) {
        const std::string& m = open[i];
        if (const std::string* t = prawdziwy(s, o)) {
            const std::string keep = *t;
            return pozostale_falszywe(s, o, keep);
        }
        if (resultant(s, m)) continue;
        if (all_others_false(m)) return last_follows(m);
        const double v = zapytaj_dokladny(s, m);
        s.inference.wypadkowa_prbd.append(m, v);
        record_constraint_completion(s, x, true, true);
        if (v == 1.0) return pozostale_falszywe(s, o, m);
        pamietaj_dychotomiczne(s, m, -1.0);
    }
}

// Case 5: the uncertain completion over the first uncertain constraint of x.
void uzupelnij_niepewny(Session& s, const std::string& x, const Ograniczenie& o) {
    struct Zadeklarowany {
        std::string member;
        double cf;
    };
    std::vector<Zadeklarowany> declared;
    TextList open;
    TextList members;
    for (const auto& m : o.exclusive_conditions)
        if (!contains(members, m)) members.push_back(m);
    for (const auto& m : members) {
        if (auto r = resultant(s, m))
            declared.push_back({m, *r});
        else
            open.push_back(m);
    }
    if (open.empty()) return;

    if (!declared.empty()) {
        piszln(s, tr("Zadeklarowano wartości CF dla następujących warunków dopytywalnych"));
        piszln(s, tr("z bazy ograniczeń niepewnych:"));
        std::vector<std::string> lines = {
            tr("Zadeklarowano wartości CF dla następujących warunków dopytywalnych"),
            tr("z bazy ograniczeń niepewnych: ")};
        for (const auto& d : declared) {
            pisz(s, "    " + d.member + "(");
            piszreal(s, d.cf);
            pisz(s, ")");
            piszcr(s);
            lines.push_back("    " + d.member + "(" + format_lg(d.cf) + ")");
        }
        pokaz_wyjasnienie(s, tr("Wartości CF dla warunków dopytywalnych z bazy ograniczeń niepewnych"),
                          lines);
    }
    piszln(s, tr("Pozostałe warunki niepewnie wykluczające się są następujące:"));
    std::vector<std::string> lines = {tr("Pozostałe warunki niepewnie wykluczające się są następujące:")};
    for (const auto& m : open) {
        piszln(s, "    " + m);
        lines.push_back("    " + m);
    }
    piszcr(s);
    piszln(s, tr("Deklarując wartości CF tych warunków pamiętaj, że"));
    piszln(s, tr("przynajmniej jeden z pośród wszystkich wykluczających się warunków musi mieć CF>0 "));
    lines.push_back(tr("Deklarując wartości CF tych warunków pamiętaj, że"));
    lines.push_back(tr("przynajmniej jeden z pośród wszystkich wykluczających się warunków musi mieć CF>0 "));
    pokaz_wyjasnienie(s, tr("CF warunków wykluczających się bazy ograniczeń niepewnych"), lines);

    // deklaruj_niepewny: each remaining member in list order, its CF checked as any CF.
    const CompletionWhy why(x, o, false);
    const WhyScope asking(s, why);
    for (const auto& m : open) {
        if (resultant(s, m)) continue;
        piszcr(s);
        std::optional<double> v;
        while (!v) {
            auto typed =
                ask_value(s, tr("Określ wartość CF"),
                          tr(" Dla warunków z bazy ograniczeń niepewnych CF mieści się w przedziale[1,-1]"),
                          m, AskedKind::ConditionCf);
            if (typed) v = testuj_cf_warunku(s, *typed);
        }
        pisz(s, "   CF(" + m + ") = ");
        piszreal(s, *v);
        s.inference.wypadkowa_prbd.append(m, *v);
        record_constraint_completion(s, x, false, true);
        piszcr(s);
    }
}

}  // namespace

const ConstraintIndex& indeks_ograniczen(Session& s) {
    auto& p = s.inference.constraint_index;
    if (!p) {
        auto ix = std::make_shared<ConstraintIndex>();
        if (s.kb.nazwa_og.loaded()) build(s.kb.exact.ograniczenie, ix->exact);
        if (s.kb.nazwa_op.loaded()) build(s.kb.uncertain.ograniczenie_n, ix->uncertain);
        p = ix;
    }
    return *p;
}

void zapomnij_indeks_ograniczen(Session& s) {
    s.inference.constraint_index.reset();
}

bool w_ograniczeniu_dokladnym(Session& s, const std::string& condition) {
    return !of(indeks_ograniczen(s).exact, condition).empty();
}
bool w_ograniczeniu_niepewnym(Session& s, const std::string& condition) {
    return !of(indeks_ograniczen(s).uncertain, condition).empty();
}

std::optional<double> testuj_cf_warunku_1(Session& s, const std::string& typed) {
    auto v = parse_real(typed);
    if (!v) return std::nullopt;
    if (*v != -1.0 && *v != 1.0) {
        piszln(s, tr("     Źle! Musi być -1 = CF  lub CF = 1 ! "));
        s.ui.note("", tr("Źle! Musi być -1 = CF  lub CF = 1 !"));
        return std::nullopt;
    }
    return v;
}

bool kontrola_cf(Session& s, double cf) {
    if (cf == 1.0 || cf == -1.0) return true;
    piszln(s, tr("Źle! Warunki z listy warunków wzajemnie się wykluczających"));
    piszln(s, tr("z ograniczenia w bazie ograniczeń dokładnych mogą mieć wyłącznie"));
    piszln(s, tr("wartości CF równe 1 lub -1."));
    return false;
}

void pamietaj_odpowiedz(Session& s, const std::string& condition, double cf) {
    append_resultant(s, condition, cf, {OriginKind::Answer});
    for (std::int32_t p : of(indeks_ograniczen(s).uncertain, condition)) {
        std::string other;
        if (dwuelementowe(uncertain_at(s, p), condition, other)) {
            if (!resultant(s, other)) {
                s.inference.wypadkowa_prbd.append(other, 0.0 - cf);
                record_constraint_completion(s, condition, false);
            }
            break;
        }
    }
    // The partner of every two-member exact constraint first (1.0 gives it -1.0, -1.0 gives
    // it 1.0), so that a larger constraint of the condition finds it settled.
    if (cf == 1.0 || cf == -1.0) pamietaj_dychotomiczne(s, condition, cf);
    uzupelnienie_wykluczajacych(s, condition, cf);
}

void uzupelnienie_wykluczajacych(Session& s, const std::string& x, double c) {
    const ConstraintIndex& ix = indeks_ograniczen(s);
    const auto& exact = of(ix.exact, x);
    std::string other;
    // The cases in order: 1 (true, two members), 2 (true, more), 3 (false, more), 4 (false,
    // two members); each over the exact constraints of x in table order.
    auto pair = [&]() {
        for (std::int32_t p : exact) {
            const Ograniczenie& o = exact_at(s, p);
            if (!dwuelementowe(o, x, other)) continue;
            nadaj(s, x, other, o.constraint_number, -c);
            return true;
        }
        return false;
    };
    auto larger = [&]() -> const Ograniczenie* {
        for (std::int32_t p : exact)
            if (pozostale(exact_at(s, p), x).size() >= 2) return &exact_at(s, p);
        return nullptr;
    };
    if (c == 1.0) {
        if (pair()) return;
        if (const Ograniczenie* o = larger()) return pozostale_falszywe(s, *o, x);
    } else if (c == -1.0) {
        if (const Ograniczenie* o = larger()) return uzupelnij_falszywy(s, x, *o);
        if (pair()) return;
    }
    // Case 5.
    if (c < -1.0 || c > 1.0) return;
    const auto& uncertain = of(ix.uncertain, x);
    if (!uncertain.empty()) uzupelnij_niepewny(s, x, uncertain_at(s, uncertain.front()));
}

bool ustal_cf(Session& s, const std::string& a, const std::string& b, double c) {
    if (c != 1.0) return false;
    s.inference.wypadkowa_prbd.append(a, 1.0);
    record_constraint_completion(s, {}, true);
    s.inference.wypadkowa_prbd.append(b, -1.0);
    record_constraint_completion(s, a, true);
    return true;
}

std::unordered_set<std::string> fakty_prawdziwe(const Table<Fakt>& facts) {
    std::unordered_set<std::string> out;
    for (const auto& f : facts)
        if (auto v = parse_real(f.cf_text); v && *v == 1.0) out.insert(f.fact_text);
    return out;
}

bool testuj_wykluczajace(Session& s, const Fakt& fact, const std::unordered_set<std::string>& true_facts) {
    auto cf = parse_real(fact.cf_text);
    if (!cf || *cf != 1.0) return true;
    for (std::int32_t p : of(indeks_ograniczen(s).exact, fact.fact_text)) {
        const Ograniczenie& o = exact_at(s, p);
        for (const auto& m : pozostale(o, fact.fact_text)) {
            if (!true_facts.count(m)) continue;
            blad_dwa_prawdziwe(s, fact.fact_text, m, o.constraint_number,
                               tr(" zostały zadeklarowane w bazie reguł jako fakty z CF=1.0."));
            return false;
        }
    }
    return true;
}

bool werdykt_odpowiedzi(const Session& s) {
    return s.inference.blad_wykluczajacych.find_first(
               [](const std::string& v) { return v == kBladOdpowiedzi; }) != nullptr;
}

bool blad_wykluczajacych(const Session& s) {
    return s.inference.blad_wykluczajacych.find_first([](const std::string& v) { return v == "TAK"; }) !=
           nullptr;
}

}  // namespace zuva
