// Loading a model base follows the generic load sequence; after the read come the
// numbering test, the contradiction diagnoses (through the load hooks), the derived lists,
// the askable items, the name-clash check and the load-time tests, each of which may fail
// the load.
#include "kb/model_base.h"

#include <unordered_set>

#include "kb/base_files.h"
#include "kb/model_tests.h"
#include "kb/numbering.h"
#include "kb/record_windows.h"
#include "report/report.h"
#include "session/command_registry.h"
#include "session/enabling.h"
#include "session/load_hooks.h"
#include "session/session.h"
#include "store/list_helpers.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {
namespace {

bool one_of(const std::string& op, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (op == n) return true;
    return false;
}

const TextList& pierwsza(const Table<TextList>& t) {
    static const TextList empty;
    return t.empty() ? empty : *t.first();
}

TextList bez_liczb(const TextList& names) {
    TextList out;
    for (const auto& n : names)
        if (!jest_liczba(n)) out.push_back(n);
    return out;
}

TextList polacz(std::initializer_list<const TextList*> lists) {
    TextList out;
    for (const TextList* l : lists)
        out.insert(out.end(), l->begin(), l->end());
    return out;
}

// Elements of `a` that are also in `b`, in the order of `a`, each once.
TextList czesc_wspolna(const TextList& a, const TextList& b) {
    std::unordered_set<std::string> sb(b.begin(), b.end()), seen;
    TextList out;
    for (const auto& e : a)
        if (sb.count(e) && seen.insert(e).second) out.push_back(e);
    return out;
}

std::string lacz(const TextList& l, const std::string& sep) {
    std::string out;
    for (size_t i = 0; i < l.size(); ++i) {
        if (i) out += sep;
        out += l[i];
    }
    return out;
}

// The quantities a basic model reads: argument2 only for two-value operations and relations.
TextList argumenty(const Model& m) {
    if (jest_operacja_jednoargumentowa(m.operation_symbol)) return {m.argument1};
    return {m.argument1, m.argument2};
}

void kasowanie_list_modeli(Session& s) {
    ModelState& ms = s.models;
    ms.lista_argumentow_modeli.clear();
    ms.lista_wnioskow_modeli.clear();
    ms.lista_warunkow_stosowania.clear();
    ms.lista_wynikow_modeli.clear();
    ms.lista_argumentow_dopytywalnych.clear();
    ms.lista_warunkow_i_argumentow_dopytywalnych.clear();
    ms.lista_wszystkich_zmiennych_logicznych.clear();
    ms.zmienne.clear();
    ms.wyniki.clear();
    ms.argumenty_zredukowane.clear();
    ms.wyniki_zredukowane.clear();
    s.kb.lista_wszystkich_dopytywalnych_dla_wyswietlania.clear();
}

// Empties the whole model group: the reader only appends, so whatever a previous base
// left (askable arguments, exclusive models, disabled records) must go too.
void kasowanie_tabel_modeli(Session& s) {
    s.kb.models = ModelGroup{};
    s.models.index.built = false;
}

// Unloads the rule base as the name-clash check demands: rules, facts, names, derived lists.
void usun_baze_regul(Session& s) {
    KnowledgeBase& kb = s.kb;
    kb.rules.regula.clear();
    kb.rules.regula_dysjunktywna.clear();
    kb.rules.fakt.clear();
    kb.nazwa_re.clear();
    kb.lista_warunkow.clear();
    kb.lista_wnioskow_regul.clear();
    kb.lista_warunkow_dopytywalnych.clear();
    kb.dopytywalny.clear();
    kb.lista_wszystkich_dopytywalnych_dla_wyswietlania.clear();
    s.inference.lista_numerow_regul_kumulatywnych.clear();
    s.inference.lista_numerow_regul_dysjunktywnych.clear();
}

void raport_konfliktu(Session& s, const std::vector<std::string>& head, const TextList& names,
                      const char* path_line, const std::string& note_title, const std::string& note_text) {
    for (const auto& l : head)
        piszln(s, l);
    for (const auto& n : names)
        piszln(s, n);
    piszln(s, path_line);
    piszln(s, tr("wybierz opcję 'Edycja bazy modeli', "));
    piszln(s, tr("lub opcję 'Edycja bazy reguł', "));
    piszln(s, tr("wybierz błędną bazę i usuń błąd."));
    s.ui.note(note_title, note_text);
}

const char* const kClosingNote =
    tr(".\nWnioskowanie nie może być kontynuowane. \nPrzejdź do 'Bazy modeli niepewnej' lub \ndo 'Bazy reguł "
       "niepewnej',"
       "\nwybierz opcję 'Edycja bazy modeli', "
       "\nlub opcję 'Edycja bazy reguł', "
       "\nwybierz błędną bazę i usuń błąd.");

void po_konflikcie_nazw(Session& s) {
    usun_baze_modeli(s);
    usun_baze_regul(s);
    disable_commands(s, {10164, 10165});
}

std::string tekst_pliku(const std::string& path) {
    auto bytes = read_file_bytes(path);
    if (!bytes) return {};
    auto text = decode_file_text(*bytes);
    return text ? *text : std::string();
}

// The record window of a kind of model; with no model of the kind, the kind's note.
void przeglad_modeli(Session& s, int id) {
    const ModelGroup& g = s.kb.models;
    switch (id) {
        case 10080:
            if (g.model_liniowy.empty()) return s.ui.note(tr("Uwaga!"), tr("Brak modeli liniowych !"));
            return s.ui.browse_records(model_record_window(s, ModelKind::Linear));
        case 10081:
            if (g.model.empty()) return s.ui.note(tr("Uwaga!"), tr("Brak modeli podstawowych!"));
            return s.ui.browse_records(model_record_window(s, ModelKind::Basic));
        case 10082:
            if (g.model_r.empty()) return s.ui.note(tr("Uwaga!"), tr("Brak modeli rozszerzonych!"));
            return s.ui.browse_records(model_record_window(s, ModelKind::Extended));
        default:
            if (g.model_wielomianowy.empty())
                return s.ui.note(tr("Uwaga!"), tr("Brak modeli wielomianowych!"));
            return s.ui.browse_records(model_record_window(s, ModelKind::Polynomial));
    }
}

void pokaz_liste_akcji(Session& s, int option) {
    std::string title, text;
    TextList list;
    if (dzialanie_w_bazie_modeli(s, option, title, text, list)) browse_list_window(s, title, list);
}

// Load step 8: the contradictions of the model base, announced, and their absence noted.
// A session without the diagnoses skips the step.
bool diagnoza_sprzecznosci_modeli(Session& s) {
    if (!s.diagnoses.model_contradictions) return true;
    const std::string mn = s.kb.nazwa_mo.name();
    piszln(s,
           tr("Baza modeli elementarna niepewna ") + mn + tr(" jest diagnozowana na obecnośc sprzeczności."));
    piszln(s, tr("Czas diagnozowania jest zależny od złożoności bazy."));
    s.ui.note(tr("Diagnozowanie"), tr("Baza modeli elementarna niepewna\n   ") + mn +
                                       tr("\njest diagnozowana na obecność sprzeczności. ") +
                                       tr(" \nCzas diagnozowania jest zależny od złożoności bazy."));
    if (!run_load_check(s.diagnoses.model_contradictions, s)) return false;
    piszln(s, tr("Baza modeli elementarna niepewna nie ma sprzeczności!"));
    s.ui.note(tr("Wynik diagnozowania sprzeczności"),
              tr("Baza modeli elementarna niepewna\n   ") + mn + tr("\nnie ma sprzeczności!"));
    return true;
}

// Load step 9: the joint contradictions of the model base and the rule base.
bool diagnoza_sprzecznosci_lacznych(Session& s) {
    if (!s.diagnoses.model_rule_contradictions) return true;
    const std::string mn = s.kb.nazwa_mo.name(), rn = s.kb.nazwa_re.name();
    piszln(s, tr("Baza modeli elementarna niepewna ") + mn + tr(" i baza reguł elementarna niepewna ") + rn);
    piszln(s, tr("są diagnozowane na obecność sprzeczności łącznych."));
    piszln(s, tr("Czas diagnozowania jest zależny od złożoności bazy."));
    s.ui.note(tr("Diagnozowanie"), tr("Baza modeli elementarna niepewna\n   ") + mn +
                                       tr("\ni baza reguł elementarna niepewna\n   ") + rn +
                                       tr("\nsą diagnozowane na obecność sprzeczności łącznych.") +
                                       tr("\n\nCzas diagnozowania jest zależny od złożoności baz."));
    if (!run_load_check(s.diagnoses.model_rule_contradictions, s)) return false;
    piszln(s, tr("Baza modeli i baza reguł nie mają sprzeczności łącznych!"));
    s.ui.note(tr("Wynik diagnozowania sprzeczności łącznych"),
              tr("Baza modeli elementarna niepewna\n   ") + mn +
                  tr("\ni baza reguł elementarna niepewna\n   ") + rn +
                  tr("\nnie mają sprzeczności łącznych!"));
    return true;
}

}  // namespace

bool jest_relacja(const std::string& op) {
    return one_of(op, {">", "==", "<", ">=", "<=", "><", "<>"});
}
bool jest_relacja_r(const std::string& op) {
    return one_of(op, {"<,<", "<=,<", "<,<=", "<=,<="});
}
bool jest_operacja_jednoargumentowa(const std::string& op) {
    return one_of(op,
                  {"sqrt", "sin", "cos", "tan", "arctan", "log", "ln", "exp", "round", "trunc", "abs", "="});
}
bool jest_operacja_dwuargumentowa(const std::string& op) {
    return one_of(op, {"+", "-", "*", "/", "div", "mod", "min", "max", "%", "zaokrąglenie_do_N", "A^N"});
}
bool jest_operacja_r(const std::string& op) {
    return one_of(op, {"+", "*", "max_list", "min_list"});
}
bool jest_liczba(const std::string& name) {
    return parse_real(name).has_value();
}
bool jest_bez_warunku(const std::string& condition) {
    return condition == "bez_warunku" || condition == "bez warunku";
}

TextList wyznacz_argumenty_modeli(const Session& s) {
    const ModelGroup& g = s.kb.models;
    TextList all;
    for (const auto& m : g.model)
        for (auto& a : argumenty(m))
            all.push_back(a);
    for (const auto& m : g.model_r)
        all.insert(all.end(), m.variables.begin(), m.variables.end());
    for (const auto& m : g.model_liniowy)
        all.insert(all.end(), m.variables.begin(), m.variables.end());
    for (const auto& m : g.model_wielomianowy)
        all.push_back(m.variable);
    return redukuj(bez_liczb(all));
}

TextList wyznacz_wnioski_modeli(const Session& s) {
    TextList all;
    for (const auto& m : s.kb.models.model)
        if (model_relacyjny(m)) all.push_back(m.result);
    for (const auto& m : s.kb.models.model_r)
        if (model_relacyjny(m)) all.push_back(m.result);
    return redukuj(all);
}

TextList wyznacz_warunki_stosowania(const Session& s) {
    const ModelGroup& g = s.kb.models;
    TextList all;
    auto add = [&](const std::string& c) {
        if (!jest_bez_warunku(c)) all.push_back(c);
    };
    for (const auto& m : g.model)
        add(m.application_condition);
    for (const auto& m : g.model_r)
        add(m.application_condition);
    for (const auto& m : g.model_liniowy)
        add(m.application_condition);
    for (const auto& m : g.model_wielomianowy)
        add(m.application_condition);
    return redukuj(all);
}

TextList wyznacz_wyniki_modeli(const Session& s) {
    const ModelGroup& g = s.kb.models;
    TextList all;
    for (const auto& m : g.model)
        if (!model_relacyjny(m)) all.push_back(m.result);
    for (const auto& m : g.model_r)
        if (!model_relacyjny(m)) all.push_back(m.result);
    for (const auto& m : g.model_liniowy)
        all.push_back(m.result);
    for (const auto& m : g.model_wielomianowy)
        all.push_back(m.result);
    return redukuj(all);
}

void redukuj_warunki_dopytywalne(Session& s) {
    const TextList& rule_askable = pierwsza(s.kb.lista_warunkow_dopytywalnych);
    const TextList& conclusions = pierwsza(s.models.lista_wnioskow_modeli);
    s.kb.lista_wszystkich_dopytywalnych_dla_wyswietlania.append(
        conclusions.empty() ? rule_askable : roznica_zbiorow(rule_askable, conclusions));
}

void wyznacz_dopytywalne_zmienne(Session& s) {
    if (!s.kb.nazwa_re.loaded()) return;
    ModelState& ms = s.models;
    ms.wyniki.clear();
    ms.zmienne.clear();
    ms.wyniki_zredukowane.clear();
    auto add = [&](const std::string& cond, const TextList& args, const std::string& result) {
        TextList names{cond};
        names.insert(names.end(), args.begin(), args.end());
        TextList kept;
        for (const auto& n : redukuj(names))
            if (!jest_liczba(n) && !jest_bez_warunku(n)) kept.push_back(n);
        ms.zmienne.append(std::move(kept));
        ms.wyniki.append(result);
    };
    const ModelGroup& g = s.kb.models;
    for (const auto& m : g.model)
        add(m.application_condition, argumenty(m), m.result);
    for (const auto& m : g.model_r)
        add(m.application_condition, m.variables, m.result);
    for (const auto& m : g.model_liniowy)
        add(m.application_condition, m.variables, m.result);
    for (const auto& m : g.model_wielomianowy)
        add(m.application_condition, {m.variable}, m.result);

    TextList vars, results;
    for (const auto& z : ms.zmienne)
        vars.insert(vars.end(), z.begin(), z.end());
    for (const auto& w : ms.wyniki)
        results.push_back(w);
    vars = redukuj(vars);
    results = redukuj(results);
    ms.argumenty_zredukowane.insert_front(vars);
    ms.wyniki_zredukowane.append(results);
    ms.lista_argumentow_dopytywalnych.append(
        sortuj(roznica_zbiorow(roznica_zbiorow(vars, results), pierwsza(s.kb.lista_wnioskow_regul.rows()))));
}

void wyznacz_warunki_i_argumenty_dopytywalne(Session& s) {
    TextList askable = pierwsza(s.models.lista_argumentow_dopytywalnych);
    TextList display = pierwsza(s.kb.lista_wszystkich_dopytywalnych_dla_wyswietlania);
    s.models.lista_argumentow_dopytywalnych.append(sortuj(redukuj(askable)));
    s.kb.lista_wszystkich_dopytywalnych_dla_wyswietlania.append(sortuj(redukuj(display)));
    s.models.lista_warunkow_i_argumentow_dopytywalnych.append(sortuj(redukuj(polacz({&askable, &display}))));
}

bool wnioski_modeli_a_wnioski_regul(Session& s) {
    const std::string rn = s.kb.nazwa_re.name(), mn = s.kb.nazwa_mo.name();
    const TextList& rule_conclusions = pierwsza(s.kb.lista_wnioskow_regul.rows());
    const TextList& model_conclusions = pierwsza(s.models.lista_wnioskow_modeli);
    TextList common = czesc_wspolna(rule_conclusions, model_conclusions);
    if (!common.empty()) {
        raport_konfliktu(s,
                         {tr("Błąd w bazie reguł ") + rn, tr("i w bazie modeli ") + mn,
                          tr("Reguły i modele relacyjne mają jednakowe wnioski."), tr("Wnioskami tymi są:")},
                         common, tr("Przejdź do 'Bazy modeli niepewnej' lub do 'Bazy reguł niepewnej',"),
                         tr("Błąd: jednakowe nazwy wniosków bazy reguł i bazy modeli"),
                         tr("Błąd w bazie reguł\n   ") + rn + tr("\ni w bazie modeli\n   ") + mn +
                             tr("\nReguły i modele relacyjne mają wnioski o \njednakowych nazwach. ") +
                             tr("\nWnioskami tymi są wnioski z listy:\n   ") + lacz(common, ", ") +
                             kClosingNote);
        po_konflikcie_nazw(s);
        return false;
    }
    TextList logical =
        redukuj(polacz({&rule_conclusions, &model_conclusions, &pierwsza(s.kb.lista_warunkow.rows()),
                        &pierwsza(s.models.lista_warunkow_stosowania)}));
    s.models.lista_wszystkich_zmiennych_logicznych.clear();
    s.models.lista_wszystkich_zmiennych_logicznych.append(logical);
    TextList numeric =
        polacz({&pierwsza(s.models.lista_argumentow_modeli), &pierwsza(s.models.lista_wynikow_modeli)});
    common = czesc_wspolna(logical, numeric);
    if (common.empty()) return true;
    raport_konfliktu(s,
                     {tr("Błąd w bazie reguł ") + rn, tr("i/lub w bazie modeli ") + mn,
                      tr("Reguły i modele mają warunki/wnioski"),
                      tr("o tych samych nazwach jak argumenty/wyniki."), tr("Są nimi:")},
                     common, tr("Przejdź do 'Bazy modeli niepewnej ' lub do 'Bazy reguł niepewnej',"),
                     tr("Błąd: jednakowe nazwy zmiennych bazy reguł i/lub zmiennych bazy modeli"),
                     tr("Błąd w bazie reguł\n   ") + rn + tr("\ni/lub w bazie modeli\n   ") + mn +
                         tr("\nReguły i modele mają warunki/wnioski") +
                         tr("\no tych samych nazwach jak argumenty/wyniki. \nZawiera je lista:\n   ") +
                         lacz(common, ", ") + kClosingNote);
    po_konflikcie_nazw(s);
    return false;
}

bool testowanie_dopytywalnosci_argumentow(Session& s) {
    const TextList& askable = pierwsza(s.models.lista_argumentow_dopytywalnych);
    std::unordered_set<std::string> ok(askable.begin(), askable.end()), seen;
    TextList bad;
    for (const auto& a : s.kb.models.argument_znany)
        if (!ok.count(a.argument_name) && seen.insert(a.argument_name).second) bad.push_back(a.argument_name);
    if (bad.empty()) return true;
    const std::string mn = s.kb.nazwa_mo.name();
    piszln(s, tr("Błędne argumenty znane bazy modeli ") + mn);
    piszln(s, tr("Następujące argumenty znane nie są argumentami dopytywalnymi: "));
    for (const auto& b : bad)
        piszln(s, b);
    piszln(s, tr("Przejdź do 'Bazy modeli niepewnej',"));
    piszln(s, tr("wybierz opcję 'Edycja bazy modeli', wybierz błędną bazę "));
    piszln(s, tr("i usuń argumenty znane nie będące argumentami dopytywalnymi!"));
    s.ui.note(tr("Błędne argumenty znane bazy modeli "),
              tr("Następujące argumenty znane \nnie są argumentami dopytywalnymi:\n   ") + lacz(bad, ", ") +
                  tr("\nPrzejdź do 'Bazy modeli niepewnej',") +
                  tr("\nwybierz opcję 'Edycja bazy modeli', \nwybierz błędną bazę ") +
                  tr("\ni usuń argumenty znane nie będące \nargumentami dopytywalnymi!"));
    usun_baze_modeli(s);
    return false;
}

void kasowanie_bazy_modeli(Session& s) {
    kasowanie_tabel_modeli(s);
    s.kb.nazwa_mo.clear();
    s.models.duplikat_nazwy_mo.clear();
    kasowanie_list_modeli(s);
    s.inference.model_stosowany.clear();
    s.kb.numery_modeli.clear();
    s.verify.kasowanie_diagnoz_bazy_modeli();
    // The numbering verdict of the model base goes with it; those of other bases stand.
    zapomnij_werdykt_numerow(s, BaseKind::Models);
    // The options of the result tests are cleared here too once those tests keep tables.
}

void usun_baze_modeli(Session& s) {
    kasowanie_tabel_modeli(s);
    s.kb.nazwa_mo.clear();
    kasowanie_list_modeli(s);
}

std::string ladowanie_bazy_modeli(Session& s) {
    LoadSteps st;
    st.kind = BaseKind::Models;
    st.precondition = [&s] {
        if (!s.kb.nazwa_re.loaded()) {
            s.ui.note(tr("Uwaga!"), tr("Załaduj bazę reguł niepewną!"));
            return false;
        }
        // A contradictory rule base loads no other base.
        return s.kb.sprzecznosc_1z.find_first([](const std::string& v) { return v == "TAK"; }) == nullptr;
    };
    st.clear = [&s] { kasowanie_bazy_modeli(s); };
    st.success = [&s](const std::string& name) {
        piszcr(s);
        piszcr(s);
        piszln(s, tr("Baza modeli ") + name);
        piszln(s, tr(" została załadowana!"));
        s.ui.note(tr("Wynik ładowania bazy modeli"),
                  tr("Baza modeli elementarna niepewna\n   ") + name + tr("\nzostała załadowana."));
    };
    st.after_load = [&s] {
        // The model numbering test empties the shared verdict table; a verdict of the rule
        // base must survive it, or inference would start on a base with repeated numbers.
        bool rules_failed = numbering_failed(s);
        bool ok = testuj_numery_modeli(s);
        if (rules_failed && !numbering_failed(s)) s.kb.rozne_numery.append("NIE");
        if (!ok) return false;
        if (!diagnoza_sprzecznosci_modeli(s)) return false;
        if (!diagnoza_sprzecznosci_lacznych(s)) return false;
        ModelState& ms = s.models;
        ms.lista_argumentow_modeli.append(wyznacz_argumenty_modeli(s));
        ms.lista_wnioskow_modeli.append(wyznacz_wnioski_modeli(s));
        ms.lista_warunkow_stosowania.append(wyznacz_warunki_stosowania(s));
        ms.lista_wynikow_modeli.append(wyznacz_wyniki_modeli(s));
        redukuj_warunki_dopytywalne(s);
        wyznacz_dopytywalne_zmienne(s);
        wyznacz_warunki_i_argumenty_dopytywalne(s);
        if (!wnioski_modeli_a_wnioski_regul(s)) return false;
        if (!testy_modeli_przy_ladowaniu(s)) return false;
        return testowanie_dopytywalnosci_argumentow(s);
    };
    st.syntax_error_branch = [&s] {
        piszln(s, tr("Przejdź do 'Bazy modeli niepewnej', "));
        piszln(s, tr("wybierz opcję 'Edycja bazy modeli',"));
        piszln(s, tr("wybierz błędną bazę i usuń błąd."));
        s.ui.note(
            tr("Uwaga błąd!"),
            tr("Przejdź do 'Bazy modeli niepewnej', wybierz opcję 'Edycja bazy modeli',\nnastępnie wybierz "
               "błędną bazę i usuń błąd."));
    };
    st.empty_lines_branch = [&s] {
        if (!s.models.duplikat_nazwy_mo.empty()) return;
        piszln(s,
               std::string(tr("Błąd w trakcie wczytywania bazy modeli. ")) + tr("Baza zawiera puste linie!"));
        piszcr(s);
        piszln(s, tr("Przejdź do 'Bazy modeli niepewnej, "));
        piszln(s, tr("wybierz opcję 'Edycja bazy modeli', "));
        piszln(s, std::string(tr("wybierz błędną bazę i usuń puste linie, ")) +
                      tr("które najczęściej są na końcu bazy."));
        s.ui.note(
            tr("Uwaga błąd!"),
            tr("Błąd w trakcie wczytywania bazy modeli. Baza zawiera puste linie!\nPrzejdź do 'Bazy modeli "
               "niepewnej', wybierz opcję 'Edycja bazy modeli',\n następnie wybierz błędną bazę i usuń puste "
               "linie, które najczęściej są na końcu bazy."));
    };
    return run_load_sequence(s, st);
}

bool dzialanie_w_bazie_modeli(Session& s, int option, std::string& title, std::string& text, TextList& list) {
    switch (option) {
        case 1:
            if (!s.kb.nazwa_mo.loaded()) {
                piszln(s, tr(" Brak bazy modeli do przeglądania."));
                s.ui.note(tr("Uwaga!"), tr("Brak bazy modeli do przeglądania!"));
                return false;
            }
            title = tr("Przegląd pliku bazy modeli: ") + s.kb.nazwa_mo.name();
            text = tekst_pliku(s.kb.nazwa_mo.full_path.empty() ? std::string()
                                                               : *s.kb.nazwa_mo.full_path.first());
            return true;
        case 2:
            title = tr("Warunki i argumenty dopytywalne bazy modeli ") + s.kb.nazwa_mo.name();
            list = pierwsza(s.models.lista_argumentow_dopytywalnych);
            return true;
        case 3:
            title = tr("Warunki i argumenty dopytywalne bazy wiedzy ") +
                    (s.kb.wyroznik.empty() ? std::string() : *s.kb.wyroznik.first());
            list = pierwsza(s.models.lista_warunkow_i_argumentow_dopytywalnych);
            return true;
        // The two diagnosis reports: the title here, the report by the command that asked.
        case 7: {
            const std::string* kept = s.models.duplikat_nazwy_mo.first();
            title = tr(" Sprzeczności bazy modeli ") + (kept ? *kept : s.kb.nazwa_mo.name());
            return true;
        }
        case 8:
            title = tr(" Sprzeczności łączne bazy modeli ") + s.kb.nazwa_mo.name() + tr(" i bazy reguł ") +
                    s.kb.nazwa_re.name();
            return true;
        default:
            return false;
    }
}

void register_model_commands(CommandRegistry& r) {
    r.set(10077, [](Session& s) {
        if (!ladowanie_bazy_modeli(s).empty()) enable_range(s, 10080, 10086);
    });
    for (int id : {10080, 10081, 10082, 10083})
        r.set(id, [id](Session& s) { przeglad_modeli(s, id); });
    r.set(10084, [](Session& s) {
        const ModelGroup& g = s.kb.models;
        if (g.model.empty() && g.model_r.empty() && g.model_liniowy.empty() && g.model_wielomianowy.empty()) {
            s.ui.note(tr("Uwaga!"), tr("Brak bazy modeli!"));
            return;
        }
        std::string title, text;
        TextList list;
        if (dzialanie_w_bazie_modeli(s, 1, title, text, list)) browse_text_window(s, title, text);
    });
    r.set(10085, [](Session& s) { pokaz_liste_akcji(s, 2); });
    r.set(10086, [](Session& s) { pokaz_liste_akcji(s, 3); });
    r.set(10087, [](Session& s) {
        const KindInfo& info = kind_info(BaseKind::Models);
        std::string chosen =
            s.ui.open_file(info.mask, {info.filter}, tr("Wybierz nazwę edytowanej bazy modeli : "));
        if (!chosen.empty()) open_editor_window(s, s.resolve(chosen));
    });
    r.set(10088, [](Session& s) {
        // The loaded model base goes with its verdicts, as before a load.
        kasowanie_bazy_modeli(s);
        CreateTexts t;
        t.mask = "MO*.BEN";
        t.dialog_title = tr("Podaj nazwę nowej bazy modeli");
        t.note_title = tr("Tworzenie nowej bazy modeli");
        t.note_text = [](const std::string& n) {
            return tr("Nowa baza modeli ") + n + tr(" została utworzona.");
        };
        t.question_title = tr("Tworzenie bazy modeli");
        t.question_text = [](const std::string& n) {
            return tr("Czy chcesz przejść od razu do edycji\nnowej bazy modeli ") + n + " ?";
        };
        create_base_file(s, t);
    });
    r.set(10089, [](Session& s) {
        DeleteTexts t;
        t.mask = "MO*.BEN";
        t.dialog_title = tr("Wybierz bazę modeli przeznaczoną do usunięcia");
        t.question_title = tr("Usunięcie bazy modeli");
        t.question_text = [](const std::string& n) {
            return tr("Czy jesteś pewien, że chcesz usunąć bazę modeli ") + n + " ?";
        };
        t.note_text = [](const std::string& n) { return tr("Baza modeli ") + n + tr(" została usunięta."); };
        // As with rule bases, a deletion unloads the loaded model base and its verdicts.
        if (delete_base_file(s, t)) kasowanie_bazy_modeli(s);
    });
}

}  // namespace zuva
