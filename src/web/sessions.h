// The live consultations of one server process, each under a random 128-bit token that the
// browser holds in a cookie. The table is bounded in size; a session not used for the idle
// time is dropped, and dropping it ends its consultation and frees it.
#pragma once
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "zuva/zuva.h"

namespace zuva::web {

struct BaseEntry;

// One browser's consultation. Lock `mutex` to use anything but the token.
struct WebSession {
    std::mutex mutex;
    std::string token;
    const BaseEntry* base = nullptr;
    std::string hypothesis;       // empty for a forward run
    std::string consultation_id;  // new at every start; every answer form names it
    std::optional<api::Consultation> consultation;
    std::optional<api::KnowledgeBase> kb;  // the loaded base the consultation runs on
    std::string error;                     // the reason the last answer was refused, shown once
    std::optional<api::Why> why;           // asked at the pending question
    int why_number = 0;                    // the question it was asked at
    std::string result_html;               // the result part of the page, made once when the run ends
    std::string stored;                    // with a state folder: the session's file as last written or read
    std::chrono::steady_clock::time_point sealed;  // with signed consultations: when last sealed
    // The log of a consultation parked while its browser is away (no thread, no session of
    // the core: its answers only); it is resumed at the next request.
    std::string parked;
};

// A fresh token: 32 lower-case hex digits from the system's random source.
std::string new_token();
// Whether `token` has the form of one (so that nothing else is ever taken as a token).
bool well_formed_token(const std::string& token);

class SessionTable {
  public:
    using Clock = std::chrono::steady_clock;
    SessionTable(std::size_t max_sessions, std::chrono::seconds idle);

    using Restore = std::function<std::shared_ptr<WebSession>(const std::string& token)>;
    // The live session of `token` (and its idle time starts again), or null. A token the
    // table does not hold is brought back by `here` when given (from what the request
    // carries), else by `restore`.
    std::shared_ptr<WebSession> find(const std::string& token, const Restore& here = {});
    // A new session of the client at address `client`; its token is `proposed` when that is
    // well formed and not in use, a fresh one otherwise. A client at its bound of sessions
    // loses its least recently used one; a full table loses its least recently used session
    // not used for `evict_after`. Null when there is none such, and `retry_after` then says
    // in how many seconds there will be.
    std::shared_ptr<WebSession> create(const std::string& proposed = {}, const std::string& client = {},
                                       int* retry_after = nullptr);
    void remove(const std::string& token);
    // Drops the sessions idle for longer than the idle time; returns how many. Parks the
    // consultations of sessions idle for longer than `park_after` (their logs kept).
    std::size_t sweep();
    std::chrono::seconds park_after{60};
    std::chrono::seconds evict_after{30};
    std::size_t per_client = 100;
    std::size_t size() const;
    std::size_t max_sessions() const { return max_; }

    // The time source (tests move it forward).
    std::function<Clock::time_point()> now = [] { return Clock::now(); };
    // With a state folder: the session of a token this table does not hold, as the folder
    // keeps it (null when it keeps none), and the forgetting of a session that is ended
    // (`remove`; one that is only idle here may go on in another process).
    Restore restore;
    std::function<void(const std::string& token)> forget;

  private:
    struct Entry {
        std::shared_ptr<WebSession> session;
        Clock::time_point used;
        std::string client;
    };
    mutable std::mutex mutex_;
    std::unordered_map<std::string, Entry> sessions_;
    std::size_t max_;
    std::chrono::seconds idle_;
};

// The starts of consultations a client address may make: a bucket of `per_minute` starts,
// refilled evenly over a minute. Bounded in the addresses it remembers.
class StartRate {
  public:
    explicit StartRate(int per_minute) : per_minute_(per_minute) {}
    // Whether `client` may start now; when not, `retry_after` is the seconds to wait.
    bool allow(const std::string& client, int& retry_after);
    std::function<SessionTable::Clock::time_point()> now = [] { return SessionTable::Clock::now(); };

  private:
    struct Bucket {
        double tokens;
        SessionTable::Clock::time_point at;
    };
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
    int per_minute_;
};

}  // namespace zuva::web
