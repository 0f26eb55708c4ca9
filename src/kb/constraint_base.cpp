// Both kinds of constraint base go through the generic load sequence; what differs between
// them is gathered in one table of texts per kind.
#include "kb/constraint_base.h"

#include <array>
#include <optional>
#include <unordered_set>

#include "kb/base_files.h"
#include "kb/numbering.h"
#include "kb/record_windows.h"
#include "report/report.h"
#include "session/command_registry.h"
#include "session/enabling.h"
#include "session/load_hooks.h"
#include "session/session.h"
#include "session/verdicts.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {

namespace {

struct KindTexts {
    BaseKind base_kind;
    const char* loaded_line;  // + short name + "została załadowana!"
    const char* note_title;
    const char* note_first;  // + short name + "\nzostała załadowana."
    const char* no_rule_base;
    // Failure alternative A.
    const char* a_lines[3];
    const char* a_note;
    // Failure alternative B.
    const char* b_first;
    const char* b_lines[3];
    const char* b_note;
    // Single-condition check.
    const char* single_first;  // + short name
    const char* single_list;   // after "ma ograniczenie " + number
    const char* single_path;   // first of the three closing lines
    const char* single_note_first;
    const char* single_note_path;
    // Askability check.
    const char* ask_lines[2];
    const char* ask_where;  // " bazy ograniczeń dokładnej "
    const char* ask_option1;
    const char* ask_option1_edit;
    const char* ask_option2;
    const char* ask_option2_edit;
    const char* ask_note_first;
    const char* ask_note_tail;
    // Browse and create/delete.
    const char* browse_title;
    const char* create_mask;
    const char* create_title;
    const char* create_note_title;
    const char* create_note;  // + name + " została utworzona."
    const char* create_question_title;
    const char* create_question;  // + name + " ?"
    const char* edit_title;
    const char* delete_title;
    const char* delete_question_title;
    const char* delete_question;  // + name + " ?"
    const char* delete_note;      // + name + " została usunięta."
    const char* record_title;     // + " (Sumaryczna liczba ograniczeń: N)"
};

const KindTexts kExact{
    BaseKind::ExactConstraints,
    N_("Baza ograniczeń dokładna "),
    N_("Wynik ładowania bazy ograniczeń dokładnej"),
    N_("Baza ograniczeń dokładna\n   "),
    N_("Proszę załadować bazę reguł!"),
    {N_("Przejdż do 'Bazy ograniczeń  dokładnej'"), N_("wybierz opcję 'Edycja bazy ograniczeń  dokładnej',"),
     N_("wybierz błędną bazę i usuń błąd.")},
    N_("Przejdź do 'Bazy ograniczeń dokładnej', wybierz opcję 'Edycja bazy ograniczeń  "
       "dokładnej',\nnastępnie "
       "wybierz błędną bazę i usuń błąd."),
    N_("Błąd w trakcie wczytywania bazy ograniczeń dokładnej. "),
    {N_("Przejdź do 'Bazy ograniczeń dokładnej, "), N_("wybierz opcję 'Edycja bazy ograniczeń dokładnej ',"),
     N_("wybierz błędną bazę i usuń puste linie, ")},
    N_("Błąd w trakcie wczytywania bazy ograniczeń dokładnej. Baza zawiera puste linie!"
       "\nPrzejdź do 'Bazy ograniczeń dokładnej',"
       "wybierz opcję 'Edycja bazy ograniczeń  dokładnej',"
       "\nnastępnie wybierz błędną bazę i usuń puste linie, które najczęściej są na końcu bazy."),
    N_("Baza ograniczeń "),
    N_(" z listą warunków dopytywalnych"),
    N_("Przejdź do 'Baza ograniczeń'"),
    N_("Baza ograniczeń rozwinięta dokładna\n   "),
    N_("\n\nPrzejdź do 'Bazy ograniczeń dokładnej', wybierz opcję 'Edycja bazy ograniczeń'\nnastępnie "
       "wybierz "
       "błędną bazę i usuń błąd."),
    {N_("W bazie ograniczeń dokładnej mogą być wyłącznie listy warunków dopytywalnych"),
     N_("wykluczających się.")},
    N_(" bazy ograniczeń dokładnej "),
    N_("1. Przejść do 'Bazy ograniczeń dokładnej' "),
    N_(" wybrać opcję 'Edycja bazy ograniczeń',"),
    N_("2. Przejść do 'Baza reguł niepewnej' "),
    N_(" wybrać opcję 'Edycja bazy reguł'"),
    N_("W bazie ograniczeń dokładnej mogą być wyłącznie \nlisty warunków dopytywalnych wykluczających "
       "się.\n\n"
       "Warunek\n  "),
    N_("\nnie jest warunkiem dopytywalnym.\n\nMożesz:\n1. Przejść do 'Bazy ograniczeń dokładnej', wybrać "
       "opcję "
       "'Edycja bazy ograniczeń',\nzaładować błędną bazę ograniczeń i usunąć błędne ograniczenie,"
       "\nlub\n2. Przejść do 'Baza reguł dokładnej', wybrać opcję 'Edycja bazy reguł'\ni wprowadzić do "
       "odpowiedniej reguły pominięty warunek dopytywalny."),
    N_("Przegląd bazy ograniczeń: "),
    "OG*.BEN",
    N_("Podaj nazwę nowej bazy ograniczeń dokładnych"),
    N_("Tworzenie nowej bazy ograniczeń dokładnych_"),
    N_("Nowa baza ograniczeń dokładnych"),
    N_("Tworzenie bazy ograniczeń dokładnych"),
    N_("Czy chcesz przejść od razu do edycji\nnowej bazy ograniczeń dokładnych "),
    N_("Wybierz nazwę edytowanej bazy ograniczeń : "),
    N_("Wybierz bazę ograniczeń dokładnych przeznaczoną do usunięcia"),
    N_("Usunięcie bazy ograniczeń dokładnych"),
    N_("Czy jesteś pewien, że chcesz usunąć bazę ograniczeń dokładnych"),
    N_("Baza ograniczeń dokładnych"),
    N_("Selektywny wybór ograniczeń dokładnych"),
};

const KindTexts kUncertain{
    BaseKind::UncertainConstraints,
    N_("Baza ograniczeń niepewna "),
    N_("Wynik ładowania bazy ograniczeń niepewnej"),
    N_("Baza ograniczeń niepewna\n   "),
    N_("Proszę załadować bazę reguł!"),
    {N_("Przejdż do 'Bazy ograniczeń niepewnej',"), N_("wybierz opcję 'Edycja bazy ograniczeń niepewnej',"),
     N_("wybierz błędną bazę i usuń błąd.")},
    N_("Przejdź do 'Bazy ograniczeń niepewnej', wybierz opcję 'Edycja bazy ograniczeń niepewnej',\nnastępnie "
       "wybierz błędną bazę i usuń błąd."),
    N_("Błąd w trakcie wczytywania bazy ograniczeń niepewnej. "),
    {N_("Przejdź do 'Bazy ograniczeń niepewnej, "), N_("wybierz opcję 'Edycja bazy ograniczeń niepewnej',"),
     N_("wybierz błędną bazę i usuń puste linie, ")},
    N_("Błąd w trakcie wczytywania bazy ograniczeń niepewnej. Baza zawiera puste linie!"
       "\nPrzejdź do 'Bazy ograniczeń niepewnych',"
       "wybierz opcję 'Edycja bazy ograniczeń niepewnej',"
       "\nnastępnie wybierz błędną bazę i usuń puste linie, które najczęściej są na końcu bazy."),
    N_("Baza ograniczeń niepewnych "),
    N_(" z listą warunków dopytywalnych niepewnych"),
    N_("Przejdź do 'Bazy ograniczeń niepewnych'"),
    N_("Baza ograniczeń rozwinięta niepewna\n   "),
    N_("\n\nPrzejdź do 'Bazy ograniczeń niepewnej', wybierz opcję 'Edycja bazy ograniczeń'\nnastępnie "
       "wybierz "
       "błędną bazę i usuń błąd."),
    {N_("W bazie ograniczeń niepewnej mogą być wyłącznie listy warunków dopytywalnych"),
     N_("wykluczających się niepewnie.")},
    N_(" bazy ograniczeń niepewnej "),
    N_("1. Przejść do 'Bazy ograniczeń niepewnej', "),
    N_(" wybrać opcję 'Edycja bazy ograniczeń niepewnych',"),
    N_("2. Przejść do 'Bazy reguł niepewnej'"),
    N_(" wybrać opcję 'Edycja bazy reguł'"),
    N_("W bazie ograniczeń rozwinietej niepewnej mogą być wyłącznie \nlisty warunków dopytywalnych "
       "wykluczających się.\n\nWarunek\n  "),
    N_("\nnie jest warunkiem dopytywalnym.\n\nMożesz:\n1. Przejść do 'Bazy ograniczeń niepewnej', wybrać "
       "opcję "
       "'Edycja bazy ograniczeń',\nzaładować błędną bazę ograniczeń i usunąć błędne ograniczenie,"
       "\nlub\n2. Przejść do 'Baza reguł niepewnej', wybrać opcję 'Edycja bazy reguł'\ni wprowadzić do "
       "odpowiedniej reguły pominięty warunek dopytywalny."),
    N_("Przegląd bazy ograniczeń niepewnych: "),
    "ON*.BEN",
    N_("Podaj nazwę nowej bazy ograniczeń niepewnych"),
    N_("Tworzenie nowej bazy ograniczeń niepewnych_"),
    N_("Nowa baza ograniczeń niepewnych"),
    N_("Tworzenie bazy ograniczeń niepewnych"),
    N_("Czy chcesz przejść od razu do edycji\nnowej bazy ograniczeń niepewnych "),
    N_("Wybierz nazwę edytowanej bazy ograniczeń : "),
    N_("Wybierz bazę ograniczeń niepewnych przeznaczoną do usunięcia"),
    N_("Usunięcie bazy ograniczeń niepewnych"),
    N_("Czy jesteś pewien, że chcesz usunąć bazę ograniczeń niepewnych"),
    N_("Baza ograniczeń niepewnych"),
    N_("Selektywny wybór ograniczeń niepewnych"),
};

// The texts of a kind in the language of the thread, made once for each language.
const KindTexts& texts(ConstraintKind k) {
    const KindTexts& polish = k == ConstraintKind::Exact ? kExact : kUncertain;
    thread_local std::array<std::array<std::optional<KindTexts>, 2>, 2> shown;
    std::optional<KindTexts>& t =
        shown[static_cast<int>(thread_language())][k == ConstraintKind::Exact ? 0 : 1];
    if (!t) {
        KindTexts x = polish;
        for (const char** f : {&x.loaded_line,
                               &x.note_title,
                               &x.note_first,
                               &x.no_rule_base,
                               &x.a_note,
                               &x.b_first,
                               &x.b_note,
                               &x.single_first,
                               &x.single_list,
                               &x.single_path,
                               &x.single_note_first,
                               &x.single_note_path,
                               &x.ask_where,
                               &x.ask_option1,
                               &x.ask_option1_edit,
                               &x.ask_option2,
                               &x.ask_option2_edit,
                               &x.ask_note_first,
                               &x.ask_note_tail,
                               &x.browse_title,
                               &x.create_title,
                               &x.create_note_title,
                               &x.create_note,
                               &x.create_question_title,
                               &x.create_question,
                               &x.edit_title,
                               &x.delete_title,
                               &x.delete_question_title,
                               &x.delete_question,
                               &x.delete_note,
                               &x.record_title})
            *f = tr(*f);
        for (const char*& l : x.a_lines)
            l = tr(l);
        for (const char*& l : x.b_lines)
            l = tr(l);
        for (const char*& l : x.ask_lines)
            l = tr(l);
        t = x;
    }
    return *t;
}

std::string lista(const TextList& l) {
    std::string out = "[";
    for (std::size_t i = 0; i < l.size(); ++i) {
        if (i) out += ",";
        out += l[i];
    }
    return out + "]";
}

// Clears what a load of the kind clears first (step 2): the group, the name, what the
// previous base of the kind left behind (its numbering verdict, the error of mutually
// exclusive conditions found with it, the constraint index of a run).
void kasowanie_przed_ladowaniem(Session& s, ConstraintKind k) {
    usun_baze_ograniczen(s, k);
    zapomnij_werdykt_numerow(s, texts(k).base_kind);
    if (k == ConstraintKind::Exact) s.inference.blad_wykluczajacych.clear();
    // The findings of the joint diagnoses with the previous base of the kind.
    s.verify.laczne[k == ConstraintKind::Exact ? 0 : 1].clear();
    s.verify.regula_testowana.clear();
}

std::string tekst_pliku(const std::string& path) {
    auto bytes = read_file_bytes(path);
    if (!bytes) return {};
    auto text = decode_file_text(*bytes);
    return text ? *text : std::string();
}

void przeglad_ograniczen(Session& s, ConstraintKind k) {
    const Table<Ograniczenie>& t = tabela_ograniczen(s, k);
    if (t.empty()) return s.ui.note(tr("Uwaga błąd!"), tr("Brak bazy ograniczeń!"));
    s.ui.browse_records(constraint_record_window(s, k == ConstraintKind::Uncertain));
}

void przeglad_wszystkich(Session& s, ConstraintKind k) {
    if (tabela_ograniczen(s, k).empty()) return s.ui.note(tr("Uwaga błąd!"), tr("Brak bazy ograniczeń!"));
    std::string title, text;
    if (dzialanie_w_bazie_ograniczen(s, k, 1, title, text)) browse_text_window(s, title, text);
}

void edycja(Session& s, ConstraintKind k) {
    const KindInfo& info = kind_info(texts(k).base_kind);
    std::string chosen = s.ui.open_file(info.mask, {info.filter}, texts(k).edit_title);
    if (!chosen.empty()) open_editor_window(s, s.resolve(chosen));
}

void tworzenie(Session& s, ConstraintKind k) {
    const KindTexts& t = texts(k);
    // The loaded base of the kind goes whole: records, name and verdicts.
    kasowanie_przed_ladowaniem(s, k);
    CreateTexts c;
    c.mask = t.create_mask;
    c.dialog_title = t.create_title;
    c.note_title = t.create_note_title;
    c.note_text = [&t](const std::string& n) {
        return std::string(t.create_note) + n + tr(" została utworzona.");
    };
    c.question_title = t.create_question_title;
    c.question_text = [&t](const std::string& n) { return std::string(t.create_question) + n + " ?"; };
    create_base_file(s, c);
}

void kasowanie(Session& s, ConstraintKind k) {
    const KindTexts& t = texts(k);
    DeleteTexts d;
    d.mask = t.create_mask;
    d.filters = {kind_info(t.base_kind).filter};
    d.dialog_title = t.delete_title;
    d.question_title = t.delete_question_title;
    d.question_text = [&t](const std::string& n) { return std::string(t.delete_question) + n + " ?"; };
    d.note_text = [&t](const std::string& n) {
        return std::string(t.delete_note) + n + tr(" została usunięta.");
    };
    const BaseName& name = nazwa_ograniczen(s, k);
    const std::string loaded = name.full_path.empty() ? std::string() : *name.full_path.first();
    // Deleting the file of the loaded base unloads it.
    if (delete_base_file(s, d) && !loaded.empty() && !file_exists(loaded)) kasowanie_przed_ladowaniem(s, k);
}

}  // namespace

Table<Ograniczenie>& tabela_ograniczen(Session& s, ConstraintKind k) {
    return k == ConstraintKind::Exact ? s.kb.exact.ograniczenie : s.kb.uncertain.ograniczenie_n;
}

BaseName& nazwa_ograniczen(Session& s, ConstraintKind k) {
    return k == ConstraintKind::Exact ? s.kb.nazwa_og : s.kb.nazwa_op;
}

void usun_baze_ograniczen(Session& s, ConstraintKind k) {
    if (k == ConstraintKind::Exact)
        s.kb.exact = ExactConstraintGroup{};
    else
        s.kb.uncertain = UncertainConstraintGroup{};
    nazwa_ograniczen(s, k).clear();
    s.kb.jestem_tu.clear();
    s.inference.constraint_index.reset();
}

bool wykrywanie_ograniczen_pojedynczych(Session& s, ConstraintKind k) {
    const KindTexts& t = texts(k);
    const std::string name = nazwa_ograniczen(s, k).name();
    for (const auto& o : tabela_ograniczen(s, k)) {
        if (o.exclusive_conditions.size() >= 2) continue;
        const std::string n = std::to_string(o.constraint_number);
        const std::string l = lista(o.exclusive_conditions);
        piszln(s, t.single_first + name);
        piszln(s, tr("ma ograniczenie ") + n + t.single_list);
        piszln(s, tr("wzajemnie wykluczających się, zawierającą mniej niż dwa warunki: ") + l);
        piszln(s, t.single_path);
        piszln(s, tr("wybierz opcję 'Edycja bazy ograniczeń',"));
        piszln(s, tr("wybierz błędną bazę i usuń błąd."));
        s.ui.note(tr("Uwaga błąd!"), t.single_note_first + name + tr("\nma ograniczenie ") + n +
                                         tr(".\nz listą warunków dopytywalnych wzajemnie wykluczających się,"
                                            "\nzawierającą mniej niż dwa warunki:\n\n") +
                                         l + t.single_note_path);
        usun_baze_ograniczen(s, k);
        return false;
    }
    return true;
}

bool kontrola_dopytywalnosci_ograniczen(Session& s, ConstraintKind k) {
    const KindTexts& t = texts(k);
    const Table<TextList>& ref = s.kb.nazwa_mo.loaded() ? s.models.lista_warunkow_i_argumentow_dopytywalnych
                                                        : s.kb.lista_warunkow_dopytywalnych;
    std::unordered_set<std::string> askable;
    if (const TextList* l = ref.first()) askable.insert(l->begin(), l->end());
    const std::string name = nazwa_ograniczen(s, k).name();
    for (const auto& o : tabela_ograniczen(s, k)) {
        for (const auto& c : o.exclusive_conditions) {
            if (askable.count(c)) continue;
            const std::string n = std::to_string(o.constraint_number);
            piszln(s, t.ask_lines[0]);
            piszln(s, t.ask_lines[1]);
            piszln(s, tr("Warunek '") + c + tr("' w ograniczeniu ") + n + t.ask_where + name +
                          tr(" nie jest warunkiem dopytywalnym."));
            piszln(s, tr("Możesz:"));
            piszln(s, t.ask_option1);
            piszln(s, t.ask_option1_edit);
            piszln(s, tr(" załadować błędną bazę ograniczeń i usunąć błędne ograniczenie,"));
            piszln(s, tr(" lub: "));
            piszln(s, t.ask_option2);
            piszln(s, t.ask_option2_edit);
            piszln(s, tr(" i wprowadzić do odpowiedniej reguły pominięty warunek dopytywalny."));
            s.ui.note(tr("Uwaga błąd!"), t.ask_note_first + c + tr("\nw ograniczeniu ") + n +
                                             tr(" bazy ograniczeń\n   ") + name + t.ask_note_tail);
            usun_baze_ograniczen(s, k);
            return false;
        }
    }
    return true;
}

std::string ladowanie_bazy_ograniczen(Session& s, ConstraintKind k) {
    const KindTexts& t = texts(k);
    const bool exact = k == ConstraintKind::Exact;
    LoadSteps st;
    st.kind = t.base_kind;
    st.marker = "TAK";
    st.precondition = [&s, &t] {
        if (!s.kb.nazwa_re.loaded()) {
            // Nothing can be loaded without the rules whose conditions the constraints name.
            s.ui.note(tr("Uwaga!"), t.no_rule_base);
            return false;
        }
        // Neither a contradictory rule base nor one jointly contradictory with its models.
        return ladowanie_ograniczen_i_rad_dozwolone(s);
    };
    st.clear = [&s, k] { kasowanie_przed_ladowaniem(s, k); };
    st.after_load = [&s, &t, k, exact] {
        if (!wykrywanie_ograniczen_pojedynczych(s, k)) return false;
        if (!kontrola_dopytywalnosci_ograniczen(s, k)) return false;
        s.kb.jestem_tu.clear();
        const std::string name = nazwa_ograniczen(s, k).name();
        piszln(s, t.loaded_line + name + tr("została załadowana!"));
        s.ui.note(t.note_title, t.note_first + name + tr("\nzostała załadowana."));
        if (!(exact ? testuj_numery_ograniczen_dokladnych(s) : testuj_numery_ograniczen_niepewnych(s)))
            return false;
        // The models of one result must now be shown exclusive by these constraints.
        if (exact && !run_load_check(s.diagnoses.model_results, s)) return false;
        s.kb.jestem_tu.clear();
        run_load_diagnosis(
            exact ? s.diagnoses.exact_constraint_diagnoses : s.diagnoses.uncertain_constraint_diagnoses, s);
        return true;
    };
    st.syntax_error_branch = [&s, &t] {
        for (const char* l : t.a_lines)
            piszln(s, l);
        s.ui.note(tr("Uwaga błąd!"), t.a_note);
    };
    st.empty_lines_branch = [&s, &t] {
        piszln(s, std::string(t.b_first) + tr("Baza zawiera puste linie!"));
        piszcr(s);
        piszln(s, t.b_lines[0]);
        piszln(s, t.b_lines[1]);
        piszln(s, std::string(t.b_lines[2]) + tr("które najczęściej są na końcu bazy."));
        s.ui.note(tr("Uwaga błąd!"), t.b_note);
    };
    return run_load_sequence(s, st);
}

bool dzialanie_w_bazie_ograniczen(Session& s, ConstraintKind k, int option, std::string& title,
                                  std::string& text) {
    const BaseName& name = nazwa_ograniczen(s, k);
    switch (option) {
        case 1:
            if (tabela_ograniczen(s, k).empty() || !name.loaded()) {
                piszln(s, tr(" Brak bazy ograniczeń do przeglądania."));
                s.ui.note(tr("Uwaga!"), tr("Brak bazy ograniczeń do przeglądania!"));
                return false;
            }
            title = texts(k).browse_title + name.name();
            text = tekst_pliku(name.full_path.empty() ? std::string() : *name.full_path.first());
            return true;
        default:
            // Options 5 and 6 are the joint diagnoses of rules with constraints; their
            // report commands are registered by the verification module.
            return false;
    }
}

void register_constraint_commands(CommandRegistry& r) {
    for (ConstraintKind k : {ConstraintKind::Exact, ConstraintKind::Uncertain}) {
        const int base = k == ConstraintKind::Exact ? 10093 : 10103;
        r.set(base, [k](Session& s) {
            if (ladowanie_bazy_ograniczen(s, k).empty()) return;
            if (k == ConstraintKind::Exact)
                enable_exact_loaded_set(s);
            else
                enable_uncertain_loaded_set(s);
        });
        r.set(base + 2, [k](Session& s) { przeglad_ograniczen(s, k); });
        r.set(base + 3, [k](Session& s) { przeglad_wszystkich(s, k); });
        r.set(base + 4, [k](Session& s) { edycja(s, k); });
        r.set(base + 5, [k](Session& s) { tworzenie(s, k); });
        r.set(base + 6, [k](Session& s) { kasowanie(s, k); });
    }
}

}  // namespace zuva
