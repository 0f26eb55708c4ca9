// A case's differences are listed in the order of its checks: the refusal, the verdict, the
// conclusions and values in file order, then the advice, pictures and sounds offered. A CF
// that differs is shown with the rules (or the model) that gave it.
#include "testing/case_run.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "shell/finding_text.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva::testing {

namespace {

// A run that keeps asking is ended: no case of a sound base needs this many answers.
constexpr int kMaxQuestions = 100000;

std::string got_text(std::optional<double> cf) {
    return cf ? "CF " + cf_text(*cf) : "brak CF";
}

// "reguła 5: 0.72, reguła 20: 0.35" or "model 4: 0.80"; empty when no rule or model gave it.
std::string sources(const api::Result& r, const std::string& statement) {
    std::string out;
    for (const auto& c : r.trace.contributions) {
        if (c.conclusion != statement) continue;
        if (!out.empty()) out += ", ";
        out += (c.model ? "model " : tr("reguła ")) + std::to_string(c.number) + ": " + cf_text(c.cf);
    }
    return out;
}

std::string listed(const std::vector<std::string>& v) {
    std::string out = "[";
    for (const auto& x : v)
        out += (out.size() > 1 ? ", " : "") + x;
    return out + "]";
}

// An offer's file named with or without its extension ("akumulator" is "akumulator.bmp").
bool same_file(const std::string& offered, const std::string& expected) {
    if (offered == expected) return true;
    const std::size_t dot = offered.rfind('.');
    return dot != std::string::npos && offered.substr(0, dot) == expected;
}

void compare_offers(const char* what, const std::vector<api::Offer>& offered,
                    const std::optional<std::vector<std::string>>& expected,
                    std::vector<std::string>& diffs) {
    if (!expected) return;
    std::vector<std::string> missing, extra;
    for (const auto& e : *expected)
        if (std::none_of(offered.begin(), offered.end(),
                         [&](const api::Offer& o) { return same_file(o.name, e); }))
            missing.push_back(e);
    std::vector<std::string> names;
    for (const auto& o : offered) {
        if (std::find(names.begin(), names.end(), o.name) != names.end()) continue;
        names.push_back(o.name);
        if (std::none_of(expected->begin(), expected->end(),
                         [&](const std::string& e) { return same_file(o.name, e); }))
            extra.push_back(o.name);
    }
    if (missing.empty() && extra.empty()) return;
    std::string d =
        std::string(what) + tr(": oczekiwano ") + listed(*expected) + tr(", otrzymano ") + listed(names);
    diffs.push_back(d);
}

void compare_results(const TestCase& c, const api::Result& r, std::vector<std::string>& diffs) {
    auto cf_of = [&](const std::string& name, bool& known) -> std::optional<double> {
        for (const auto& x : r.conclusions)
            if (x.name == name) {
                known = true;
                return x.cf;
            }
        known = false;
        return std::nullopt;
    };
    if (c.verdict) {
        bool known = false;
        std::optional<double> got = r.completed ? cf_of(c.hypothesis, known) : std::nullopt;
        if (!c.verdict->matches(got)) {
            std::string d = tr("werdykt ") + c.hypothesis + tr(": oczekiwano ") + c.verdict->text() +
                            tr(", otrzymano ") + (got ? got_text(got) : std::string("brak werdyktu"));
            const std::string from = sources(r, c.hypothesis);
            if (!from.empty()) d += " (" + from + ")";
            diffs.push_back(d);
        }
    }
    for (const auto& e : c.conclusions) {
        bool known = false;
        const std::optional<double> got = cf_of(e.name, known);
        if (!known && e.expected.kind != Expected::Kind::None) {
            diffs.push_back(e.name + tr(": oczekiwano ") + e.expected.text() +
                            tr(", a baza nie ma takiego wniosku"));
            continue;
        }
        if (e.expected.matches(got)) continue;
        std::string d = e.name + tr(": oczekiwano ") + e.expected.text() + tr(", otrzymano ") + got_text(got);
        const std::string from = sources(r, e.name);
        if (!from.empty()) d += " (" + from + ")";
        diffs.push_back(d);
    }
    for (const auto& e : c.values) {
        std::optional<double> got;
        for (const auto& a : r.arguments)
            if (a.name == e.name) got = a.value;
        Expected want = e.expected;
        if (want.matches(got)) continue;
        std::string wanted =
            want.kind == Expected::Kind::Range
                ? tr("wartości z przedziału [") + format_lg(want.low) + ", " + format_lg(want.high) + "]"
                : tr("wartości ") + format_lg(want.low);
        diffs.push_back(e.name + tr(": oczekiwano ") + wanted + tr(", otrzymano ") +
                        (got ? tr("wartość ") + format_lg(*got) : std::string(tr("brak wartości"))));
    }
    compare_offers("rady", r.advice, c.advice, diffs);
    compare_offers("grafiki", r.pictures, c.pictures, diffs);
    compare_offers("dźwięki", r.sounds, c.sounds, diffs);
}

bool value_question(api::QuestionKind k) {
    return k == api::QuestionKind::ConditionCf || k == api::QuestionKind::ConclusionCf ||
           k == api::QuestionKind::ArgumentValue;
}

// A refusal (the base cannot be opened, the run cannot start or go on): expected or not.
void refusal(const TestCase& c, const std::string& said, std::vector<std::string>& diffs) {
    const std::string message = check::one_line(check::without_question(said));
    if (!c.refused)
        diffs.push_back(tr("wnioskowanie odmówione: ") + message);
    else if (message.find(*c.refused) == std::string::npos)
        diffs.push_back(tr("oczekiwano odmowy z komunikatem zawierającym \"") + *c.refused +
                        tr("\", otrzymano: ") + message);
}

}  // namespace

std::string shown_path(const std::string& path) {
    std::error_code ec;
    const auto cwd = std::filesystem::current_path(ec);
    if (ec) return path;
    const auto p = std::filesystem::path(path).lexically_normal();
    if (p.is_relative()) return p.string();
    const auto rel = p.lexically_proximate(cwd);
    return rel.empty() || *rel.begin() == ".." ? p.string() : rel.string();
}

const api::KnowledgeBase* OpenedBases::get(const std::string& rule_path, std::string& error) {
    auto it = bases_.find(rule_path);
    if (it == bases_.end()) {
        Entry e;
        try {
            e.kb = std::make_unique<api::KnowledgeBase>(api::KnowledgeBase::open(rule_path));
            // Each base that did not load, with the first error said of it: without its
            // directions to a menu (no menu is open here).
            const std::vector<api::Finding> findings = e.kb->findings();
            for (const auto& file : e.kb->unloaded_files()) {
                std::string where = shown_path(file) + ":1:1: ";
                std::string why = tr("baza nie została załadowana.");
                for (const auto& f : findings)
                    if (f.level == api::Finding::Level::Error && f.file == file) {
                        where = shown_path(f.file) + ":" + std::to_string(f.line) + ":" +
                                std::to_string(f.column) + ": ";
                        why = check::one_line(check::without_question(f.text));
                        break;
                    }
                e.failed_loads.push_back(where + why);
            }
        } catch (const api::Error& x) {
            e.error = x.what();
        }
        it = bases_.emplace(rule_path, std::move(e)).first;
        order_.push_back(rule_path);
    }
    error = it->second.error;
    return it->second.kb.get();
}

void OpenedBases::forget_changed() {
    for (auto it = bases_.begin(); it != bases_.end();) {
        if (it->second.kb && !it->second.kb->changed_on_disk()) {
            ++it;
            continue;
        }
        order_.erase(std::find(order_.begin(), order_.end(), it->first));
        it = bases_.erase(it);
    }
}

api::Runner& OpenedBases::runner(const std::string& rule_path) {
    Entry& e = bases_.at(rule_path);
    if (!e.runner) e.runner = std::make_unique<api::Runner>(*e.kb);
    return *e.runner;
}

const std::vector<std::string>& OpenedBases::failed_loads(const std::string& rule_path) {
    return bases_.at(rule_path).failed_loads;
}

const BaseNames* OpenedBases::names(const std::string& rule_path, const std::string& shown_base) {
    Entry& e = bases_.at(rule_path);
    if (!e.names_tried && e.kb) {
        e.names_tried = true;
        try {
            // A base whose load stops before its rules are in (the run will say why) has no
            // names to check against.
            const api::Inventory inv = api::inventory(*e.kb);
            if (!inv.rules.empty()) e.names = base_names(shown_base, inv);
        } catch (const api::Error&) {
        }
    }
    return e.names ? &*e.names : nullptr;
}

CaseOutcome run_case(const TestCase& c, OpenedBases& bases) {
    const auto start = std::chrono::steady_clock::now();
    CaseOutcome out;
    std::vector<std::string>& diffs = out.differences;
    std::string error;
    const api::KnowledgeBase* kb = bases.get(c.rule_path, error);
    if (!kb) {
        refusal(c, error, diffs);
    } else if (!bases.failed_loads(c.rule_path).empty()) {
        // Run without it, the case would fail for another reason (a model's conclusion asked
        // as a question) or pass without what it tests.
        refusal(c, tr("baza nie została załadowana: ") + bases.failed_loads(c.rule_path).front(), diffs);
    } else {
        api::Options o;
        o.labels = c.labels;
        o.imported = c.imported;
        int questions = 0;
        std::string last_answer;
        // Each question answered from the case; a question it does not answer, an answer
        // refused, or a run that keeps asking ends the case.
        auto answer = [&](const api::Question& q, const std::string& refused) -> std::optional<std::string> {
            if (!refused.empty()) {
                diffs.push_back(tr("odpowiedź \"") + last_answer + tr("\" na pytanie o ") + q.name +
                                tr(" odrzucona: ") + refused);
                return std::nullopt;
            }
            auto a = std::find_if(c.answers.begin(), c.answers.end(),
                                  [&](const auto& x) { return x.first == q.name; });
            if (a == c.answers.end()) {
                diffs.push_back((value_question(q.kind) ? "pytanie o " : "pytanie ") + q.name +
                                tr(" bez odpowiedzi w przypadku (dodaj odpowiedź(\"") + q.name +
                                "\",\"...\"))");
                return std::nullopt;
            }
            if (std::find(out.asked.begin(), out.asked.end(), q.name) == out.asked.end())
                out.asked.push_back(q.name);
            if (++questions > kMaxQuestions) {
                diffs.push_back(tr("wnioskowanie pyta bez końca (ostatnio o ") + q.name + ")");
                return std::nullopt;
            }
            last_answer = a->second;
            return a->second;
        };
        try {
            if (auto r = bases.runner(c.rule_path).run(c.hypothesis, o, answer)) {
                out.completed = true;
                out.trace = r->trace;
                out.conclusions = r->conclusions;
                if (c.refused)
                    diffs.push_back(tr("oczekiwano odmowy wnioskowania (\"") + *c.refused +
                                    tr("\"), a wnioskowanie przebiegło"));
                else
                    compare_results(c, *r, diffs);
            }
        } catch (const api::Error& x) {
            refusal(c, x.message(), diffs);
        }
    }
    out.passed = diffs.empty();
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return out;
}

}  // namespace zuva::testing
