// The log of a consultation: the base it ran on (each file's name and a hash of its bytes),
// the direction, hypothesis and options, and every answer with the question it answered.
// A consultation is deterministic, so the log is its whole state: resuming replays the
// answers on the same base, checking each question against the one the log names.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "api/consultation_impl.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva::api {

namespace {

using json = nlohmann::json;

constexpr int kLogVersion = 1;

const char* const kKinds[] = {"condition_cf", "conclusion_cf", "argument_value", "choice",
                              "radio",        "list",          "multi_list",     "text"};

std::string kind_text(QuestionKind k) {
    return kKinds[static_cast<int>(k)];
}

QuestionKind kind_of(const std::string& text) {
    for (int i = 0; i < static_cast<int>(std::size(kKinds)); ++i)
        if (text == kKinds[i]) return static_cast<QuestionKind>(i);
    throw Error(tr("Dziennik konsultacji: nieznany rodzaj pytania '") + text + "'.");
}

// What a question is, as a log names it: "3 (condition_cf rozrusznik_nie_kreci)".
std::string named(int number, QuestionKind kind, const std::string& name) {
    return std::to_string(number) + " (" + kind_text(kind) + " " + name + ")";
}

}  // namespace

// SHA-256 (FIPS 180-4). Here rather than from a cryptography library: the terminal program
// holds the session API and loads no such library.
std::string sha256_hex(const std::string& bytes) {
    static const std::uint32_t k[64] = {
        0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
        0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
        0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
        0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
        0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
        0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
        0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
        0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};
    std::uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                          0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    auto rotr = [](std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };
    std::string m = bytes;
    const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
    m += static_cast<char>(0x80);
    while (m.size() % 64 != 56)
        m += '\0';
    for (int i = 7; i >= 0; --i)
        m += static_cast<char>((bits >> (8 * i)) & 0xff);
    for (std::size_t at = 0; at < m.size(); at += 64) {
        std::uint32_t w[64];
        for (int i = 0; i < 16; ++i)
            w[i] = static_cast<std::uint32_t>(static_cast<unsigned char>(m[at + 4 * i])) << 24 |
                   static_cast<std::uint32_t>(static_cast<unsigned char>(m[at + 4 * i + 1])) << 16 |
                   static_cast<std::uint32_t>(static_cast<unsigned char>(m[at + 4 * i + 2])) << 8 |
                   static_cast<std::uint32_t>(static_cast<unsigned char>(m[at + 4 * i + 3]));
        for (int i = 16; i < 64; ++i) {
            const std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], hh = h[7];
        for (int i = 0; i < 64; ++i) {
            const std::uint32_t t1 =
                hh + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + k[i] + w[i];
            const std::uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            hh = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        const std::uint32_t add[8] = {a, b, c, d, e, f, g, hh};
        for (int i = 0; i < 8; ++i)
            h[i] += add[i];
    }
    std::string out;
    char hex[9];
    for (std::uint32_t v : h) {
        std::snprintf(hex, sizeof hex, "%08x", v);
        out += hex;
    }
    return out;
}

std::string Log::to_json() const {
    json j;
    j["zuva_log"] = kLogVersion;
    j["base"] = json::array();
    for (const auto& f : base)
        j["base"].push_back({{"file", f.name}, {"sha256", f.sha256}});
    j["direction"] = backward ? "backward" : "forward";
    j["hypothesis"] = hypothesis;
    json imported = json::array();
    for (const auto& r : options.imported)
        imported.push_back({{"kind", r.kind}, {"name", r.name}, {"value", r.value}});
    j["options"] = {{"detail", options.detail},
                    {"labels", options.labels},
                    {"hypothesis_type", options.hypothesis_type},
                    {"ask_labels", options.ask_labels},
                    {"imported", imported}};
    j["answers"] = json::array();
    for (const auto& a : answers) {
        json e = {{"number", a.number}, {"kind", kind_text(a.kind)}, {"name", a.name}};
        if (a.by_position)
            e["position"] = a.position;
        else
            e["answer"] = a.text;
        if (a.refused) e["refused"] = true;
        j["answers"].push_back(std::move(e));
    }
    return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

Log Log::from_json(const std::string& text) {
    Log log;
    try {
        const json whole = json::parse(text);
        // A line of zuva serve's audit file holds the log under "log".
        const json& j = !whole.contains("zuva_log") && whole.contains("log") ? whole.at("log") : whole;
        if (j.at("zuva_log").get<int>() != kLogVersion)
            throw Error(tr("Dziennik konsultacji ma nieznaną wersję."));
        for (const auto& f : j.at("base"))
            log.base.push_back({f.at("file").get<std::string>(), f.at("sha256").get<std::string>()});
        const std::string direction = j.at("direction").get<std::string>();
        if (direction != "forward" && direction != "backward")
            throw Error(tr("Dziennik konsultacji: nieznany kierunek wnioskowania '") + direction + "'.");
        log.backward = direction == "backward";
        log.hypothesis = j.at("hypothesis").get<std::string>();
        const json& o = j.at("options");
        log.options.detail = o.at("detail").get<int>();
        log.options.labels = o.at("labels").get<std::vector<std::string>>();
        log.options.hypothesis_type = o.at("hypothesis_type").get<int>();
        log.options.ask_labels = o.at("ask_labels").get<bool>();
        for (const auto& r : o.at("imported"))
            log.options.imported.push_back({r.at("kind").get<std::string>(), r.at("name").get<std::string>(),
                                            r.at("value").get<std::string>()});
        for (const auto& a : j.at("answers")) {
            LogAnswer e;
            e.number = a.at("number").get<int>();
            e.kind = kind_of(a.at("kind").get<std::string>());
            e.name = a.at("name").get<std::string>();
            if (a.contains("position")) {
                e.by_position = true;
                e.position = a.at("position").get<int>();
            } else {
                e.text = a.at("answer").get<std::string>();
            }
            e.refused = a.value("refused", false);
            log.answers.push_back(std::move(e));
        }
    } catch (const json::exception& e) {
        throw Error(std::string(tr("Dziennik konsultacji jest uszkodzony: ")) + e.what());
    }
    return log;
}

Log Consultation::log() const {
    std::lock_guard<std::mutex> lock(impl_->ui.mutex);
    Log log = impl_->log;
    log.answers = impl_->ui.answers_given;
    return log;
}

Consultation KnowledgeBase::resume(const Log& log) const {
    // The base: the same files, byte for byte.
    const auto& identity = impl_->identity;
    for (std::size_t i = 0; i < std::max(identity.size(), log.base.size()); ++i) {
        if (i >= log.base.size() || i >= identity.size() || identity[i].name != log.base[i].name ||
            identity[i].sha256 != log.base[i].sha256) {
            const std::string file = i < log.base.size() ? log.base[i].name : identity[i].name;
            throw Error(tr("Dziennik konsultacji dotyczy innej wersji bazy wiedzy: plik ") + file +
                        tr(" jest inny niż wtedy."));
        }
    }
    Consultation c = log.backward ? backward(log.hypothesis, log.options) : forward(log.options);
    for (const auto& a : log.answers) {
        const std::optional<Question> q = c.next();
        if (!q || q->number != a.number || q->kind != a.kind || q->name != a.name)
            throw Error(tr("Dziennik konsultacji nie pasuje do bazy wiedzy: pytanie ") +
                        named(a.number, a.kind, a.name) +
                        (q ? tr(" różni się od zadanego teraz pytania ") + named(q->number, q->kind, q->name)
                           : tr(" nie zostało zadane, konsultacja zakończyła się wcześniej")) +
                        ".");
        bool refused = false;
        try {
            if (a.by_position)
                c.choose(a.position);
            else
                c.answer(a.text);
        } catch (const Error&) {
            refused = true;
        }
        if (refused != a.refused)
            throw Error(
                tr("Dziennik konsultacji nie pasuje do bazy wiedzy: odpowiedź na pytanie ") +
                named(a.number, a.kind, a.name) +
                (refused ? tr(" nie została teraz przyjęta.") : tr(" została teraz przyjęta, a wtedy nie.")));
    }
    return c;
}

}  // namespace zuva::api
