// What outlives a server process: with a state folder, every browser's consultation as its
// log, one small file per session named by its token, written through the one writer at
// every change and read back by a server that does not hold the session (after a restart,
// or another server behind the same proxy); with a log folder, one JSON line per finished
// consultation (the audit trail).
#pragma once
#include <chrono>
#include <memory>
#include <string>

#include "zuva/zuva.h"

namespace zuva::web {

class Catalog;
struct WebSession;

class SessionStore {
  public:
    SessionStore(std::string dir, const Catalog& catalog) : dir_(std::move(dir)), catalog_(catalog) {}

    // Writes the session's consultation (the session is locked by the caller).
    void save(WebSession& s) const;
    // Brings the session (locked by the caller) up to its file when another process wrote
    // the file since this one did; false when the file is gone (the session ended elsewhere)
    // or no longer resumes.
    bool refresh(WebSession& s) const;
    // The session of `token` as its file left it, its consultation resumed; null when there
    // is none, or when it can no longer be resumed (the base changed), and then the file goes.
    std::shared_ptr<WebSession> restore(const std::string& token) const;
    void erase(const std::string& token) const;
    // Removes the files not written for longer than `idle`; returns how many.
    std::size_t sweep(std::chrono::seconds idle) const;

  private:
    std::string path_of(const std::string& token) const;
    std::string dir_;
    const Catalog& catalog_;
};

// The text a state file (or a signed cookie) keeps of a session (locked by the caller): its
// base's id and, after a tab, its consultation's id, then the consultation's log (JSON); ""
// when it has no consultation to keep.
std::string session_text(WebSession& s);
// The session (locked by the caller) brought to what `text` keeps, its consultation resumed;
// throws api::Error when it cannot be (the base is gone or changed).
void resume_session(WebSession& s, const Catalog& catalog, const std::string& text);

// Appends the audit line of a finished consultation to `dir`/zuva-konsultacje.jsonl: the time
// (UTC), the base, the log and the conclusions with their CFs, in one write.
bool append_audit_line(const std::string& dir, const std::string& base_id, api::Consultation& c);

}  // namespace zuva::web
