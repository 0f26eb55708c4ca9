// Imports a table of 100,000 rows (half facts, half known arguments, decimal commas) from a
// SQLite file through unixODBC and the SQLite ODBC driver: the whole command from the choice
// of the data source to the review dialog; prints the best of five runs in seconds.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "import/import.h"
#include "import/odbc_source.h"
#include "import/sqlite_odbc_env.h"
#include "session/session.h"
#include "ui/scripted_ui.h"

using zuva::testing_support::SqliteOdbcEnv;

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    SqliteOdbcEnv& env = SqliteOdbcEnv::get();
    SqliteOdbcEnv::exec(env.data_file(),
                        "DROP TABLE IF EXISTS pomiary; CREATE TABLE pomiary(rodzaj, nazwa, wartosc)");
    std::vector<std::vector<std::string>> rows;
    rows.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        if (i % 2)
            rows.push_back({"fakt", "warunek_" + std::to_string(i), "0," + std::to_string(i % 10)});
        else
            rows.push_back({"argument_znany", "argument_" + std::to_string(i), std::to_string(i) + ",25"});
    }
    SqliteOdbcEnv::fill(env.data_file(), "pomiary", rows);

    std::vector<std::string> sources;
    zuva::OdbcSource probe;
    probe.list_sources(sources);
    probe.close();
    std::string source_pos;
    for (size_t i = 0; i < sources.size(); ++i)
        if (sources[i] == SqliteOdbcEnv::kData) source_pos = std::to_string(i + 1);

    double best = 1e9;
    for (int rep = 0; rep < 5; ++rep) {
        zuva::ScriptedUi ui({source_pos, "1"});
        zuva::Session s(ui);
        zuva::OdbcSource source;
        auto t0 = std::chrono::steady_clock::now();
        zuva::import_z_zewnetrznego_zrodla(s, source);
        auto t1 = std::chrono::steady_clock::now();
        if (s.kb.rules.fakt.count() + s.kb.models.argument_znany.count() != static_cast<size_t>(n)) {
            std::fprintf(stderr, "import failed:\n%s\n", ui.transcript().substr(0, 2000).c_str());
            return 1;
        }
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
    }
    std::printf("rows: %d  import: %.4f s (target 1 s)\n", n, best);
    return 0;
}
