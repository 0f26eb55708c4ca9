// Every file is read before any case runs, so that a file that cannot be read is reported
// (exit status 2) whatever the other files hold; the readable ones still run.
#include "testing/suite.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <tuple>

#include "testing/case_names.h"
#include "testing/record_case.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "text/markup_escape.h"

namespace zuva::testing {

namespace {

const char* kTestUsage =
    N_("Użycie:\n"
       "  zuva test [--filter TEKST] [--junit PLIK] [--coverage] PLIK...\n"
       "      uruchamia przypadki testowe z plików PLIK (ok/FAIL w wierszu na przypadek);\n"
       "      --filter: tylko przypadki, których nazwa zawiera TEKST; --junit: raport JUnit XML;\n"
       "      --coverage: reguły i modele nigdy niezastosowane, warunki dopytywalne nigdy niepytane\n"
       "  zuva test --record PODSUMOWANIE --base RE....BEN [--hypothesis H] [--name NAZWA] [--out PLIK]\n"
       "            [--keep-failing]\n"
       "      zapisuje przypadek z pliku podsumowania wnioskowania (na standardowe wyjście albo\n"
       "      na koniec pliku PLIK); przypadek, który nie przechodzi, trafia do pliku tylko\n"
       "      z --keep-failing\n");

std::string seconds(double s) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", s);
    return buf;
}

}  // namespace

int SuiteReport::passed() const {
    int n = 0;
    for (const auto& c : cases)
        n += c.outcome.passed ? 1 : 0;
    return n;
}

int SuiteReport::failed() const {
    return static_cast<int>(cases.size()) - passed();
}

SuiteReport run_suite(const std::vector<std::string>& files, const std::string& filter, OpenedBases& bases,
                      std::ostream& out, std::ostream& err) {
    SuiteReport r;
    for (const auto& f : files) {
        CaseFileError e;
        if (auto cf = read_case_file(f, e)) {
            // A file without a case would pass a suite that tests nothing.
            if (cf->cases.empty())
                r.errors.push_back(
                    {f, 1, 1, tr("Plik nie zawiera żadnego przypadku (przypadek(\"nazwa\")).")});
            r.files.push_back(std::move(*cf));
        } else {
            r.errors.push_back(e);
        }
    }
    // Before any case runs: the base of every case opened, and what its records name checked
    // against it. A case whose base file is missing or that names what its base does not
    // know does not run.
    std::vector<const TestCase*> to_run;
    std::set<std::string> failed_seen;
    for (const auto& f : r.files)
        for (const auto& c : f.cases) {
            if (!filter.empty() && c.name.find(filter) == std::string::npos) continue;
            std::error_code ec;
            if (!std::filesystem::is_regular_file(c.rule_path, ec) || !read_file_bytes(c.rule_path)) {
                r.errors.push_back({c.file, c.base_line, c.base_column,
                                    tr("Nie można odczytać pliku bazy reguł ") + c.rule_base + "."});
                continue;
            }
            std::string why;
            const std::size_t before = r.errors.size();
            if (bases.get(c.rule_path, why)) {
                for (const auto& l : bases.failed_loads(c.rule_path))
                    if (failed_seen.insert(l).second) r.failed_loads.push_back(l);
                if (const BaseNames* names = bases.names(c.rule_path, c.rule_base))
                    for (auto& e : check_case_names(c, *names, nullptr))
                        r.errors.push_back(std::move(e));
            }
            if (r.errors.size() == before) to_run.push_back(&c);
        }
    for (const auto& l : r.failed_loads)
        err << tr("zuva test: baza nie została załadowana, jej przypadki nie przejdą: ") << l << '\n';
    std::map<std::tuple<std::string, int, int>, CaseFileError> shared;
    std::set<std::tuple<std::string, int, int>> asked_shared;
    for (const TestCase* c : to_run) {
        CaseReport cr{c, run_case(*c, bases)};
        if (cr.outcome.passed)
            out << "ok " << c->name << '\n';
        else
            out << "FAIL " << c->name << ": " << cr.outcome.differences.front() << '\n';
        out.flush();
        // An answer to something the base does not know, never asked: a misspelt name whose
        // question took another answer. One the file gives every case (before its first case)
        // is such only when no case asked it (a dialog some cases show is asked by its title).
        // A run refused before its first question tells nothing of the answers' names.
        const bool reached = cr.outcome.completed || !cr.outcome.asked.empty();
        if (const BaseNames* names = reached ? bases.names(c->rule_path, c->rule_base) : nullptr)
            for (auto& e : check_case_names(*c, *names, &cr.outcome.asked)) {
                if (e.line >= c->line) {
                    r.errors.push_back(std::move(e));
                    continue;
                }
                shared.try_emplace({e.file, e.line, e.column}, std::move(e));
            }
        for (const auto& u : c->names)
            if (u.line < c->line &&
                std::find(cr.outcome.asked.begin(), cr.outcome.asked.end(), u.name) != cr.outcome.asked.end())
                asked_shared.insert({c->file, u.line, u.column});
        r.cases.push_back(std::move(cr));
    }
    for (auto& [place, e] : shared)
        if (!asked_shared.count(place)) r.errors.push_back(std::move(e));
    // Each mistake once (an answer shared by every case is checked in each), in file order.
    std::vector<CaseFileError> kept;
    std::set<std::tuple<std::string, int, int, std::string>> seen;
    for (auto& e : r.errors)
        if (seen.insert({e.file, e.line, e.column, e.message}).second) kept.push_back(std::move(e));
    r.errors = std::move(kept);
    for (const auto& e : r.errors)
        err << e.text() << '\n';
    return r;
}

std::string junit_xml(const SuiteReport& r) {
    double total = 0.0;
    for (const auto& c : r.cases)
        total += c.outcome.seconds;
    std::string x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    x += "<testsuites name=\"zuva test\" tests=\"" + std::to_string(r.cases.size()) + "\" failures=\"" +
         std::to_string(r.failed()) + "\" errors=\"" +
         std::to_string(r.errors.size() + r.failed_loads.size()) + "\" time=\"" + seconds(total) + "\">\n";
    for (const auto& f : r.files) {
        std::vector<const CaseReport*> mine;
        double time = 0.0;
        int failures = 0;
        for (const auto& c : r.cases)
            if (c.c->file == f.path) {
                mine.push_back(&c);
                time += c.outcome.seconds;
                failures += c.outcome.passed ? 0 : 1;
            }
        x += "  <testsuite name=\"" + markup_escape(f.path) + "\" tests=\"" + std::to_string(mine.size()) +
             "\" failures=\"" + std::to_string(failures) + "\" errors=\"0\" skipped=\"0\" time=\"" +
             seconds(time) + "\">\n";
        for (const CaseReport* c : mine) {
            x += "    <testcase name=\"" + markup_escape(c->c->name) + "\" classname=\"" +
                 markup_escape(std::filesystem::path(f.path).stem().string()) + "\" file=\"" +
                 markup_escape(f.path) + "\" line=\"" + std::to_string(c->c->line) + "\" time=\"" +
                 seconds(c->outcome.seconds) + "\"";
            if (c->outcome.passed) {
                x += "/>\n";
                continue;
            }
            x += ">\n      <failure message=\"" + markup_escape(c->outcome.differences.front()) +
                 "\" type=\"FAIL\">";
            for (const auto& d : c->outcome.differences)
                x += markup_escape(d) + "\n";
            x += "</failure>\n    </testcase>\n";
        }
        x += "  </testsuite>\n";
    }
    // Bases that did not load: an erroneous case each, so CI shows why their cases fail.
    for (const auto& l : r.failed_loads) {
        const std::string file = l.substr(0, l.find(':'));
        x += "  <testsuite name=\"" + markup_escape(file) +
             "\" tests=\"1\" failures=\"0\" errors=\"1\" time=\"0\">\n";
        x += "    <testcase name=\"" + markup_escape(file) + "\" classname=\"zuva\" time=\"0\">\n";
        x += "      <error message=\"" + markup_escape(l) +
             "\" type=\"LOAD\"/>\n    </testcase>\n  </testsuite>\n";
    }
    // Files that cannot be read: a suite with one erroneous case each, so CI shows them.
    for (const auto& e : r.errors) {
        x += "  <testsuite name=\"" + markup_escape(e.file) +
             "\" tests=\"1\" failures=\"0\" errors=\"1\" time=\"0\">\n";
        x += "    <testcase name=\"" + markup_escape(e.file) + "\" classname=\"zuva\" time=\"0\">\n";
        x += "      <error message=\"" + markup_escape(e.text()) +
             "\" type=\"ERROR\"/>\n    </testcase>\n  </testsuite>\n";
    }
    x += "</testsuites>\n";
    return x;
}

std::string coverage_text(const SuiteReport& r, OpenedBases& bases) {
    struct Used {
        std::set<int> rules, models;
        std::set<std::string> asked;
    };
    std::map<std::string, Used> used;
    for (const auto& c : r.cases) {
        Used& u = used[c.c->rule_path];
        if (!c.outcome.completed) continue;
        u.rules.insert(c.outcome.trace.rules.begin(), c.outcome.trace.rules.end());
        u.models.insert(c.outcome.trace.models.begin(), c.outcome.trace.models.end());
        u.asked.insert(c.outcome.asked.begin(), c.outcome.asked.end());
        u.asked.insert(c.outcome.trace.answered.begin(), c.outcome.trace.answered.end());
        // A condition of an exact constraint that the answers to the others of its group
        // always complete is reached without a question (the constraint allows only -1 and
        // 1, so the last one unanswered is known): it counts as covered.
        u.asked.insert(c.outcome.trace.completed.begin(), c.outcome.trace.completed.end());
    }
    std::string out;
    for (const auto& path : bases.paths()) {
        auto it = used.find(path);
        if (it == used.end()) continue;
        std::string error;
        const api::KnowledgeBase* kb = bases.get(path, error);
        if (!kb) continue;
        api::Inventory inv;
        try {
            inv = api::inventory(*kb);
        } catch (const api::Error& e) {
            out += shown_path(path) + ": pokrycie nieznane: " + e.message() + "\n";
            continue;
        }
        const Used& u = it->second;
        std::string lines;
        auto place = [](const api::Item& i) {
            return shown_path(i.file) + ":" + std::to_string(i.line > 0 ? i.line : 1) + ": ";
        };
        int rules = 0, models = 0, conditions = 0, arguments = 0;
        for (const auto& i : inv.rules) {
            if (u.rules.count(i.number))
                ++rules;
            else
                lines += place(i) + tr("reguła ") + std::to_string(i.number) + " (" + i.name +
                         tr(") nie była zastosowana\n");
        }
        for (const auto& i : inv.models) {
            if (u.models.count(i.number))
                ++models;
            else
                lines += place(i) + "model " + std::to_string(i.number) + " (" + i.name +
                         tr(") nie był zastosowany\n");
        }
        for (const auto& i : inv.askable_conditions) {
            if (u.asked.count(i.name))
                ++conditions;
            else
                lines += place(i) + tr("warunek dopytywalny ") + i.name + tr(" nie był pytany\n");
        }
        for (const auto& i : inv.askable_arguments) {
            if (u.asked.count(i.name))
                ++arguments;
            else
                lines += place(i) + tr("argument dopytywalny ") + i.name + tr(" nie był pytany\n");
        }
        auto share = [](int n, std::size_t of) { return std::to_string(n) + "/" + std::to_string(of); };
        out += "coverage " + shown_path(path) + ": rules " + share(rules, inv.rules.size());
        if (!inv.models.empty()) out += ", models " + share(models, inv.models.size());
        out += ", askable conditions " + share(conditions, inv.askable_conditions.size());
        if (!inv.askable_arguments.empty())
            out += ", askable arguments " + share(arguments, inv.askable_arguments.size());
        out += "\n" + lines;
    }
    return out;
}

int test_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> files;
    std::string filter, junit, record, base, hypothesis, name, record_out;
    bool coverage = false, keep_failing = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        bool ok = true;
        if (a == "--filter")
            ok = value(filter);
        else if (a == "--junit")
            ok = value(junit);
        else if (a == "--coverage")
            coverage = true;
        else if (a == "--keep-failing")
            keep_failing = true;
        else if (a == "--record")
            ok = value(record);
        else if (a == "--base")
            ok = value(base);
        else if (a == "--hypothesis")
            ok = value(hypothesis);
        else if (a == "--name")
            ok = value(name);
        else if (a == "--out")
            ok = value(record_out);
        else if (a == "--help" || a == "-h") {
            out << tr(kTestUsage);
            return 0;
        } else if (a.size() > 1 && a[0] == '-') {
            err << tr("zuva test: nieznana opcja ") << a << '\n' << tr(kTestUsage);
            return 2;
        } else {
            files.push_back(a);
        }
        if (!ok) {
            err << tr("zuva test: brak wartości po ") << a << '\n' << tr(kTestUsage);
            return 2;
        }
    }
    if (!record.empty())
        return record_command(record, base, hypothesis, name, record_out, keep_failing, out, err);
    if (files.empty()) {
        err << tr("zuva test: brak plików przypadków testowych\n") << tr(kTestUsage);
        return 2;
    }
    OpenedBases bases;
    SuiteReport r = run_suite(files, filter, bases, out, err);
    // A filter that matches nothing would pass CI on an empty suite.
    const bool none_matched = !filter.empty() && r.cases.empty() && r.errors.empty();
    if (none_matched) err << tr("zuva test: żaden przypadek nie ma w nazwie \"") << filter << "\"\n";
    out << r.passed() << " passed, " << r.failed() << " failed\n";
    if (coverage) out << coverage_text(r, bases);
    if (!junit.empty()) {
        std::string why;
        if (!write_file_bytes(junit, junit_xml(r), why)) {
            err << tr("zuva test: nie można zapisać ") << junit << ": " << why << '\n';
            return 2;
        }
    }
    if (!r.errors.empty() || none_matched) return 2;
    if (r.failed() > 0) return 1;
    return 0;
}

}  // namespace zuva::testing
