// Loading a rule base runs one fixed chain of steps; the first step that fails ends the
// chain, and the failure branches then decide what the user is told. Every search over
// the rules goes through hash sets, so the whole chain is linear in the size of the base
// (apart from the sort of the askable list).
#include "kb/rule_base.h"

#include <unordered_set>

#include "kb/askable_conditions.h"
#include "kb/base_file_reader.h"
#include "kb/base_files.h"
#include "kb/load_tests.h"
#include "kb/numbering.h"
#include "kb/record_windows.h"
#include "kb/rule_lists.h"
#include "report/report.h"
#include "session/command_registry.h"
#include "session/enabling.h"
#include "session/load_hooks.h"
#include "session/session.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {

namespace {

const char* const kNoRuleBaseTitle = "zuva";

bool holds(const Table<std::string>& t, const std::string& v) {
    return t.find_first([&](const std::string& x) { return x == v; }) != nullptr;
}

bool contradictory(const Session& s) {
    return holds(s.kb.sprzecznosc_1z, "TAK");
}

// Branch A: a syntax error was reported and nothing is loaded.
void syntax_error_branch(Session& s) {
    piszln(s, tr("Przejdź do 'Bazy reguł niepewnej', wybierz opcję 'Edycja bazy reguł', "));
    piszln(s, tr("wybierz błędną bazę i usuń błąd."));
    s.ui.note(tr("Błąd"), tr("Przejdź do 'Bazy reguł niepewnej' i wybierz opcję 'Edycja bazy reguł',\n"
                             "wybierz błędną bazę i usuń błąd."));
}

// Branch B: the read failed without a syntax-error report (an empty line).
void empty_lines_branch(Session& s) {
    pisz(s, tr("Błąd w trakcie wczytywania bazy reguł. "));
    pisz(s, tr("Baza zawiera puste linie!"));
    pisz(s, "\n\n");
    pisz(s, tr("Przejdź do 'Bazy reguł, wybierz opcję 'Edycja bazy reguł',"));
    pisz(s, "\n");
    piszln(s, tr("wybierz błędną bazę i usuń puste linie, które najczęściej są na końcu bazy."));
    s.ui.note(
        tr("Błąd"),
        tr("Błąd w trakcie wczytywania bazy reguł.\nBaza zawiera puste linie!\nPrzejdź do 'Bazy reguł,\n"
           "wybierz opcję 'Edycja bazy reguł'\nwybierz błędną bazę i usuń puste linie,\n"
           "które najczęściej są na końcu bazy."));
}

// The failure alternatives, tried in order once the load did not succeed. The result is
// always the empty text: nothing (or a base that may not be consulted) is loaded.
std::string failure_branches(Session& s) {
    bool loaded = s.kb.nazwa_re.loaded();
    if (!loaded && holds(s.kb.blad, "błąd")) {
        syntax_error_branch(s);
        s.kb.jestem_tu.clear();
        s.kb.blad.clear();
        s.set_title(kNoRuleBaseTitle);
        return {};
    }
    if (!loaded && holds(s.kb.jestem_tu, "Tak")) {
        empty_lines_branch(s);
        s.kb.jestem_tu.clear();
        s.set_title(kNoRuleBaseTitle);
        return {};
    }
    s.kb.jestem_tu.clear();
    s.kb.blad.clear();
    // A base found contradictory or badly numbered stays loaded and marked, under its title.
    if (contradictory(s) || numbering_failed(s)) return {};
    s.set_title(kNoRuleBaseTitle);
    return {};
}

// Steps 5 to 16, after the file was read without error.
bool after_read(Session& s, const std::string& full_path) {
    pisz(s, "\n\n");
    record_base_name(s, BaseKind::Rules, full_path);
    const std::string short_name = s.kb.nazwa_re.name();
    const std::string wyroznik = s.kb.wyroznik.empty() ? std::string() : *s.kb.wyroznik.first();
    pisz(s, tr("Baza reguł ") + short_name);
    pisz(s, "\n");
    pisz(s, tr(" została załadowana!"));
    pisz(s, "\n\n");
    s.set_title(tr("zuva_EN wnioskuje dla bazy wiedzy ") + to_lower_pl(wyroznik));
    s.ui.note(tr("Wynik ładowania bazy reguł"),
              tr("Baza reguł elementarna niepewna\n   ") + short_name + tr("\nzostała załadowana."));

    // Load-time tests: numbering first, then the CF texts of rules, facts and model facts.
    if (!testuj_numery_regul(s)) return false;
    if (!testuj_cf_regul(s) || !testuj_cf_faktow(s)) {
        // The rule base is gone: the load ends as "nothing loaded", not as a read error.
        s.kb.jestem_tu.clear();
        return false;
    }
    // The model base was cleared with everything else, so a fault here unloads only it.
    testuj_cf_m_faktow(s);
    s.kb.jestem_tu.clear();

    run_load_diagnosis(s.diagnoses.rule_contradictions, s);
    if (contradictory(s)) return false;

    s.kb.opis.insert_front("..\\OPISY\\" + wyroznik + ".OPI");

    TextList askable = wyznacz_warunki_dopytywalne(s);
    pamietaj_liste_dopytywalnych(s, askable);
    pamietaj_warunki_dopytywalne(s, *s.kb.lista_warunkow_dopytywalnych.first());

    run_load_diagnosis(s.diagnoses.rule_redundancy, s);
    if (!testowanie_dopytywalnosci_faktow(s)) return false;
    wykrywanie_warunkow_pojedynczych(s);
    if (!wykrywanie_niewlasciwego_cf_reguly(s)) return false;

    tworz_listy_numerow_regul_kumulatywnych(s);
    tworz_listy_numerow_regul_dysjunktywnych(s);
    return true;
}

// Derived lists of the rule base, emptied whenever the rule base is unloaded.
void kasowanie_list_dopytywalnych(Session& s) {
    s.kb.dopytywalny.clear();
    s.kb.lista_warunkow_dopytywalnych.clear();
    s.kb.lista_wszystkich_dopytywalnych_dla_wyswietlania.clear();
    s.kb.lista_warunkow.clear();
    s.models.lista_warunkow_i_argumentow_dopytywalnych.clear();
    s.kb.lista_wnioskow_regul.clear();
    s.kb.rule_text_ids.reset();
}

void note_no_rule_base(Session& s) {
    s.ui.note(tr("Uwaga błąd!"), tr("Brak bazy reguł!"));
}

}  // namespace

void kasowanie_wszystkich_tablic(Session& s) {
    s.kb = KnowledgeBase{};
    s.models = ModelState{};
    s.inference = InferenceState{};
    s.verify = VerifyState{};
    s.report = ReportState{};
}

std::string ladowanie_bazy_regul(Session& s) {
    kasowanie_wszystkich_tablic(s);
    const KindInfo& info = kind_info(BaseKind::Rules);
    std::string chosen = s.ui.open_file(info.mask, {info.filter}, info.open_title);
    if (chosen.empty()) return failure_branches(s);

    std::string full = s.resolve(chosen);
    s.current_dir = directory_of(full);
    s.ui.helper_clear();
    s.kb.jestem_tu.append("Tak");

    if (auto err = read_base_file(s, BaseKind::Rules, full)) {
        obsluga_bledu_konsultacji(s, *err, full);
        if (err->code == kErrCannotOpen || err->code == kErrEncoding) {
            // Reported with its own message above; it is neither a syntax error nor empty lines.
            s.kb.jestem_tu.clear();
            s.set_title(kNoRuleBaseTitle);
            return {};
        }
        return failure_branches(s);
    }
    if (!after_read(s, full)) return failure_branches(s);
    return full;
}

bool testowanie_dopytywalnosci_faktow(Session& s) {
    const TextList* askable = s.kb.lista_warunkow_dopytywalnych.first();
    // The facts are few and the askable conditions many: mark the facts met in one pass.
    std::unordered_set<std::string_view> found, facts;
    for (const auto& f : s.kb.rules.fakt)
        facts.insert(f.fact_text);
    if (askable && !facts.empty())
        for (const auto& a : *askable)
            if (facts.count(a)) found.insert(a);
    TextList wrong;
    for (const auto& f : s.kb.rules.fakt)
        if (!found.count(f.fact_text)) wrong.push_back(f.fact_text);
    if (wrong.empty()) return true;

    piszln(s, tr("Błędne fakty bazy reguł."));
    piszln(s, tr("Następujące fakty nie są warunkami dopytywalnymi: "));
    for (const auto& w : wrong)
        piszln(s, w);
    piszln(s, tr("Przejdź do 'Bazy reguł niepewnej',"));
    piszln(s, tr("wybierz opcję 'Edycja bazy reguł', wybierz błędną bazę "));
    piszln(s, tr("i usuń fakty nie będące warunkami dopytywalnymi!"));
    s.kb.rules.fakt.clear();
    std::string note = tr("Następujące fakty nie są warunkami dopytywalnymi: ");
    for (const auto& w : wrong)
        note += "\n" + w;
    note +=
        tr("\nPrzejdź do 'Bazy reguł niepewnej',"
           "\nwybierz opcję 'Edycja bazy reguł', wybierz błędną bazę "
           "\ni usuń fakty nie będące warunkami dopytywalnymi lub"
           "\nwprowadź odpowiednie warunki dopytywalne do reguł.");
    s.ui.note(tr("Błędne fakty bazy reguł!"), note);
    s.kb.rules.regula.clear();
    s.kb.nazwa_re.clear();
    return false;
}

void wykrywanie_warunkow_pojedynczych(Session& s) {
    auto& found = s.kb.pojedynczy_warunek;
    for (const auto& r : s.kb.rules.regula) {
        if (r.conditions.size() != 1) continue;
        auto cf = parse_real(r.cf_text);
        if (cf && *cf == 1.0) found.append({r.rule_number, r.conclusion, r.conditions.front()});
    }
    if (found.empty()) return;

    const std::string name = s.kb.nazwa_re.name();
    piszln(s, tr("Baza reguł ") + name);
    piszln(s, tr("ma przynajmniej jedną regułę z CF=1 i z pojedynczym warunkiem."));
    piszln(s, tr("Reguła taka może być tautologią, zastępującą"));
    piszln(s, tr("jedno określenie (warunek) innym określeniem (wniosek) i czyniąc"));
    piszln(s, tr("tym samym bazę reguł mniej przejrzystą i czytelną."));
    int show = s.ui.question(tr("Wybierz:"),
                             tr("Baza reguł elementarna niepewna\n   ") + name +
                                 tr("\nma przynajmniej jedną regułę z CF=1 i z pojedynczym \nwarunkiem. \n\n"
                                    "Reguła taka może być tautologią, zastępującą jedno \n"
                                    "określenie (warunek) innym określeniem (wniosek) ") +
                                 tr("\ni czyniąc tym samym bazę reguł mniej przejrzystą i \nczytelną.\n\n"
                                    "Chcesz zobaczyć reguły z CF=1 i z pojedynczym warunkiem?"),
                             {tr("&Tak"), tr("&Nie")});
    if (show == 0) {
        piszln(s, tr("W bazie reguł ") + name + tr(" jest:"));
        for (const auto& p : found) {
            std::string n = std::to_string(p.rule_number);
            piszln(s, tr("Reguła ") + n + tr(" z wnioskiem '") + p.conclusion + "'");
            piszln(s, tr("z CF=1 i z pojedynczym warunkiem '") + p.condition + "'");
            int next = s.ui.question(tr("Reguła z pojedynczym warunkiem"),
                                     tr("W bazie reguł elementarnej niepewnej\n   ") + name +
                                         tr("\njest reguła ") + n + tr(" z wnioskiem\n   ") + p.conclusion +
                                         tr(",\nz CF=1 i z pojedynczym warunkiem\n   ") + p.condition +
                                         tr("\n\nChcesz zobaczyć następną regułę z pojedynczym warunkiem?"),
                                     {tr("&Tak"), tr("&Nie")});
            if (next != 0) break;
        }
    }
    piszln(s, tr("Jeżeli zauważysz regułę tautologiczną,"));
    piszln(s, tr("to przejdź do 'Baza reguł',"));
    piszln(s, tr("wybierz opcję 'Edycja bazy reguł',"));
    piszln(s, tr("wybierz błędną bazę i usuń tautologię."));
    piszln(s, tr("Jeżeli nie, to przejdź do ładowania pozostałych baz."));
    s.ui.note(tr("Zalecenie"),
              tr("Jeżeli zauważysz regułę tautologiczną, to przejdź do 'Baza reguł',\n"
                 "wybierz opcję 'Edycja bazy reguł', wybierz błędną bazę i usuń tautologię.\n\n"
                 "Jeżeli nie, to przejdź do ładowania pozostałych baz."));
}

bool wykrywanie_niewlasciwego_cf_reguly(Session& s) {
    const Regula* bad =
        s.kb.rules.regula.find_first([](const Regula& r) { return !parse_real(r.cf_text).has_value(); });
    if (!bad) return true;
    std::string line = tr("Reguła ") + std::to_string(bad->rule_number) + tr(" ma niepoprawną wartość CF.");
    piszln(s, line);
    s.kb.rules.regula.clear();
    s.kb.nazwa_re.short_name.remove_first([](const std::string&) { return true; });
    s.kb.nazwa_re.full_path.remove_first([](const std::string&) { return true; });
    s.ui.note(tr("Błąd bazy reguł"), line + tr("\nWnioskowanie niemożliwe."));
    return false;
}

RuleAction dzialanie_w_bazie_regul(Session& s, int option) {
    RuleAction a;
    switch (option) {
        case 1: {
            if (!s.kb.nazwa_re.loaded() || s.kb.rules.regula.empty() || s.kb.nazwa_re.full_path.empty())
                return a;
            const std::string path = *s.kb.nazwa_re.full_path.first();
            auto bytes = read_file_bytes(path);
            CodecError cerr;
            std::optional<std::string> text = bytes ? decode_file_text(*bytes, &cerr) : std::nullopt;
            if (!text) {
                s.ui.note(tr("Uwaga błąd!"), tr("Nie można odczytać pliku bazy reguł\n   ") + path +
                                                 (bytes ? "\n" + cerr.message : std::string(".")));
                return a;
            }
            s.set_title(tr("zuva_EN Przegląd pliku bazy: ") + s.kb.nazwa_re.name());
            a.ok = true;
            a.title = tr("Przegląd");
            a.text = std::move(*text);
            return a;
        }
        case 2: {
            const std::string re = s.kb.nazwa_re.name();
            if (s.kb.nazwa_mo.loaded()) {
                s.helper(tr("     Warunki dopytywalne bazy reguł ") + re + "\n" +
                         tr("       z uwzględnieniem bazy modeli ") + s.kb.nazwa_mo.name() + "\n");
                a.title = tr("Warunki dopytywalne bazy reguł z uwzględnieniem bazy modeli.");
            } else {
                a.title = tr("Warunki dopytywalne bazy reguł ") + re;
                s.helper(tr("Warunki dopytywalne  bazy reguł  ") + re + "\n");
            }
            a.items = ogolna_lista_dopytywalnych(s);
            a.ok = true;
            return a;
        }
        case 4:
            kasowanie_list_dopytywalnych(s);
            s.kb.rules.regula.clear();
            s.kb.nazwa_re.clear();
            a.ok = true;
            return a;
        case 5:
            s.kb.nazwa_re.clear();
            s.kb.rules.regula.clear();
            s.kb.rules.regula_dysjunktywna.clear();
            s.kb.rules.fakt.clear();
            // The askable lists of a base that is gone must not be shown or written any more.
            kasowanie_list_dopytywalnych(s);
            a.ok = true;
            return a;
        default:
            return a;
    }
}

void tworzenie_bazy_regul(Session& s) {
    bool was_loaded = s.kb.nazwa_re.loaded();
    dzialanie_w_bazie_regul(s, 4);
    if (was_loaded) s.set_title(kNoRuleBaseTitle);
    CreateTexts t;
    t.mask = "RE*.BEN";
    t.dialog_title = tr("Podaj nazwę nowej bazy reguł");
    t.note_title = tr("Tworzenie nowej bazy reguł");
    t.note_text = [](const std::string& n) { return tr("Nowa baza reguł ") + n + tr(" została utworzona."); };
    t.question_title = tr("Tworzenie bazy reguł");
    t.question_text = [](const std::string& n) {
        return tr("Czy chcesz przejść od razu do edycji\nnowej bazy reguł ") + n + " ?";
    };
    create_base_file(s, t);
}

void kasowanie_bazy_regul(Session& s) {
    DeleteTexts t;
    t.mask = "RE*.BEN";
    t.dialog_title = tr("Wybierz bazę reguł przeznaczoną do usunięcia");
    t.question_title = tr("Usunięcie bazy reguł");
    t.question_text = [](const std::string& n) {
        return tr("Czy jesteś pewien, że chcesz usunąć bazę reguł ") + n + " ?";
    };
    t.note_text = [](const std::string& n) { return tr("Baza reguł ") + n + tr(" została usunięta."); };
    if (!delete_base_file(s, t)) return;
    bool was_loaded = s.kb.nazwa_re.loaded();
    dzialanie_w_bazie_regul(s, 5);
    if (was_loaded) s.set_title(kNoRuleBaseTitle);
}

void register_rule_commands(CommandRegistry& r) {
    r.set(10064, [](Session& s) {
        disable_commands(s, {10065});
        std::string loaded = ladowanie_bazy_regul(s);
        if (!loaded.empty()) enable_rules_loaded_set(s);
    });
    r.set(10067, [](Session& s) {
        if (s.kb.rules.regula.empty()) return note_no_rule_base(s);
        s.ui.browse_records(rule_record_window(s));
    });
    r.set(10068, [](Session& s) {
        if (s.kb.rules.regula.empty() || !s.kb.nazwa_re.loaded()) return note_no_rule_base(s);
        RuleAction a = dzialanie_w_bazie_regul(s, 1);
        if (a.ok) browse_text_window(s, a.title, a.text);
    });
    r.set(10069, [](Session& s) {
        RuleAction a = dzialanie_w_bazie_regul(s, 2);
        if (a.ok) browse_list_window(s, a.title, a.items);
    });
    r.set(10070, [](Session& s) {
        std::string chosen = s.ui.open_file("RE*.BEN", {kind_info(BaseKind::Rules).filter},
                                            tr("Wybierz nazwę edytowanej bazy reguł : "));
        if (chosen.empty()) return;
        open_editor_window(s, s.resolve(chosen));
    });
    r.set(10071, [](Session& s) { tworzenie_bazy_regul(s); });
    r.set(10072, [](Session& s) { kasowanie_bazy_regul(s); });
}

}  // namespace zuva
