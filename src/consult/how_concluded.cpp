// The command "Jak uzyskano wniosek?": the conclusions of the last finished run with their
// CFs, and for the chosen one the tree of how_tree.cpp. A run that starts or finishes
// records what the command may explain.
#include "consult/how_concluded.h"

#include <algorithm>
#include <unordered_set>

#include "consult/calculus_basics.h"
#include "consult/how_tree.h"
#include "consult/why_asked.h"
#include "kb/texts_base.h"
#include "session/command_registry.h"
#include "session/enabling.h"
#include "session/session.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {

using namespace how;

namespace {

const char* const kKoniec = "koniec";

void model_sizes(const Session& s, std::size_t out[4]) {
    const ModelGroup& g = s.kb.models;
    out[0] = g.model.count();
    out[1] = g.model_r.count();
    out[2] = g.model_liniowy.count();
    out[3] = g.model_wielomianowy.count();
}

bool results_available(const Session& s) {
    const ExplainState& e = s.inference.explain;
    if (e.finished == RunDirection::None) return false;
    std::size_t now[4];
    model_sizes(s, now);
    return std::equal(now, now + 4, e.model_sizes);
}

}  // namespace

void run_started(Session& s) {
    s.inference.explain.finished = RunDirection::None;
    s.inference.explain.hypothesis.clear();
    if (is_enabled(s, cmd::jak_uzyskano_wniosek)) disable_commands(s, {cmd::jak_uzyskano_wniosek});
}

void run_finished(Session& s, RunDirection direction, const std::string& hypothesis) {
    ExplainState& e = s.inference.explain;
    e.finished = direction;
    e.hypothesis = hypothesis;
    model_sizes(s, e.model_sizes);
    enable_commands(s, {cmd::jak_uzyskano_wniosek});
}

std::vector<ConclusionItem> conclusions_of_last_run(const Session& s) {
    std::vector<ConclusionItem> out;
    std::unordered_set<std::string> listed;
    auto add = [&](const std::string& st) {
        if (st == kKoniec || !listed.insert(st).second) return;
        ConclusionItem item{st, false, 0.0};
        if (auto cf = resultant(s, st)) {
            item.has_cf = true;
            item.cf = *cf;
        }
        out.push_back(std::move(item));
    };
    for (const auto& r : s.kb.rules.regula)
        add(r.conclusion);
    if (s.kb.nazwa_mo.loaded()) {
        for (const auto& m : s.kb.models.model)
            if (relational_basic(m)) add(m.result);
        for (const auto& m : s.kb.models.model_r)
            if (relational_extended(m)) add(m.result);
    }
    // Hypotheses of a backward run that are no rule's conclusion ("n" + X, an askable one).
    if (!s.inference.explain.hypothesis.empty()) add(s.inference.explain.hypothesis);
    s.inference.wypadkowa_prbd.for_each([&](const std::string& st, double) {
        const OriginKind k = origin_of(s, st).kind;
        if (k == OriginKind::CumulativeRules || k == OriginKind::DisjunctiveRules) add(st);
    });
    return out;
}

void jak_uzyskano_wniosek(Session& s) {
    if (!results_available(s)) {
        s.ui.note(tr("Uwaga!"), tr("Brak wyników zakończonego wnioskowania.\nNajpierw przeprowadź "
                                   "wnioskowanie w przód lub wstecz."));
        return;
    }
    const std::vector<ConclusionItem> items = conclusions_of_last_run(s);
    if (items.empty()) {
        s.ui.note(tr("Uwaga!"), tr("Baza reguł nie ma wniosków do wyjaśnienia."));
        return;
    }
    std::vector<std::string> labels;
    labels.reserve(items.size());
    for (const auto& i : items)
        labels.push_back(dialog_name(s, i.statement) +
                         (i.has_cf ? " (CF = " + format_cf(i.cf) + ")" : tr(" (brak CF)")));
    auto chosen = s.ui.choose_one_prompted(tr("Jak uzyskano wniosek?"),
                                           tr("Wybierz wniosek ostatniego wnioskowania:"), labels);
    if (!chosen || *chosen < 0 || static_cast<std::size_t>(*chosen) >= items.size()) return;
    const ConclusionItem& item = items[static_cast<std::size_t>(*chosen)];
    s.ui.read_text(item.has_cf ? tr("Jak uzyskano wniosek ") + item.statement
                               : tr("Dlaczego wniosek ") + item.statement + tr(" nie ma CF"),
                   how_tree(s, item.statement));
}

void register_explain_commands(CommandRegistry& r) {
    r.set(cmd::jak_uzyskano_wniosek, jak_uzyskano_wniosek);
}

}  // namespace zuva
