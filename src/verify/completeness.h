// Completeness of a knowledge base: pieces that can never take part in a consultation
// (rules that never fire, conclusions never reached, unused models, arguments, model facts
// and constraint members, advice, pictures and sounds that name missing rules or files),
// the lines of the records at fault, and the menu command that reports them.
#pragma once
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/knowledge_base.h"

namespace zuva {

struct Session;
class CommandRegistry;

// One anomaly: the record at fault is the `ordinal`-th record (from 0) of `table` in the
// base of `base`.
struct Anomalia {
    std::string kind;  // ASCII name of the kind of anomaly
    BaseKind base = BaseKind::Rules;
    std::string table;  // as written in the file ("reguła", "model_r", "rada", ...)
    std::size_t ordinal = 0;
    std::string message;  // Polish, one line
};

// Every anomaly of the knowledge base held by `kb`, in the order of the kinds and of the
// records. `base_dir` is the directory of the rule base (the data files of advice, pictures
// and sounds are looked up beside it); `wyroznik` its distinguishing name. Linear in the
// size of the bases; ends on circular bases.
std::vector<Anomalia> znajdz_anomalie(const KnowledgeBase& kb, const std::string& base_dir,
                                      const std::string& wyroznik);

// Lines of the records of a base file: the n-th record of a table is on line_of(table, n).
class RecordLines {
  public:
    RecordLines() = default;
    explicit RecordLines(std::string_view text);
    std::optional<int> line_of(const std::string& table, std::size_t ordinal) const;

  private:
    std::map<std::string, std::vector<int>, std::less<>> lines_;
};

// Menu "Diagnostyka kompletności bazy wiedzy": the findings in the helper window and the
// report, a closing note and the question whether to save the report.
void diagnostyka_kompletnosci(Session& s);
inline constexpr int kDiagnostykaKompletnosci = 10076;

}  // namespace zuva
