// The generic parts of loading, creating and deleting base files; the kind-specific
// texts and after-load steps come from the caller.
#include "kb/base_files.h"

#include <array>
#include <vector>

#include "session/session.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {

const KindInfo& kind_info(BaseKind kind) {
    static const KindInfo infos[] = {
        {BaseKind::Rules,
         "RE",
         "RE*.BEN",
         {N_("Bazy reguł (RE*.BEN)"), "RE*.BEN"},
         N_("Wybierz nazwę bazy reguł: ")},
        {BaseKind::Models,
         "MO",
         "MO*.BEN",
         {N_("Bazy modeli elementarna niepewna  (MO*.BEN)"), "mo*.BEN"},
         N_("Wybierz nazwę bazy modeli : ")},
        {BaseKind::ExactConstraints,
         "OG",
         "OG*.BEN",
         {N_("Bazy ograniczeń dokładna (OG*.BEN)"), "OG*.BEN"},
         N_("Wybierz nazwę bazy ograniczeń  dokładnej: ")},
        {BaseKind::UncertainConstraints,
         "ON",
         "ON*.BEN",
         {N_("Bazy ograniczeń niepewna (ON*.BEN)"), "ON*.BEN"},
         N_("Wybierz nazwę bazy ograniczeń niepewnej: ")},
        {BaseKind::Advice,
         "RA",
         "RA*.BEN",
         {N_("Bazy rad (RA*.BEN)"), "ra*.BEN"},
         N_("Wybierz nazwę  bazy rad : ")},
        {BaseKind::Graphics,
         "GR",
         "GR*.BEN",
         {N_("Bazy grafiki (GR*.BEN)"), "gr*.BEN"},
         N_("Podaj nazwę istniejącej bazy grafiki : ")},
        {BaseKind::Sounds,
         "DŹ",
         "DŹ*.BEN",
         {N_("Bazy dźwięków (DŹ*.BEN)"), "DŹ*.BEN"},
         N_("Wskaż nazwę bazy dźwięków : ")},
        {BaseKind::Report,
         "",
         "*.rpt",
         {N_("Pliki raportów"), "*.rpt"},
         N_("Wybierz raport do przeczytania : ")},
        {BaseKind::Texts,
         "TE",
         "TE*.BEN",
         {N_("Bazy tekstów (TE*.BEN)"), "TE*.BEN"},
         N_("Wybierz nazwę bazy tekstów : ")},
    };
    // The texts in the language of the thread, made once for each language.
    thread_local std::array<std::vector<KindInfo>, 2> shown;
    std::vector<KindInfo>& in_language = shown[static_cast<int>(thread_language())];
    if (in_language.empty())
        for (const KindInfo& i : infos) {
            KindInfo k = i;
            k.filter.description = tr(i.filter.description);
            k.open_title = tr(i.open_title);
            in_language.push_back(std::move(k));
        }
    return in_language[static_cast<int>(kind)];
}

namespace {

// Byte length of the UTF-8 character at i.
size_t char_len(const std::string& s, size_t i) {
    auto b = static_cast<unsigned char>(s[i]);
    size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 1;
    return std::min(n, s.size() - i);
}

bool is_name_char(const std::string& s, size_t i, size_t n) {
    if (n == 1) {
        char c = s[i];
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    }
    static const std::string polish = "ąćęłńóśźżĄĆĘŁŃÓŚŹŻ";
    std::string ch = s.substr(i, n);
    for (size_t k = 0; k < polish.size(); k += char_len(polish, k))
        if (polish.compare(k, char_len(polish, k), ch) == 0) return true;
    return false;
}

}  // namespace

std::pair<std::string, std::string> split_distinguishing_name(const std::string& short_name) {
    // Skip the two-character prefix (characters, not bytes: "DŹ").
    size_t i = 0;
    for (int k = 0; k < 2 && i < short_name.size(); ++k)
        i += char_len(short_name, i);
    std::string rest = short_name.substr(i);
    if (rest.empty()) return {"", ""};
    size_t j = 0;
    while (j < rest.size()) {
        size_t n = char_len(rest, j);
        if (!is_name_char(rest, j, n)) break;
        j += n;
    }
    if (j == 0) j = char_len(rest, 0);
    return {rest.substr(0, j), rest.substr(j)};
}

void pamietaj_wyroznik_nazwy(Session& s, const std::string& full_path) {
    auto [token, remainder] = split_distinguishing_name(short_name_of(full_path));
    s.kb.rozszerzenie.insert_front(remainder);
    s.kb.wyroznik.append(token);
}

bool korespondencja(Session& s, const std::string& chosen_full_path) {
    if (!s.kb.nazwa_re.loaded() || s.kb.wyroznik.empty()) return true;
    std::string chosen_short = short_name_of(chosen_full_path);
    if (split_distinguishing_name(chosen_short).first == *s.kb.wyroznik.first()) return true;
    std::string rule_short = s.kb.nazwa_re.name();
    s.helper(tr(" Wybrana baza: \n\n      ") + chosen_full_path +
             tr("\n\n nie odpowiada bazie reguł: \n\n      ") + rule_short +
             tr("\n\n i dlatego nie zostanie załadowana.\n"));
    s.ui.note(tr("Uwaga błąd!"), tr("Wybrana baza\n   ") + chosen_short +
                                     tr("\nnie odpowiada bazie reguł\n   ") + rule_short +
                                     tr("\ni dlatego nie zostanie załadowana."));
    return false;
}

bool obsluga_bledu_konsultacji(Session& s, const ReadError& err, const std::string& full_path) {
    if (err.code == kErrCannotOpen || err.code == kErrEncoding) {
        // Not a syntax error and not empty lines: say what went wrong with the file itself.
        s.helper("\n" + err.detail + "\n\n");
        s.ui.note(tr("Obsługa błędu"), err.detail);
        return false;
    }
    if (err.position <= 0 || err.position >= 30000) return false;
    std::string msg = read_error_message(err.code);
    s.helper(tr("\nBłąd syntaksu w pliku ") + full_path + "\n" + err.line_text + "\n" +
             std::to_string(err.position) + "^\n" + msg + "\n\n");
    s.kb.blad.clear();
    s.kb.blad.append("błąd");
    s.ui.note(tr("Obsługa błędu"), tr("Błąd syntaksu w pliku ") + short_name_of(full_path) + "\n\n" +
                                       err.line_text + "\n" + std::to_string(err.position) + "\n" + msg);
    return false;
}

void record_base_name(Session& s, BaseKind kind, const std::string& full_path) {
    BaseName& n = s.kb.name_of(kind);
    n.short_name.clear();
    n.short_name.insert_front(short_name_of(full_path));
    if (kind == BaseKind::Rules) {
        n.full_path.append(full_path);
        pamietaj_wyroznik_nazwy(s, full_path);
    } else {
        n.full_path.clear();
        n.full_path.insert_front(full_path);
    }
}

std::string run_load_sequence(Session& s, const LoadSteps& st) {
    BaseName& name = s.kb.name_of(st.kind);
    auto fail = [&]() -> std::string {
        bool syntax = !s.kb.blad.empty() && *s.kb.blad.first() == "błąd";
        if (syntax && !name.loaded()) {
            if (st.syntax_error_branch) st.syntax_error_branch();
            s.kb.jestem_tu.clear();
            s.kb.blad.clear();
            return {};
        }
        if (!s.kb.jestem_tu.empty() && !name.loaded()) {
            if (st.empty_lines_branch) st.empty_lines_branch();
            s.kb.jestem_tu.clear();
            return {};
        }
        s.kb.jestem_tu.clear();
        if (st.closing_branch) st.closing_branch();
        return {};
    };

    if (st.precondition && !st.precondition()) return {};
    if (st.clear) st.clear();
    const KindInfo& info = kind_info(st.kind);
    std::string chosen = s.ui.open_file(info.mask, {info.filter}, info.open_title);
    if (chosen.empty()) return fail();
    std::string full = s.resolve(chosen);
    s.current_dir = directory_of(full);
    s.ui.helper_clear();
    if (st.kind != BaseKind::Rules && !korespondencja(s, full)) return fail();
    s.kb.jestem_tu.clear();
    s.kb.jestem_tu.append(st.marker);
    s.kb.blad.clear();
    if (auto err = read_base_file(s, st.kind, full)) {
        if (err->code == kErrCannotOpen || err->code == kErrEncoding) {
            obsluga_bledu_konsultacji(s, *err, full);
            s.kb.jestem_tu.clear();
            return {};
        }
        obsluga_bledu_konsultacji(s, *err, full);
        return fail();
    }
    record_base_name(s, st.kind, full);
    if (st.before_success && !st.before_success()) {
        s.kb.jestem_tu.clear();
        return {};
    }
    if (st.success) st.success(name.name());
    bool ok = !st.after_load || st.after_load();
    s.kb.jestem_tu.clear();
    if (!ok) return fail();
    return full;
}

std::string create_base_file(Session& s, const CreateTexts& t) {
    std::string chosen = s.ui.save_file(t.mask, {}, t.dialog_title);
    if (chosen.empty()) return {};
    std::string full = s.resolve(chosen);
    std::string shortn = short_name_of(full);
    if (!write_file_bytes(full, "")) {
        s.ui.note(tr("Uwaga błąd!"), tr("Nie można utworzyć pliku\n   ") + full + ".");
        return {};
    }
    s.ui.note(t.note_title, t.note_text(shortn));
    int b = s.ui.question(t.question_title, t.question_text(shortn), {tr("&TAK"), tr("&NIE")});
    if (b == 0) open_editor_window(s, full);
    return full;
}

void open_editor_window(Session& s, const std::string& path) {
    int wrap = s.ui.question(tr("Zawiń/rozwiń"), tr("Czy zawijać tekst?"), {tr("&Tak"), tr("&Nie")});
    s.helper(tr("Jeżeli chcesz edytować jeszcze jedną bazę, kliknij w to pole!"));
    s.ui.open_editor(path, wrap == 0);
}

bool delete_base_file(Session& s, const DeleteTexts& t) {
    std::string chosen = s.ui.open_file(t.mask, t.filters, t.dialog_title);
    if (chosen.empty()) return false;
    std::string full = s.resolve(chosen);
    std::string shortn = short_name_of(full);
    int b = s.ui.question(t.question_title, t.question_text(shortn), {tr("Tak"), tr("Nie")});
    if (b != 0) return false;
    if (!remove_file(full)) {
        s.ui.note(tr("Uwaga błąd!"),
                  tr("Nie można usunąć pliku\n   ") + (t.error_names_chosen ? chosen : full) + ".");
        return false;
    }
    s.ui.note(tr("Uwaga!"), t.note_text(shortn));
    return true;
}

std::optional<std::string> base_file_text(Session& s, const std::string& path) {
    auto bytes = read_file_bytes(path);
    CodecError err;
    auto text = bytes ? decode_file_text(*bytes, &err) : std::nullopt;
    if (!text)
        s.ui.note(tr("Uwaga błąd!"), tr("Nie można odczytać pliku\n   ") + path +
                                         (bytes ? "\n" + err.message : std::string(".")));
    return text;
}

}  // namespace zuva
