// The log is taken from what holds it: a session file starts with the base's id on a line of
// its own, an audit file holds one JSON object a line (its `log`; the last line is taken).
#include "cli/resume_log.h"

#include <filesystem>

#include "text/file_io.h"
#include "text/i18n.h"
#include "text/number_format.h"
#include "zuva/zuva.h"

namespace zuva {

namespace {

const char* const kKinds[] = {N_("CF warunku"), N_("CF wniosku"), N_("wartość argumentu"),
                              N_("wybór"),      N_("wybór"),      N_("lista"),
                              N_("lista"),      N_("tekst")};

// The JSON text of the log in a file of one of the three kinds.
std::string log_text(const std::string& bytes) {
    std::string text = bytes;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    if (!text.empty() && text.front() != '{') {
        const std::size_t eol = text.find('\n');  // a session file: the base's id first
        text = eol == std::string::npos ? std::string() : text.substr(eol + 1);
    }
    const std::size_t last = text.rfind("\n{");  // an audit file: its last line
    if (last != std::string::npos) text = text.substr(last + 1);
    return text;
}

void print_how(const api::HowNode& n, int depth, std::ostream& out) {
    out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << n.text << "\n";
    for (const auto& c : n.children)
        print_how(c, depth + 1, out);
}

}  // namespace

int resume_command(const std::string& log_path, const std::string& rule_file, std::ostream& out,
                   std::ostream& err) {
    namespace fs = std::filesystem;
    const auto bytes = read_file_bytes(log_path);
    if (!bytes) {
        err << tr("zuva: nie można odczytać dziennika ") << log_path << "\n";
        return 2;
    }
    try {
        const api::Log log = api::Log::from_json(log_text(*bytes));
        if (log.base.empty()) throw api::Error(tr("Dziennik nie wymienia bazy wiedzy."));
        // The rule base: as given, else the log's file beside the log, else in this folder.
        std::string rules = rule_file;
        if (rules.empty()) {
            const fs::path beside = fs::path(log_path).parent_path() / log.base.front().name;
            std::error_code ec;
            rules = fs::exists(beside, ec) ? beside.string() : log.base.front().name;
        }
        const api::KnowledgeBase kb = api::KnowledgeBase::open(rules);
        api::Consultation c = kb.resume(log);
        out << tr("Konsultacja z dziennika ") << log_path << "\n";
        out << tr("Baza wiedzy: ") << rules << "\n";
        out << (log.backward ? tr("Wnioskowanie wstecz") : tr("Wnioskowanie w przód"));
        if (!log.hypothesis.empty()) out << tr(", hipoteza ") << log.hypothesis;
        out << tr("\nOdpowiedzi:\n");
        for (const auto& a : log.answers)
            out << "  " << a.number << ". " << a.name << " (" << tr(kKinds[static_cast<int>(a.kind)])
                << "): " << (a.by_position ? tr("pozycja ") + std::to_string(a.position) : a.text)
                << (a.refused ? tr("  [nie przyjęto]") : "") << "\n";
        if (auto q = c.next()) {
            out << tr("Konsultacja nie jest zakończona: czeka na odpowiedź na pytanie ") << q->number << " ("
                << q->name << ").\n";
            return 0;
        }
        const api::Result& r = c.result();
        out << "\n" << r.report;
        if (!r.report.empty() && r.report.back() != '\n') out << "\n";
        out << tr("\nWnioski:\n");
        for (const auto& x : r.conclusions)
            out << "  " << x.name
                << (x.cf ? " (CF = " + format_cf(*x.cf) + ")" : std::string(tr(" (brak CF)"))) << "\n";
        for (const auto& x : r.conclusions) {
            if (!x.cf) continue;
            out << tr("\nJak uzyskano wniosek ") << x.name << "?\n";
            print_how(c.how(x.name), 1, out);
        }
        return 0;
    } catch (const api::Error& e) {
        err << "zuva: " << e.what() << "\n";
        return 2;
    }
}

}  // namespace zuva
