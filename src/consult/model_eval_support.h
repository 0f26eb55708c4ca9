// Pieces the files of model evaluation share (model_eval.cpp, model_operations.cpp,
// relational_models.cpp, model_explanations.cpp): the lines of an explanation, the number
// texts of explanations, the note that refuses an operation, and the lookups of fixed
// values, applied models and the models of a result. Internal to consult/.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "consult/calculus_basics.h"
#include "report/report.h"
#include "session/model_state.h"

namespace zuva {

struct Session;

namespace model_eval {

// Lines written to the report and collected for the explanation dialog.
class Lines {
  public:
    explicit Lines(Session& s) : s_(s) {}
    void line(const std::string& text) { line(text, text); }
    // A line whose dialog form differs from its report form.
    void line(const std::string& report, const std::string& dialog) {
        pisz(s_, report);
        piszcr(s_);
        lines_.push_back(dialog);
    }
    void cr() { piszcr(s_); }
    void show(const std::string& title) { pokaz_wyjasnienie(s_, title, lines_); }

  private:
    Session& s_;
    std::vector<std::string> lines_;
};

std::string lg(double v);
std::string num(std::int32_t n);
// An undefined case of an operation: the model is not applied, the user is told why.
std::nullopt_t odmowa(Session& s, const std::string& why);
std::optional<double> fixed(const Session& s, const std::string& name);
bool applied(const Session& s, std::int32_t n);
// The models whose result is the name, by kind, in table order; nullptr when none.
const ModelIndex::Positions* modele_wyniku(Session& s, const std::string& name);

}  // namespace model_eval
}  // namespace zuva
