// What the import needs of a data-source layer (listing sources and tables, reading the
// rows of a table as text) and the rows it hands over; ODBC implements it.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zuva {

// The first three columns of one row, as UTF-8 text: kind, name and value.
struct ImportRow {
    std::string kind;
    std::string name;
    std::string value;
};

// The text the reader gives a cell it could not read.
inline constexpr std::string_view kErrorLoading = "<Error loading>";

// A step of the data-source layer that failed, with the driver's own description.
struct SourceFailure {
    std::string step;        // what was being done, in Polish ("łączenie ze źródłem danych ...")
    std::string diagnostic;  // the diagnostic records of the driver, one a line
};

// The layer keeps what it opened until close() or its destruction. Names are the
// driver's bytes; show them through driver_text().
class DataSource {
  public:
    virtual ~DataSource() = default;
    virtual std::optional<SourceFailure> list_sources(std::vector<std::string>& names) = 0;
    // Connects with an empty user name and password.
    virtual std::optional<SourceFailure> connect(const std::string& source) = 0;
    virtual std::optional<SourceFailure> list_tables(std::vector<std::string>& names) = 0;
    // The statement that reads every row of the table, the name quoted as an identifier.
    virtual std::optional<SourceFailure> select_statement(const std::string& table,
                                                          std::string& statement) = 0;
    virtual std::optional<SourceFailure> read_rows(const std::string& statement,
                                                   std::vector<ImportRow>& rows) = 0;
    // Releases everything that is open; always succeeds.
    virtual void close() = 0;
};

// Bytes from a driver as UTF-8: kept when they are UTF-8, else read as Windows-1250
// (bytes that code page leaves undefined become '?').
std::string driver_text(std::string_view bytes);

}  // namespace zuva
