// The records come from the reader itself (parse_base_records); only the quoted texts of a
// record's line are scanned here, to place each name the record holds on its characters.
#include "lsp/knowledge_index.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <variant>

#include "kb/base_file_reader.h"
#include "lsp/positions.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva::lsp {

namespace {

struct Quoted {
    std::size_t start, end;  // inside the quotes
};

// The quoted texts of a line, as the reader reads them (a backslash escapes the next character).
std::vector<Quoted> quoted_texts(std::string_view line) {
    std::vector<Quoted> out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '"') continue;
        std::size_t j = i + 1;
        while (j < line.size() && line[j] != '"')
            j += line[j] == '\\' ? 2 : 1;
        if (j >= line.size()) break;
        out.push_back({i + 1, j});
        i = j;
    }
    return out;
}

// Texts that are no names: numbers and the special words of the rule language.
bool is_name(const std::string& t) {
    if (t.empty() || t == "bez_warunku" || t == "bez warunku" || t == "koniec") return false;
    char* end = nullptr;
    std::strtod(t.c_str(), &end);
    return !(end && *end == '\0');
}

struct Field {
    std::size_t index;
    Role role;
};

// The fields of each table that hold names, in field order.
std::vector<Field> name_fields(std::string_view table) {
    if (table == "reguła") return {{1, Role::Concluded}, {2, Role::Used}};
    if (table == "reguła_dysjunktywna" || table == "fakt" || table == "m_fakt" || table == "argument_znany" ||
        table == "arg_dopyt")
        return {{0, Role::Declared}};
    if (table == "model") return {{1, Role::Used}, {2, Role::Computed}, {3, Role::Used}, {5, Role::Used}};
    if (table == "model_r") return {{1, Role::Used}, {2, Role::Computed}, {4, Role::Used}};
    if (table == "model_liniowy")
        return {{1, Role::Used}, {2, Role::Computed}, {3, Role::Used}, {4, Role::Used}};
    if (table == "model_wielomianowy")
        return {{1, Role::Used}, {2, Role::Computed}, {3, Role::Used}, {4, Role::Used}};
    if (table == "modele_ekskluzywne") return {{0, Role::Used}};
    if (table == "ograniczenie" || table == "ograniczenie_n") return {{1, Role::Used}};
    if (table == "tekst" || table == "pomoc") return {{0, Role::Labelled}};
    if (table == "tekst_w_języku" || table == "pomoc_w_języku") return {{1, Role::Labelled}};
    return {};
}

std::string join_numbers(std::vector<long> v) {
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    std::string out;
    for (long n : v)
        out += (out.empty() ? "" : ", ") + std::to_string(n);
    return out;
}

}  // namespace

KnowledgeIndex::KnowledgeIndex(const Group& g) {
    for (const GroupFile& f : g.files) {
        file_names_[f.path] = short_name_of(f.path);
        LineIndex lines(f.text);
        parse_base_records(
            f.kind, f.text, [&](std::string_view table, std::vector<Value>&& fields, int line) {
                const int l = line - 1;
                const std::string_view text = lines.line(f.text, l);
                long number = 0;
                if (!fields.empty())
                    if (auto* n = std::get_if<std::int32_t>(&fields[0])) number = *n;
                // The outline: every active record that has a number or names a fact.
                const std::string t(table);
                auto first_text = [&](std::size_t i) -> std::string {
                    if (i < fields.size())
                        if (auto* s = std::get_if<std::string>(&fields[i])) return *s;
                    return {};
                };
                if (t == "reguła")
                    outline_.push_back(
                        {f.path, l, tr("Reguła ") + std::to_string(number) + ": " + first_text(1), t, 12});
                else if (t.rfind("model", 0) == 0 && t != "modele_ekskluzywne")
                    outline_.push_back(
                        {f.path, l, "Model " + std::to_string(number) + ": " + first_text(2), t, 5});
                else if (t == "ograniczenie" || t == "ograniczenie_n")
                    outline_.push_back({f.path, l, "Ograniczenie " + std::to_string(number), t, 23});
                else if (t == "fakt" || t == "m_fakt" || t == "argument_znany" || t == "arg_dopyt")
                    outline_.push_back({f.path, l, t + ": " + first_text(0), t, 14});
                if (t == "tekst" && fields.size() == 2) texts_.emplace(first_text(0), first_text(1));
                auto fields_of = name_fields(table);
                if (fields_of.empty()) return;
                const auto quoted = quoted_texts(text);
                std::size_t next = 0;
                auto place = [&](const std::string& name, Role role) {
                    for (std::size_t q = next; q < quoted.size(); ++q) {
                        if (text.substr(quoted[q].start, quoted[q].end - quoted[q].start) != name) continue;
                        next = q + 1;
                        if (is_name(name))
                            names_[name].push_back(
                                {f.path, l, quoted[q].start, quoted[q].end, role, t, number});
                        return;
                    }
                };
                for (const Field& fd : fields_of) {
                    if (fd.index >= fields.size()) continue;
                    if (auto* s = std::get_if<std::string>(&fields[fd.index]))
                        place(*s, fd.role);
                    else if (auto* list = std::get_if<TextList>(&fields[fd.index]))
                        for (const auto& e : *list)
                            place(e, fd.role);
                }
            });
    }
}

std::optional<std::string> KnowledgeIndex::name_at(const std::string& path, int line,
                                                   std::size_t column) const {
    for (const auto& [name, occ] : names_)
        for (const auto& o : occ)
            if (o.path == path && o.line == line && column >= o.start && column <= o.end) return name;
    return std::nullopt;
}

const std::vector<Occurrence>* KnowledgeIndex::occurrences(const std::string& name) const {
    auto it = names_.find(name);
    return it == names_.end() ? nullptr : &it->second;
}

std::vector<Outline> KnowledgeIndex::outline(const std::string& path) const {
    std::vector<Outline> out;
    for (const auto& o : outline_)
        if (o.path == path) out.push_back(o);
    return out;
}

std::string KnowledgeIndex::describe(const std::string& name) const {
    const auto* occ = occurrences(name);
    if (!occ) return {};
    std::vector<long> rules, models, used_rules, used_models, used_constraints;
    std::set<std::string> declared;
    for (const auto& o : *occ) {
        const bool model = o.table.rfind("model", 0) == 0 && o.table != "modele_ekskluzywne";
        switch (o.role) {
            case Role::Concluded:
                rules.push_back(o.number);
                break;
            case Role::Computed:
                models.push_back(o.number);
                break;
            case Role::Declared:
                declared.insert(o.table == "fakt"             ? tr("fakt bazy reguł")
                                : o.table == "m_fakt"         ? "fakt bazy modeli"
                                : o.table == "argument_znany" ? "argument znany"
                                : o.table == "arg_dopyt"      ? "argument dopytywalny"
                                                              : "wniosek dysjunktywny");
                break;
            case Role::Labelled:
                break;
            case Role::Used:
                if (o.table == "reguła")
                    used_rules.push_back(o.number);
                else if (model)
                    used_models.push_back(o.number);
                else if (o.table == "ograniczenie" || o.table == "ograniczenie_n")
                    used_constraints.push_back(o.number);
                break;
        }
    }
    std::string md = "**" + name + "**\n\n";
    if (auto t = texts_.find(name); t != texts_.end())
        md += tr("Tekst dla użytkownika: *") + t->second + "*\n\n";
    std::vector<std::string> from;
    if (!rules.empty()) from.push_back(tr("wnioskowany przez reguły ") + join_numbers(rules));
    if (!models.empty()) from.push_back("wyliczany przez modele " + join_numbers(models));
    for (const auto& d : declared)
        if (d != "wniosek dysjunktywny") from.push_back(d);
    const bool given = !rules.empty() || !models.empty() || declared.count(tr("fakt bazy reguł")) ||
                       declared.count("fakt bazy modeli") || declared.count("argument znany");
    if (!given && !declared.count("argument dopytywalny"))
        from.push_back(tr("dopytywalny (pytanie do użytkownika)"));
    md += tr("Skąd CF lub wartość: ");
    for (std::size_t i = 0; i < from.size(); ++i)
        md += (i ? "; " : "") + from[i];
    md += ".\n\n";
    std::vector<std::string> uses;
    if (!used_rules.empty()) uses.push_back(tr("reguły ") + join_numbers(used_rules));
    if (!used_models.empty()) uses.push_back("modele " + join_numbers(used_models));
    if (!used_constraints.empty()) uses.push_back("ograniczenia " + join_numbers(used_constraints));
    if (declared.count("wniosek dysjunktywny")) uses.push_back("wniosek dysjunktywny");
    md += tr("Używany w: ");
    if (uses.empty()) md += "nigdzie";
    for (std::size_t i = 0; i < uses.size(); ++i)
        md += (i ? "; " : "") + uses[i];
    md += ".";
    return md;
}

}  // namespace zuva::lsp
