// The trace is read from the run's own tables after it ends: the contributions (prbd keeps
// each rule's latest one) and the applied-rule marks, the applied models and the models that
// fixed values, and the origins of resultants and values. The inventory loads the base into
// a session of its own and places every item on its record's line.
#include "api/trace.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <unordered_set>

#include "api/consultation_impl.h"
#include "consult/why_asked.h"
#include "import/conversion.h"
#include "session/session.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/number_format.h"
#include "verify/completeness.h"

namespace zuva::api {

void add_imported(Session& s, const std::vector<ImportedRow>& rows) {
    if (rows.empty()) return;
    std::vector<ImportRow> in;
    in.reserve(rows.size());
    for (const auto& r : rows)
        in.push_back({r.kind, r.name, r.value});
    ConvertedRows c = convert_rows(in);
    for (auto& f : c.facts) {
        mark_imported(s, f.fact_text, false);
        s.kb.rules.fakt.append(std::move(f));
    }
    for (auto& a : c.arguments) {
        mark_imported(s, a.argument_name, true);
        s.kb.models.argument_znany.append(std::move(a));
    }
}

Trace trace_of(const Session& s) {
    Trace t;
    std::set<int> rules, models;
    s.inference.prbd.for_each([&](const Prbd& p) {
        rules.insert(p.rule_number);
        t.contributions.push_back({p.conclusion, false, p.rule_number, p.contribution});
    });
    for (const auto& r : s.kb.rules.regula)
        if (s.inference.regula_zastosowana.contains(r.rule_number)) rules.insert(r.rule_number);
    for (std::int32_t n : s.inference.model_stosowany)
        models.insert(n);
    for (const auto& [name, origin] : s.inference.explain.value_origins) {
        if (origin.kind == ValueOrigin::Model) models.insert(origin.model_number);
        if (origin.kind == ValueOrigin::Answer) t.answered.push_back(name);
    }
    std::unordered_set<std::string> seen;
    s.inference.wypadkowa_prbd.for_each([&](const std::string& st, double cf) {
        const ResultantOrigin o = origin_of(s, st);
        if (o.kind == OriginKind::RelationalModel) {
            models.insert(o.ref);
            t.contributions.push_back({st, true, o.ref, cf});
        }
        if (o.kind == OriginKind::Answer && seen.insert(st).second) t.answered.push_back(st);
        if (o.kind == OriginKind::ExactConstraint) t.completed.push_back(st);
    });
    t.rules.assign(rules.begin(), rules.end());
    t.models.assign(models.begin(), models.end());
    return t;
}

namespace {

RecordLines lines_of(const std::string& path) {
    auto bytes = read_file_bytes(path);
    if (!bytes) return {};
    auto text = decode_file_text(*bytes);
    return text ? RecordLines(*text) : RecordLines();
}

}  // namespace

Inventory inventory(const KnowledgeBase& kb) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const std::string full = fs::absolute(kb.rule_file(), ec).lexically_normal().string();
    const Session& s = kb.impl_->loaded->s;
    const fs::path dir = fs::path(kb.rule_file()).parent_path();
    auto shown = [&](const BaseName& b) { return b.loaded() ? (dir / b.name()).string() : std::string(); };
    Inventory inv;
    const std::string rule_file = kb.rule_file();
    const RecordLines rl = lines_of(full);
    std::size_t ordinal = 0;
    for (const auto& r : s.kb.rules.regula)
        inv.rules.push_back(
            {r.conclusion, r.rule_number, rule_file, rl.line_of("reguła", ordinal++).value_or(0)});

    // The first line that names an askable condition: the first rule that has it.
    auto condition_line = [&](const std::string& name) {
        std::size_t i = 0;
        for (const auto& r : s.kb.rules.regula) {
            if (std::find(r.conditions.begin(), r.conditions.end(), name) != r.conditions.end())
                return rl.line_of("reguła", i).value_or(0);
            ++i;
        }
        return 0;
    };
    // With a model base the askable conditions are those of both bases (less the arguments);
    // a condition the rule base declares as a fact is never asked.
    std::unordered_set<std::string> not_conditions;
    for (const auto& f : s.kb.rules.fakt)
        not_conditions.insert(f.fact_text);
    const TextList* askable = s.kb.lista_warunkow_dopytywalnych.first();
    if (s.kb.nazwa_mo.loaded() && !s.models.lista_warunkow_i_argumentow_dopytywalnych.empty()) {
        askable = s.models.lista_warunkow_i_argumentow_dopytywalnych.first();
        if (const TextList* args = s.models.lista_argumentow_dopytywalnych.first())
            not_conditions.insert(args->begin(), args->end());
    }
    if (askable)
        for (const auto& a : *askable)
            if (!not_conditions.count(a))
                inv.askable_conditions.push_back({a, 0, rule_file, condition_line(a)});

    if (s.kb.nazwa_mo.loaded() && !s.kb.nazwa_mo.full_path.empty()) {
        const std::string model_file = shown(s.kb.nazwa_mo);
        const RecordLines ml = lines_of(*s.kb.nazwa_mo.full_path.first());
        std::vector<Item> models;
        auto add = [&](const char* table, std::size_t i, int number, const std::string& result) {
            models.push_back({result, number, model_file, ml.line_of(table, i).value_or(0)});
        };
        std::size_t i = 0;
        for (const auto& m : s.kb.models.model)
            add("model", i++, m.model_number, m.result);
        i = 0;
        for (const auto& m : s.kb.models.model_r)
            add("model_r", i++, m.model_number, m.result);
        i = 0;
        for (const auto& m : s.kb.models.model_liniowy)
            add("model_liniowy", i++, m.model_number, m.result);
        i = 0;
        for (const auto& m : s.kb.models.model_wielomianowy)
            add("model_wielomianowy", i++, m.model_number, m.result);
        std::stable_sort(models.begin(), models.end(),
                         [](const Item& a, const Item& b) { return a.line < b.line; });
        inv.models = std::move(models);

        // The first model that reads an argument.
        auto argument_line = [&](const std::string& name) {
            int best = 0;
            auto consider = [&](const char* table, std::size_t k, bool reads) {
                const int l = reads ? ml.line_of(table, k).value_or(0) : 0;
                if (l != 0 && (best == 0 || l < best)) best = l;
            };
            auto has = [&](const TextList& l) { return std::find(l.begin(), l.end(), name) != l.end(); };
            std::size_t k = 0;
            for (const auto& m : s.kb.models.model)
                consider("model", k++, m.argument1 == name || m.argument2 == name);
            k = 0;
            for (const auto& m : s.kb.models.model_r)
                consider("model_r", k++, has(m.variables));
            k = 0;
            for (const auto& m : s.kb.models.model_liniowy)
                consider("model_liniowy", k++, has(m.variables));
            k = 0;
            for (const auto& m : s.kb.models.model_wielomianowy)
                consider("model_wielomianowy", k++, m.variable == name);
            return best;
        };
        if (const TextList* args = s.models.lista_argumentow_dopytywalnych.first())
            for (const auto& a : *args)
                inv.askable_arguments.push_back({a, 0, model_file, argument_line(a)});
    }
    return inv;
}

}  // namespace zuva::api
