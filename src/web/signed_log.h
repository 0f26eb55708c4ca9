// Consultations kept in the browser: with no state folder and a key (--secret-file), the
// text a state file would hold goes to a cookie, compressed and signed with HMAC-SHA256 under
// the key and the session's token, so that any server with the same key and bases can go on
// with it and none takes a log that was forged, altered or moved to another session.
#pragma once
#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace zuva::web {

class SignedLogs {
  public:
    // Cookie values longer than this are not set: a browser keeps no larger cookie, and the
    // consultation then lives in the server process only.
    static constexpr std::size_t kMaxCookie = 3900;

    // `max_age`: a value sealed longer ago is no longer taken (the idle time of a session).
    SignedLogs(std::string key, std::chrono::seconds max_age) : key_(std::move(key)), max_age_(max_age) {}
    // The key of a file: its bytes without the line end that follows them; none (with the
    // reason) when the file cannot be read or holds fewer than 32 bytes.
    static std::optional<std::string> read_key(const std::string& path, std::string& error);

    // The cookie value of `text` for the session `token`: base64 of the compressed time of
    // sealing and text, a dot, base64 of the signature. Empty when it would be longer than
    // kMaxCookie.
    std::string seal(const std::string& token, const std::string& text) const;
    // The text of a cookie value sealed for `token` under this key within the maximal age;
    // none for anything else.
    std::optional<std::string> open(const std::string& token, const std::string& value) const;

    // The time source (tests move it forward).
    std::function<std::chrono::system_clock::time_point()> now = [] {
        return std::chrono::system_clock::now();
    };

  private:
    std::string mac(const std::string& token, const std::string& payload) const;
    std::string key_;
    std::chrono::seconds max_age_;
};

}  // namespace zuva::web
