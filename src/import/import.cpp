// The data-source layer is closed before the rows are converted, so no handle outlives
// the reading whatever the conversion finds.
#include "import/import.h"

#include <unordered_set>

#include "consult/why_asked.h"
#include "import/conversion.h"
#include "import/odbc_source.h"
#include "report/report.h"
#include "session/enabling.h"
#include "session/session.h"
#include "text/i18n.h"

namespace zuva {

namespace {

// The reader's code of a text that does not read as a real number.
constexpr int kErrReal = 1402;

void blad_odbc(Session& s, DataSource& source, const SourceFailure& f) {
    source.close();
    const std::string text = tr("Błąd źródła danych ODBC przy kroku: ") + f.step + ".\n" + f.diagnostic +
                             tr("\nImport został przerwany.");
    piszln(s, text);
    s.ui.note(tr("Uwaga błąd!"), text);
}

std::vector<std::string> shown(const std::vector<std::string>& names) {
    std::vector<std::string> out;
    out.reserve(names.size());
    for (const auto& n : names)
        out.push_back(driver_text(n));
    return out;
}

void report_rejected(Session& s, const std::vector<RejectedRow>& rejected) {
    if (rejected.empty()) return;
    std::string text = tr("Następujące wiersze nie zostały zaimportowane:");
    piszln(s, text);
    for (const auto& r : rejected) {
        const std::string line = tr("wiersz ") + std::to_string(r.row) + ": " + r.reason;
        piszln(s, "   " + line);
        text += "\n" + line;
    }
    s.ui.note(tr("Uwaga!"), text);
}

// The askability tests of the loads: a declared fact must not be a conclusion of the rules
// or of the relational models, a known argument not a result of the arithmetic models.
RowRefusal niedopytywalne(const Session& s) {
    std::unordered_set<std::string> conclusions, results;
    auto add = [](std::unordered_set<std::string>& to, const TextList* l) {
        if (l) to.insert(l->begin(), l->end());
    };
    add(conclusions, s.kb.lista_wnioskow_regul.first());
    add(conclusions, s.models.lista_wnioskow_modeli.first());
    add(results, s.models.lista_wynikow_modeli.first());
    return [conclusions = std::move(conclusions), results = std::move(results)](const std::string& name,
                                                                                bool fact) -> std::string {
        if (fact && conclusions.count(name))
            return tr("fakt '") + name + tr("' nie jest warunkiem dopytywalnym (jest wnioskiem bazy wiedzy)");
        if (!fact && results.count(name))
            return tr("argument '") + name + tr("' nie jest argumentem dopytywalnym (jest wynikiem modelu)");
        return {};
    };
}

}  // namespace

void import_z_zewnetrznego_zrodla(Session& s, DataSource& source) {
    std::vector<std::string> sources;
    if (auto f = source.list_sources(sources)) return blad_odbc(s, source, *f);
    if (sources.empty()) {
        source.close();
        s.ui.note(tr("Uwaga!"), tr("Nie zdefiniowano żadnego źródła danych ODBC.\n"
                                   "Źródła danych definiuje się w pliku ~/.odbc.ini lub /etc/odbc.ini."));
        return;
    }
    auto chosen =
        s.ui.choose_one_prompted(tr("Wybór źródła danych"), tr("Wybierz źródło danych"), shown(sources));
    if (!chosen) return source.close();
    const std::string& name = sources[static_cast<size_t>(*chosen)];
    if (auto f = source.connect(name)) return blad_odbc(s, source, *f);

    std::vector<std::string> tables;
    if (auto f = source.list_tables(tables)) return blad_odbc(s, source, *f);
    if (tables.empty()) {
        source.close();
        s.ui.note(tr("Uwaga!"), tr("Źródło danych ") + driver_text(name) + tr(" nie zawiera tabel."));
        return;
    }
    chosen =
        s.ui.choose_one_prompted(tr("Wybór danych do importu"), tr("Wybierz dane do importu"), shown(tables));
    if (!chosen) return source.close();

    std::string statement;
    if (auto f = source.select_statement(tables[static_cast<size_t>(*chosen)], statement))
        return blad_odbc(s, source, *f);
    piszln(s, driver_text(statement));
    pisz(s, "--> Data loading From row 1 to row ");
    std::vector<ImportRow> rows;
    if (auto f = source.read_rows(statement, rows)) {
        piszcr(s);
        return blad_odbc(s, source, *f);
    }
    pisz(s, std::to_string(rows.size()) + " ...Done\n");
    source.close();

    ConvertedRows c = convert_rows(rows, niedopytywalne(s));
    rows.clear();
    rows.shrink_to_fit();
    s.kb.rules.fakt.reserve(s.kb.rules.fakt.count() + c.facts.size());
    for (auto& f : c.facts) {
        mark_imported(s, f.fact_text, false);
        s.kb.rules.fakt.append(std::move(f));
    }
    for (auto& a : c.arguments) {
        mark_imported(s, a.argument_name, true);
        s.kb.models.argument_znany.append(std::move(a));
    }

    if (c.argument_not_number)
        s.ui.note(tr("Uwaga błąd!"),
                  tr("Wystąpił błąd numer: ") + std::to_string(kErrReal) +
                      tr(",\numiemożliwiający przetworzenie danych(liczb) rzeczywistych.\n\n"
                         "Proszę sprawdzić dane zawarte w arkuszu Excela lub innym źródle "
                         "zewnętrznym."));
    report_rejected(s, c.rejected);

    if (c.fact_lines.empty() && c.argument_lines.empty()) {
        s.ui.note(tr("Uwaga!"), tr("Brak danych do importu z zewnętrznego źródła danych!"));
        return;
    }
    s.ui.show_lists(
        tr("Przegląd zaimportowanych danych"),
        {{tr("Do bazy reguł zostały dodane następujące fakty:"), std::move(c.fact_lines)},
         {tr("Do bazy modeli zostały dodane następujące argumenty znane:"), std::move(c.argument_lines)}});
    disable_commands(s, {cmd::import_dopytywalnych});
}

void register_import_commands(CommandRegistry& r) {
    r.set(cmd::import_dopytywalnych, [](Session& s) {
        OdbcSource source;
        import_z_zewnetrznego_zrodla(s, source);
    });
}

}  // namespace zuva
