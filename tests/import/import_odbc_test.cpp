// The import through the real unixODBC driver manager and the SQLite ODBC driver, over
// SQLite files the tests make: the data-source layer on its own, then whole commands
// driven by answer scripts, ending in a forward consultation that uses what was imported.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "import/import.h"
#include "import/odbc_source.h"
#include "session/session.h"
#include "shell/script_loop.h"
#include "sqlite_odbc_env.h"
#include "text/file_io.h"
#include "ui/scripted_ui.h"

using namespace zuva;
using zuva::testing_support::SqliteOdbcEnv;

namespace {

namespace fs = std::filesystem;

class ImportOdbc : public ::testing::Test {
  protected:
    void SetUp() override {
        SqliteOdbcEnv& env = SqliteOdbcEnv::get();
        fs::remove(env.data_file());
        SqliteOdbcEnv::exec(env.data_file(), "SELECT 1");
        dir = env.dir() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(dir);
        fs::copy_file(std::string(ZUVA_TEST_DATA) + "/e2e/RETEST.BEN", dir + "/RETEST.BEN",
                      fs::copy_options::overwrite_existing);
    }
    static void table(const std::string& quoted, const std::vector<std::vector<std::string>>& rows) {
        SqliteOdbcEnv::exec(SqliteOdbcEnv::get().data_file(),
                            "CREATE TABLE " + quoted + " (rodzaj TEXT, nazwa TEXT, wartosc TEXT)");
        SqliteOdbcEnv::fill(SqliteOdbcEnv::get().data_file(), quoted, rows);
    }
    // Position from 1 of a data source in the list the driver manager gives.
    static std::string source_position(const std::string& name) {
        OdbcSource src;
        std::vector<std::string> names;
        EXPECT_FALSE(src.list_sources(names));
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i] == name) return std::to_string(i + 1);
        ADD_FAILURE() << "no data source " << name;
        return "";
    }
    static std::string table_position(const std::string& name) {
        OdbcSource src;
        std::vector<std::string> names;
        EXPECT_FALSE(src.list_sources(names));
        EXPECT_FALSE(src.connect(SqliteOdbcEnv::kData));
        EXPECT_FALSE(src.list_tables(names));
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i] == name) return std::to_string(i + 1);
        ADD_FAILURE() << "no table " << name;
        return "";
    }
    static bool has(const std::string& hay, const std::string& needle) {
        return hay.find(needle) != std::string::npos;
    }
    std::string dir;
};

const std::vector<std::string> kLoad = {"10064", "RETEST.BEN", "Nie", "Nie"};

std::vector<std::string> join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST_F(ImportOdbc, LayerQuotesEveryTableNameAndReadsLongAndNullCells) {
    const std::string hostile = "x\"; DROP TABLE ofiara; --";
    table("\"x\"\"; DROP TABLE ofiara; --\"", {{"fakt", std::string(2000, 'n'), "0,5"}, {"fakt", "pusty"}});
    table("ofiara", {{"fakt", "zostaje", "1"}});
    table("\"z blankiem \"\"i\"\" cudzysłowem\"", {{"argument_znany", "a", "1"}});

    OdbcSource src;
    std::vector<std::string> names;
    ASSERT_FALSE(src.list_sources(names));
    ASSERT_FALSE(src.connect(SqliteOdbcEnv::kData));
    ASSERT_FALSE(src.list_tables(names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"ofiara", hostile, "z blankiem \"i\" cudzysłowem"}));

    std::string statement;
    ASSERT_FALSE(src.select_statement(hostile, statement));
    EXPECT_EQ(statement, "SELECT * FROM \"x\"\"; DROP TABLE ofiara; --\"");
    std::vector<ImportRow> rows;
    ASSERT_FALSE(src.read_rows(statement, rows));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, std::string(2000, 'n'));
    EXPECT_EQ(rows[0].value, "0,5");
    EXPECT_EQ(rows[1].name, "pusty");
    EXPECT_EQ(rows[1].value, "");  // NULL
    // The other table is still there.
    ASSERT_FALSE(src.select_statement("ofiara", statement));
    ASSERT_FALSE(src.read_rows(statement, rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "zostaje");

    // A statement the driver refuses: its message and the step; the layer stays usable.
    auto f = src.read_rows("SELECT * FROM \"nie ma takiej\"", rows);
    ASSERT_TRUE(f);
    EXPECT_TRUE(has(f->step, "wykonanie zapytania")) << f->step;
    EXPECT_TRUE(has(f->diagnostic, "nie ma takiej")) << f->diagnostic;
    src.close();
    EXPECT_TRUE(src.list_tables(names));  // closed: no connection
}

// The whole command: a table whose name has a quote and a blank, facts with decimal
// commas, a capitalised kind ignored, a value that is not a number and a CF out of range
// reported, then a forward run that asks nothing the import declared.
TEST_F(ImportOdbc, ImportedFactsAndArgumentsReachTheForwardConsultation) {
    table("\"pomiary \"\"zima\"\" 2\"", {{"rodzaj", "nazwa", "wartość"},
                                         {"fakt", "b", "0,5"},
                                         {"Fakt", "x", "0.9"},
                                         {"fakt", "e", "0,6"},
                                         {"argument_znany", "temperatura", "36,6"},
                                         {"argument_znany", "ciśnienie", "wysokie"},
                                         {"fakt", "zly", "1,5"}});
    table("inna", {{"fakt", "nie_ta", "1"}});
    const std::string src = source_position(SqliteOdbcEnv::kData);
    const std::string tbl = table_position("pomiary \"zima\" 2");
    ScriptRun run =
        run_script(join(kLoad, {"10065", src, tbl, "10164", "1", "NIE", "1", "NIE", "Nie", "10065"}), dir);
    const std::string& t = run.transcript;
    // The commands after the import ran; the import command was disabled by its review dialog.
    EXPECT_EQ(run.status, kExitScriptError);
    EXPECT_TRUE(has(run.error, "10065")) << run.error;

    EXPECT_TRUE(has(t, "[list] Wybór źródła danych\nWybierz źródło danych\n")) << t;
    EXPECT_TRUE(has(t, ". zuva_dane\n"));
    EXPECT_TRUE(has(t, "[list] Wybór danych do importu\nWybierz dane do importu\n"));
    EXPECT_TRUE(has(t, ". pomiary \"zima\" 2\n"));
    EXPECT_TRUE(
        has(t, "SELECT * FROM \"pomiary \"\"zima\"\" 2\"\n--> Data loading From row 1 to row 7 ...Done\n"))
        << t;
    EXPECT_TRUE(has(t,
                    "[note] Uwaga błąd!\nWystąpił błąd numer: 1402,\numiemożliwiający przetworzenie "
                    "danych(liczb) rzeczywistych.\n\nProszę sprawdzić dane zawarte w arkuszu Excela lub "
                    "innym źródle zewnętrznym.\n"));
    EXPECT_TRUE(has(t,
                    "[note] Uwaga!\nNastępujące wiersze nie zostały zaimportowane:\n"
                    "wiersz 6: wartość 'wysokie' argumentu 'ciśnienie' nie jest liczbą rzeczywistą\n"
                    "wiersz 7: wartość CF '1,5' faktu 'zly' nie jest liczbą z przedziału [-1,1]\n"))
        << t;
    EXPECT_TRUE(has(t,
                    "[lists] Przegląd zaimportowanych danych\n"
                    "Do bazy reguł zostały dodane następujące fakty:\n   b  0.5\n   e  0.6\n"
                    "Do bazy modeli zostały dodane następujące argumenty znane:\n   temperatura  36.6\n"));
    EXPECT_FALSE(has(t, "nie_ta"));

    // The forward run takes b and e as declared facts: nothing is asked, c and d as the base gives.
    const std::string forward = t.substr(t.find("[command] 10164"));
    EXPECT_FALSE(has(forward, "[value]")) << forward;
    EXPECT_TRUE(has(forward, "W bazie reguł są następujące fakty:\n    a(1.0)\n    b(0.5)\n    e(0.6)\n"))
        << forward;
    EXPECT_TRUE(has(forward, "temperatura")) << forward;
    EXPECT_TRUE(has(forward, "    c(0.14)\n"));
    EXPECT_TRUE(has(forward, "    d(0.3)\n"));
}

TEST_F(ImportOdbc, LoadingTheRuleBaseAgainDropsTheImportAndEnablesTheCommand) {
    table("dane", {{"fakt", "b", "1"}});
    const std::string src = source_position(SqliteOdbcEnv::kData);
    ScriptRun run = run_script(
        join(join(kLoad, {"10065", src, "1"}), join(kLoad, {"10065", src, "1", "10164", "1", "NIE", "1"})),
        dir);
    EXPECT_EQ(run.status, kExitOk) << run.error;
    const std::string& t = run.transcript;
    const size_t first = t.find("[lists] Przegląd zaimportowanych danych");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(t.find("[lists] Przegląd zaimportowanych danych", first + 1), std::string::npos);
    // The fact is there once, from the second import only.
    const std::string forward = t.substr(t.find("[command] 10164"));
    EXPECT_TRUE(has(forward, "W bazie reguł są następujące fakty:\n    a(1.0)\n    b(1)\n")) << forward;
    EXPECT_FALSE(has(forward, "    b(1)\n    b(1)\n")) << forward;
}

TEST_F(ImportOdbc, EmptyTableOrRowsOfOtherKindsImportNothingAndKeepTheCommand) {
    table("pusta", {});
    table("naglowki", {{"rodzaj", "nazwa", "wartość"}, {"Fakt", "b", "0.5"}, {"FAKT", "e", "1"}});
    const std::string src = source_position(SqliteOdbcEnv::kData);
    ScriptRun run = run_script(
        join(kLoad, {"10065", src, table_position("pusta"), "10065", src, table_position("naglowki")}), dir);
    EXPECT_EQ(run.status, kExitOk) << run.error;
    const std::string note = "[note] Uwaga!\nBrak danych do importu z zewnętrznego źródła danych!\n";
    const size_t first = run.transcript.find(note);
    ASSERT_NE(first, std::string::npos) << run.transcript;
    EXPECT_NE(run.transcript.find(note, first + 1), std::string::npos);
    EXPECT_TRUE(has(run.helper, "SELECT * FROM \"pusta\"\n--> Data loading From row 1 to row 0 ...Done\n"));
    EXPECT_TRUE(has(run.helper, "--> Data loading From row 1 to row 3 ...Done\n"));
    EXPECT_FALSE(has(run.transcript, "[lists]"));
}

TEST_F(ImportOdbc, SourceThatCannotBeOpenedShowsTheDriverMessageAndImportsNothing) {
    table("dane", {{"fakt", "b", "1"}});
    ScriptedUi ui({source_position(SqliteOdbcEnv::kBroken)});
    Session s(ui);
    OdbcSource source;
    import_z_zewnetrznego_zrodla(s, source);
    const std::string& t = ui.transcript();
    EXPECT_TRUE(has(t,
                    "[note] Uwaga błąd!\nBłąd źródła danych ODBC przy kroku: łączenie ze źródłem danych "
                    "zuva_zepsuta.\n["))
        << t;
    EXPECT_TRUE(has(t, "connect failed")) << t;  // the driver's own text
    EXPECT_TRUE(has(ui.helper_text(), "łączenie ze źródłem danych zuva_zepsuta"));
    EXPECT_FALSE(has(t, "[list] Wybór danych do importu"));
    EXPECT_TRUE(s.kb.rules.fakt.empty());
    // Everything was released: the layer holds no connection any more.
    std::vector<std::string> names;
    EXPECT_TRUE(source.list_tables(names));
}

TEST_F(ImportOdbc, SourceWithoutTablesAndCancelledChoicesEndQuietly) {
    {
        ScriptedUi ui({source_position(SqliteOdbcEnv::kEmpty)});
        Session s(ui);
        OdbcSource source;
        import_z_zewnetrznego_zrodla(s, source);
        EXPECT_TRUE(has(ui.transcript(), "[note] Uwaga!\nŹródło danych zuva_pusta nie zawiera tabel.\n"))
            << ui.transcript();
    }
    table("dane", {{"fakt", "b", "1"}});
    for (const auto& answers :
         std::vector<std::vector<std::string>>{{""}, {source_position(SqliteOdbcEnv::kData), ""}}) {
        ScriptedUi ui(answers);
        Session s(ui);
        OdbcSource source;
        import_z_zewnetrznego_zrodla(s, source);
        EXPECT_FALSE(has(ui.transcript(), "[note]")) << ui.transcript();
        EXPECT_FALSE(has(ui.helper_text(), "SELECT"));
        EXPECT_TRUE(s.kb.rules.fakt.empty());
    }
}

// Rows that the load-time tests would refuse: a fact naming a rule conclusion (c) and a known
// argument naming a model result (y) are listed with the other refused rows; the rest come in.
TEST_F(ImportOdbc, RowsNamingConclusionsOrModelResultsAreRefused) {
    ASSERT_TRUE(write_file_bytes(dir + "/MOTEST.BEN",
                                 "model(1,\"bez warunku\",\"y\",\"x1\",\"+\",\"x2\",1,\"1\")\n"));
    table("dane", {{"fakt", "c", "0,5"},
                   {"fakt", "b", "1"},
                   {"argument_znany", "y", "3"},
                   {"argument_znany", "x1", "2"}});
    const std::string src = source_position(SqliteOdbcEnv::kData);
    ScriptRun run =
        run_script(join(kLoad, {"10077", "MOTEST.BEN", "10065", src, table_position("dane")}), dir);
    EXPECT_EQ(run.status, kExitOk) << run.error;
    const std::string& t = run.transcript;
    EXPECT_TRUE(has(t,
                    "[note] Uwaga!\nNastępujące wiersze nie zostały zaimportowane:\n"
                    "wiersz 1: fakt 'c' nie jest warunkiem dopytywalnym (jest wnioskiem bazy wiedzy)\n"
                    "wiersz 3: argument 'y' nie jest argumentem dopytywalnym (jest wynikiem modelu)\n"))
        << t;
    EXPECT_TRUE(has(t,
                    "[lists] Przegląd zaimportowanych danych\n"
                    "Do bazy reguł zostały dodane następujące fakty:\n   b  1\n"
                    "Do bazy modeli zostały dodane następujące argumenty znane:\n   x1  2\n"))
        << t;
}
