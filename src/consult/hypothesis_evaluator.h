// The evaluator of hypotheses that backward inference runs (internal to consult/; its
// methods are in hypothesis_evaluator.cpp, the command that uses it in backward.cpp).
#pragma once
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "consult/backward.h"
#include "consult/cf_calculus.h"
#include "consult/model_eval.h"
#include "consult/pytaj.h"
#include "consult/why_asked.h"
#include "kb/askable_conditions.h"
#include "session/session.h"

namespace zuva {
namespace backward {

const char* const kBezWarunku = "bez warunku";

// A text buffer for the pieces of one report block, kept between uses (emptied here).
std::string& scratch();
// The note that a "koniec" rule ends the inference.
void komunikat_koniec(Session& s);

class Evaluator {
  public:
    explicit Evaluator(Session& s) : s_(s), ix_(rule_index(s)) {
        // The pending state is read from the index; make sure it has been loaded into it.
        (void)lista_oczekujacych_pusta(s, std::string());
        const std::size_t nc = ix_.statement_count();
        const std::size_t n = ix_.conclusion_of.size();
        first_.assign(nc + 1, 0);
        for (std::size_t p = 0; p < n; ++p)
            ++first_[static_cast<std::size_t>(ix_.conclusion_of[p]) + 1];
        for (std::size_t c = 0; c < nc; ++c)
            first_[c + 1] += first_[c];
        positions_.resize(n);
        std::vector<std::int32_t> fill(first_.begin(), first_.end() - 1);
        for (std::size_t p = 0; p < n; ++p)
            positions_[static_cast<std::size_t>(fill[static_cast<std::size_t>(ix_.conclusion_of[p])]++)] =
                static_cast<std::int32_t>(p);
        active_.assign(nc, 0);
        failed_at_.assign(nc, 0);
        bez_warunku_ = ix_.id_of(kBezWarunku);
        // The index holds the general askable list without the results of basic models;
        // those results that are in the list are added back.
        std::unordered_set<std::string_view> results;
        for (const auto& m : s.kb.models.model)
            results.insert(m.result);
        if (!results.empty())
            for (const auto& a : ogolna_lista_dopytywalnych(s))
                if (results.count(a)) askable_results_.insert(a);
        links_.pytaj = [](Session& ss, const std::string& c) { return pytaj(ss, c); };
        links_.przedstawienie_faktow = [](Session& ss) { przedstawienie_faktow(ss); };
        links_.komunikat = [](Session& ss, const std::string& h) { komunikat(ss, h); };
        links_.ocena_hipotezy_cd = [this](Session& ss, const std::string& c) -> std::optional<double> {
            // Only while a hypothesis is under test (the `hipoteza` record).
            if (ss.inference.hipoteza.empty()) return std::nullopt;
            return evaluate(c);
        };
    }
    Evaluator(const Evaluator&) = delete;
    Evaluator& operator=(const Evaluator&) = delete;

    std::optional<double> evaluate(const std::string& h);
    std::optional<double> conditions(const TextList& conditions);
    // The evaluation of the main hypothesis under test.
    std::optional<double> evaluate_main(const std::string& h) {
        main_ = true;
        auto cf = evaluate(h);
        main_ = false;
        return cf;
    }
    // The position in the list of the condition that conditions() evaluates now.
    const std::size_t& conditions_at() const { return conditions_at_; }

  private:
    enum class Stage : std::uint8_t { Start, Rules, Resultant, Models, Koniec };
    // The hypothesis text is not copied: it is a condition of a rule record (which does not
    // change during a run) or the caller's text, and both outlive the frame.
    struct Frame {
        const std::string* h = nullptr;
        std::int32_t sid = -1;     // statement id of h, or -1
        std::int32_t own = -1;     // conclusion id of h, or -1
        std::int32_t target = -1;  // conclusion whose rules give the CF (X for H = "n" + X)
        Stage stage = Stage::Start;
        bool unresolved = false;  // h was just seen without a resultant
        // The outcome depended on more than the tables: a circular request was refused or a
        // model was tried (which may ask for an argument again).
        bool tainted = false;
        bool negated = false;
        bool in_rule = false;
        bool cond_failed = false;
        bool has_child = false;
        std::uint32_t rule_i = 0;
        std::uint32_t cond_i = 0;
        double cond_min = 1.0;
        std::optional<double> child;
        std::optional<double> result;
    };
    // The condition a frame needs the CF of.
    struct Request {
        const std::string* name = nullptr;
        std::int32_t sid = -1;
    };
    enum class Step { Done, NeedChild };

    // Statement ids cover conditions too; only a statement that some rule concludes counts.
    std::int32_t conclusion_of_statement(std::int32_t id) const {
        if (id < 0) return -1;
        const auto i = static_cast<std::size_t>(id);
        return first_[i + 1] > first_[i] ? id : -1;
    }
    std::int32_t conclusion_id(const std::string& c) const { return conclusion_of_statement(ix_.id_of(c)); }
    bool askable_statement(const std::string& c, std::int32_t id) const {
        // Texts of the askable list that no rule mentions are kept by text only.
        if (id >= 0 ? ix_.askable[static_cast<std::size_t>(id)] != 0 : ix_.askable_elsewhere.count(c) != 0)
            return true;
        return !askable_results_.empty() && askable_results_.count(c) != 0;
    }
    bool askable(const std::string& c) const { return askable_statement(c, ix_.id_of(c)); }
    // Marks the hypothesis as under evaluation; false when it already is. A text with a
    // statement id is marked by its id, any other text by itself.
    bool enter(const std::string& h, std::int32_t sid) {
        if (sid >= 0) {
            char& a = active_[static_cast<std::size_t>(sid)];
            if (a) return false;
            a = 1;
            return true;
        }
        return in_progress_.insert(h).second;
    }
    void leave(const std::string& h, std::int32_t sid) {
        if (sid >= 0)
            active_[static_cast<std::size_t>(sid)] = 0;
        else
            in_progress_.erase(h);
    }
    // Changes of the working tables since the start of the run: resultants, applied rules
    // and fixed values only grow, so an equal sum means that nothing changed.
    std::uint64_t version() const {
        return s_.inference.wypadkowa_prbd.journal_size() + applied_ + s_.inference.zmienna_ustalona.count();
    }
    // The conclusion was evaluated without a CF and nothing changed since: evaluating it
    // again would ask nothing and give nothing.
    bool known_failure(std::int32_t id) const {
        return id >= 0 && failed_at_[static_cast<std::size_t>(id)] == version() + 1 && zrob_koniec(s_);
    }
    const Regula& rule(std::int32_t p) const { return s_.kb.rules.regula[static_cast<std::size_t>(p)]; }
    bool only_bez_warunku(std::int32_t p, const Regula& r) const {
        if (r.conditions.size() != 1) return false;
        if (bez_warunku_ < 0) return false;
        return ix_.condition_ids[static_cast<std::size_t>(
                   ix_.condition_offset[static_cast<std::size_t>(p)])] == bez_warunku_;
    }

    Step step(Frame& f, Request& child);
    bool start(Frame& f);
    Step rules(Frame& f, Request& child);
    void apply(Frame& f, std::int32_t position, const Regula& r, double conditions_cf);
    bool resultant_from_rules(Frame& f);
    bool models(Frame& f);

    Session& s_;
    RuleIndex& ix_;
    // Rule positions by conclusion id, in table order: positions_[first_[c] .. first_[c + 1]).
    std::vector<std::int32_t> first_, positions_;
    std::unordered_set<std::string> askable_results_;
    // Hypotheses under evaluation: statements by id, other names by text.
    std::vector<char> active_;
    std::unordered_set<std::string> in_progress_;
    bool child_unresolved_ = false;
    std::vector<std::uint64_t> failed_at_;  // per conclusion id: version + 1 of its last failure
    std::uint64_t applied_ = 0;
    std::int32_t bez_warunku_ = -1;  // statement id of "bez warunku", or -1
    ModelLinks links_;
    bool main_ = false;  // the outermost evaluation is that of the main hypothesis
    int depth_ = 0;      // evaluations in progress (models call back into the evaluator)
    std::size_t conditions_at_ = 0;

    // While the stack of one evaluation waits for a value: the rules of its frames that need
    // it, up to the main hypothesis when this is its evaluation.
    class StackWhy : public WhySource {
      public:
        StackWhy(const Evaluator& e, const std::deque<Frame>& stack, bool main)
            : e_(e), stack_(stack), main_(main) {}
        void why(const Session& s, bool innermost, std::vector<std::string>& lines) const override;

      private:
        const Evaluator& e_;
        const std::deque<Frame>& stack_;
        bool main_;
    };
};

}  // namespace backward
}  // namespace zuva
