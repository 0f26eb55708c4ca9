// Test-case files in the editor: read by `zuva test`'s own reader and checked against their
// base as `zuva test` checks them before a run; a rename of a name of the base reaches the
// records of the suites beside it that run that base.
#include <filesystem>
#include <set>

#include "lsp/server.h"
#include "testing/case_file.h"
#include "testing/case_names.h"
#include "testing/case_run.h"
#include "text/i18n.h"

namespace zuva::lsp {

namespace {

namespace fs = std::filesystem;

std::string normal(const std::string& path) {
    std::error_code ec;
    return fs::absolute(path, ec).lexically_normal().string();
}

}  // namespace

void Server::publish_cases(const Document& d) {
    Json list = Json::array();
    const LineIndex lines(d.text);
    auto add = [&](int line, int column, const std::string& message) {
        list.push_back(diagnostic(Finding{d.path, line, column, true, "test-case", message}, d.text, lines));
    };
    testing::CaseFileError e;
    auto file = testing::parse_case_text(d.path, d.text, e);
    if (!file) {
        add(e.line, e.column, e.message);
    } else {
        // The bases stay open from one edit of a suite to the next, opened again only when
        // their files change.
        if (!case_bases_) case_bases_ = std::make_unique<testing::OpenedBases>();
        testing::OpenedBases& bases = *case_bases_;
        bases.forget_changed();
        for (const auto& c : file->cases) {
            std::error_code ec;
            if (!fs::is_regular_file(c.rule_path, ec)) {
                add(c.base_line, c.base_column,
                    tr("Nie można odczytać pliku bazy reguł ") + c.rule_base + ".");
                continue;
            }
            std::string why;
            if (!bases.get(c.rule_path, why)) continue;
            for (const auto& l : bases.failed_loads(c.rule_path))
                add(c.line, 1, tr("Baza nie została załadowana: ") + l);
            if (const auto* names = bases.names(c.rule_path, c.rule_base))
                for (const auto& m : testing::check_case_names(c, *names, nullptr))
                    add(m.line, m.column, m.message);
        }
    }
    publish(d.path, list);
}

void Server::rename_in_suites(const std::string& rule_path, const std::string& from, const std::string& to,
                              Json& changes) {
    const std::string rule = normal(rule_path);
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(rule_path).parent_path(), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string path = fs::path(it->path()).lexically_normal().string();
        if (!is_case_file(path)) continue;
        const std::string text = text_of(path);
        testing::CaseFileError e;
        auto file = testing::parse_case_text(path, text, e);
        if (!file) continue;
        const LineIndex lines(text);
        std::set<std::pair<int, int>> done;  // a file-wide answer is in every case
        for (const auto& c : file->cases) {
            if (normal(c.rule_path) != rule) continue;
            for (const auto& u : c.names) {
                if (u.name != from || !done.insert({u.line, u.column}).second) continue;
                // The name begins after its quote (columns count characters from 1).
                const std::string_view l = lines.line(text, u.line - 1);
                std::size_t start = 0;
                for (int chars = 0; start < l.size() && chars < u.column; ++chars) {
                    ++start;
                    while (start < l.size() && (static_cast<unsigned char>(l[start]) & 0xC0) == 0x80)
                        ++start;
                }
                changes[uri_of(path)].push_back(
                    {{"range", range_of(path, u.line - 1, start, start + from.size())}, {"newText", to}});
            }
        }
    }
}

}  // namespace zuva::lsp
