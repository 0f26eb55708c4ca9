// Records are matched by table and number (the first field of the numbered tables); a number
// that repeats in one version is matched by its occurrence. Records left over on both sides
// whose content without the number is equal are a move. The content is compared in a form
// where set-valued fields are sorted and CF texts that read as the same real are equal, so a
// reordering of conditions or "0.80" for "0.8" is no change.
#include "verify/base_diff.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <unordered_map>

#include "kb/base_file_reader.h"
#include "kb/base_files.h"
#include "kb/sibling_bases.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/number_format.h"

namespace zuva {

namespace {

constexpr BaseKind kKinds[] = {
    BaseKind::Rules,  BaseKind::Models,   BaseKind::ExactConstraints, BaseKind::UncertainConstraints,
    BaseKind::Advice, BaseKind::Graphics, BaseKind::Sounds,           BaseKind::Texts};

// Field names of the numbered (or named) tables, for the details of a change; a field in `sets` is
// compared as a set. Tables not listed are compared as whole records.
struct TableShape {
    std::vector<const char*> fields;
    std::set<std::size_t> sets;
    std::size_t cf = 0;  // the CF field, 0 when none
};

const TableShape* shape_of(const std::string& table) {
    static const std::map<std::string, TableShape> shapes = {
        {"reguła", {{"numer", "wniosek", "warunki", "wyświetlanie", "CF"}, {2}, 4}},
        {"model",
         {{"numer", "warunek zastosowania", "wynik", "argument 1", "operacja", "argument 2", "wyświetlanie",
           "CF"},
          {},
          7}},
        {"model_r",
         {{"numer", "warunek zastosowania", "wynik", "operacja", "zmienne", "wyświetlanie", "CF"}, {}, 6}},
        {"model_liniowy",
         {{"numer", "warunek zastosowania", "wynik", "współczynniki", "zmienne", "wyświetlanie", "CF"},
          {},
          6}},
        {"model_wielomianowy",
         {{"numer", "warunek zastosowania", "wynik", "zmienna", "współczynniki", "potęgi", "wyświetlanie",
           "CF"},
          {},
          7}},
        {"ograniczenie", {{"numer", "warunki"}, {1}, 0}},
        {"ograniczenie_n", {{"numer", "warunki"}, {1}, 0}},
        {"rada", {{"numer reguły", "plik"}, {}, 0}},
        {"grafika", {{"numer", "plik"}, {}, 0}},
        {"ngrafika", {{"numer", "plik"}, {}, 0}},
        {"dźwięk", {{"numer", "plik"}, {}, 0}},
        {"ndźwięk", {{"numer", "plik"}, {}, 0}},
        // The texts of a name, by the name (the texts in other languages as whole records).
        {"tekst", {{"nazwa", "tekst"}, {}, 0}},
        {"pomoc", {{"nazwa", "pomoc"}, {}, 0}},
    };
    auto it = shapes.find(table);
    return it == shapes.end() ? nullptr : &it->second;
}

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string value_text(const Value& v) {
    struct Writer {
        std::string operator()(std::int32_t i) const { return std::to_string(i); }
        std::string operator()(double d) const { return format_lg(d); }
        std::string operator()(const std::string& s) const { return quoted(s); }
        std::string operator()(const TextList& l) const {
            std::string out = "[";
            for (std::size_t i = 0; i < l.size(); ++i)
                out += (i ? "," : "") + quoted(l[i]);
            return out + "]";
        }
        std::string operator()(const IntList& l) const {
            std::string out = "[";
            for (std::size_t i = 0; i < l.size(); ++i)
                out += (i ? "," : "") + std::to_string(l[i]);
            return out + "]";
        }
        std::string operator()(const TextListList& l) const {
            std::string out = "[";
            for (std::size_t i = 0; i < l.size(); ++i)
                out += (i ? "," : "") + (*this)(l[i]);
            return out + "]";
        }
    };
    return std::visit(Writer{}, v);
}

// A field in the form it is compared in.
std::string normal_field(const BaseRecord& r, std::size_t i, const TableShape* shape) {
    const Value& v = r.fields[i];
    if (shape != nullptr && shape->sets.count(i) && std::holds_alternative<TextList>(v)) {
        TextList l = std::get<TextList>(v);
        std::sort(l.begin(), l.end());
        l.erase(std::unique(l.begin(), l.end()), l.end());
        return value_text(l);
    }
    if (shape != nullptr && shape->cf == i && std::holds_alternative<std::string>(v))
        if (auto x = parse_real(std::get<std::string>(v))) return format_lg(*x);
    return value_text(v);
}

// The content of a record without its number, as compared.
std::string content(const BaseRecord& r, const TableShape* shape) {
    std::string out = r.table;
    for (std::size_t i = shape != nullptr ? 1 : 0; i < r.fields.size(); ++i)
        out += '\x1f' + normal_field(r, i, shape);
    return out;
}

// What changed between two records of one table and number.
std::vector<std::string> details(const BaseRecord& a, const BaseRecord& b, const TableShape& shape) {
    std::vector<std::string> out;
    for (std::size_t i = 1; i < std::max(a.fields.size(), b.fields.size()); ++i) {
        if (i >= a.fields.size() || i >= b.fields.size()) {
            out.push_back("liczba pól");
            break;
        }
        if (normal_field(a, i, &shape) == normal_field(b, i, &shape)) continue;
        const std::string name = i < shape.fields.size() ? shape.fields[i] : "pole " + std::to_string(i + 1);
        if (shape.sets.count(i) && std::holds_alternative<TextList>(a.fields[i]) &&
            std::holds_alternative<TextList>(b.fields[i])) {
            const auto& x = std::get<TextList>(a.fields[i]);
            const auto& y = std::get<TextList>(b.fields[i]);
            const std::set<std::string> sx(x.begin(), x.end()), sy(y.begin(), y.end());
            std::string d = name + ":";
            for (const auto& c : sy)
                if (!sx.count(c)) d += " +" + quoted(c);
            for (const auto& c : sx)
                if (!sy.count(c)) d += " -" + quoted(c);
            out.push_back(d);
            continue;
        }
        const bool text = std::holds_alternative<std::string>(a.fields[i]);
        const std::string before = text ? std::get<std::string>(a.fields[i]) : value_text(a.fields[i]);
        const std::string after = text ? std::get<std::string>(b.fields[i]) : value_text(b.fields[i]);
        out.push_back(name + " " + before + " → " + after);
    }
    return out;
}

std::string number_key(const BaseRecord& r) {
    return std::holds_alternative<std::int32_t>(r.fields.front())
               ? std::to_string(std::get<std::int32_t>(r.fields[0]))
               : value_text(r.fields.front());
}

}  // namespace

std::optional<BaseKind> base_kind_of(const std::string& path) {
    const std::string name = to_lower_pl(std::filesystem::path(path).filename().string());
    for (BaseKind k : kKinds) {
        const std::string prefix = to_lower_pl(kind_info(k).prefix);
        // "RA" before "RE" is no matter: the prefixes differ in their second letter.
        if (name.compare(0, prefix.size(), prefix) == 0) return k;
    }
    return std::nullopt;
}

std::optional<BaseReadFailure> read_base_records(const std::string& path, BaseKind kind,
                                                 BaseFileRecords& out) {
    out.kind = kind;
    out.path = path;
    out.records.clear();
    auto fail = [&path](int line, int column, std::string message) {
        return BaseReadFailure{path, line, column, std::move(message)};
    };
    const auto bytes = read_file_bytes(path);
    if (!bytes) return fail(0, 0, "nie można odczytać pliku");
    const auto text = decode_file_text(*bytes);
    if (!text) return fail(0, 0, "plik nie jest tekstem w kodzie Windows-1250 ani UTF-8");
    auto error =
        parse_base_records(kind, *text, [&out](std::string_view table, std::vector<Value>&& f, int line) {
            if (table.rfind("rem_", 0) == 0 || f.empty()) return;
            out.records.push_back({std::string(table), std::move(f), line});
        });
    if (error) return fail(error->line_number, error->position + 1, read_error_message(error->code));
    return std::nullopt;
}

std::vector<std::pair<BaseKind, std::string>> knowledge_base_files(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::string rule = path;
    if (fs::is_directory(path, ec)) {
        std::vector<std::string> rules;
        for (const auto& e : fs::directory_iterator(path, ec))
            if (e.is_regular_file(ec) && base_kind_of(e.path().string()) == BaseKind::Rules &&
                to_lower_pl(e.path().extension().string()) == ".ben")
                rules.push_back(e.path().string());
        if (rules.empty()) return {};
        std::sort(rules.begin(), rules.end());
        rule = rules.front();
    }
    const auto kind = base_kind_of(rule);
    if (!kind) return {};
    if (*kind != BaseKind::Rules) return {{*kind, rule}};
    std::vector<std::pair<BaseKind, std::string>> out = {{BaseKind::Rules, rule}};
    for (BaseKind k : kKinds)
        if (k != BaseKind::Rules)
            if (auto s = sibling_base(rule, k)) out.emplace_back(k, *s);
    return out;
}

std::string record_text(const BaseRecord& r) {
    std::string out = r.table + "(";
    for (std::size_t i = 0; i < r.fields.size(); ++i)
        out += (i ? "," : "") + value_text(r.fields[i]);
    return out + ")";
}

std::vector<BaseChange> diff_base_files(const BaseFileRecords& before, const BaseFileRecords& after) {
    // Numbered records by table, number and occurrence; the others by content and occurrence.
    auto key_of = [](const BaseFileRecords& f) {
        std::map<std::string, int> seen;
        std::vector<std::string> keys;
        keys.reserve(f.records.size());
        for (const BaseRecord& r : f.records) {
            const TableShape* shape = shape_of(r.table);
            std::string k = r.table + '\x1e' + (shape != nullptr ? number_key(r) : content(r, nullptr));
            k += '\x1e' + std::to_string(seen[k]++);
            keys.push_back(std::move(k));
        }
        return keys;
    };
    const std::vector<std::string> ka = key_of(before), kb = key_of(after);
    std::unordered_map<std::string, std::size_t> index_b;
    index_b.reserve(kb.size());
    for (std::size_t i = 0; i < kb.size(); ++i)
        index_b.emplace(kb[i], i);
    std::vector<bool> matched_b(kb.size(), false);
    std::vector<std::size_t> removed;
    std::vector<BaseChange> out;
    auto change = [&](BaseChange::Type t, const BaseRecord* a, const BaseRecord* b) {
        BaseChange c;
        c.type = t;
        c.kind = after.kind;
        const BaseRecord& r = a != nullptr ? *a : *b;
        c.table = r.table;
        c.key = shape_of(r.table) != nullptr ? number_key(r) : record_text(r);
        if (a != nullptr) c.old_text = record_text(*a), c.old_line = a->line;
        if (b != nullptr) c.new_text = record_text(*b), c.new_line = b->line;
        return c;
    };
    for (std::size_t i = 0; i < ka.size(); ++i) {
        auto it = index_b.find(ka[i]);
        if (it == index_b.end()) {
            removed.push_back(i);
            continue;
        }
        matched_b[it->second] = true;
        const BaseRecord& a = before.records[i];
        const BaseRecord& b = after.records[it->second];
        const TableShape* shape = shape_of(a.table);
        if (shape == nullptr || content(a, shape) == content(b, shape)) continue;
        BaseChange c = change(BaseChange::Type::Changed, &a, &b);
        c.details = details(a, b, *shape);
        out.push_back(std::move(c));
    }
    // Left over on both sides with equal content: a numbered record moved to another number.
    std::unordered_map<std::string, std::vector<std::size_t>> added_by_content;
    for (std::size_t j = kb.size(); j-- > 0;)
        if (!matched_b[j]) {
            const BaseRecord& b = after.records[j];
            if (const TableShape* shape = shape_of(b.table)) added_by_content[content(b, shape)].push_back(j);
        }
    for (std::size_t i : removed) {
        const BaseRecord& a = before.records[i];
        const TableShape* shape = shape_of(a.table);
        auto it = shape != nullptr ? added_by_content.find(content(a, shape)) : added_by_content.end();
        if (it == added_by_content.end() || it->second.empty()) {
            out.push_back(change(BaseChange::Type::Removed, &a, nullptr));
            continue;
        }
        const std::size_t j = it->second.back();
        it->second.pop_back();
        matched_b[j] = true;
        BaseChange c = change(BaseChange::Type::Moved, &a, &after.records[j]);
        c.new_key = number_key(after.records[j]);
        out.push_back(std::move(c));
    }
    for (std::size_t j = 0; j < kb.size(); ++j)
        if (!matched_b[j]) out.push_back(change(BaseChange::Type::Added, nullptr, &after.records[j]));
    return out;
}

}  // namespace zuva
