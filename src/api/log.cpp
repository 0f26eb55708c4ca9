// The log of a consultation: the base it ran on (each file's name and a hash of its bytes),
// the direction, hypothesis and options, and every answer with the question it answered.
// A consultation is deterministic, so the log is its whole state: resuming replays the
// answers on the same base, checking each question against the one the log names.
#include <openssl/evp.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "api/consultation_impl.h"
#include "text/file_io.h"

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
    throw Error("Dziennik konsultacji: nieznany rodzaj pytania '" + text + "'.");
}

// What a question is, as a log names it: "3 (condition_cf rozrusznik_nie_kreci)".
std::string named(int number, QuestionKind kind, const std::string& name) {
    return std::to_string(number) + " (" + kind_text(kind) + " " + name + ")";
}

}  // namespace

std::string sha256_hex(const std::string& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr))
        throw Error("Nie można obliczyć skrótu pliku bazy.");
    std::string out;
    char hex[3];
    for (unsigned int i = 0; i < length; ++i) {
        std::snprintf(hex, sizeof hex, "%02x", digest[i]);
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
        const json j = json::parse(text);
        if (j.at("zuva_log").get<int>() != kLogVersion)
            throw Error("Dziennik konsultacji ma nieznaną wersję.");
        for (const auto& f : j.at("base"))
            log.base.push_back({f.at("file").get<std::string>(), f.at("sha256").get<std::string>()});
        const std::string direction = j.at("direction").get<std::string>();
        if (direction != "forward" && direction != "backward")
            throw Error("Dziennik konsultacji: nieznany kierunek wnioskowania '" + direction + "'.");
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
        throw Error(std::string("Dziennik konsultacji jest uszkodzony: ") + e.what());
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
            throw Error("Dziennik konsultacji dotyczy innej wersji bazy wiedzy: plik " + file +
                        " jest inny niż wtedy.");
        }
    }
    Consultation c = log.backward ? backward(log.hypothesis, log.options) : forward(log.options);
    for (const auto& a : log.answers) {
        const std::optional<Question> q = c.next();
        if (!q || q->number != a.number || q->kind != a.kind || q->name != a.name)
            throw Error("Dziennik konsultacji nie pasuje do bazy wiedzy: pytanie " +
                        named(a.number, a.kind, a.name) +
                        (q ? " różni się od zadanego teraz pytania " + named(q->number, q->kind, q->name)
                           : " nie zostało zadane, konsultacja zakończyła się wcześniej") +
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
            throw Error("Dziennik konsultacji nie pasuje do bazy wiedzy: odpowiedź na pytanie " +
                        named(a.number, a.kind, a.name) +
                        (refused ? " nie została teraz przyjęta." : " została teraz przyjęta, a wtedy nie."));
    }
    return c;
}

}  // namespace zuva::api
