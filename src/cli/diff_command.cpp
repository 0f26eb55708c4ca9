// The command lines of `zuva diff` and `zuva show`. The bases of each version are grouped as
// `zuva check` groups them (a rule base and the bases of its name beside it) and paired by
// kind; the comparison itself is verify/base_diff's. Findings are compared by their file's
// name, kind and text, not by line: a line moved by an edit above it is no new finding.
#include "cli/diff_command.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <map>
#include <ostream>
#include <set>

#include "kb/base_files.h"
#include "shell/check.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "verify/base_diff.h"

namespace zuva {

namespace {

const char* const kDiffUsage =
    N_("Użycie: zuva diff STARA NOWA [--format text|json] [--no-check]\n"
       "  porównuje dwie wersje bazy wiedzy według znaczenia: reguły, modele i ograniczenia według\n"
       "  numerów (warunki i człony ograniczeń jako zbiory, CF jako liczby), reguła o innym numerze,\n"
       "  poza tym równa, jako przeniesiona; pozostałe rekordy jako zbiór; oraz ustalenia zuva check,\n"
       "  które się pojawiły lub zniknęły (bez nich: --no-check).\n"
       "  STARA i NOWA: pliki baz (baza reguł RE*.BEN z bazami tej samej nazwy obok niej)\n"
       "  albo katalogi z bazą reguł.\n"
       "  Kod wyjścia: 0 równe, 1 różne, 2 błędne argumenty lub nieczytelna baza.\n"
       "  Jako narzędzie git: git difftool -x 'zuva diff' -y\n");

std::string json_string(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            static const char* hex = "0123456789abcdef";
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

const char* type_name(BaseChange::Type t) {
    switch (t) {
        case BaseChange::Type::Added:
            return "added";
        case BaseChange::Type::Removed:
            return "removed";
        case BaseChange::Type::Moved:
            return "moved";
        default:
            return "changed";
    }
}

const char* type_text(BaseChange::Type t) {
    switch (t) {
        case BaseChange::Type::Added:
            return tr("dodany rekord");
        case BaseChange::Type::Removed:
            return tr("usunięty rekord");
        case BaseChange::Type::Moved:
            return tr("przeniesiony rekord");
        default:
            return tr("zmieniony rekord");
    }
}

struct Version {
    std::vector<BaseFileRecords> files;
    std::string rule_base;  // "" when the version has no rule base
};

std::optional<BaseReadFailure> read_version(const std::string& path, Version& v) {
    const auto files = knowledge_base_files(path);
    if (files.empty())
        return BaseReadFailure{path, 0, 0, tr("nie znaleziono bazy wiedzy (pliku RE*.BEN, MO*.BEN, ...)")};
    for (const auto& [kind, file] : files) {
        BaseFileRecords f;
        if (auto e = read_base_records(file, kind, f)) return e;
        if (kind == BaseKind::Rules) v.rule_base = file;
        v.files.push_back(std::move(f));
    }
    return std::nullopt;
}

std::string file_name(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

// The findings of `zuva check` as comparable lines: file name, level, kind and text.
std::multiset<std::string> findings_of(const std::string& rule_base) {
    std::multiset<std::string> out;
    if (rule_base.empty()) return out;
    const CheckResult r = check_knowledge_base(rule_base, CheckOptions{});
    for (const Finding& f : r.findings)
        out.insert(file_name(f.file) + ": " + (f.error ? tr("błąd") : tr("ostrzeżenie")) + " [" + f.kind +
                   "] " + f.message);
    return out;
}

}  // namespace

int diff_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> paths;
    std::string format = "text";
    bool check = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--format") {
            if (i + 1 >= args.size() || (args[i + 1] != "text" && args[i + 1] != "json")) {
                err << tr("zuva diff: po --format: text albo json\n") << tr(kDiffUsage);
                return 2;
            }
            format = args[++i];
        } else if (a == "--no-check") {
            check = false;
        } else if (a == "--help" || a == "-h") {
            out << tr(kDiffUsage);
            return 0;
        } else if (a.size() > 1 && a[0] == '-') {
            err << tr("zuva diff: nieznany argument '") << a << "'\n" << tr(kDiffUsage);
            return 2;
        } else {
            paths.push_back(a);
        }
    }
    if (paths.size() != 2) {
        err << tr("zuva diff: podaj dwie wersje bazy wiedzy\n") << tr(kDiffUsage);
        return 2;
    }
    Version before, after;
    for (auto [path, v] : {std::pair{&paths[0], &before}, std::pair{&paths[1], &after}})
        if (auto e = read_version(*path, *v)) {
            err << e->file;
            if (e->line > 0) err << ":" << e->line << ":" << e->column;
            err << ": " << e->message << "\n";
            return 2;
        }
    // Files paired by kind; a kind in one version only is all added or all removed.
    std::vector<BaseChange> changes;
    std::vector<std::string> files;
    for (int k = 0; k <= static_cast<int>(BaseKind::Sounds); ++k) {
        const BaseKind kind = static_cast<BaseKind>(k);
        BaseFileRecords none_a, none_b;
        const BaseFileRecords* a = &none_a;
        const BaseFileRecords* b = &none_b;
        for (const auto& f : before.files)
            if (f.kind == kind) a = &f;
        for (const auto& f : after.files)
            if (f.kind == kind) b = &f;
        none_a.kind = none_b.kind = kind;
        if (a == &none_a && b == &none_b) continue;
        for (BaseChange& c : diff_base_files(*a, *b)) {
            files.push_back(file_name(c.type == BaseChange::Type::Removed ? a->path : b->path));
            changes.push_back(std::move(c));
        }
    }
    std::vector<std::string> appeared, disappeared;
    if (check) {
        const auto fa = findings_of(before.rule_base), fb = findings_of(after.rule_base);
        std::set_difference(fb.begin(), fb.end(), fa.begin(), fa.end(), std::back_inserter(appeared));
        std::set_difference(fa.begin(), fa.end(), fb.begin(), fb.end(), std::back_inserter(disappeared));
    }
    const bool equal = changes.empty() && appeared.empty() && disappeared.empty();
    if (format == "json") {
        out << "{\"equal\":" << (equal ? "true" : "false") << ",\"changes\":[";
        for (std::size_t i = 0; i < changes.size(); ++i) {
            const BaseChange& c = changes[i];
            out << (i ? "," : "") << "{\"change\":\"" << type_name(c.type)
                << "\",\"file\":" << json_string(files[i]) << ",\"table\":" << json_string(c.table)
                << ",\"key\":" << json_string(c.key);
            if (!c.new_key.empty()) out << ",\"new_key\":" << json_string(c.new_key);
            out << ",\"old_line\":" << c.old_line << ",\"new_line\":" << c.new_line
                << ",\"old\":" << json_string(c.old_text) << ",\"new\":" << json_string(c.new_text)
                << ",\"details\":[";
            for (std::size_t d = 0; d < c.details.size(); ++d)
                out << (d ? "," : "") << json_string(c.details[d]);
            out << "]}";
        }
        out << "],\"findings_appeared\":[";
        for (std::size_t i = 0; i < appeared.size(); ++i)
            out << (i ? "," : "") << json_string(appeared[i]);
        out << "],\"findings_disappeared\":[";
        for (std::size_t i = 0; i < disappeared.size(); ++i)
            out << (i ? "," : "") << json_string(disappeared[i]);
        out << "]}\n";
    } else {
        for (std::size_t i = 0; i < changes.size(); ++i) {
            const BaseChange& c = changes[i];
            const int line = c.type == BaseChange::Type::Removed ? c.old_line : c.new_line;
            out << files[i] << ":" << line << ": " << type_text(c.type) << " " << c.table << " " << c.key;
            if (c.type == BaseChange::Type::Moved) out << " → " << c.new_key;
            if (!c.details.empty()) {
                out << ":";
                for (std::size_t d = 0; d < c.details.size(); ++d)
                    out << (d ? ";" : "") << " " << c.details[d];
            }
            out << "\n";
            if (c.type == BaseChange::Type::Changed)
                out << "  - " << c.old_text << "\n  + " << c.new_text << "\n";
        }
        for (const auto& f : appeared)
            out << tr("nowe ustalenie: ") << f << "\n";
        for (const auto& f : disappeared)
            out << tr("ustalenie znikło: ") << f << "\n";
        if (equal) out << tr("Bazy są równe co do znaczenia.\n");
    }
    out.flush();
    return equal ? 0 : 1;
}

int show_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1 || (!args[0].empty() && args[0][0] == '-' && args[0] != "-")) {
        err << tr(
            "Użycie: zuva show PLIK\n  baza jako tekst UTF-8, jeden rekord w wierszu (dla textconv "
            "gita)\n");
        return args.size() == 1 && (args[0] == "--help" || args[0] == "-h") ? 0 : 2;
    }
    const auto bytes = read_file_bytes(args[0]);
    if (!bytes) {
        err << args[0] << tr(": nie można odczytać pliku\n");
        return 2;
    }
    // The file's own lines, comments and switched-off records included, only converted and
    // with line ends unified: a diff of the output points at the lines of the file.
    const auto text = decode_file_text(*bytes);
    if (!text) {
        err << args[0] << tr(": plik nie jest tekstem w kodzie Windows-1250 ani UTF-8\n");
        return 2;
    }
    std::string t;
    t.reserve(text->size());
    for (std::size_t i = 0; i < text->size(); ++i)
        if ((*text)[i] != '\r' || (i + 1 < text->size() && (*text)[i + 1] != '\n')) t += (*text)[i];
    if (!t.empty() && t.back() != '\n') t += '\n';
    out << t;
    out.flush();
    return out ? 0 : 2;
}

}  // namespace zuva
