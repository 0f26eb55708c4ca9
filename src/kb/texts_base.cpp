// The texts base is read by the one base-file reader and loaded by the generic load
// sequence; it changes no inference, so it needs only a loaded rule base. Its records are
// indexed by language and name once, after the read.
#include "kb/texts_base.h"

#include "kb/base_files.h"
#include "report/report.h"
#include "session/command_registry.h"
#include "session/enabling.h"
#include "session/session.h"
#include "text/i18n.h"

namespace zuva {

namespace {

std::string key_of(std::string_view language, std::string_view name) {
    std::string k(language);
    k += '\0';
    k += name;
    return k;
}

const std::string* lookup(const std::unordered_map<std::string, std::string>& index, std::string_view name,
                          std::string_view language) {
    if (index.empty()) return nullptr;
    // Without a language named, the language the program's texts are shown in.
    if (language.empty() && thread_language() == Language::english)
        language = language_code(Language::english);
    if (!language.empty()) {
        auto it = index.find(key_of(language, name));
        if (it != index.end()) return &it->second;
    }
    auto it = index.find(key_of({}, name));
    return it == index.end() ? nullptr : &it->second;
}

void go_to_editor_lines(Session& s, const std::string& what) {
    piszln(s, tr("Przejdź do 'Bazy tekstów',"));
    piszln(s, tr("wybierz opcję 'Edycja bazy tekstów',"));
    piszln(s, tr("wybierz błędną bazę i usuń ") + what + ".");
}

void przeglad_bazy(Session& s) {
    const BaseName& name = s.kb.nazwa_te;
    if (!name.loaded() || name.full_path.empty()) {
        s.helper(tr(" Brak bazy tekstów do przeglądania.\n"));
        s.ui.note(tr("Uwaga!"), tr("Brak bazy tekstów do przeglądania!"));
        return;
    }
    auto text = base_file_text(s, *name.full_path.first());
    if (!text) return;
    s.set_title(tr("zuva_EN Przegląd pliku bazy: ") + name.name());
    browse_text_window(s, tr("Przegląd"), *text);
}

void edycja_bazy(Session& s) {
    const KindInfo& info = kind_info(BaseKind::Texts);
    const std::string chosen =
        s.ui.open_file(info.mask, {info.filter}, tr("Wybierz nazwę edytowanej bazy tekstów : "));
    if (chosen.empty()) return;
    open_editor_window(s, s.resolve(chosen));
}

void tworzenie_bazy(Session& s) {
    kasowanie_bazy_tekstow(s.kb);
    CreateTexts t;
    t.mask = kind_info(BaseKind::Texts).mask;
    t.dialog_title = tr("Podaj nazwę nowej bazy tekstów");
    t.note_title = tr("Tworzenie nowej bazy tekstów");
    t.note_text = [](const std::string& n) {
        return tr("Nowa baza tekstów ") + n + tr(" została utworzona.");
    };
    t.question_title = tr("Tworzenie bazy tekstów");
    t.question_text = [](const std::string& n) {
        return tr("Czy chcesz przejść od razu do edycji\nnowej bazy tekstów ") + n + " ?";
    };
    create_base_file(s, t);
}

void kasowanie_bazy_pliku(Session& s) {
    DeleteTexts t;
    t.mask = kind_info(BaseKind::Texts).mask;
    t.filters = {kind_info(BaseKind::Texts).filter};
    t.dialog_title = tr("Wybierz bazę tekstów przeznaczoną do usunięcia");
    t.question_title = tr("Usunięcie bazy tekstów");
    t.question_text = [](const std::string& n) {
        return tr("Czy jesteś pewien, że chcesz usunąć bazę tekstów ") + n + " ?";
    };
    t.note_text = [](const std::string& n) { return tr("Baza tekstów ") + n + tr(" została usunięta."); };
    delete_base_file(s, t);
}

}  // namespace

void kasowanie_bazy_tekstow(KnowledgeBase& kb) {
    kb.texts = TextsGroup{};
    kb.nazwa_te.clear();
}

void index_display_texts(TextsGroup& g) {
    g.text_by_key.clear();
    g.help_by_key.clear();
    for (const auto& r : g.tekst)
        g.text_by_key.emplace(key_of({}, r.name), r.text);
    for (const auto& r : g.tekst_w_jezyku)
        g.text_by_key.emplace(key_of(r.language, r.name), r.text);
    for (const auto& r : g.pomoc)
        g.help_by_key.emplace(key_of({}, r.name), r.text);
    for (const auto& r : g.pomoc_w_jezyku)
        g.help_by_key.emplace(key_of(r.language, r.name), r.text);
}

const std::string* display_text(const KnowledgeBase& kb, std::string_view name, std::string_view language) {
    return lookup(kb.texts.text_by_key, name, language);
}

const std::string* help_text(const KnowledgeBase& kb, std::string_view name, std::string_view language) {
    return lookup(kb.texts.help_by_key, name, language);
}

std::string shown_name(const KnowledgeBase& kb, const std::string& name) {
    const std::string* t = display_text(kb, name);
    return t ? *t + " (" + name + ")" : name;
}

const std::string* dialog_text(const Session& s, std::string_view name) {
    return s.ui.shows_display_texts() ? display_text(s.kb, name) : nullptr;
}

std::string dialog_name(const Session& s, const std::string& name) {
    return s.ui.shows_display_texts() ? shown_name(s.kb, name) : name;
}

std::string ladowanie_bazy_tekstow(Session& s) {
    LoadSteps st;
    st.kind = BaseKind::Texts;
    st.precondition = [&s] {
        if (s.kb.nazwa_re.loaded()) return true;
        s.ui.note(tr("Uwaga!"), tr("Proszę załadować bazę reguł!"));
        return false;
    };
    st.clear = [&s] { kasowanie_bazy_tekstow(s.kb); };
    st.success = [&s](const std::string& name) {
        piszln(s, tr("Baza tekstów ") + name + tr(" została załadowana!"));
        s.ui.note(tr("Baza tekstów została załadowana !"),
                  tr("Baza tekstów\n   ") + name + tr("\nzostała załadowana."));
    };
    st.after_load = [&s] {
        index_display_texts(s.kb.texts);
        return true;
    };
    st.syntax_error_branch = [&s] {
        go_to_editor_lines(s, tr("błąd"));
        s.ui.note(
            tr("Uwaga błąd!"),
            tr("Przejdź do 'Bazy tekstów', wybierz opcję 'Edycja bazy tekstów',\nnastępnie wybierz błędną "
               "bazę i usuń błąd."));
    };
    st.empty_lines_branch = [&s] {
        piszln(s, tr("Błąd w trakcie wczytywania bazy tekstów. Baza zawiera puste linie!"));
        go_to_editor_lines(s, tr("puste linie, które najczęściej są na końcu bazy"));
        s.ui.note(
            tr("Uwaga błąd!"),
            tr("Błąd w trakcie wczytywania bazy tekstów. Baza zawiera puste linie!\nPrzejdź do 'Bazy "
               "tekstów', wybierz opcję 'Edycja bazy tekstów',\nnastępnie wybierz błędną bazę i usuń puste "
               "linie, które najczęściej są na końcu bazy."));
    };
    return run_load_sequence(s, st);
}

void register_texts_commands(CommandRegistry& r) {
    r.set(cmd::ladowanie_bazy_tekstow, [](Session& s) {
        if (!ladowanie_bazy_tekstow(s).empty()) enable_texts_loaded_set(s);
    });
    r.set(cmd::przeglad_bazy_tekstow, przeglad_bazy);
    r.set(cmd::edycja_bazy_tekstow, edycja_bazy);
    r.set(cmd::tworzenie_bazy_tekstow, tworzenie_bazy);
    r.set(cmd::kasowanie_bazy_tekstow, kasowanie_bazy_pliku);
}

}  // namespace zuva
