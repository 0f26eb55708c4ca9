// Every handle is released on every path: statements by a guard in the function that
// allocates them, the connection and the environment by close() and the destructor.
// Cells are read with SQLGetData as character data, in pieces when they are long.
#include "import/odbc_source.h"

#include <sql.h>
#include <sqlext.h>

#include <cstring>

#include "text/i18n.h"

namespace zuva {

namespace {

std::string diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
    std::string out;
    if (handle != SQL_NULL_HANDLE) {
        for (SQLSMALLINT i = 1;; ++i) {
            SQLCHAR state[6] = {};
            SQLINTEGER native = 0;
            SQLCHAR message[2048] = {};
            SQLSMALLINT length = 0;
            SQLRETURN r = SQLGetDiagRec(type, handle, i, state, &native, message, sizeof message, &length);
            if (!SQL_SUCCEEDED(r)) break;
            if (!out.empty()) out += "\n";
            out += "[" + driver_text(reinterpret_cast<const char*>(state)) + "] " +
                   driver_text(reinterpret_cast<const char*>(message));
        }
    }
    if (out.empty()) out = tr("Sterownik nie podał opisu błędu.");
    return out;
}

SourceFailure failure(std::string step, SQLSMALLINT type, SQLHANDLE handle) {
    return {std::move(step), diagnostics(type, handle)};
}

SQLCHAR* sql_text(const std::string& s) {
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s.c_str()));
}

// A statement handle that is freed when the guard goes out of scope.
struct Statement {
    SQLHSTMT h = SQL_NULL_HSTMT;
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() {
        if (h != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, h);
    }
};

enum class Cell { Value, Null, Unreadable };

// One column of the current row as text; a long value comes in several pieces.
Cell read_cell(SQLHSTMT st, SQLUSMALLINT column, std::string& out) {
    out.clear();
    char buf[512];
    for (bool first = true;; first = false) {
        SQLLEN indicator = 0;
        SQLRETURN r = SQLGetData(st, column, SQL_C_CHAR, buf, sizeof buf, &indicator);
        if (r == SQL_NO_DATA) return first ? Cell::Null : Cell::Value;
        if (!SQL_SUCCEEDED(r)) return Cell::Unreadable;
        if (indicator == SQL_NULL_DATA) return Cell::Null;
        size_t n = (indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof buf))
                       ? strnlen(buf, sizeof buf - 1)
                       : static_cast<size_t>(indicator);
        out.append(buf, n);
        if (r == SQL_SUCCESS) return Cell::Value;
    }
}

bool plain_identifier(const std::string& name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
    for (unsigned char c : name)
        if (!(c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
    return true;
}

}  // namespace

struct OdbcSource::Handles {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    bool connected = false;
};

OdbcSource::OdbcSource() : h_(std::make_unique<Handles>()) {}

OdbcSource::~OdbcSource() {
    close();
}

void OdbcSource::close() {
    if (h_->connected) SQLDisconnect(h_->dbc);
    h_->connected = false;
    if (h_->dbc != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, h_->dbc);
    h_->dbc = SQL_NULL_HDBC;
    if (h_->env != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, h_->env);
    h_->env = SQL_NULL_HENV;
}

std::optional<SourceFailure> OdbcSource::list_sources(std::vector<std::string>& names) {
    names.clear();
    if (h_->env == SQL_NULL_HENV) {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h_->env))) {
            h_->env = SQL_NULL_HENV;
            return SourceFailure{tr("inicjowanie menedżera sterowników ODBC"),
                                 tr("Nie można przydzielić środowiska ODBC.")};
        }
        SQLRETURN r =
            SQLSetEnvAttr(h_->env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        if (!SQL_SUCCEEDED(r)) {
            auto f = failure(tr("inicjowanie menedżera sterowników ODBC"), SQL_HANDLE_ENV, h_->env);
            close();
            return f;
        }
    }
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLCHAR name[256] = {};
        SQLCHAR description[512] = {};
        SQLSMALLINT name_length = 0, description_length = 0;
        SQLRETURN r = SQLDataSources(h_->env, direction, name, sizeof name, &name_length, description,
                                     sizeof description, &description_length);
        if (r == SQL_NO_DATA) return std::nullopt;
        if (!SQL_SUCCEEDED(r)) return failure(tr("wyliczanie źródeł danych"), SQL_HANDLE_ENV, h_->env);
        names.emplace_back(reinterpret_cast<const char*>(name));
        direction = SQL_FETCH_NEXT;
    }
}

std::optional<SourceFailure> OdbcSource::connect(const std::string& source) {
    const std::string step = tr("łączenie ze źródłem danych ") + driver_text(source);
    if (h_->env == SQL_NULL_HENV)
        return SourceFailure{step, tr("Menedżer sterowników ODBC nie został zainicjowany.")};
    if (h_->dbc == SQL_NULL_HDBC && !SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, h_->env, &h_->dbc))) {
        h_->dbc = SQL_NULL_HDBC;
        return failure(step, SQL_HANDLE_ENV, h_->env);
    }
    std::string empty;
    SQLRETURN r =
        SQLConnect(h_->dbc, sql_text(source), SQL_NTS, sql_text(empty), SQL_NTS, sql_text(empty), SQL_NTS);
    if (!SQL_SUCCEEDED(r)) return failure(step, SQL_HANDLE_DBC, h_->dbc);
    h_->connected = true;
    return std::nullopt;
}

std::optional<SourceFailure> OdbcSource::list_tables(std::vector<std::string>& names) {
    names.clear();
    const std::string step = tr("wyliczanie tabel źródła danych");
    if (!h_->connected) return SourceFailure{step, tr("Brak połączenia ze źródłem danych.")};
    Statement st;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, h_->dbc, &st.h))) {
        st.h = SQL_NULL_HSTMT;
        return failure(step, SQL_HANDLE_DBC, h_->dbc);
    }
    std::string pattern = "%", type = "TABLE";
    // Catalog and schema are left out, so tables of every catalog and schema are listed.
    SQLRETURN r =
        SQLTables(st.h, nullptr, 0, nullptr, 0, sql_text(pattern), SQL_NTS, sql_text(type), SQL_NTS);
    if (!SQL_SUCCEEDED(r)) return failure(step, SQL_HANDLE_STMT, st.h);
    std::string name;
    for (;;) {
        r = SQLFetch(st.h);
        if (r == SQL_NO_DATA) return std::nullopt;
        if (!SQL_SUCCEEDED(r)) return failure(step, SQL_HANDLE_STMT, st.h);
        if (read_cell(st.h, 3, name) == Cell::Value && !name.empty()) names.push_back(name);
    }
}

std::optional<SourceFailure> OdbcSource::select_statement(const std::string& table, std::string& statement) {
    const std::string step = tr("przygotowanie zapytania o tabelę ") + driver_text(table);
    if (!h_->connected) return SourceFailure{step, tr("Brak połączenia ze źródłem danych.")};
    SQLCHAR quote[16] = {};
    SQLSMALLINT length = 0;
    SQLRETURN r = SQLGetInfo(h_->dbc, SQL_IDENTIFIER_QUOTE_CHAR, quote, sizeof quote, &length);
    if (!SQL_SUCCEEDED(r)) return failure(step, SQL_HANDLE_DBC, h_->dbc);
    std::string q(reinterpret_cast<const char*>(quote));
    if (q.empty() || q == " ") {
        // The driver cannot quote identifiers: only a name that needs no quoting is safe.
        if (!plain_identifier(table))
            return SourceFailure{step, tr("Sterownik nie umożliwia ujęcia nazwy tabeli w cudzysłów, a nazwa "
                                          "zawiera znaki inne niż litery, cyfry i podkreślenie.")};
        statement = "SELECT * FROM " + table;
        return std::nullopt;
    }
    std::string quoted = q;
    for (size_t i = 0; i < table.size();) {
        if (table.compare(i, q.size(), q) == 0) {
            quoted += q + q;
            i += q.size();
        } else {
            quoted += table[i++];
        }
    }
    quoted += q;
    statement = "SELECT * FROM " + quoted;
    return std::nullopt;
}

std::optional<SourceFailure> OdbcSource::read_rows(const std::string& statement,
                                                   std::vector<ImportRow>& rows) {
    rows.clear();
    if (!h_->connected)
        return SourceFailure{tr("wykonanie zapytania"), tr("Brak połączenia ze źródłem danych.")};
    Statement st;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, h_->dbc, &st.h))) {
        st.h = SQL_NULL_HSTMT;
        return failure(tr("wykonanie zapytania"), SQL_HANDLE_DBC, h_->dbc);
    }
    SQLRETURN r = SQLExecDirect(st.h, sql_text(statement), SQL_NTS);
    if (!SQL_SUCCEEDED(r))
        return failure(tr("wykonanie zapytania ") + driver_text(statement), SQL_HANDLE_STMT, st.h);
    SQLSMALLINT columns = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(st.h, &columns)))
        return failure(tr("odczyt opisu kolumn"), SQL_HANDLE_STMT, st.h);
    const SQLUSMALLINT used = static_cast<SQLUSMALLINT>(columns < 3 ? (columns < 0 ? 0 : columns) : 3);
    std::string cell;
    for (;;) {
        r = SQLFetch(st.h);
        if (r == SQL_NO_DATA) return std::nullopt;
        if (!SQL_SUCCEEDED(r))
            return failure(tr("pobieranie wiersza ") + std::to_string(rows.size() + 1), SQL_HANDLE_STMT,
                           st.h);
        ImportRow& row = rows.emplace_back();
        std::string* fields[3] = {&row.kind, &row.name, &row.value};
        for (SQLUSMALLINT c = 1; c <= used; ++c) {
            switch (read_cell(st.h, c, cell)) {
                case Cell::Value:
                    *fields[c - 1] = driver_text(cell);
                    break;
                case Cell::Null:
                    break;
                case Cell::Unreadable:
                    *fields[c - 1] = kErrorLoading;
                    break;
            }
        }
    }
}

}  // namespace zuva
