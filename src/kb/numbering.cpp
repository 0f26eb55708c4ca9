// One test for every kind of base; the kinds differ only in their texts.
#include "kb/numbering.h"

#include "session/session.h"
#include "store/flat_map.h"
#include "text/i18n.h"

namespace zuva {
namespace {

struct NumberingTexts {
    const char* base_kind;  // `testowanie` record
    const char* line1;      // + name + " występuje "
    const char* repeated;   // "X o numerze ", after "conajmniej dwukrotnie "
    const char* line3;
    const char* line4;
    const char* line5;
    const char* line6;
    const char* line7;
    const char* note_title;
    const char* note_first;  // + name
    const char* note_path;
};

const NumberingTexts kRules{"baza reguł",
                            N_("W bazie reguł "),
                            N_("reguła o numerze "),
                            N_("Może to zakłócić przebieg wnioskowania."),
                            N_("Dlatego nie można wnioskować z bazami reguł,"),
                            N_("których reguły mają powtarzające się numery."),
                            N_("Przejdź do opcji 'Baza reguł/Edycja bazy reguł'"),
                            N_("i popraw numerację reguł w bazie."),
                            N_("Błąd bazy reguł"),
                            N_("W bazie reguł elementarnej niepewnej\n "),
                            N_("\nPrzejdź do opcji\n   'Baza reguł niepewna\n   Edycja bazy reguł'")};
const NumberingTexts kModels{"baza modeli",
                             N_("W bazie modeli "),
                             N_("model o numerze "),
                             N_("Może to zakłócić przebieg wnioskowania."),
                             N_("Dlatego nie można wnioskować z bazami modeli,"),
                             N_("których modele mają powtarzające się numery."),
                             N_("Przejdź do opcji 'Baza modeli/Edycja bazy modeli'"),
                             N_("i popraw numerację modeli w bazie."),
                             N_("Błąd bazy modeli"),
                             N_("W bazie modeli elementarnej niepewnej\n "),
                             N_("\nPrzejdź do opcji\n   'Baza modeli niepewna\n   Edycja bazy modeli'")};
const NumberingTexts kExact{
    "baza ograniczeń dokładnych",
    N_("W bazie ograniczeń dokładnych "),
    N_("ograniczenie o numerze "),
    N_("Może to zakłócić przebieg wnioskowania."),
    N_("Dlatego nie można wnioskować z bazami ograniczeń,"),
    N_("których ograniczenia mają powtarzające sią numery."),
    N_("Przejdź do opcji 'Baza ograniczeń dokładnych/Edycja bazy ograniczeń'"),
    N_("i popraw numerację ograniczeń w bazie."),
    N_("Błąd bazy ograniczeń"),
    N_("W bazie ograniczeń elementarnej dokładnej\n "),
    N_("\nPrzejdź do opcji\n   'Baza ograniczeń dokładna\n   Edycja bazy ograniczeń'")};
const NumberingTexts kUncertain{
    "baza ograniczeń niepewnych",
    N_("W bazie ograniczeń niepewnych"),
    N_("ograniczenie o numerze "),
    N_("Może to zakłócić przebieg wnioskowania."),
    N_("Dlatego nie można wnioskować z bazami ograniczeń,"),
    N_("których ograniczenia mają powtarzające się numery."),
    N_("Przejdż do opcji 'Baza ograniczeń niepewnych/Edycja bazy ograniczeń'"),
    N_("i popraw numerację ograniczeń w bazie."),
    N_("Błąd bazy ograniczeń"),
    N_("W bazie ograniczeń elementarnej niepewnej\n "),
    N_("\nPrzejdź do opcji\n   'Baza ograniczeń niepewna\n   Edycja bazy ograniczeń'")};
const NumberingTexts kAdvice{"baza rad",
                             N_("W bazie rad "),
                             N_("rada o numerze "),
                             N_("Może to zakłócić przebieg udzielania rad."),
                             N_("Dlatego nie można wnioskować z bazami rad,"),
                             N_("których rady mają powtarzające się numery."),
                             N_("Przejdź do opcji 'Baza  rad/dEycja bazy  rad'"),
                             N_("i popraw numerację rad w bazie."),
                             N_("Błąd bazy rad"),
                             N_("W bazie rad elementarnej niepewnej\n "),
                             N_("\nPrzejdź do opcji\n   'Baza rad niepewna\n   Edycja bazy rad'")};

// The shared verdict "NIE" stands while some kind's verdict stands, so that testing one
// base never erases the verdict of another.
void odtworz_werdykt(Session& s) {
    if (!s.kb.rozne_numery_rodzaje.empty() && !numbering_failed(s)) s.kb.rozne_numery.append("NIE");
}

void usun_werdykt(Session& s, const std::string& kind) {
    s.kb.rozne_numery_rodzaje.remove_all([&](const std::string& k) { return k == kind; });
}

bool run_test(Session& s, const NumberingTexts& t, const IntList& numbers, const std::string& name) {
    kasowanie_testowania_numerow(s);
    usun_werdykt(s, t.base_kind);
    s.kb.testowanie.append(t.base_kind);
    auto repeated = wszystkie_rozne(numbers);
    if (!repeated) {
        odtworz_werdykt(s);
        return true;
    }
    std::string n = std::to_string(*repeated);
    const std::string tail = tr(t.repeated);
    s.helper(std::string(tr(t.line1)) + name + tr(" występuje \n") + tr("conajmniej dwukrotnie ") + tail + n +
             ".\n" + tr(t.line3) + "\n" + tr(t.line4) + "\n" + tr(t.line5) + "\n" + tr(t.line6) + "\n" +
             tr(t.line7) + "\n");
    s.ui.note(tr(t.note_title), std::string(tr(t.note_first)) + name +
                                    tr("\nwystępuje conajmniej dwukrotnie ") + "\n" + tail + n + "." + "\n" +
                                    tr(t.line3) + "\n" + tr(t.line4) + "\n" + tr(t.line5) + tr(t.note_path) +
                                    "\n" + tr(t.line7));
    kasowanie_testowania_numerow(s);
    s.kb.rozne_numery_rodzaje.append(t.base_kind);
    odtworz_werdykt(s);
    return false;
}

const NumberingTexts& texts_of(BaseKind kind) {
    switch (kind) {
        case BaseKind::Models:
            return kModels;
        case BaseKind::ExactConstraints:
            return kExact;
        case BaseKind::UncertainConstraints:
            return kUncertain;
        case BaseKind::Advice:
            return kAdvice;
        default:
            return kRules;
    }
}

}  // namespace

std::optional<std::int32_t> wszystkie_rozne(const IntList& numbers) {
    // The first number from the front that occurs again later: scan from the back,
    // remembering which numbers occur after each position.
    FlatMap<std::int32_t, char> later;
    later.reserve(numbers.size());
    std::optional<std::int32_t> first;
    for (auto it = numbers.rbegin(); it != numbers.rend(); ++it)
        if (!later.try_emplace(*it, 0).second) first = *it;
    return first;
}

void kasowanie_testowania_numerow(Session& s) {
    s.kb.testowanie.clear();
    s.kb.rozne_numery.clear();
    s.kb.numery_modeli.clear();
}

bool testuj_numery_regul(Session& s) {
    IntList n;
    n.reserve(s.kb.rules.regula.count());
    for (const auto& r : s.kb.rules.regula)
        n.push_back(r.rule_number);
    return run_test(s, kRules, n, s.kb.nazwa_re.name());
}

bool testuj_numery_modeli(Session& s) {
    IntList n;
    for (const auto& m : s.kb.models.model)
        n.push_back(m.model_number);
    for (const auto& m : s.kb.models.model_r)
        n.push_back(m.model_number);
    for (const auto& m : s.kb.models.model_liniowy)
        n.push_back(m.model_number);
    for (const auto& m : s.kb.models.model_wielomianowy)
        n.push_back(m.model_number);
    bool ok = run_test(s, kModels, n, s.kb.nazwa_mo.name());
    if (ok) s.kb.numery_modeli.append(n);
    return ok;
}

bool testuj_numery_ograniczen_dokladnych(Session& s) {
    IntList n;
    for (const auto& c : s.kb.exact.ograniczenie)
        n.push_back(c.constraint_number);
    return run_test(s, kExact, n, s.kb.nazwa_og.name());
}

bool testuj_numery_ograniczen_niepewnych(Session& s) {
    IntList n;
    for (const auto& c : s.kb.uncertain.ograniczenie_n)
        n.push_back(c.constraint_number);
    return run_test(s, kUncertain, n, s.kb.nazwa_op.name());
}

bool testuj_numery_rad(Session& s) {
    IntList n;
    for (const auto& r : s.kb.advice.rada)
        n.push_back(r.rule_number);
    return run_test(s, kAdvice, n, s.kb.nazwa_ra.name());
}

void zapomnij_werdykt_numerow(Session& s, BaseKind kind) {
    const std::string k = texts_of(kind).base_kind;
    // A kind without a verdict of its own leaves the shared verdict as it is.
    if (s.kb.rozne_numery_rodzaje.find_first([&](const std::string& v) { return v == k; }) == nullptr) return;
    usun_werdykt(s, k);
    s.kb.rozne_numery.clear();
    odtworz_werdykt(s);
}

bool numbering_failed(const Session& s) {
    return s.kb.rozne_numery.find_first([](const std::string& v) { return v == "NIE"; }) != nullptr;
}

}  // namespace zuva
