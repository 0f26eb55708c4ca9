// The command lines of `zuva diff` and `zuva show`. The bases of each version are grouped as
// `zuva check` groups them (a rule base and the bases of its name beside it) and paired by
// kind; the comparison itself is shell/version_diff's, the cases' impact testing/case_impact's.
#include "cli/diff_command.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <set>

#include "kb/base_files.h"
#include "shell/version_diff.h"
#include "testing/case_impact.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {

namespace {

const char* const kDiffUsage =
    N_("Użycie: zuva diff STARA NOWA [--cases PLIK.TST]... [--format text|json] [--no-check]\n"
       "  porównuje dwie wersje bazy wiedzy według znaczenia: reguły, modele i ograniczenia według\n"
       "  numerów (warunki i człony ograniczeń jako zbiory, CF jako liczby), reguła o innym numerze,\n"
       "  poza tym równa, jako przeniesiona; pozostałe rekordy jako zbiór; oraz ustalenia zuva check,\n"
       "  które się pojawiły lub zniknęły (bez nich: --no-check).\n"
       "  --cases: przypadki testowe uruchomione na obu wersjach; wypisuje te, których wyniki się\n"
       "  zmieniły (wnioski z CF przed i po, reguły i modele o zmienionym wkładzie, przypadek, który\n"
       "  przechodził, a teraz nie przechodzi, lub odwrotnie).\n"
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

std::string cf_json(bool present, const std::optional<double>& cf) {
    return present && cf ? testing::cf_text(*cf) : "null";
}

std::string numbers_json(const std::vector<int>& numbers) {
    std::string out = "[";
    for (std::size_t i = 0; i < numbers.size(); ++i)
        out += (i ? "," : "") + std::to_string(numbers[i]);
    return out + "]";
}

std::string impacts_json(const testing::CaseImpacts& impacts) {
    std::string out = "{\"run\":" + std::to_string(impacts.run) +
                      ",\"skipped\":" + std::to_string(impacts.skipped) + ",\"changed\":[";
    for (std::size_t i = 0; i < impacts.changed.size(); ++i) {
        const testing::CaseImpact& c = impacts.changed[i];
        out += std::string(i ? "," : "") + "{\"file\":" + json_string(c.file) +
               ",\"line\":" + std::to_string(c.line) + ",\"case\":" + json_string(c.name) +
               ",\"passed_before\":" + (c.passed_before ? "true" : "false") +
               ",\"passed_after\":" + (c.passed_after ? "true" : "false") +
               ",\"failure_before\":" + json_string(c.failure_before) +
               ",\"failure_after\":" + json_string(c.failure_after) + ",\"conclusions\":[";
        for (std::size_t k = 0; k < c.conclusions.size(); ++k) {
            const testing::ConclusionMove& m = c.conclusions[k];
            out += std::string(k ? "," : "") + "{\"name\":" + json_string(m.name) +
                   ",\"in_before\":" + (m.in_before ? "true" : "false") +
                   ",\"in_after\":" + (m.in_after ? "true" : "false") +
                   ",\"cf_before\":" + cf_json(m.in_before, m.before) +
                   ",\"cf_after\":" + cf_json(m.in_after, m.after) + "}";
        }
        out += "],\"rules\":" + numbers_json(c.rules) + ",\"models\":" + numbers_json(c.models) + "}";
    }
    return out + "]}";
}

// A conclusion's CF in one version as a FAIL line says it: "CF 0.7", "brak CF", "brak wniosku".
std::string cf_said(bool present, const std::optional<double>& cf) {
    if (!present) return tr("brak wniosku");
    return cf ? "CF " + testing::cf_text(*cf) : std::string(tr("brak CF"));
}

std::string numbers_text(const std::vector<int>& numbers) {
    std::string out;
    for (std::size_t i = 0; i < numbers.size(); ++i)
        out += (i ? ", " : "") + std::to_string(numbers[i]);
    return out;
}

void print_impacts(const testing::CaseImpacts& impacts, std::ostream& out) {
    out << tr("Przypadki testowe: uruchomione na obu wersjach ") << impacts.run
        << tr(", ze zmienionymi wynikami ") << impacts.changed.size();
    if (impacts.skipped > 0) out << tr(", pominięte (innych baz reguł) ") << impacts.skipped;
    out << ".\n";
    for (const testing::CaseImpact& c : impacts.changed) {
        out << c.file << ":" << c.line << tr(": przypadek \"") << c.name << "\"";
        if (c.passed_before && !c.passed_after)
            out << tr(": przechodził, teraz nie przechodzi (") << c.failure_after << ")";
        else if (!c.passed_before && c.passed_after)
            out << tr(": nie przechodził, teraz przechodzi");
        else
            out << (c.passed_after ? tr(": przechodzi w obu wersjach")
                                   : tr(": nie przechodzi w obu wersjach"));
        out << "\n";
        for (const testing::ConclusionMove& m : c.conclusions)
            out << tr("  wniosek ") << m.name << ": " << cf_said(m.in_before, m.before) << " → "
                << cf_said(m.in_after, m.after) << "\n";
        if (!c.rules.empty()) out << tr("  reguły o zmienionym wkładzie: ") << numbers_text(c.rules) << "\n";
        if (!c.models.empty())
            out << tr("  modele o zmienionym wkładzie: ") << numbers_text(c.models) << "\n";
    }
}

}  // namespace

int diff_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> paths, case_files;
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
        } else if (a == "--cases") {
            if (i + 1 >= args.size()) {
                err << tr("zuva diff: po --cases: plik przypadków testowych\n") << tr(kDiffUsage);
                return 2;
            }
            case_files.push_back(args[++i]);
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
    std::vector<testing::CaseFile> suites;
    for (const auto& path : case_files) {
        testing::CaseFileError e;
        auto suite = testing::read_case_file(path, e);
        if (!suite) {
            err << e.text() << "\n";
            return 2;
        }
        suites.push_back(std::move(*suite));
    }
    VersionDiff d;
    if (auto e = compare_versions(paths[0], paths[1], check, d)) {
        err << e->file;
        if (e->line > 0) err << ":" << e->line << ":" << e->column;
        err << ": " << e->message << "\n";
        return 2;
    }
    const std::vector<BaseChange>& changes = d.changes;
    const std::vector<std::string>& files = d.files;
    const std::vector<std::string>&appeared = d.appeared, &disappeared = d.disappeared;
    std::optional<testing::CaseImpacts> impacts;
    if (!case_files.empty()) {
        if (d.before_rule_base.empty() || d.after_rule_base.empty()) {
            err << tr("zuva diff: przypadki testowe wymagają bazy reguł w obu wersjach\n");
            return 2;
        }
        impacts = testing::case_impacts(suites, d.before_rule_base, d.after_rule_base);
    }
    const bool equal = d.equal();
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
            for (std::size_t k = 0; k < c.details.size(); ++k)
                out << (k ? "," : "") << json_string(c.details[k]);
            out << "]}";
        }
        out << "],\"findings_appeared\":[";
        for (std::size_t i = 0; i < appeared.size(); ++i)
            out << (i ? "," : "") << json_string(appeared[i]);
        out << "],\"findings_disappeared\":[";
        for (std::size_t i = 0; i < disappeared.size(); ++i)
            out << (i ? "," : "") << json_string(disappeared[i]);
        out << "]";
        if (impacts) out << ",\"cases\":" << impacts_json(*impacts);
        out << "}\n";
    } else {
        out << version_diff_text(d);
        if (impacts) print_impacts(*impacts, out);
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
