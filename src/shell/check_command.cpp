// The command line of `zuva check`: its options, one knowledge base per file named, the
// exit status.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "shell/check.h"
#include "shell/check_filters.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {

namespace {

const char* const kCheckUsage =
    N_("Użycie: zuva check [--format text|json] [--no-diagnoses] [--no-anomalies] [--warnings-as-errors] "
       "PLIK...\n"
       "  PLIK to baza reguł (RE*.BEN); bazy tej samej nazwy wyróżniającej z jej katalogu\n"
       "  są sprawdzane razem z nią. Stan wyjścia: 0 bez błędów, 1 są błędy, 2 złe argumenty\n"
       "  lub plik nie do odczytania.\n"
       "  --disable RODZAJ pomija ustalenia tego rodzaju, --warn RODZAJ czyni je ostrzeżeniami\n"
       "  (także przy --warnings-as-errors), --enable RODZAJ włącza rodzaj domyślnie wyłączony\n"
       "  (missing-text: pytanie bez tekstu w bazie tekstów); to samo w pliku zuva-check.conf\n"
       "  obok bazy reguł, wiersz na rodzaj: disable RODZAJ, warn RODZAJ albo enable RODZAJ.\n");

// The usage with every kind of finding.
std::string usage() {
    std::string u = tr(kCheckUsage);
    u += tr("  Rodzaje ustaleń:");
    for (const auto& k : check::finding_kinds())
        u += " " + k;
    return u + "\n";
}

}  // namespace

int check_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CheckOptions o;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--format" || a.rfind("--format=", 0) == 0) {
            std::string v;
            if (a == "--format") {
                if (i + 1 >= args.size()) {
                    err << tr("zuva check: brak wartości po --format\n") << tr(kCheckUsage);
                    return 2;
                }
                v = args[++i];
            } else {
                v = a.substr(9);
            }
            if (v != "text" && v != "json") {
                err << tr("zuva check: nieznany format '") << v << tr("' (text lub json)\n")
                    << tr(kCheckUsage);
                return 2;
            }
            o.json = v == "json";
        } else if (a == "--no-diagnoses") {
            o.diagnoses = false;
        } else if (a == "--no-anomalies") {
            o.anomalies = false;
        } else if (a == "--warnings-as-errors") {
            o.warnings_as_errors = true;
        } else if (a == "--disable" || a == "--warn" || a == "--enable") {
            if (i + 1 >= args.size() || !check::finding_kinds().count(args[i + 1])) {
                err << tr("zuva check: po ") << a << tr(" podaj rodzaj ustaleń\n") << usage();
                return 2;
            }
            (a == "--disable" ? o.disabled : a == "--warn" ? o.warned : o.enabled).insert(args[++i]);
        } else if (a == "--help" || a == "-h") {
            out << usage();
            return 0;
        } else if (a.size() > 1 && a[0] == '-') {
            err << tr("zuva check: nieznany argument '") << a << "'\n" << tr(kCheckUsage);
            return 2;
        } else {
            files.push_back(a);
        }
    }
    if (files.empty()) {
        err << tr("zuva check: nie podano pliku bazy reguł\n") << tr(kCheckUsage);
        return 2;
    }
    int status = 0;
    for (const auto& f : files) {
        // A team's settings beside the base; the command line adds to them.
        CheckOptions with_conf = o;
        const std::string conf =
            directory_of(f).empty() ? "zuva-check.conf" : directory_of(f) + "/zuva-check.conf";
        if (auto bytes = read_file_bytes(conf)) {
            CheckOptions from_file;
            auto text = decode_file_text(*bytes);
            auto problem = text ? check::read_check_conf(conf, *text, from_file)
                                : std::optional<std::string>(conf + ":1: plik nie jest tekstem");
            if (problem) {
                err << "zuva check: " << *problem << "\n";
                return 2;
            }
            for (const auto& k : from_file.disabled)
                if (!o.warned.count(k)) with_conf.disabled.insert(k);
            for (const auto& k : from_file.warned)
                if (!o.disabled.count(k)) with_conf.warned.insert(k);
            for (const auto& k : from_file.enabled)
                with_conf.enabled.insert(k);
        }
        CheckResult r = check_knowledge_base(f, with_conf);
        out << (o.json ? format_findings_json(r) : format_findings_text(r));
        out.flush();
        if (r.unreadable) {
            err << tr("zuva check: nie można odczytać pliku ") << f << "\n";
            status = 2;
        } else if (r.errors() > 0 && status == 0) {
            status = 1;
        }
    }
    return status;
}

}  // namespace zuva
