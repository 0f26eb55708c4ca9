// Sessions as files: `TOKEN.zuva` holds the base's id and, after a tab, the consultation's
// id on its first line, and the consultation's log (JSON) after it.
#include "web/session_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "text/file_confine.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "web/catalog.h"
#include "web/sessions.h"

namespace zuva::web {

namespace fs = std::filesystem;

std::string SessionStore::path_of(const std::string& token) const {
    return (fs::path(dir_) / (token + ".zuva")).string();
}

std::string session_text(WebSession& s) {
    if (!s.consultation || !s.base || s.base->id.find_first_of("\t\n") != std::string::npos) return {};
    return s.base->id + "\t" + s.consultation_id + "\n" + s.consultation->log().to_json();
}

void SessionStore::save(WebSession& s) const {
    std::string text = session_text(s);
    if (!text.empty() && write_file_bytes(path_of(s.token), text)) s.stored = std::move(text);
}

void resume_session(WebSession& s, const Catalog& catalog, const std::string& text) {
    const std::size_t eol = text.find('\n');
    const std::string first = eol == std::string::npos ? std::string() : text.substr(0, eol);
    const std::size_t tab = first.find('\t');
    const BaseEntry* base = eol == std::string::npos ? nullptr : catalog.find(first.substr(0, tab));
    if (!base) throw api::Error(tr("Nie ma już tej bazy wiedzy."));
    const api::Log log = api::Log::from_json(text.substr(eol + 1));
    const api::KnowledgeBase kb = base->live->current();
    s.consultation.emplace(kb.resume(log));
    s.kb = kb;
    s.base = base;
    s.hypothesis = log.hypothesis;
    // A file of an older server names no consultation: it gets an id of its own.
    s.consultation_id = tab == std::string::npos ? new_token().substr(0, 16) : first.substr(tab + 1);
    s.stored = text;
    s.error.clear();
    s.why.reset();
    s.result_html.clear();
}

std::shared_ptr<WebSession> SessionStore::restore(const std::string& token) const {
    if (!well_formed_token(token)) return nullptr;
    const auto text = read_file_bytes(path_of(token));
    if (!text) return nullptr;
    auto s = std::make_shared<WebSession>();
    s->token = token;
    try {
        resume_session(*s, catalog_, *text);
    } catch (const api::Error&) {
        erase(token);
        return nullptr;
    }
    return s;
}

bool SessionStore::refresh(WebSession& s) const {
    const auto text = read_file_bytes(path_of(s.token));
    if (!text) return false;
    if (*text == s.stored) return true;
    try {
        resume_session(s, catalog_, *text);
    } catch (const api::Error&) {
        erase(s.token);
        return false;
    }
    return true;
}

void SessionStore::erase(const std::string& token) const {
    if (well_formed_token(token)) remove_file(path_of(token));
}

std::size_t SessionStore::sweep(std::chrono::seconds idle) const {
    std::size_t removed = 0;
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator it(dir_, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        if (p.extension() != ".zuva" || !well_formed_token(p.stem().string())) continue;
        std::error_code tec;
        const auto written = fs::last_write_time(p, tec);
        if (!tec && now - written > idle && remove_file(p.string())) ++removed;
    }
    return removed;
}

bool append_audit_line(const std::string& dir, const std::string& base_id, api::Consultation& c) {
    using json = nlohmann::json;
    const api::Result& r = c.result();
    char when[32];
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&t, &tm);
    std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%SZ", &tm);
    json conclusions = json::array();
    for (const auto& x : r.conclusions)
        conclusions.push_back({{"name", x.name}, {"cf", x.cf ? json(*x.cf) : json(nullptr)}});
    const json line = {{"time", when},
                       {"base", base_id},
                       {"completed", r.completed},
                       {"log", json::parse(c.log().to_json())},
                       {"conclusions", conclusions}};
    const std::string text = line.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
    const std::string path = (fs::path(dir) / "zuva-konsultacje.jsonl").string();
    if (!file_write_allowed(path)) return false;
    // One write of the whole line to a file opened for appending: lines of several
    // processes never interleave, and a line is there whole or not at all.
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const bool ok =
        ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace zuva::web
