// The command line of `zuva check`: its options, one knowledge base per file named, the
// exit status.
#include <ostream>
#include <string>
#include <vector>

#include "shell/check.h"

namespace zuva {

namespace {

const char* const kCheckUsage =
    "Użycie: zuva check [--format text|json] [--no-diagnoses] [--no-anomalies] [--warnings-as-errors] "
    "PLIK...\n"
    "  PLIK to baza reguł (RE*.BEN); bazy tej samej nazwy wyróżniającej z jej katalogu\n"
    "  są sprawdzane razem z nią. Stan wyjścia: 0 bez błędów, 1 są błędy, 2 złe argumenty\n"
    "  lub plik nie do odczytania.\n";

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
                    err << "zuva check: brak wartości po --format\n" << kCheckUsage;
                    return 2;
                }
                v = args[++i];
            } else {
                v = a.substr(9);
            }
            if (v != "text" && v != "json") {
                err << "zuva check: nieznany format '" << v << "' (text lub json)\n" << kCheckUsage;
                return 2;
            }
            o.json = v == "json";
        } else if (a == "--no-diagnoses") {
            o.diagnoses = false;
        } else if (a == "--no-anomalies") {
            o.anomalies = false;
        } else if (a == "--warnings-as-errors") {
            o.warnings_as_errors = true;
        } else if (a == "--help" || a == "-h") {
            out << kCheckUsage;
            return 0;
        } else if (a.size() > 1 && a[0] == '-') {
            err << "zuva check: nieznany argument '" << a << "'\n" << kCheckUsage;
            return 2;
        } else {
            files.push_back(a);
        }
    }
    if (files.empty()) {
        err << "zuva check: nie podano pliku bazy reguł\n" << kCheckUsage;
        return 2;
    }
    int status = 0;
    for (const auto& f : files) {
        CheckResult r = check_knowledge_base(f, o);
        out << (o.json ? format_findings_json(r) : format_findings_text(r));
        out.flush();
        if (r.unreadable) {
            err << "zuva check: nie można odczytać pliku " << f << "\n";
            status = 2;
        } else if (r.errors() > 0 && status == 0) {
            status = 1;
        }
    }
    return status;
}

}  // namespace zuva
