// The reader takes the records in file order: `baza` before the first case sets the base of
// the cases that name none, and answers before it are every case's unless it gives its own; `przypadek`
// starts a case and every record up to the next one belongs to it. Blank lines are allowed between records
// (base files allow none); comments are `rem(...)` or `rem_` + a table name, and an underscore before a table
// name switches the record off, as in base files.
#include "testing/case_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

#include "kb/base_file_reader.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva::testing {

namespace {

constexpr FieldType kT = FieldType::Text, kTL = FieldType::TextLst;

// The tables of the syntax; the spellings without Polish letters are accepted as well.
const std::vector<RecordTable>& tables() {
    static const std::vector<RecordTable> t = [] {
        const std::vector<RecordTable> main = {
            {"przypadek", {kT}},     {"baza", {kT}},           {"wstecz", {kT}},   {"odpowiedź", {kT, kT}},
            {"odpowiedz", {kT, kT}}, {"import", {kT, kT, kT}}, {"etykieta", {kT}}, {"wniosek", {kT, kT}},
            {"wartość", {kT, kT}},   {"wartosc", {kT, kT}},    {"werdykt", {kT}},  {"rady", {kTL}},
            {"grafiki", {kTL}},      {"dźwięki", {kTL}},       {"dzwieki", {kTL}}, {"odmowa", {kT}},
        };
        std::vector<RecordTable> all = main;
        for (const auto& m : main) {
            all.push_back({"_" + m.name, m.types});
            all.push_back({"rem_" + m.name, {kT}});
        }
        all.push_back({"rem", {kT}});
        return all;
    }();
    return t;
}

// The column (from 1) where the field-th quoted text of a line starts (from 0); 1 when the
// line has fewer.
int field_column(std::string_view line, int field) {
    int seen = 0;
    bool in_text = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (in_text) {
            if (c == '\\' && i + 1 < line.size())
                ++i;
            else if (c == '"')
                in_text = false;
        } else if (c == '"') {
            if (seen == field) return static_cast<int>(utf8_columns(line, i)) + 1;
            ++seen;
            in_text = true;
        }
    }
    return 1;
}

// Lines made only of blanks become comment records, so that line numbers stay.
std::string with_blank_lines_as_comments(const std::string& text, std::vector<std::string_view>& lines) {
    std::string out;
    out.reserve(text.size() + 64);
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + at, end - at);
        lines.push_back(line);
        if (line.find_first_not_of(' ') == std::string_view::npos)
            out += "rem(\"\")";
        else
            out += line;
        std::size_t next = end;
        if (next < text.size())
            next += text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n' ? 2 : 1;
        out.append(text, end, next - end);
        at = next;
    }
    return out;
}

}  // namespace

std::string cf_text(double cf) {
    const double k = std::floor(cf * 100.0 + 0.5);
    if (!std::isfinite(k) || std::fabs(k) > 1e15) return format_lg(cf);
    const long long h = static_cast<long long>(k);
    const long long a = h < 0 ? -h : h;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%lld.%02lld", h < 0 ? "-" : "", a / 100, a % 100);
    return buf;
}

bool Expected::matches(std::optional<double> got) const {
    switch (kind) {
        case Kind::None:
            return !got;
        case Kind::Exact:
            // Compared as the FAIL line shows them, so the two never disagree.
            return got && cf_text(*got) == cf_text(low);
        case Kind::Range:
            return got && *got >= low - 1e-9 && *got <= high + 1e-9;
    }
    return false;
}

std::string Expected::text() const {
    switch (kind) {
        case Kind::None:
            return "brak CF";
        case Kind::Exact:
            return "CF " + cf_text(low);
        case Kind::Range:
            return tr("CF z przedziału [") + format_lg(low) + ", " + format_lg(high) + "]";
    }
    return {};
}

std::string CaseFileError::text() const {
    return file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + message;
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        if (c == '\r') {
            out += "\\r";
            continue;
        }
        out += c;
    }
    return out + "\"";
}

namespace {

// A decimal comma read as a point, as the import reads the rows of a data source.
std::string decimal_point(std::string t) {
    std::replace(t.begin(), t.end(), ',', '.');
    return t;
}

// A number as a case may give it: finite, and within [-1, 1] for a CF.
std::optional<double> case_number(const std::string& t, bool cf) {
    auto v = parse_real(t);
    if (!v || !std::isfinite(*v) || (cf && (*v < -1.0 || *v > 1.0))) return std::nullopt;
    return v;
}

// Reads "0.72", "0.5..0.8" or (for a CF) "brak"; a CF within [-1, 1].
std::optional<Expected> parse_expected(const std::string& t, bool cf) {
    const bool none_allowed = cf;
    Expected e;
    if (none_allowed && t == "brak") {
        e.kind = Expected::Kind::None;
        return e;
    }
    const std::size_t dots = t.find("..");
    if (dots != std::string::npos) {
        auto lo = case_number(t.substr(0, dots), cf);
        auto hi = case_number(t.substr(dots + 2), cf);
        if (!lo || !hi || *lo > *hi) return std::nullopt;
        e.kind = Expected::Kind::Range;
        e.low = *lo;
        e.high = *hi;
        return e;
    }
    auto v = case_number(t, cf);
    if (!v) return std::nullopt;
    e.low = e.high = *v;
    return e;
}

struct Reader {
    std::string path;
    std::string dir;
    std::vector<std::string_view> lines;
    CaseFile out;
    std::string default_base;
    std::map<std::string, int> names;  // case name -> its line
    // Answers before the first case hold for every case that does not give its own.
    std::vector<std::pair<std::string, std::string>> default_answers;
    std::vector<NameUse> default_names;
    int default_base_line = 0, default_base_column = 1;
    std::map<std::size_t, int> verdict_lines;  // by the case's index
    std::set<std::string> own_answers;         // of the case being read
    std::optional<CaseFileError> error;

    void fail(int line, int field, const std::string& message) {
        if (error) return;
        const std::string_view l = line >= 1 && static_cast<std::size_t>(line) <= lines.size()
                                       ? lines[static_cast<std::size_t>(line - 1)]
                                       : std::string_view();
        error = CaseFileError{path, line, field < 0 ? 1 : field_column(l, field), message};
    }
    int column(int line, int field) const {
        if (line < 1 || static_cast<std::size_t>(line) > lines.size()) return 1;
        return field_column(lines[static_cast<std::size_t>(line - 1)], field);
    }
    TestCase* current(int line, std::string_view table) {
        if (out.cases.empty()) {
            fail(line, -1,
                 "Rekord " + std::string(table) + " przed pierwszym przypadkiem (przypadek(\"nazwa\")).");
            return nullptr;
        }
        return &out.cases.back();
    }
    void set_base(TestCase& c, const std::string& base, int line, int column) {
        c.rule_base = base;
        c.base_line = line;
        c.base_column = column;
        c.rule_path = resolve_path(dir, native_separators(base));
    }

    void record(std::string_view table, std::vector<Value>&& f, int line) {
        if (error || table.empty() || table[0] == '_' || table.substr(0, 3) == "rem") return;
        auto T = [&](std::size_t i) { return std::get<std::string>(f[i]); };
        if (table == "przypadek") {
            const std::string name = T(0);
            if (name.empty()) return fail(line, 0, tr("Przypadek musi mieć nazwę."));
            if (auto it = names.find(name); it != names.end())
                return fail(
                    line, 0,
                    tr("Przypadek ") + name + tr(" jest już w wierszu ") + std::to_string(it->second) + ".");
            names[name] = line;
            TestCase c;
            c.name = name;
            c.file = path;
            c.line = line;
            if (!default_base.empty()) set_base(c, default_base, default_base_line, default_base_column);
            c.answers = default_answers;
            c.names = default_names;
            own_answers.clear();
            out.cases.push_back(std::move(c));
            return;
        }
        if (table == "baza") {
            if (T(0).empty()) return fail(line, 0, tr("Brak nazwy pliku bazy reguł."));
            if (out.cases.empty()) {
                default_base = T(0);
                default_base_line = line;
                default_base_column = column(line, 0);
                return;
            }
            return set_base(out.cases.back(), T(0), line, column(line, 0));
        }
        if ((table == "odpowiedź" || table == "odpowiedz") && parse_real(T(1)) && !case_number(T(1), false))
            return fail(line, 1, tr("Odpowiedź na pytanie o ") + T(0) + tr(" nie jest liczbą skończoną."));
        if ((table == "odpowiedź" || table == "odpowiedz") && out.cases.empty()) {
            for (const auto& [name, value] : default_answers)
                if (name == T(0))
                    return fail(line, 0, tr("Odpowiedź na pytanie o ") + name + tr(" jest już podana."));
            default_answers.emplace_back(T(0), T(1));
            default_names.push_back({NameUse::Kind::Answer, T(0), T(1), line, column(line, 0)});
            return;
        }
        TestCase* c = current(line, table);
        if (!c) return;
        if (table == "wstecz") {
            if (!c->hypothesis.empty())
                return fail(line, 0, tr("Przypadek ") + c->name + tr(" ma już hipotezę."));
            if (T(0).empty()) return fail(line, 0, "Brak hipotezy.");
            c->hypothesis = T(0);
            c->names.push_back({NameUse::Kind::Hypothesis, T(0), {}, line, column(line, 0)});
        } else if (table == "odpowiedź" || table == "odpowiedz") {
            if (!own_answers.insert(T(0)).second)
                return fail(line, 0, tr("Odpowiedź na pytanie o ") + T(0) + tr(" jest już podana."));
            auto it = std::find_if(c->answers.begin(), c->answers.end(),
                                   [&](const auto& a) { return a.first == T(0); });
            if (it != c->answers.end())
                it->second = T(1);  // the case's own answer replaces the file's
            else
                c->answers.emplace_back(T(0), T(1));
            c->names.push_back({NameUse::Kind::Answer, T(0), T(1), line, column(line, 0)});
        } else if (table == "import") {
            const std::string kind = T(0);
            if (kind != "fakt" && kind != "argument_znany")
                return fail(line, 0, tr("Rodzaj importowanego wiersza musi być fakt albo argument_znany."));
            if (kind == "fakt" && !case_number(decimal_point(T(2)), true))
                return fail(line, 2, tr("CF importowanego faktu musi być liczbą od -1 do 1."));
            if (kind == "argument_znany" && !case_number(decimal_point(T(2)), false))
                return fail(line, 2, tr("Wartość importowanego argumentu musi być liczbą."));
            c->imported.push_back({kind, T(1), T(2)});
            c->names.push_back({kind == "fakt" ? NameUse::Kind::Fact : NameUse::Kind::Argument, T(1), T(2),
                                line, column(line, 1)});
        } else if (table == "etykieta") {
            c->labels.push_back(T(0));
        } else if (table == "wniosek" || table == "wartość" || table == "wartosc") {
            const bool conclusion = table == "wniosek";
            auto e = parse_expected(T(1), conclusion);
            if (!e)
                return fail(
                    line, 1,
                    conclusion ? tr("Oczekiwane CF musi być liczbą od -1 do 1 (0.72), przedziałem (0.5..0.8) "
                                    "albo brak.")
                               : tr("Oczekiwana wartość musi być liczbą (12.5) albo przedziałem (12..13)."));
            (conclusion ? c->conclusions : c->values).push_back({T(0), *e, line});
            c->names.push_back({conclusion ? NameUse::Kind::Conclusion : NameUse::Kind::Value,
                                T(0),
                                {},
                                line,
                                column(line, 0)});
        } else if (table == "werdykt") {
            auto e = parse_expected(T(0), true);
            if (!e)
                return fail(
                    line, 0,
                    tr("Werdykt musi być liczbą od -1 do 1 (0.72), przedziałem (0.5..0.8) albo brak."));
            c->verdict = *e;
            verdict_lines[out.cases.size() - 1] = line;
        } else if (table == "rady" || table == "grafiki" || table == "dźwięki" || table == "dzwieki") {
            auto list = std::get<TextList>(f[0]);
            auto& target = table == "rady" ? c->advice : table == "grafiki" ? c->pictures : c->sounds;
            target = std::vector<std::string>(list.begin(), list.end());
        } else if (table == "odmowa") {
            c->refused = T(0);
        }
    }
};

}  // namespace

std::optional<CaseFile> parse_case_text(const std::string& path, const std::string& text,
                                        CaseFileError& error) {
    Reader r;
    r.path = path;
    r.dir = directory_of(std::filesystem::absolute(path).string());
    r.out.path = path;
    const std::string prepared = with_blank_lines_as_comments(text, r.lines);
    auto read_error =
        parse_records(prepared, tables(), [&](std::string_view table, std::vector<Value>&& f, int line) {
            r.record(table, std::move(f), line);
        });
    if (read_error && !r.error) {
        std::vector<std::string> names;
        for (const auto& t : tables())
            if (t.name[0] != '_' && t.name.rfind("rem", 0) != 0) names.push_back(t.name);
        auto fields_of = [](std::string_view table) -> std::optional<std::size_t> {
            for (const auto& t : tables())
                if (t.name == table) return t.types.size();
            return std::nullopt;
        };
        error = {path, read_error->line_number, read_error->position + 1,
                 syntax_error_text(*read_error, fields_of, names)};
        return std::nullopt;
    }
    if (!r.error)
        for (std::size_t i = 0; i < r.out.cases.size(); ++i) {
            const TestCase& c = r.out.cases[i];
            if (c.rule_base.empty()) {
                r.fail(c.line, -1, "Przypadek " + c.name + tr(" nie ma bazy reguł (baza(\"RE....BEN\"))."));
                break;
            }
            // A verdict is the CF of the hypothesis of a backward run: a forward case has none.
            if (c.verdict && c.hypothesis.empty()) {
                r.fail(r.verdict_lines[i], 0,
                       "Werdykt w przypadku " + c.name +
                           tr(" bez hipotezy: werdykt podaje się tylko we wnioskowaniu wstecz "
                              "(wstecz(\"hipoteza\"))."));
                break;
            }
        }
    if (r.error) {
        error = *r.error;
        return std::nullopt;
    }
    return std::move(r.out);
}

std::optional<CaseFile> read_case_file(const std::string& path, CaseFileError& error) {
    auto bytes = read_file_bytes(path);
    if (!bytes) {
        error = {path, 1, 1, tr("Nie można odczytać pliku.")};
        return std::nullopt;
    }
    CodecError cerr;
    auto text = decode_file_text(*bytes, &cerr);
    if (!text) {
        int line = 1;
        for (std::size_t i = 0; i < cerr.byte_offset && i < bytes->size(); ++i)
            if ((*bytes)[i] == '\n') ++line;
        error = {path, line, 1, "Plik nie jest tekstem w stronie kodowej Windows-1250 ani w UTF-8."};
        return std::nullopt;
    }
    return parse_case_text(path, *text, error);
}

}  // namespace zuva::testing
