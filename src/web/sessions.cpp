// Sessions are released outside the table's lock: dropping one joins its consultation's
// thread, which must not hold up other browsers.
#include "web/sessions.h"

#include <sys/random.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <vector>

namespace zuva::web {

std::string new_token() {
    unsigned char bytes[16];
    std::size_t got = 0;
    while (got < sizeof bytes) {
        const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("brak źródła liczb losowych");
        }
        got += static_cast<std::size_t>(n);
    }
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += kHex[b >> 4];
        out += kHex[b & 15];
    }
    return out;
}

bool well_formed_token(const std::string& token) {
    if (token.size() != 32) return false;
    for (char c : token)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

SessionTable::SessionTable(std::size_t max_sessions, std::chrono::seconds idle)
    : max_(max_sessions), idle_(idle) {}

std::shared_ptr<WebSession> SessionTable::find(const std::string& token) {
    if (!well_formed_token(token)) return nullptr;
    std::shared_ptr<WebSession> expired, evicted;
    std::unique_lock<std::mutex> lock(mutex_);
    auto it = sessions_.find(token);
    if (it == sessions_.end()) {
        if (!restore) return nullptr;
        // Resumed outside the lock: a replay takes the inference's time.
        lock.unlock();
        std::shared_ptr<WebSession> kept = restore(token);
        lock.lock();
        if (!kept) return nullptr;
        if (sessions_.size() >= max_) {
            // A kept session comes back in the place of the least recently used one idle
            // long enough, as a new one would.
            const auto t = now();
            auto oldest = sessions_.end();
            for (auto i = sessions_.begin(); i != sessions_.end(); ++i)
                if (t - i->second.used >= evict_after &&
                    (oldest == sessions_.end() || i->second.used < oldest->second.used))
                    oldest = i;
            if (oldest == sessions_.end()) {
                expired = std::move(kept);
                return nullptr;
            }
            evicted = std::move(oldest->second.session);
            sessions_.erase(oldest);
        }
        auto [at, fresh] = sessions_.emplace(token, Entry{kept, now()});
        return at->second.session;  // another request may have restored it first
    }
    const auto t = now();
    if (t - it->second.used > idle_) {
        expired = std::move(it->second.session);
        sessions_.erase(it);
        // `expired` is released after the lock (declared before it).
        return nullptr;
    }
    it->second.used = t;
    return it->second.session;
}

std::shared_ptr<WebSession> SessionTable::create(const std::string& proposed, const std::string& client,
                                                 int* retry_after) {
    if (size() >= max_) sweep();
    auto s = std::make_shared<WebSession>();
    std::shared_ptr<WebSession> evicted;  // released after the lock (declared before it)
    std::lock_guard<std::mutex> lock(mutex_);
    const auto t = now();
    auto least_recent = [&](auto&& eligible) {
        auto best = sessions_.end();
        for (auto it = sessions_.begin(); it != sessions_.end(); ++it)
            if (eligible(it->second) && (best == sessions_.end() || it->second.used < best->second.used))
                best = it;
        return best;
    };
    auto evict = [&](auto it) {
        evicted = std::move(it->second.session);
        sessions_.erase(it);
    };
    std::size_t mine = 0;
    for (const auto& [token, e] : sessions_)
        mine += e.client == client ? 1 : 0;
    if (mine >= per_client) evict(least_recent([&](const Entry& e) { return e.client == client; }));
    if (sessions_.size() >= max_) {
        auto oldest = least_recent([&](const Entry& e) { return t - e.used >= evict_after; });
        if (oldest == sessions_.end()) {
            if (retry_after) {
                auto any = least_recent([](const Entry&) { return true; });
                const auto wait = any == sessions_.end() ? evict_after : evict_after - (t - any->second.used);
                *retry_after = static_cast<int>(std::max<long long>(
                    1, std::chrono::duration_cast<std::chrono::seconds>(wait).count() + 1));
            }
            return nullptr;
        }
        evict(oldest);
    }
    std::string token = proposed;
    if (!well_formed_token(token) || sessions_.count(token) != 0) token = new_token();
    while (sessions_.count(token) != 0)
        token = new_token();
    s->token = token;
    sessions_.emplace(token, Entry{s, t, client});
    return s;
}

void SessionTable::remove(const std::string& token) {
    std::shared_ptr<WebSession> gone;
    std::lock_guard<std::mutex> lock(mutex_);
    if (forget) forget(token);
    auto it = sessions_.find(token);
    if (it == sessions_.end()) return;
    gone = std::move(it->second.session);
    sessions_.erase(it);
}

std::size_t SessionTable::sweep() {
    std::vector<std::shared_ptr<WebSession>> gone, idle;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto t = now();
        for (auto it = sessions_.begin(); it != sessions_.end();) {
            if (t - it->second.used > idle_) {
                gone.push_back(std::move(it->second.session));
                it = sessions_.erase(it);
            } else {
                if (t - it->second.used > park_after) idle.push_back(it->second.session);
                ++it;
            }
        }
    }
    // A consultation waiting for its browser holds a thread and its working tables; its log
    // holds all it is. One in use now is left alone.
    for (const auto& s : idle) {
        std::unique_lock<std::mutex> lock(s->mutex, std::try_to_lock);
        if (!lock || !s->consultation || !s->base) continue;
        s->parked = s->consultation->log().to_json();
        s->consultation.reset();
    }
    return gone.size();
}

bool StartRate::allow(const std::string& client, int& retry_after) {
    const auto t = now();
    const double per_second = per_minute_ / 60.0;
    std::lock_guard<std::mutex> lock(mutex_);
    // Addresses whose bucket is full again are forgotten when there are many.
    if (buckets_.size() > 10000)
        for (auto it = buckets_.begin(); it != buckets_.end();)
            it = std::chrono::duration<double>(t - it->second.at).count() * per_second + it->second.tokens >=
                         per_minute_
                     ? buckets_.erase(it)
                     : std::next(it);
    auto [it, fresh] = buckets_.try_emplace(client, Bucket{static_cast<double>(per_minute_), t});
    Bucket& b = it->second;
    b.tokens = std::min<double>(per_minute_,
                                b.tokens + std::chrono::duration<double>(t - b.at).count() * per_second);
    b.at = t;
    if (b.tokens >= 1.0) {
        b.tokens -= 1.0;
        return true;
    }
    retry_after = static_cast<int>((1.0 - b.tokens) / per_second) + 1;
    return false;
}

std::size_t SessionTable::size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return sessions_.size();
}

}  // namespace zuva::web
