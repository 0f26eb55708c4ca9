// The forward loop keeps an agenda instead of rescanning the rule table at every step.
// A rule is in one of these states:
//   candidate  - it may be applicable: the next step scan visits it in table order;
//   waiting    - its first condition without a resultant may not be asked; it becomes a
//                candidate again when that statement gets a resultant;
//   negative   - a disjunctive rule with conditions CF and rule CF both <= 0, waiting for
//                the skip step;
//   applied    - marked in regula_zastosowana;
//   dormant    - it lost its applied mark after its number had left the pending list; it
//                was re-applied once (its new contribution recorded) and is tried again
//                only when it loses its mark again or a condition's resultant changes;
//   done       - its conclusion's pending list is empty, so no step can take it.
// A step scan visits the candidates in increasing rule position, and a rule that becomes
// a candidate behind the scan position is visited on the next pass, exactly as a scan of
// the whole rule table would find it. Rules skipped by the agenda are those whose test
// has no effect: waiting rules (their askable conditions before the blocking one are
// already answered), negative rules in the apply step, and rules already applied.
// Conclusions whose pending list became empty are queued in the order they emptied,
// which is their order in the pending-list table (a reduced list moves to its end).
// A cumulative rule whose only condition is "bez warunku" is applied like any other: that
// condition has the resultant 1.0 from the start of the run. Since a dormant rule is not
// retried on every pass, a circular base cannot make the loop re-apply a rule endlessly.
#include "consult/forward_loop.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "consult/askable_file.h"
#include "consult/calculus_basics.h"
#include "consult/cf_calculus.h"
#include "consult/description.h"
#include "consult/early_end.h"
#include "consult/exclusive.h"
#include "consult/how_concluded.h"
#include "consult/inference_start.h"
#include "consult/media_offers.h"
#include "consult/model_steps.h"
#include "consult/position_set.h"
#include "consult/pytaj.h"
#include "consult/summary.h"
#include "consult/why_asked.h"
#include "report/report.h"
#include "session/command_registry.h"
#include "session/session.h"
#include "store/paged_array.h"
#include "text/codec.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {

namespace {

const char* const kKoniec = "koniec";

enum class RuleState : std::uint8_t { Candidate, Waiting, Negative, Applied, Dormant, Done, Excluded };

// Graphics and sound of a conclusion that got its resultant.
void zaoferuj_grafike_i_dzwiek(Session& s, double cf, const std::string& conclusion) {
    wyswietl_grafike(s, cf, conclusion);
    przesluchaj_melodie(s, cf, conclusion);
}

class ForwardRun : public WhySource {
  public:
    explicit ForwardRun(Session& s)
        : s_(s),
          ix_(rule_index(s)),
          rules_(s.kb.rules.regula.rows()),
          state_(rules_.size(), RuleState::Candidate),
          cumulative_(rules_.size()),
          disjunctive_(rules_.size()),
          negative_(rules_.size()),
          res_row_(ix_.statement_count(), -1),
          wait_head_(ix_.statement_count(), -1) {
        const std::size_t n = rules_.size();
        // The statements of the rules are indexed in prbd and in the resultants by their ids.
        s.inference.prbd.use_ids(ix_.ids);
        s.inference.wypadkowa_prbd.use_ids(ix_.ids);
        s.inference.regula_zastosowana.reserve(n);
        for (std::size_t i = 0; i < n; ++i) {
            const auto p = static_cast<std::int32_t>(i);
            if (is_disj(p)) {
                disjunctive_.insert(p);
            } else if (rules_[i].conclusion == kKoniec) {
                state_.mut(i) = RuleState::Excluded;
            } else {
                cumulative_.insert(p);
            }
        }
        // The whole journal so far gives the resultants of the declared data.
        journal_seen_ = s.inference.wypadkowa_prbd.journal_first();
        unmarked_seen_ = ix_.unmarked.size();
        emptied_seen_ = ix_.emptied.size();
        drain();
    }

    // While a condition of a rule is asked: that rule, and where its conclusion leads.
    void why(const Session& s, bool innermost, std::vector<std::string>& lines) const override {
        if (asking_ < 0) return;
        const Regula& r = rule(asking_);
        lines.push_back(tr("Jest to potrzebne regule ") + std::to_string(r.rule_number) + tr(" o postaci:"));
        rule_lines(s, r, asking_at_, innermost, lines);
        feeds_lines(s, r.conclusion, lines);
    }

    void run() {
        const WhyScope asking(s_, *this);
        try {
            loop();
        } catch (const ConsultationStop&) {
            // Stopped by the user: the run ends as a "koniec" rule ends it, without its note.
            asking_ = -1;
            zakonczenie_wczesne();
        }
    }

    // The end of a run stopped before its loop began.
    void stop() {
        const WhyScope asking(s_, *this);
        zakonczenie_wczesne();
    }

  private:
    void loop() {
        for (;;) {
            drain();
            // Two resultants for one statement would follow: the error ends the run through its
            // normal end, so that the summary and the report are still offered.
            if (blad_wykluczajacych(s_)) return koniec_wnioskowania();
            if (!koniec_open()) return koniec();
            if (step_cumulative()) continue;
            if (!koniec_open()) return koniec();
            if (step_disjunctive_apply()) continue;
            if (!koniec_open()) return koniec();
            if (step_disjunctive_skip()) continue;
            if (step_resultant(q4_, h4_, false) || step_resultant(q5_, h5_, false)) continue;
            if (step_resultant(q6_, h6_, true) || step_resultant(q7_, h7_, true)) continue;
            bool model = false;
            for (int step = 8; step <= 15 && !model; ++step) {
                if (!koniec_open()) return koniec();
                model = forward_model_step(s_, step);
            }
            if (model) continue;
            if (!koniec_open()) return koniec();
            return koniec_wnioskowania();
        }
    }

    // zrob_koniec, looked at again only when prbd changed.
    bool koniec_open() {
        const std::size_t v = s_.inference.prbd.updates();
        if (v != koniec_checked_at_ || v == 0) {
            koniec_checked_at_ = v;
            koniec_open_ = zrob_koniec(s_);
        }
        return koniec_open_;
    }

    struct Queued {
        std::int32_t conclusion;  // statement id
        double cf;                // its resultant, fixed once its pending list is empty
    };

    static std::size_t u(std::int32_t v) { return static_cast<std::size_t>(v); }
    std::int32_t conclusion_id(std::int32_t p) const { return ix_.conclusion_of[u(p)]; }
    bool is_disj(std::int32_t p) const { return ix_.disjunctive[u(conclusion_id(p))] != 0; }
    bool conclusion_pending(std::int32_t p) const { return ix_.remaining[u(conclusion_id(p))] > 0; }
    RuleState st(std::int32_t p) const { return state_[u(p)]; }
    void set_st(std::int32_t p, RuleState v) { state_.mut(u(p)) = v; }
    const Regula& rule(std::int32_t p) const { return rules_[u(p)]; }
    // The text of a conclusion, as its first rule holds it.
    const std::string& conclusion_text(std::int32_t id) const {
        return rules_[u(ix_.concluding_positions[u(ix_.concluding_offset[u(id)])])].conclusion;
    }

    void make_candidate(std::int32_t p) {
        set_st(p, RuleState::Candidate);
        negative_.erase(p);
        (is_disj(p) ? disjunctive_ : cumulative_).insert(p);
    }
    void leave_sets(std::int32_t p) {
        cumulative_.erase(p);
        disjunctive_.erase(p);
        negative_.erase(p);
    }
    void wait_on(std::int32_t p, std::int32_t statement) {
        leave_sets(p);
        set_st(p, RuleState::Waiting);
        wait_pool_.push_back({p, wait_head_[u(statement)]});
        wait_head_.mut(u(statement)) = static_cast<std::int32_t>(wait_pool_.size() - 1);
    }

    // A waiting rule whose blocking statement got a resultant: a candidate again, or
    // waiting on its next condition that may not be asked. Nothing is asked here.
    void reevaluate(std::int32_t p) {
        for (std::int32_t k = ix_.condition_offset[u(p)]; k < ix_.condition_offset[u(p) + 1]; ++k) {
            const std::int32_t id = ix_.condition_ids[u(k)];
            if (res_row_[u(id)] >= 0) continue;
            if (ix_.askable[u(id)]) break;
            return wait_on(p, id);
        }
        make_candidate(p);
    }

    // drain() after the run itself gave `id` a resultant: the first journal entry is
    // known to be that statement's, which spares looking its text up.
    void drain_own(std::int32_t id) {
        known_ = id;
        drain();
    }

    // Brings the agenda up to date with what the calculus did since the last call.
    void drain() {
        auto& res = s_.inference.wypadkowa_prbd;
        while (journal_seen_ < res.journal_size()) {
            const auto change = res.journal_at(journal_seen_++);
            const std::string& key = res.key_of_row(change.row);
            std::int32_t id = -1;
            if (known_ >= 0 && ix_.statement(known_) == key)
                id = known_;
            else
                id = ix_.id_of(key);
            known_ = -1;
            if (id < 0) continue;
            res_row_.mut(u(id)) = change.gone ? -1 : static_cast<std::int64_t>(change.row);
            if (change.gone) continue;
            if (change.first) {
                std::int32_t w = wait_head_[u(id)];
                if (w >= 0) wait_head_.mut(u(id)) = -1;
                for (; w >= 0; w = wait_pool_[u(w)].next)
                    if (st(wait_pool_[u(w)].position) == RuleState::Waiting)
                        reevaluate(wait_pool_[u(w)].position);
            } else {
                for (std::int32_t k = ix_.user_offset[u(id)]; k < ix_.user_offset[u(id) + 1]; ++k) {
                    const std::int32_t p = ix_.user_positions[u(k)];
                    if (st(p) == RuleState::Dormant || st(p) == RuleState::Negative) make_candidate(p);
                }
            }
        }
        res.forget_journal();
        while (unmarked_seen_ < ix_.unmarked.size()) {
            const std::int32_t p = ix_.unmarked[unmarked_seen_++];
            if (st(p) != RuleState::Applied) continue;
            if (conclusion_pending(p))
                make_candidate(p);
            else
                set_st(p, RuleState::Done);
        }
        while (emptied_seen_ < ix_.emptied.size()) {
            const std::int32_t id = ix_.emptied[emptied_seen_++];
            const std::string& c = conclusion_text(id);
            if (ix_.disjunctive[u(id)]) {
                if (auto cf = wypadkowa_dysjunktywna(s_, c))
                    (jednakowe_znaki(s_, c) ? q6_ : q7_).push_back({id, *cf});
            } else if (c != kKoniec) {
                auto [pos, neg] = dodatnie_i_ujemne_cf(s_, c, {ix_.ids.get(), id});
                (pos * neg == -1.0 ? q5_ : q4_).push_back({id, wypadkowa_z(pos, neg)});
            }
        }
    }

    // testuj_warunki over the statement ids of the rule: left to right, asking what may be
    // asked, the minimum from the back; the rule waits when a condition may not be asked.
    std::optional<double> conditions_of(std::int32_t p) {
        const std::int32_t first = ix_.condition_offset[u(p)];
        const std::size_t n = u(ix_.condition_offset[u(p) + 1] - first);
        if (n == 0) return 1.0;
        double small[16];
        std::vector<double> big;
        double* cf = small;
        if (n > 16) {
            big.resize(n);
            cf = big.data();
        }
        for (std::size_t i = 0; i < n; ++i) {
            const std::int32_t id = ix_.condition_ids[u(first) + i];
            if (res_row_[u(id)] >= 0) {
                cf[i] = s_.inference.wypadkowa_prbd.value_of_row(u(res_row_[u(id)]));
            } else if (ix_.askable[u(id)]) {
                asking_ = p;
                asking_at_ = i;
                cf[i] = pytaj(s_, rule(p).conditions[i]);
                asking_ = -1;
                drain_own(id);
            } else {
                wait_on(p, id);
                return std::nullopt;
            }
        }
        double m = 1.0;
        for (std::size_t i = n; i-- > 0;)
            m = mini(cf[i], m);
        return m;
    }

    bool retire_if_done(std::int32_t p) {
        if (conclusion_pending(p)) return false;
        leave_sets(p);
        set_st(p, RuleState::Done);
        return true;
    }

    void applied(std::int32_t p) {
        leave_sets(p);
        oznacz_zastosowana(s_, rule(p).rule_number);
        set_st(p, RuleState::Applied);
    }
    void dormant(std::int32_t p) {
        leave_sets(p);
        set_st(p, RuleState::Dormant);
        drain();
    }

    // Steps 1 and 2 share their loop: the first candidate rule whose conditions have a CF
    // gets its contribution recorded and is applied. `set_aside` may take the rule out of
    // the candidates first (disjunctive rules with both CFs <= 0, step 2); `record` writes
    // the contribution of the rule's kind.
    template <class SetAside, class Record>
    bool step_apply(PositionSet& candidates, SetAside set_aside, Record record) {
        for (std::int32_t p = candidates.next(0); p >= 0; p = candidates.next(p + 1)) {
            if (retire_if_done(p)) continue;
            auto cf = conditions_of(p);
            if (!cf) continue;
            const Regula& r = rule(p);
            const double rule_cf = wyznacz_cf(s_, r.conclusion, r.cf_text);
            if (set_aside(p, *cf, rule_cf)) continue;
            auto contribution = record(p, *cf, rule_cf);
            if (!contribution) {
                dormant(p);
                continue;
            }
            przedstawienie_faktow(s_);
            wyjasnienie_regula(s_, *contribution, r);
            applied(p);
            return true;
        }
        return false;
    }

    // Step 1: the first cumulative rule whose conditions have a CF.
    bool step_cumulative() {
        return step_apply(
            cumulative_, [](std::int32_t, double, double) { return false; },
            [this](std::int32_t p, double cf, double rule_cf) {
                return zapisz_wklad_kumulatywny_pozycji(s_, p, cf, rule_cf);
            });
    }

    // Step 2: the first disjunctive rule whose conditions CF and rule CF are not both <= 0.
    bool step_disjunctive_apply() {
        return step_apply(
            disjunctive_,
            [this](std::int32_t p, double cf, double rule_cf) {
                if (!oba_cf_ujemne(cf, rule_cf)) return false;
                disjunctive_.erase(p);
                negative_.insert(p);
                set_st(p, RuleState::Negative);
                return true;
            },
            [this](std::int32_t p, double cf, double rule_cf) {
                return zapisz_wklad_dysjunktywny_pozycji(s_, p, cf, rule_cf);
            });
    }

    // Step 3: the first disjunctive rule with both CFs <= 0 is skipped.
    bool step_disjunctive_skip() {
        auto next = [&](std::int32_t from) {
            std::int32_t a = disjunctive_.next(from), b = negative_.next(from);
            if (a < 0) return b;
            if (b < 0) return a;
            return a < b ? a : b;
        };
        for (std::int32_t p = next(0); p >= 0; p = next(p + 1)) {
            if (retire_if_done(p)) continue;
            auto cf = conditions_of(p);
            if (!cf) continue;
            const Regula& r = rule(p);
            auto rule_cf = parse_real(r.cf_text);
            if (!rule_cf || !oba_cf_ujemne(*cf, *rule_cf)) {
                // Applied by the next apply step.
                if (st(p) == RuleState::Negative) make_candidate(p);
                continue;
            }
            if (!redukuj_pozycje(s_, p)) {
                dormant(p);
                continue;
            }
            przedstawienie_faktow(s_);
            wyjasnienie_regula_dysjunktywna_pomijana(s_, r, *cf, *rule_cf);
            applied(p);
            return true;
        }
        return false;
    }

    // Steps 4 to 7: the first conclusion (in pending-table order) with an empty pending
    // list and no resultant; the queues are split by total conflict (cumulative) and by
    // jednakowe_znaki (disjunctive). A disjunctive conclusion all of whose rules were
    // skipped is never queued: it gets no resultant.
    bool step_resultant(std::vector<Queued>& q, std::size_t& head, bool disjunctive) {
        // A queue read to its end starts again from the front, so that it holds only what
        // is still waiting.
        if (head == q.size()) {
            q.clear();
            head = 0;
        }
        while (head < q.size()) {
            const Queued item = q[head++];
            if (res_row_[u(item.conclusion)] >= 0) continue;
            const std::string& c = conclusion_text(item.conclusion);
            wyjasnienie_wypadkowej(s_, c, item.cf, disjunctive);
            pamietaj_wniosek_wypadkowy(
                s_, c, item.cf, {disjunctive ? OriginKind::DisjunctiveRules : OriginKind::CumulativeRules},
                {ix_.ids.get(), item.conclusion});
            drain_own(item.conclusion);
            przedstawienie_faktow(s_);
            przedstawienie_zmiennych(s_);
            zaoferuj_grafike_i_dzwiek(s_, item.cf, c);
            return true;
        }
        return false;
    }

    // Step 18.
    void koniec() {
        const std::string text = tr("Reguła z wnioskiem 'koniec' kończy wnioskowanie.");
        s_.helper(text + "\n");
        s_.ui.note(tr("Uwaga - koniec!"), text);
        zakonczenie_wczesne();
    }

    // A run that stops early still ends as every run: the resultants of what the applied
    // rules concluded, then steps 16 and 17.
    void zakonczenie_wczesne() {
        s_.inference.konczenie = true;
        wypadkowe_zastosowanych_regul(s_);
        koniec_wnioskowania();
    }

    // Steps 16 and 17.
    void koniec_wnioskowania() { koniec_wnioskowania_w_przod(s_); }

    Session& s_;
    RuleIndex& ix_;
    const std::vector<Regula>& rules_;
    PagedArray<RuleState> state_;
    PositionSet cumulative_, disjunctive_, negative_;
    PagedArray<std::int64_t> res_row_;  // per statement id: slot of its resultant, or -1
    struct Waiter {
        std::int32_t position, next;
    };
    PagedArray<std::int32_t> wait_head_;  // per statement id: rules waiting on it
    std::vector<Waiter> wait_pool_;
    std::size_t journal_seen_ = 0, unmarked_seen_ = 0, emptied_seen_ = 0;
    std::int32_t known_ = -1;
    std::int32_t asking_ = -1;  // the rule whose condition is being asked, or -1
    std::size_t asking_at_ = 0;
    std::size_t koniec_checked_at_ = static_cast<std::size_t>(-1);
    bool koniec_open_ = true;
    std::vector<Queued> q4_, q5_, q6_, q7_;
    std::size_t h4_ = 0, h5_ = 0, h6_ = 0, h7_ = 0;
};

}  // namespace

void forward_loop(Session& s, bool stopped) {
    ForwardRun run(s);
    if (stopped)
        run.stop();
    else
        run.run();
}

}  // namespace zuva
