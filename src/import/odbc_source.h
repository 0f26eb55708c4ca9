// The data-source layer over the unixODBC driver manager, through ODBC 3 calls.
// One object holds one environment and at most one connection.
#pragma once
#include <memory>

#include "import/data_source.h"

namespace zuva {

class OdbcSource : public DataSource {
  public:
    OdbcSource();
    ~OdbcSource() override;
    OdbcSource(const OdbcSource&) = delete;
    OdbcSource& operator=(const OdbcSource&) = delete;

    std::optional<SourceFailure> list_sources(std::vector<std::string>& names) override;
    std::optional<SourceFailure> connect(const std::string& source) override;
    std::optional<SourceFailure> list_tables(std::vector<std::string>& names) override;
    std::optional<SourceFailure> select_statement(const std::string& table, std::string& statement) override;
    std::optional<SourceFailure> read_rows(const std::string& statement,
                                           std::vector<ImportRow>& rows) override;
    void close() override;

  private:
    struct Handles;
    std::unique_ptr<Handles> h_;
};

}  // namespace zuva
