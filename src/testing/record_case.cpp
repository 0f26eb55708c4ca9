// The summary does not say which of its facts the user gave: the base's inventory does. An
// askable condition or argument becomes an answer, a rule's or relational model's conclusion
// a `wniosek`, a value fixed by a model a `wartość`; declared facts are the base's own.
#include "testing/record_case.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <ostream>
#include <set>

#include "testing/case_file.h"
#include "testing/case_run.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva::testing {

namespace {

std::string trim(std::string_view s) {
    const std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    const std::size_t e = s.find_last_not_of(" \t");
    return std::string(s.substr(b, e - b + 1));
}

}  // namespace

std::optional<Summary> parse_summary(const std::string& text) {
    Summary s;
    enum { None, Labels, Facts, Arguments } section = None;
    bool any_heading = false;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string t = trim(line);
        if (t.rfind("Etykiety wnioskowania:", 0) == 0) {
            section = Labels;
            any_heading = true;
        } else if (t == "Podsumowanie wnioskowania: fakty") {
            section = Facts;
            any_heading = true;
        } else if (t == "Podsumowanie wnioskowania: wartości argumentów") {
            // the summary file
            section = Arguments;
            any_heading = true;
        } else if (!t.empty()) {
            if (section == Labels) {
                s.labels.push_back(line.size() > 4 && line.rfind("    ", 0) == 0 ? line.substr(4) : t);
            } else if (section == Facts) {
                const std::size_t open = t.rfind('(');
                if (open == std::string::npos || t.back() != ')') return std::nullopt;
                auto cf = parse_real(t.substr(open + 1, t.size() - open - 2));
                if (!cf) return std::nullopt;
                s.facts.emplace_back(t.substr(0, open), *cf);
            } else if (section == Arguments) {
                const std::size_t eq = t.rfind(" = ");
                if (eq == std::string::npos) return std::nullopt;
                auto v = parse_real(t.substr(eq + 3));
                if (!v) return std::nullopt;
                s.arguments.emplace_back(t.substr(0, eq), *v);
            } else {
                return std::nullopt;
            }
        }
        if (end == text.size()) break;
    }
    if (!any_heading) return std::nullopt;
    return s;
}

std::string case_from_summary(const Summary& s, const std::string& name, const std::string& rule_base,
                              const std::string& rule_path, const std::string& hypothesis) {
    const api::KnowledgeBase kb = api::KnowledgeBase::open(rule_path);
    const api::Inventory inv = api::inventory(kb);
    std::set<std::string> conditions, arguments, conclusions;
    for (const auto& i : inv.askable_conditions)
        conditions.insert(i.name);
    for (const auto& i : inv.askable_arguments)
        arguments.insert(i.name);
    for (const auto& i : inv.rules)
        conclusions.insert(i.name);
    for (const auto& i : inv.models)
        conclusions.insert(i.name);
    std::string c = "przypadek(" + quoted(name) + ")\n";
    c += "baza(" + quoted(rule_base) + ")\n";
    if (!hypothesis.empty()) c += "wstecz(" + quoted(hypothesis) + ")\n";
    for (const auto& l : s.labels)
        c += "etykieta(" + quoted(l) + ")\n";
    for (const auto& [st, cf] : s.facts)
        if (conditions.count(st) && !conclusions.count(st))
            c += "odpowiedź(" + quoted(st) + "," + quoted(format_lg(cf)) + ")\n";
    for (const auto& [a, v] : s.arguments)
        if (arguments.count(a)) c += "odpowiedź(" + quoted(a) + "," + quoted(format_lg(v)) + ")\n";
    for (const auto& [st, cf] : s.facts) {
        // "koniec" only stops forward inference: no run gives it as a conclusion.
        if (!conclusions.count(st) || st == "koniec") continue;
        if (st == hypothesis)
            c += "werdykt(" + quoted(cf_text(cf)) + ")\n";
        else
            c += "wniosek(" + quoted(st) + "," + quoted(cf_text(cf)) + ")\n";
    }
    for (const auto& [a, v] : s.arguments)
        if (!arguments.count(a)) c += "wartość(" + quoted(a) + "," + quoted(format_lg(v)) + ")\n";
    return c;
}

Recording record_case(const std::string& summary_path, const std::string& rule_base,
                      const std::string& hypothesis, const std::string& name, const std::string& out_path,
                      bool keep_failing) {
    namespace fs = std::filesystem;
    Recording r;
    auto bytes = read_file_bytes(summary_path);
    std::optional<std::string> text = bytes ? decode_file_text(*bytes) : std::nullopt;
    std::optional<Summary> summary = text ? parse_summary(*text) : std::nullopt;
    if (!summary) {
        r.problem = summary_path + ":1:1: " +
                    (bytes ? "to nie jest plik podsumowania wnioskowania" : tr("nie można odczytać pliku"));
        return r;
    }
    r.case_name = name.empty() ? stem_of(summary_path) : name;
    // The base as the case names it: relative to the file the case goes to.
    std::error_code ec;
    const fs::path base_abs = fs::absolute(rule_base, ec).lexically_normal();
    std::string in_case = rule_base;
    if (!out_path.empty()) {
        const fs::path dir = fs::absolute(out_path, ec).parent_path();
        in_case = base_abs.lexically_proximate(dir).generic_string();
    }
    try {
        r.records = case_from_summary(*summary, r.case_name, in_case, base_abs.string(), hypothesis);
    } catch (const api::Error& e) {
        r.problem = e.what();
        return r;
    }
    // The file the case goes to, read first: the answers it shares with all its cases apply to
    // this case too, so the verdict is the one the case gets at the file's end.
    std::string old;
    bool utf8 = false;
    std::string eol = "\r\n";  // a new file's line ends; an existing file keeps its own
    if (!out_path.empty()) {
        if (auto b = read_file_bytes(out_path)) {
            r.appended = true;
            if (const std::size_t nl = b->find('\n');
                nl != std::string::npos && (nl == 0 || (*b)[nl - 1] != '\r'))
                eol = "\n";
            auto t = decode_file_text(*b);
            if (!t) {
                r.problem =
                    out_path + ":1:1: plik nie jest tekstem w stronie kodowej Windows-1250 ani w UTF-8";
                return r;
            }
            utf8 = is_valid_utf8(*b) && has_multibyte(*b);
            old = *t;
            CaseFileError e;
            if (!parse_case_text(out_path, old, e)) {
                r.problem = e.text();
                return r;
            }
            if (!old.empty() && old.back() != '\n') old += eol;
        }
    }
    const std::string before = old + (old.empty() ? "" : eol);
    // The case must run as written: a question the summary cannot answer shows here.
    CaseOutcome o;
    OpenedBases bases;
    for (int tries = 0;; ++tries) {
        CaseFileError e;
        auto parsed = parse_case_text(out_path.empty() ? "przypadek" : out_path, r.records, e);
        if (!parsed || parsed->cases.empty()) {
            r.problem = e.text();
            return r;
        }
        TestCase& c = parsed->cases.back();
        c.rule_path = base_abs.string();
        o = run_case(c, bases);
        // A conclusion whose CF the user gave when asked is in the summary with that CF: it
        // becomes an answer too.
        if (o.passed || o.completed || tries > 100) break;
        const std::string wanted = "pytanie o ";
        const std::string& first = o.differences.front();
        std::string name_asked;
        if (first.rfind(wanted, 0) == 0)
            name_asked = first.substr(wanted.size(), first.find(' ', wanted.size()) - wanted.size());
        auto fact = std::find_if(summary->facts.begin(), summary->facts.end(),
                                 [&](const auto& f) { return f.first == name_asked; });
        if (name_asked.empty() || fact == summary->facts.end()) break;
        r.records += "odpowiedź(" + testing::quoted(fact->first) + "," +
                     testing::quoted(format_lg(fact->second)) + ")\n";
    }
    // The case is made to stand alone (every answer the summary gives to a question it asks);
    // a question it still cannot answer may be answered by the file's shared answers.
    if (!o.passed && !o.completed && !old.empty()) {
        CaseFileError e;
        if (auto parsed = parse_case_text(out_path, before + r.records, e);
            parsed && !parsed->cases.empty()) {
            TestCase& c = parsed->cases.back();
            c.rule_path = base_abs.string();
            o = run_case(c, bases);
        }
    }
    // A case that does not pass as written is shown, not kept, unless asked for.
    if (!out_path.empty() && (o.passed || keep_failing)) {
        std::string all = before;
        for (char ch : r.records) {
            if (ch == '\n')
                all += eol;
            else
                all += ch;
        }
        std::string why;
        if (!write_file_bytes(out_path, utf8 ? all : utf8_to_cp1250_lossy(all), why)) {
            r.problem = tr("nie można zapisać ") + out_path + ": " + why;
            r.not_written = true;
            return r;
        }
    }
    r.written = !out_path.empty() && (o.passed || keep_failing);
    r.status = o.passed ? 0 : 1;
    if (!o.passed) r.problem = o.differences.front();
    return r;
}

KeptCase keep_case(const std::string& summary, const std::string& rule_base, const std::string& hypothesis,
                   const std::string& name, const std::string& file) {
    // The menu command keeps the case as the user asked and says when it does not pass.
    const Recording r = record_case(summary, rule_base, hypothesis, name, file, true);
    return KeptCase{r.status, r.problem};
}

KeptCase keep_log(const std::string& summary, const std::string& rule_base, const std::string& hypothesis,
                  const std::string& file) {
    // The answers the summary gives, as the case made of it gives them, run again through the
    // session API, whose consultation keeps its log.
    const Recording r = record_case(summary, rule_base, hypothesis, "dziennik", "", false);
    if (r.records.empty()) return KeptCase{2, r.problem};
    CaseFileError e;
    auto parsed = parse_case_text("dziennik", r.records, e);
    if (!parsed || parsed->cases.empty()) return KeptCase{2, e.text()};
    const TestCase& c = parsed->cases.back();
    try {
        const api::KnowledgeBase kb = api::KnowledgeBase::open(rule_base);
        api::Options o;
        o.labels = c.labels;
        o.imported = c.imported;
        const std::map<std::string, std::string> answers(c.answers.begin(), c.answers.end());
        api::Consultation run = api::run(kb, answers, hypothesis, o);
        std::string why;
        if (!write_file_bytes(file, run.log().to_json() + "\n", why))
            return KeptCase{2, tr("nie można zapisać ") + file + ": " + why};
    } catch (const api::Error& x) {
        return KeptCase{2, x.message()};
    }
    return KeptCase{r.status, r.problem};
}

int record_command(const std::string& summary_path, const std::string& rule_base,
                   const std::string& hypothesis, const std::string& name, const std::string& out_path,
                   bool keep_failing, std::ostream& out, std::ostream& err) {
    if (rule_base.empty()) {
        err << tr("zuva test --record: podaj bazę reguł konsultacji: --base RE....BEN\n");
        return 2;
    }
    const Recording r = record_case(summary_path, rule_base, hypothesis, name, out_path, keep_failing);
    if (r.status == 2) {
        err << (r.not_written ? "zuva test: " : "") << r.problem << '\n';
        return 2;
    }
    if (out_path.empty())
        out << r.records;
    else if (r.written && r.appended)
        out << tr("Przypadek ") << r.case_name << tr(" dopisany do ") << out_path << ".\n";
    else if (r.written)
        out << tr("Przypadek ") << r.case_name << tr(" zapisany w nowym pliku ") << out_path << ".\n";
    if (r.status == 1) {
        err << tr("zuva test --record: przypadek ") << r.case_name << tr(" nie przechodzi w tej postaci: ")
            << r.problem << '\n';
        if (!out_path.empty() && !r.written)
            err << tr("zuva test --record: przypadek nie został zapisany do ") << out_path
                << tr("; --keep-failing zapisuje go mimo to\n");
    }
    return r.status;
}

}  // namespace zuva::testing
