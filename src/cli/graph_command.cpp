// The command line of `zuva graph`: the options, the base opened through the session API
// (as `zuva check` groups the bases), the DOT text drawn by draw/ and written to a file or
// standard output.
#include "cli/graph_command.h"

#include <ostream>

#include "draw/render.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "zuva/zuva.h"

namespace zuva {

namespace {

const char* const kGraphUsage = N_(
    "Użycie: zuva graph PLIK [--focus NAZWA] [--depth N] [--up|--down] [--format svg|dot|png] [--out PLIK]\n"
    "  rysuje sieć bazy wiedzy PLIKU (RE*.BEN) i baz tej samej nazwy wyróżniającej obok niej:\n"
    "  warunki dopytywalne, wnioski, reguły, modele, ograniczenia; reguły w kole na czerwono,\n"
    "  reguły, które nigdy nie zostaną zastosowane, na szaro.\n"
    "  --focus NAZWA   tylko otoczenie nazwy (warunku, wniosku, argumentu, \"reguła N\", \"model N\")\n"
    "  --depth N       do N kroków od niej (domyślnie 2); --up tylko w górę (skąd wynika),\n"
    "                  --down tylko w dół (co z niej wynika)\n"
    "  --format        svg (domyślny), png albo dot (tekst Graphviza bez rozmieszczenia)\n"
    "  --out PLIK      zapis do pliku zamiast na standardowe wyjście\n"
    "  Bez --focus baza większa niż kilkaset węzłów jest rysowana jako przegląd samych wniosków.\n");

bool value_after(const std::vector<std::string>& args, std::size_t& i, std::string& v, std::ostream& err) {
    if (i + 1 >= args.size()) {
        err << tr("zuva graph: brak wartości po ") << args[i] << "\n" << tr(kGraphUsage);
        return false;
    }
    v = args[++i];
    return true;
}

}  // namespace

int graph_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    api::GraphOptions o;
    std::string file, format = "svg", target;
    bool up = false, down = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string v;
        if (a == "--focus") {
            if (!value_after(args, i, o.focus, err)) return 2;
        } else if (a == "--depth") {
            if (!value_after(args, i, v, err)) return 2;
            const bool digits =
                !v.empty() && v.size() <= 4 && v.find_first_not_of("0123456789") == std::string::npos;
            if (!digits || std::stoi(v) < 1) {
                err << tr("zuva graph: głębokość musi być liczbą całkowitą od 1 do 9999, a jest '") << v
                    << "'\n";
                return 2;
            }
            o.depth = std::stoi(v);
        } else if (a == "--up") {
            up = true;
        } else if (a == "--down") {
            down = true;
        } else if (a == "--format") {
            if (!value_after(args, i, format, err)) return 2;
            if (format != "svg" && format != "dot" && format != "png") {
                err << tr("zuva graph: nieznany format '") << format << tr("' (svg, dot lub png)\n")
                    << tr(kGraphUsage);
                return 2;
            }
        } else if (a == "--out") {
            if (!value_after(args, i, target, err)) return 2;
        } else if (a == "--help" || a == "-h") {
            out << tr(kGraphUsage);
            return 0;
        } else if (a.size() > 1 && a[0] == '-') {
            err << tr("zuva graph: nieznany argument '") << a << "'\n" << tr(kGraphUsage);
            return 2;
        } else if (file.empty()) {
            file = a;
        } else {
            err << tr("zuva graph: podaj jeden plik bazy reguł\n") << tr(kGraphUsage);
            return 2;
        }
    }
    if (file.empty()) {
        err << tr("zuva graph: nie podano pliku bazy reguł\n") << tr(kGraphUsage);
        return 2;
    }
    if (up && down) {
        err << tr("zuva graph: --up i --down wykluczają się (bez nich: w obie strony)\n");
        return 2;
    }
    if ((up || down) && o.focus.empty()) {
        err << tr("zuva graph: --up i --down dotyczą otoczenia nazwy z --focus\n");
        return 2;
    }
    o.up = !down;
    o.down = !up;
    api::Graph g;
    try {
        g = api::KnowledgeBase::open(file).graph_view(o);
    } catch (const api::Error& e) {
        err << "zuva graph: " << e.what() << "\n";
        return o.focus.empty() || !e.file().empty() ? 1 : 2;
    }
    if (g.overview)
        err << tr("zuva graph: baza ma ") << g.network_nodes
            << tr(" węzłów; narysowano przegląd samych wniosków (") << g.names.size()
            << tr("). Szczegóły: zuva graph ") << file << " --focus NAZWA [--depth N]\n";
    std::string bytes = g.dot;
    if (format != "dot") {
        const draw::Drawing d = draw::render(g.dot, format);
        if (!d.ok) {
            err << "zuva graph: " << d.error << "\n";
            return 1;
        }
        bytes = d.data;
    }
    if (target.empty() || target == "-") {
        out << bytes;
        out.flush();
        return out ? 0 : 1;
    }
    if (!write_file_bytes(target, bytes)) {
        err << tr("zuva graph: nie można zapisać pliku ") << target << "\n";
        return 1;
    }
    return 0;
}

}  // namespace zuva
