// Each case runs on both versions through the runner `zuva test` uses, so that a case listed
// here passes or fails as the suite says it does. Conclusions are compared as a FAIL line
// shows their CFs: a change below the shown digits moves no conclusion.
#include "testing/case_impact.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>

#include "testing/case_run.h"

namespace zuva::testing {

namespace {

std::string file_name(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

// The latest contribution of each rule and model to each conclusion.
std::map<std::tuple<bool, int, std::string>, double> contributions(const CaseOutcome& o) {
    std::map<std::tuple<bool, int, std::string>, double> out;
    for (const auto& c : o.trace.contributions)
        out[{c.model, c.number, c.conclusion}] = c.cf;
    return out;
}

std::string shown(const std::optional<double>& cf) {
    return cf ? cf_text(*cf) : "";
}

void moved_conclusions(const CaseOutcome& a, const CaseOutcome& b, CaseImpact& out) {
    std::map<std::string, ConclusionMove> by_name;
    std::vector<std::string> order;
    for (int side = 0; side < 2; ++side)
        for (const auto& c : (side ? b : a).conclusions) {
            auto [it, added] = by_name.try_emplace(c.name);
            if (added) order.push_back(c.name);
            ConclusionMove& m = it->second;
            m.name = c.name;
            (side ? m.in_after : m.in_before) = true;
            (side ? m.after : m.before) = c.cf;
        }
    for (const auto& name : order) {
        const ConclusionMove& m = by_name[name];
        if (m.in_before != m.in_after || shown(m.before) != shown(m.after)) out.conclusions.push_back(m);
    }
}

void moved_contributions(const CaseOutcome& a, const CaseOutcome& b, CaseImpact& out) {
    const auto ca = contributions(a), cb = contributions(b);
    std::set<int> rules, models;
    auto differs = [&](const auto& from, const auto& to) {
        for (const auto& [key, cf] : from) {
            const auto it = to.find(key);
            if (it == to.end() || cf_text(it->second) != cf_text(cf))
                (std::get<0>(key) ? models : rules).insert(std::get<1>(key));
        }
    };
    differs(ca, cb);
    differs(cb, ca);
    out.rules.assign(rules.begin(), rules.end());
    out.models.assign(models.begin(), models.end());
}

}  // namespace

CaseImpacts case_impacts(const std::vector<CaseFile>& suites, const std::string& old_rule_base,
                         const std::string& new_rule_base) {
    CaseImpacts out;
    OpenedBases bases;
    const std::string old_name = file_name(old_rule_base), new_name = file_name(new_rule_base);
    for (const auto& suite : suites)
        for (const auto& c : suite.cases) {
            const std::string name = file_name(c.rule_path);
            if (name != old_name && name != new_name) {
                ++out.skipped;
                continue;
            }
            TestCase before = c, after = c;
            before.rule_path = old_rule_base;
            after.rule_path = new_rule_base;
            const CaseOutcome a = run_case(before, bases), b = run_case(after, bases);
            ++out.run;
            CaseImpact i;
            i.file = c.file;
            i.line = c.line;
            i.name = c.name;
            i.passed_before = a.passed;
            i.passed_after = b.passed;
            if (!a.differences.empty()) i.failure_before = a.differences.front();
            if (!b.differences.empty()) i.failure_after = b.differences.front();
            moved_conclusions(a, b, i);
            moved_contributions(a, b, i);
            if (i.passed_before != i.passed_after || !i.conclusions.empty())
                out.changed.push_back(std::move(i));
        }
    return out;
}

}  // namespace zuva::testing
