// The evaluation of a hypothesis is a machine over an explicit stack of frames, one frame per
// hypothesis under evaluation. A frame walks the alternatives in order; when a rule needs the
// CF of a condition it asks the driver for a child frame and resumes with the child's result,
// so conditions are followed depth first, left to right, exactly as a recursive evaluation
// would follow them, however deep the chain of rules is. A hypothesis already on the stack
// (a circular base) gives no CF to the request that would start it again.
#include "consult/hypothesis_evaluator.h"

#include <algorithm>

#include "consult/calculus_basics.h"
#include "consult/model_steps.h"
#include "report/report.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {
namespace backward {

namespace {
const char* const kKoniecText = N_("Reguła z wnioskiem 'koniec' kończy wnioskowanie.");
}  // namespace

// A text buffer for the pieces of one report block, kept between uses (emptied here).
std::string& scratch() {
    static thread_local std::string text;
    text.clear();
    return text;
}

void komunikat_koniec(Session& s) {
    s.helper(std::string(tr(kKoniecText)) + "\n");
    s.ui.note(tr("Uwaga - koniec!"), tr(kKoniecText));
}

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
            lines.push_back(tr("Jest to potrzebne regule ") + std::to_string(r.rule_number) +
                            tr(" o postaci:"));
            // The condition is the one asked when the frame above it asks its own name.
            const bool asked = innermost && j + 2 == stack_.size() && stack_.back().stage == Stage::Start;
            rule_lines(s, r, f.cond_i, asked, lines);
            if (f.negated)
                lines.push_back(tr("(hipoteza ") + *f.h + tr(" jest zaprzeczeniem wniosku tej reguły)"));
            ++full;
        } else if (brief < kBrief) {
            if (brief == 0) lines.push_back(tr("Dalej w łańcuchu reguł:"));
            lines.push_back(tr("    reguła ") + std::to_string(r.rule_number) + tr(" (wniosek: ") +
                            r.conclusion + ")");
            ++brief;
        } else {
            ++more;
        }
    }
    if (more) lines.push_back(tr("    ... (jeszcze ") + std::to_string(more) + tr(" reguł)"));
    if (!main_) return;
    if (stack_.size() == 1 && innermost && stack_.front().stage == Stage::Start) {
        lines.push_back(tr("Warunek ten jest testowaną hipotezą główną."));
        return;
    }
    lines.push_back(tr("Wszystko to służy testowaniu hipotezy głównej:"));
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
        text += tr("Z wszystkich reguł kumulatywnych (z pojedynczej reguły) dla hipotezy:\n    ");
        text += h;
        text += tr("\nwynika:\n    ");
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
    text += same_signs ? tr("Z wszystkich reguł dysjunktywnych dla hipotezy:\n    ")
                       : tr("Z wszystkich reguł dysjunktywnych dla hipotezy\n    ");
    text += h;
    text += tr("\nwynika:\n    CF(");
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

}  // namespace backward
}  // namespace zuva
