// The evaluation of a hypothesis is a machine over an explicit stack of frames, one frame per
// hypothesis under evaluation. A frame walks the alternatives in order; when a rule needs the
// CF of a condition it asks the driver for a child frame and resumes with the child's result,
// so conditions are followed depth first, left to right, exactly as a recursive evaluation
// would follow them, however deep the chain of rules is. A hypothesis already on the stack
// (a circular base) gives no CF to the request that would start it again.
#include "consult/backward.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <unordered_set>
#include <vector>

#include "consult/calculus_basics.h"
#include "consult/cf_calculus.h"
#include "consult/description.h"
#include "consult/early_end.h"
#include "consult/exclusive.h"
#include "consult/forward.h"
#include "consult/how_concluded.h"
#include "consult/inference_start.h"
#include "consult/media_offers.h"
#include "consult/model_eval.h"
#include "consult/model_steps.h"
#include "consult/pytaj.h"
#include "consult/summary.h"
#include "consult/why_asked.h"
#include "kb/askable_conditions.h"
#include "kb/model_base.h"
#include "report/report.h"
#include "session/command_registry.h"
#include "session/session.h"
#include "store/flat_map.h"
#include "store/list_helpers.h"
#include "text/codec.h"
#include "text/number_format.h"

namespace zuva {

namespace {

const char* const kKoniec = "koniec";
const char* const kBezWarunku = "bez warunku";
const char* const kKoniecText = "Reguła z wnioskiem 'koniec' kończy wnioskowanie.";

// A text buffer for the pieces of one report block, kept between uses (emptied here).
std::string& scratch() {
    static thread_local std::string text;
    text.clear();
    return text;
}

void komunikat_koniec(Session& s) {
    s.helper(std::string(kKoniecText) + "\n");
    s.ui.note("Uwaga - koniec!", kKoniecText);
}

const TextList& pierwsza(const Table<TextList>& t) {
    static const TextList empty;
    const TextList* l = t.first();
    return l ? *l : empty;
}

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

std::optional<double> Evaluator::evaluate(const std::string& h) {
    const std::int32_t sid = ix_.id_of(h);
    const std::int32_t id = conclusion_of_statement(sid);
    if (known_failure(id) || !enter(h, sid)) return std::nullopt;
    // A deque: frames never move, and a deep chain does not copy the stack as it grows.
    std::deque<Frame> stack;
    const StackWhy why(*this, stack, main_ && depth_ == 0);
    const WhyScope asking(s_, why);
    struct Depth {
        int& d;
        explicit Depth(int& v) : d(v) { ++d; }
        ~Depth() { --d; }
    } depth(depth_);
    stack.emplace_back();
    stack.back().h = &h;
    stack.back().sid = sid;
    stack.back().own = id;
    Request child;
    for (;;) {
        Frame& f = stack.back();
        if (step(f, child) == Step::NeedChild) {
            const std::int32_t cid = conclusion_of_statement(child.sid);
            if (known_failure(cid)) {
                f.has_child = true;
                f.child.reset();
                continue;
            }
            if (!enter(*child.name, child.sid)) {
                f.tainted = true;
                f.has_child = true;
                f.child.reset();
                continue;
            }
            Frame c;
            c.h = child.name;
            c.sid = child.sid;
            c.own = cid;
            c.unresolved = child_unresolved_;
            stack.push_back(c);
            continue;
        }
        const std::optional<double> result = f.result;
        const bool tainted = f.tainted;
        leave(*f.h, f.sid);
        if (!result && !tainted && f.own >= 0) failed_at_[static_cast<std::size_t>(f.own)] = version() + 1;
        stack.pop_back();
        if (stack.empty()) return result;
        stack.back().has_child = true;
        stack.back().child = result;
        stack.back().tainted |= tainted;
    }
}

std::optional<double> Evaluator::conditions(const TextList& conds) {
    double m = 1.0;
    bool failed = false;
    conditions_at_ = 0;
    for (const auto& c : conds) {
        auto cf = evaluate(c);
        ++conditions_at_;
        if (!cf)
            failed = true;
        else
            m = std::min(m, *cf);
    }
    if (failed) return std::nullopt;
    return m;
}

void Evaluator::StackWhy::why(const Session& s, bool innermost, std::vector<std::string>& lines) const {
    if (stack_.empty()) return;
    // The innermost rules in full, the further ones a line each, the rest counted.
    constexpr std::size_t kFull = 5, kBrief = 20;
    std::size_t full = 0, brief = 0, more = 0;
    for (std::size_t j = stack_.size(); j-- > 0;) {
        const Frame& f = stack_[j];
        if (f.stage != Stage::Rules || !f.in_rule || f.target < 0) continue;
        const auto tid = static_cast<std::size_t>(f.target);
        const Regula& r = e_.rule(e_.positions_[static_cast<std::size_t>(e_.first_[tid]) + f.rule_i]);
        if (full < kFull) {
            lines.push_back("Jest to potrzebne regule " + std::to_string(r.rule_number) + " o postaci:");
            // The condition is the one asked when the frame above it asks its own name.
            const bool asked = innermost && j + 2 == stack_.size() && stack_.back().stage == Stage::Start;
            rule_lines(s, r, f.cond_i, asked, lines);
            if (f.negated) lines.push_back("(hipoteza " + *f.h + " jest zaprzeczeniem wniosku tej reguły)");
            ++full;
        } else if (brief < kBrief) {
            if (brief == 0) lines.push_back("Dalej w łańcuchu reguł:");
            lines.push_back("    reguła " + std::to_string(r.rule_number) + " (wniosek: " + r.conclusion +
                            ")");
            ++brief;
        } else {
            ++more;
        }
    }
    if (more) lines.push_back("    ... (jeszcze " + std::to_string(more) + " reguł)");
    if (!main_) return;
    if (stack_.size() == 1 && innermost && stack_.front().stage == Stage::Start) {
        lines.push_back("Warunek ten jest testowaną hipotezą główną.");
        return;
    }
    lines.push_back("Wszystko to służy testowaniu hipotezy głównej:");
    lines.push_back("    " + *stack_.front().h);
}

Evaluator::Step Evaluator::step(Frame& f, Request& child) {
    for (;;) {
        switch (f.stage) {
            case Stage::Start:
                if (start(f)) return Step::Done;
                break;
            case Stage::Rules:
                if (rules(f, child) == Step::NeedChild) return Step::NeedChild;
                break;
            case Stage::Resultant:
                if (resultant_from_rules(f)) return Step::Done;
                break;
            case Stage::Models:
                if (models(f)) return Step::Done;
                break;
            case Stage::Koniec:
                // The last alternative: "koniec" has been concluded.
                if (zrob_koniec(s_)) return Step::Done;
                if (!s_.inference.hipoteza.empty()) {
                    s_.inference.hipoteza.clear();
                    komunikat_koniec(s_);
                }
                f.result = 0.0;
                return Step::Done;
        }
    }
}

// Alternatives 1 to 3; true when one of them gave the CF.
bool Evaluator::start(Frame& f) {
    if (!zrob_koniec(s_)) {
        f.stage = Stage::Koniec;
        return false;
    }
    const std::string& h = *f.h;
    if (!f.unresolved) {
        if (auto r = resultant(s_, h)) {
            f.result = r;
            return true;
        }
    }
    const std::int32_t own = f.own;
    // "n" + X is the negation of X when X is askable, or when X is a rule conclusion and
    // the name itself is not; any other name that begins with "n" is an ordinary name.
    const bool starts_n = h.size() > 1 && h[0] == 'n';
    const std::string x = starts_n ? h.substr(1) : std::string();
    const bool negated_askable = starts_n && askable(x);
    const std::int32_t x_id = starts_n && !negated_askable && own < 0 ? conclusion_id(x) : -1;
    if (!negated_askable && x_id < 0 && askable_statement(h, f.sid)) {
        f.result = pytaj_0(s_, h);
        return true;
    }
    if (negated_askable) {
        f.result = pytaj_0(s_, h);
        return true;
    }
    f.negated = x_id >= 0;
    f.target = f.negated ? x_id : own;
    f.stage = Stage::Rules;
    return false;
}

// Alternatives 4 and 5: the pending rules of the target, one after the other in table order.
Evaluator::Step Evaluator::rules(Frame& f, Request& child) {
    if (f.target < 0) {
        f.stage = Stage::Resultant;
        return Step::Done;
    }
    const auto tid = static_cast<std::size_t>(f.target);
    const std::int32_t* list = positions_.data() + first_[tid];
    const auto count = static_cast<std::size_t>(first_[tid + 1] - first_[tid]);
    for (;;) {
        if (!zrob_koniec(s_)) {
            f.stage = Stage::Koniec;
            return Step::Done;
        }
        if (!f.in_rule) {
            // While the target's list of pending rules is not empty: its next pending rule.
            bool found = false;
            while (f.rule_i < count && ix_.remaining[tid] > 0) {
                const std::int32_t p = list[f.rule_i];
                if (ix_.pending[static_cast<std::size_t>(p)] && !only_bez_warunku(p, rule(p))) {
                    found = true;
                    break;
                }
                ++f.rule_i;
            }
            if (!found) {
                f.stage = Stage::Resultant;
                return Step::Done;
            }
            f.in_rule = true;
            f.cond_i = 0;
            f.cond_min = 1.0;
            f.cond_failed = false;
            f.has_child = false;
        }
        const std::int32_t p = list[f.rule_i];
        const Regula& r = rule(p);
        if (f.has_child) {
            f.has_child = false;
            if (f.child)
                f.cond_min = std::min(f.cond_min, *f.child);
            else
                f.cond_failed = true;
            ++f.cond_i;
        }
        const std::int32_t* ids =
            ix_.condition_ids.data() + ix_.condition_offset[static_cast<std::size_t>(p)];
        while (f.cond_i < r.conditions.size()) {
            const std::string& c = r.conditions[f.cond_i];
            // A condition with a resultant takes it at once, as its first alternative would.
            const bool koniec_open = zrob_koniec(s_);
            if (koniec_open) {
                if (auto cf = resultant(s_, c)) {
                    f.cond_min = std::min(f.cond_min, *cf);
                    ++f.cond_i;
                    continue;
                }
            }
            child_unresolved_ = koniec_open;
            child.name = &c;
            child.sid = ids[f.cond_i];
            return Step::NeedChild;
        }
        f.in_rule = false;
        ++f.rule_i;
        if (!f.cond_failed && zrob_koniec(s_)) apply(f, p, r, f.cond_min);
    }
}

void Evaluator::apply(Frame& f, std::int32_t position, const Regula& r, double conditions_cf) {
    const bool disjunctive = ix_.disjunctive[static_cast<std::size_t>(f.target)] != 0;
    ++applied_;
    oznacz_zastosowana(s_, r.rule_number);
    const double rule_cf = wyznacz_cf_pozycji(s_, position);
    if (!disjunctive) {
        auto contribution = zapisz_wklad_kumulatywny_pozycji(s_, position, conditions_cf, rule_cf);
        if (!contribution) return;
        przedstawienie_faktow(s_);
        komunikat(s_, *f.h);
        wyjasnienie_regula(s_, *contribution, r);
        return;
    }
    if (oba_cf_ujemne(conditions_cf, rule_cf)) {
        if (!redukuj_pozycje(s_, position)) return;
        przedstawienie_faktow(s_);
        wyjasnienie_regula_dysjunktywna_pomijana(s_, r, conditions_cf, rule_cf);
        return;
    }
    auto contribution = zapisz_wklad_dysjunktywny_pozycji(s_, position, conditions_cf, rule_cf);
    if (!contribution) return;
    przedstawienie_faktow(s_);
    komunikat(s_, *f.h);
    wyjasnienie_regula(s_, *contribution, r);
}

// Alternatives 6 and 7: the resultant from all the target's rules. For H = "n" + X every
// contribution of X counts for H with the opposite sign.
bool Evaluator::resultant_from_rules(Frame& f) {
    f.stage = Stage::Models;
    if (!zrob_koniec(s_)) {
        f.stage = Stage::Koniec;
        return false;
    }
    const std::string& h = *f.h;
    if (auto r = resultant(s_, h)) {
        f.result = r;
        return true;
    }
    if (f.target < 0) return false;
    if (ix_.remaining[static_cast<std::size_t>(f.target)] != 0) return false;
    const std::string target(ix_.statement(f.target));
    if (!ix_.disjunctive[static_cast<std::size_t>(f.target)]) {
        auto [p, n] = dodatnie_i_ujemne_cf(s_, target);
        if (f.negated) {
            const double np = -n, nn = -p;
            p = np;
            n = nn;
        }
        if (p * n == -1.0) return false;
        const double cf = zaokraglenie((p + n) / (1.0 - std::min(p, -n)));
        std::string& text = scratch();
        text += "Z wszystkich reguł kumulatywnych (z pojedynczej reguły) dla hipotezy:\n    ";
        text += h;
        text += "\nwynika:\n    ";
        text += h;
        text += '(';
        text += format_cf(cf);
        text += ")\n\n";
        pisz(s_, text);
        pamietaj_wniosek_wypadkowy(s_, h, cf, {OriginKind::CumulativeRules, f.negated});
        f.result = cf;
        return true;
    }
    const bool same_signs = jednakowe_znaki(s_, target);
    std::vector<double> v;
    if (same_signs)
        s_.inference.prbd.for_conclusion(target, [&](const Prbd& p) { v.push_back(p.contribution); });
    else
        v = dodatnie_cf_warunkow(s_, target);
    if (v.empty()) return false;  // every rule was skipped
    if (f.negated)
        for (double& c : v)
            c = -c;
    const double cf = zaokraglenie(*std::max_element(v.begin(), v.end()));
    std::string& text = scratch();
    text += same_signs ? "Z wszystkich reguł dysjunktywnych dla hipotezy:\n    "
                       : "Z wszystkich reguł dysjunktywnych dla hipotezy\n    ";
    text += h;
    text += "\nwynika:\n    CF(";
    text += h;
    text += same_signs ? ")  = " : ") = ";
    text += format_cf(cf);
    text += "\n\n";
    pisz(s_, text);
    pamietaj_wniosek_wypadkowy(s_, h, cf, {OriginKind::DisjunctiveRules, f.negated});
    f.result = cf;
    return true;
}

// Alternatives 8 and 9: the arithmetic models of which H is the result (CF 1), then the
// relational models that conclude H.
bool Evaluator::models(Frame& f) {
    f.stage = Stage::Koniec;
    const std::string& h = *f.h;
    if (!zrob_koniec(s_) || !s_.kb.nazwa_mo.loaded() || !jest_wynikiem_modelu(s_, h)) return false;
    f.tainted = true;
    // A result already fixed in this run keeps its CF 1 when it is needed again.
    if (s_.inference.zmienna_ustalona.find(h) || oblicz_wynik_modelu(s_, links_, h, false)) {
        f.result = 1.0;
        return true;
    }
    for (int variant = 1; variant <= 4; ++variant) {
        if (!zrob_koniec(s_)) return false;
        if (auto cf = model_relacyjny_dla(s_, links_, h, variant)) {
            f.result = cf;
            return true;
        }
    }
    return false;
}

// A "koniec" rule whose conditions are evaluated before the hypothesis is tested.
class KoniecWhy : public WhySource {
  public:
    KoniecWhy(const Regula& r, const std::size_t& at) : r_(r), at_(at) {}
    void why(const Session& s, bool innermost, std::vector<std::string>& lines) const override {
        lines.push_back("Jest to potrzebne regule " + std::to_string(r_.rule_number) + " o postaci:");
        rule_lines(s, r_, at_, innermost, lines);
        lines.push_back("Reguły z wnioskiem 'koniec' są sprawdzane przed testowaniem hipotezy.");
    }

  private:
    const Regula& r_;
    const std::size_t& at_;
};

// Step 1 of the preparation: the first "koniec" rule with CF 1.0 whose conditions give a
// CF > 0 concludes "koniec".
void regula_koniec(Session& s, Evaluator& e) {
    if (!zrob_koniec(s)) return;
    const auto& rules = s.kb.rules.regula;
    for (std::size_t i = 0; i < rules.count(); ++i) {
        const Regula& r = rules[i];
        if (r.conclusion != kKoniec || r.cf_text != "1.0") continue;
        const KoniecWhy why(r, e.conditions_at());
        const WhyScope asking(s, why);
        auto cf = e.conditions(r.conditions);
        if (!cf || *cf <= 0.0) continue;
        aktualizacja_prbd(s, r.rule_number, kKoniec, *cf);
        komunikat_koniec(s);
        return;
    }
}

struct RunMarker {
    Session& s;
    ~RunMarker() {
        s.inference.jakiewnioskowanie.clear();
        s.inference.hipoteza.clear();
    }
};

std::string wyroznik_duzymi(const Session& s) {
    const std::string* w = s.kb.wyroznik.first();
    return w ? to_upper_pl(*w) : std::string();
}

}  // namespace

TextList wyznacz_liste_wnioskow_regul_i_modeli(Session& s) {
    s.models.lista_wnioskow_modeli.clear();
    s.models.lista_wnioskow_modeli.append(wyznacz_wnioski_modeli(s));
    TextList all = pierwsza(s.kb.lista_wnioskow_regul.rows());
    const TextList& models = pierwsza(s.models.lista_wnioskow_modeli);
    all.insert(all.end(), models.begin(), models.end());
    return redukuj(all);
}

TextList wyznacz_liste_warunkow(const Session& s) {
    TextList all;
    for (const auto& r : s.kb.rules.regula)
        all.insert(all.end(), r.conditions.begin(), r.conditions.end());
    return redukuj(all);
}

TextList kandydaci_hipotez(Session& s, int typ) {
    // Without a model base the stored lists are read in place.
    TextList own_conclusions, own_conditions;
    const TextList* conclusions = &pierwsza(s.kb.lista_wnioskow_regul.rows());
    const TextList* conditions = &pierwsza(s.kb.lista_warunkow.rows());
    if (s.kb.nazwa_mo.loaded()) {
        own_conclusions = wyznacz_liste_wnioskow_regul_i_modeli(s);
        own_conditions = wyznacz_liste_warunkow(s);
        conclusions = &own_conclusions;
        conditions = &own_conditions;
    }
    if (typ != kHipotezaWaska) return sortuj(*conclusions);
    // The conclusions that are no condition, in their order (roznica_zbiorow over views).
    FlatMap<std::string_view, char, TextHash> is_condition;
    is_condition.reserve(conditions->size());
    for (const auto& c : *conditions)
        is_condition.try_emplace(std::string_view(c), 1);
    TextList narrow;
    for (const auto& c : *conclusions)
        if (!is_condition.contains(std::string_view(c))) narrow.push_back(c);
    return sortuj(narrow);
}

double pytaj_0(Session& s, const std::string& condition) {
    s.ui.note("Określenie CF dla warunku ", "Podaj CF dla warunku\n   " + condition);
    return pytaj(s, condition);
}

void komunikat(Session& s, const std::string& h) {
    const bool main =
        s.inference.hipoteza.find_first([&](const std::string& x) { return x == h; }) != nullptr;
    // Both texts are built in a buffer kept between calls: a rule chain announces one
    // hypothesis per applied rule.
    std::string& text = scratch();
    text += main ? "Hipoteza główna  " : "Hipoteza pomocnicza ";
    text += h;
    text += " jest testowana.\n";
    pisz(s, text);
    text.clear();
    text += main ? "Hipoteza główna \n    " : "Hipoteza pomocnicza \n     ";
    text += h;
    text += "\njest testowana.";
    s.ui.note(main ? "Hipoteza główna" : "Hipoteza pomocnicza", text);
}

std::optional<double> ocena_hipotezy_cd(Session& s, const std::string& h) {
    Evaluator e(s);
    return e.evaluate(h);
}

std::optional<double> testowanie_listy_warunkow(Session& s, const TextList& conditions) {
    Evaluator e(s);
    return e.conditions(conditions);
}

std::optional<double> ocena_hipotezy(Session& s, const std::string& h) {
    try {
        // The pending lists and the declared data come first, so that the "koniec" rules see
        // the declared facts instead of asking for them.
        tworz_listy_oczekujacych(s);
        if (!s.kb.rules.fakt.empty()) przedstawienie_faktow_pierwotnych(s);
        if (!s.kb.models.m_fakt.empty()) przedstawienie_m_faktow_pierwotnych(s);
        if (!s.kb.models.argument_znany.empty()) przedstawienie_zmiennych_pierwotnych(s);
        // Facts that contradict the exact constraints stop the test with the error's message.
        if (blad_wykluczajacych(s)) return std::nullopt;
        inicjalizacja_faktow(s, false);
        inicjalizacja_faktow(s, true);
        if (blad_wykluczajacych(s)) return std::nullopt;
        for (const auto& a : s.kb.models.argument_znany)
            s.inference.zmienna_ustalona.append(a.argument_name, a.value);
        Evaluator e(s);
        regula_koniec(s, e);
        if (!zrob_koniec(s)) {
            s.inference.hipoteza.clear();
            komunikat_koniec(s);
            return 0.0;
        }
        return e.evaluate_main(h);
    } catch (const ConsultationStop&) {
        // Stopped by the user: as after a "koniec" rule, the hypothesis gets CF 0 and the run
        // goes on to its end.
        s.inference.hipoteza.clear();
        s.inference.konczenie = true;
        return 0.0;
    }
}

void opcja_z_menu_testowania(Session& s, int typ) {
    if (s.kb.blad_wykluczajacych.find_first([](const std::string& x) { return x == "TAK"; })) return;
    const bool waska = typ == kHipotezaWaska;
    const TextList candidates = kandydaci_hipotez(s, typ);
    if (candidates.empty()) {
        s.ui.note("Uwaga!", "Brak hipotez do testowania!");
        return;
    }
    s.ui.asking(Asking::Hypothesis);
    auto chosen = s.ui.choose_one_prompted(
        waska ? "Hipoteza w sensie wąskim" : "Hipoteza w sensie szerokim",
        waska ? "Wybierz hipotezę w sensie wąskim!" : "Wybierz hipotezę w sensie szerokim!", candidates);
    if (!chosen || *chosen < 0 || static_cast<std::size_t>(*chosen) >= candidates.size()) return;
    const std::string h = candidates[static_cast<std::size_t>(*chosen)];

    pisz(s, waska ? "Testuję hipotezę w sensie wąskim:  " : "Testuję hipotezę w sensie szerokim: ");
    piszcr(s);
    pisz(s, h);
    piszcr(s);
    piszcr(s);
    s.ui.note("Uwaga!", std::string(waska ? "Testuję hipotezę w sensie wąskim\n   "
                                          : "Testuję hipotezę w sensie szerokim\n   ") +
                            h);
    s.inference.hipoteza.append(h);

    const auto cf = ocena_hipotezy(s, h);
    s.inference.konczenie = true;
    sync_pending_lists(s);
    run_finished(s, RunDirection::Backward, h);
    if (!cf) return;

    const std::string w = wyroznik_duzymi(s);
    piszln(s, waska && s.kb.nazwa_mo.loaded() ? "Dla testowanej hipotezy w sensie wąskim jest:"
                                              : "Dla testowanej hipotezy jest:");
    pisz(s, "CF(" + h + ") = ");
    piszreal(s, *cf);
    piszcr(s);
    piszcr(s);
    pokaz_wyjasnienie(s, "Wynik wnioskowania wstecz:",
                      {"Z bazy wiedzy " + w, "z zadeklarowanych faktów i z wartości argumentów",
                       waska ? "wynika hipoteza w sensie wąskim:" : "wynika hipoteza w sensie szerokim:",
                       "  " + h + "(" + format_lg(*cf) + ")"});

    udziel_rady_wstecz(s, h);
    wyswietl_grafike(s, *cf, h);
    przesluchaj_melodie(s, *cf, h);

    s.ui.note("Uwaga!", "Teraz czas na podsumowanie!");
    opcja_z_menu_szczegolowosci(s, 2);
    przedstawienie_faktow(s);
    piszcr(s);
    przedstawienie_zmiennych(s);
    piszcr(s);
    wnioski_bez_cf(s);
    piszln(s, "To już wszystko, co wynikło z bazy wiedzy " + w);
    piszln(s, "z zadeklarowanych faktów i wartości argumentów");
    piszln(s, "w trakcie testowania hipotezy:");
    piszln(s, h);
    s.ui.note("Koniec wnioskowania wstecz",
              "To już wszystko, co wynikło z bazy wiedzy  \n     " + w +
                  "\nz zadeklarowanych faktów i wartości argumentów\nw trakcie testowania hipotezy:\n    " +
                  h);
    s.inference.hipoteza.remove_first([&](const std::string& x) { return x == h; });
    podsumowanie(s);
    raport(s);
}

void wnioskowanie_wstecz(Session& s) {
    s.inference.jakiewnioskowanie.clear();
    s.inference.jakiewnioskowanie.append("WSTECZ");
    s.inference.hipoteza.clear();
    RunMarker marker{s};
    run_started(s);
    s.ui.helper_clear();
    if (!start_wnioskowania(s, InferenceDirection::Backward)) return;
    // The condition "bez warunku" always holds, as in the forward run.
    append_resultant(s, kBezWarunku, 1.0, {OriginKind::Always});
    s.ui.asking(Asking::HypothesisType);
    const int typ = s.ui.radio("Hipoteza wybór", "Wybierz typ testowanej hipotezy!",
                               {"Hipoteza w sensie wąskim", "Hipoteza w sensie szerokim"}, kHipotezaWaska);
    try {
        opcja_z_menu_testowania(s, typ);
    } catch (const ConsultationStop&) {
        // Stopped before any hypothesis was tested.
    }
}

void register_backward_commands(CommandRegistry& r) {
    r.set(10165, wnioskowanie_wstecz);
}

}  // namespace zuva
