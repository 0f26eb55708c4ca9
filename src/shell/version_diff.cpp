// Findings are compared by their file's name, level, kind and text, not by line: a line moved
// by an edit above it is no new finding.
#include "shell/version_diff.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <set>

#include "session/command_registry.h"
#include "session/session.h"
#include "shell/check.h"
#include "text/i18n.h"

namespace zuva {

namespace {

const char* type_text(BaseChange::Type t) {
    switch (t) {
        case BaseChange::Type::Added:
            return tr("dodany rekord");
        case BaseChange::Type::Removed:
            return tr("usunięty rekord");
        case BaseChange::Type::Moved:
            return tr("przeniesiony rekord");
        default:
            return tr("zmieniony rekord");
    }
}

struct Version {
    std::vector<BaseFileRecords> files;
    std::string rule_base;  // "" when the version has no rule base
};

std::optional<BaseReadFailure> read_version(const std::string& path, Version& v) {
    const auto files = knowledge_base_files(path);
    if (files.empty())
        return BaseReadFailure{path, 0, 0, tr("nie znaleziono bazy wiedzy (pliku RE*.BEN, MO*.BEN, ...)")};
    for (const auto& [kind, file] : files) {
        BaseFileRecords f;
        if (auto e = read_base_records(file, kind, f)) return e;
        if (kind == BaseKind::Rules) v.rule_base = file;
        v.files.push_back(std::move(f));
    }
    return std::nullopt;
}

std::string file_name(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

// The findings of `zuva check` as comparable lines: file name, level, kind and text.
std::multiset<std::string> findings_of(const std::string& rule_base) {
    std::multiset<std::string> out;
    if (rule_base.empty()) return out;
    const CheckResult r = check_knowledge_base(rule_base, CheckOptions{});
    for (const Finding& f : r.findings)
        out.insert(file_name(f.file) + ": " + (f.error ? tr("błąd") : tr("ostrzeżenie")) + " [" + f.kind +
                   "] " + f.message);
    return out;
}

const char* const kRuleBases = N_("Bazy reguł (RE*.BEN)");

}  // namespace

std::optional<BaseReadFailure> compare_versions(const std::string& before_path, const std::string& after_path,
                                                bool check, VersionDiff& out) {
    Version before, after;
    if (auto e = read_version(before_path, before)) return e;
    if (auto e = read_version(after_path, after)) return e;
    out = VersionDiff{};
    out.before_rule_base = before.rule_base;
    out.after_rule_base = after.rule_base;
    // Files paired by kind; a kind in one version only is all added or all removed.
    for (int k = 0; k <= static_cast<int>(BaseKind::Texts); ++k) {
        const BaseKind kind = static_cast<BaseKind>(k);
        if (kind == BaseKind::Report) continue;
        BaseFileRecords none_a, none_b;
        const BaseFileRecords* a = &none_a;
        const BaseFileRecords* b = &none_b;
        for (const auto& f : before.files)
            if (f.kind == kind) a = &f;
        for (const auto& f : after.files)
            if (f.kind == kind) b = &f;
        none_a.kind = none_b.kind = kind;
        if (a == &none_a && b == &none_b) continue;
        for (BaseChange& c : diff_base_files(*a, *b)) {
            out.files.push_back(file_name(c.type == BaseChange::Type::Removed ? a->path : b->path));
            out.changes.push_back(std::move(c));
        }
    }
    if (check) {
        const auto fa = findings_of(before.rule_base), fb = findings_of(after.rule_base);
        std::set_difference(fb.begin(), fb.end(), fa.begin(), fa.end(), std::back_inserter(out.appeared));
        std::set_difference(fa.begin(), fa.end(), fb.begin(), fb.end(), std::back_inserter(out.disappeared));
    }
    return std::nullopt;
}

std::string version_diff_text(const VersionDiff& d) {
    std::string out;
    for (std::size_t i = 0; i < d.changes.size(); ++i) {
        const BaseChange& c = d.changes[i];
        const int line = c.type == BaseChange::Type::Removed ? c.old_line : c.new_line;
        out +=
            d.files[i] + ":" + std::to_string(line) + ": " + type_text(c.type) + " " + c.table + " " + c.key;
        if (c.type == BaseChange::Type::Moved) out += " → " + c.new_key;
        if (!c.details.empty()) {
            out += ":";
            for (std::size_t k = 0; k < c.details.size(); ++k)
                out += (k ? "; " : " ") + c.details[k];
        }
        out += "\n";
        if (c.type == BaseChange::Type::Changed) out += "  - " + c.old_text + "\n  + " + c.new_text + "\n";
    }
    for (const auto& f : d.appeared)
        out += tr("nowe ustalenie: ") + f + "\n";
    for (const auto& f : d.disappeared)
        out += tr("ustalenie znikło: ") + f + "\n";
    if (d.equal()) out += tr("Bazy są równe co do znaczenia.\n");
    return out;
}

void register_version_diff_command(CommandRegistry& r) {
    r.set(10186, [](Session& s) {
        if (!s.kb.nazwa_re.loaded() || s.kb.nazwa_re.full_path.empty())
            return s.ui.note(tr("Uwaga błąd!"), tr("Brak bazy reguł!"));
        const std::string loaded = *s.kb.nazwa_re.full_path.first();
        const std::string chosen = s.ui.open_file("RE*.BEN", {{tr(kRuleBases), "RE*.BEN"}},
                                                  tr("Wybierz inną wersję bazy reguł do porównania"));
        if (chosen.empty()) return;
        const std::string other = s.resolve(chosen);
        VersionDiff d;
        if (auto e = compare_versions(other, loaded, true, d)) {
            std::string where = e->file;
            if (e->line > 0) where += ":" + std::to_string(e->line) + ":" + std::to_string(e->column);
            return s.ui.note(tr("Uwaga błąd!"),
                             tr("Nie można porównać baz wiedzy:\n") + where + ": " + e->message);
        }
        // The chosen version is the older one: what the loaded base changed from it.
        s.ui.browse_text(tr("Porównanie baz wiedzy"),
                         tr("Wersja porównywana: ") + other + tr("\nWersja załadowana: ") + loaded + "\n\n" +
                             version_diff_text(d),
                         false);
    });
}

}  // namespace zuva
