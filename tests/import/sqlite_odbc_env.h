// A test-local ODBC configuration over the SQLite ODBC driver: odbcinst.ini with the
// driver and odbc.ini with data sources over SQLite files in a temporary directory,
// reached through ODBCSYSINI and ODBCINI, so nothing is installed system-wide.
#pragma once
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace zuva::testing_support {

class SqliteOdbcEnv {
  public:
    // Data sources of the configuration, in this order in odbc.ini.
    static constexpr const char* kData = "zuva_dane";       // over dane.db
    static constexpr const char* kEmpty = "zuva_pusta";     // over pusta.db, no tables
    static constexpr const char* kBroken = "zuva_zepsuta";  // a file in a directory that does not exist

    // The one configuration of this process, written before the first ODBC call.
    static SqliteOdbcEnv& get() {
        static SqliteOdbcEnv env;
        return env;
    }

    const std::string& dir() const { return dir_; }
    std::string data_file() const { return dir_ + "/dane.db"; }

    // Runs SQL statements on a SQLite file of the configuration.
    static void exec(const std::string& file, const std::string& sql) {
        sqlite3* db = nullptr;
        if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) {
            sqlite3_close(db);
            throw std::runtime_error("cannot open " + file);
        }
        char* err = nullptr;
        int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
        std::string message = err ? err : "";
        sqlite3_free(err);
        sqlite3_close(db);
        if (rc != SQLITE_OK) throw std::runtime_error("sqlite: " + message + " in: " + sql);
    }

    // Fills a table of kind, name and value rows quickly (one transaction).
    static void fill(const std::string& file, const std::string& quoted_table,
                     const std::vector<std::vector<std::string>>& rows) {
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        const std::string sql = "INSERT INTO " + quoted_table + " VALUES (?, ?, ?)";
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
            sqlite3_close(db);
            throw std::runtime_error("sqlite: cannot prepare " + sql);
        }
        for (const auto& r : rows) {
            for (int i = 0; i < 3; ++i) {
                if (i < static_cast<int>(r.size()))
                    sqlite3_bind_text(st, i + 1, r[i].c_str(), -1, SQLITE_TRANSIENT);
                else
                    sqlite3_bind_null(st, i + 1);
            }
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }

  private:
    SqliteOdbcEnv() {
        dir_ =
            (std::filesystem::temp_directory_path() / ("zuva_odbc_" + std::to_string(::getpid()))).string();
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ + "/sys");
        std::ofstream(dir_ + "/sys/odbcinst.ini")
            << "[SQLite3 zuva]\nDescription=SQLite 3\nDriver=" << ZUVA_SQLITE_ODBC_DRIVER << "\n";
        std::ofstream(dir_ + "/sys/odbc.ini") << "";
        std::ofstream(dir_ + "/odbc.ini")
            << "[" << kData << "]\nDriver=SQLite3 zuva\nDatabase=" << dir_ << "/dane.db\n\n[" << kEmpty
            << "]\nDriver=SQLite3 zuva\nDatabase=" << dir_ << "/pusta.db\n\n[" << kBroken
            << "]\nDriver=SQLite3 zuva\nDatabase=" << dir_ << "/nie-ma-katalogu/zepsuta.db\n";
        exec(dir_ + "/dane.db", "SELECT 1");
        exec(dir_ + "/pusta.db", "SELECT 1");
        ::setenv("ODBCSYSINI", (dir_ + "/sys").c_str(), 1);
        ::setenv("ODBCINI", (dir_ + "/odbc.ini").c_str(), 1);
    }
    std::string dir_;
};

}  // namespace zuva::testing_support
