// Opening a knowledge base checks it as `zuva check` does (the loads with their tests and
// the diagnoses) and loads it once; every consultation then runs in a session of its own over
// that one loaded base, which none of them writes, so they may run on any threads at once.
#include <algorithm>
#include <filesystem>
#include <set>
#include <utility>

#include "api/consultation_impl.h"
#include "api/trace.h"
#include "consult/backward.h"
#include "kb/texts_base.h"
#include "shell/check.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "text/nearest_name.h"

namespace zuva::api {

Error::Error(const std::string& message, std::string file, int line)
    : std::runtime_error(file.empty() ? message
                                      : file + ":" + std::to_string(line > 0 ? line : 1) + ": " + message),
      message_(message),
      file_(std::move(file)),
      line_(line) {}

namespace {

Finding finding_of(const zuva::Finding& f) {
    Finding out;
    out.level = f.error ? Finding::Level::Error : Finding::Level::Warning;
    out.kind = f.kind;
    out.text = f.message;
    out.file = f.file;
    out.line = f.line;
    out.column = f.column;
    return out;
}

}  // namespace

std::unique_ptr<Consultation::Impl> loaded(const KnowledgeBase::Impl& kb, const Options& options,
                                           const std::string& hypothesis) {
    // Imported rows are added to the tables: such a consultation has a copy of its own.
    std::shared_ptr<zuva::KnowledgeBase> own;
    if (!options.imported.empty()) {
        own = std::make_shared<zuva::KnowledgeBase>(kb.loaded->s.kb);
        own->rule_text_ids.reset();
    }
    auto c = std::make_unique<Consultation::Impl>(options, *kb.loaded, std::move(own));
    c->ui.hypothesis = hypothesis;
    c->log.base = kb.identity;
    c->log.hypothesis = hypothesis;
    c->log.options = options;
    add_imported(c->s, options.imported);
    return c;
}

void check_hypothesis(const LoadedBase& kb, const std::string& h, int type) {
    for (int t : {kHipotezaWaska, kHipotezaSzeroka}) {
        if (type != 0 && type != t) continue;
        const TextList& candidates = t == kHipotezaWaska ? kb.narrow : kb.broad;
        if (std::find(candidates.begin(), candidates.end(), h) != candidates.end()) return;
    }
    throw Error(tr("Hipotezy ") + h + tr(" nie ma wśród hipotez do testowania."));
}

KnowledgeBase KnowledgeBase::open(const std::string& rule_file) {
    namespace fs = std::filesystem;
    auto impl = std::make_shared<Impl>();
    impl->rule_file = rule_file;
    std::error_code ec;
    impl->full = fs::absolute(rule_file, ec).lexically_normal().string();
    if (!fs::is_regular_file(impl->full, ec) || !read_file_bytes(impl->full))
        throw Error(tr("Nie można odczytać pliku ") + rule_file + ".", rule_file, 1);
    CheckOptions o;
    o.anomalies = false;
    const CheckResult r = check_knowledge_base(rule_file, o);
    for (const auto& f : r.findings) {
        // A rule base that cannot be read or parsed cannot be consulted.
        if (f.error && f.file == rule_file && (f.kind == "file" || f.kind == "syntax"))
            throw Error(f.message, f.file, f.line);
        impl->findings.push_back(finding_of(f));
    }
    if (r.unreadable) throw Error(tr("Nie można odczytać pliku ") + rule_file + ".", rule_file, 1);
    impl->files = r.files;
    // The stamps are taken before the load: an edit that lands while it reads counts as a
    // change and the next check sees it.
    for (const auto& f : impl->files) {
        Impl::Stamp st{f, fs::last_write_time(f, ec), 0};
        st.size = fs::file_size(f, ec);
        impl->stamps.push_back(std::move(st));
        impl->identity.push_back(
            {fs::path(f).filename().string(), sha256_hex(read_file_bytes(f).value_or(""))});
    }
    impl->loaded = load_knowledge_base(impl->full, rule_file);
    for (const auto& f : impl->files)
        for (const auto& u : impl->loaded->unloaded)
            if (fs::absolute(f, ec).lexically_normal() == fs::path(u).lexically_normal())
                impl->unloaded.push_back(f);
    KnowledgeBase kb;
    kb.impl_ = std::move(impl);
    return kb;
}

bool KnowledgeBase::changed_on_disk() const {
    namespace fs = std::filesystem;
    for (const auto& st : impl_->stamps) {
        std::error_code ec;
        const auto time = fs::last_write_time(st.path, ec);
        if (ec) return true;
        const auto size = fs::file_size(st.path, ec);
        if (ec || time != st.time || size != st.size) return true;
    }
    return false;
}

const std::string& KnowledgeBase::rule_file() const {
    return impl_->rule_file;
}

std::vector<std::string> KnowledgeBase::files() const {
    return impl_->files;
}

std::vector<std::string> KnowledgeBase::unloaded_files() const {
    return impl_->unloaded;
}

std::vector<Finding> KnowledgeBase::findings() const {
    return impl_->findings;
}

std::vector<Finding> KnowledgeBase::check() const {
    const CheckResult r = check_knowledge_base(impl_->rule_file, CheckOptions{});
    std::vector<Finding> out;
    for (const auto& f : r.findings)
        out.push_back(finding_of(f));
    return out;
}

std::vector<std::string> KnowledgeBase::hypotheses(int type) const {
    return type == kHipotezaSzeroka ? impl_->loaded->broad : impl_->loaded->narrow;
}

std::string KnowledgeBase::display_text(const std::string& name, const std::string& language) const {
    const std::string* t = zuva::display_text(impl_->loaded->s.kb, name, language);
    return t ? *t : std::string();
}

std::string KnowledgeBase::help_text(const std::string& name, const std::string& language) const {
    const std::string* t = zuva::help_text(impl_->loaded->s.kb, name, language);
    return t ? *t : std::string();
}

Consultation KnowledgeBase::forward(const Options& options) const {
    auto c = loaded(*impl_, options, {});
    c->command = 10164;
    start_thread(*c);
    return Consultation(std::move(c));
}

Consultation KnowledgeBase::backward(const std::string& hypothesis, const Options& options) const {
    auto c = loaded(*impl_, options, hypothesis);
    if (!hypothesis.empty()) check_hypothesis(*impl_->loaded, hypothesis, options.hypothesis_type);
    c->command = 10165;
    c->log.backward = true;
    start_thread(*c);
    return Consultation(std::move(c));
}

namespace {

// An answer the run never asked about, by a name the base does not know: a misspelt name, whose
// question took another answer (or `otherwise`), would pass unnoticed.
void refuse_unknown_answers(const KnowledgeBase& kb, const std::map<std::string, std::string>& answers,
                            const std::set<std::string>& asked) {
    std::vector<std::string> known;
    for (const auto& [name, text] : answers) {
        if (asked.count(name)) continue;
        if (known.empty()) {
            Inventory inv;
            try {
                inv = inventory(kb);
            } catch (const Error&) {
                return;  // the names cannot be listed: the run's own answers stand
            }
            for (const auto* items :
                 {&inv.rules, &inv.models, &inv.askable_conditions, &inv.askable_arguments})
                for (const auto& i : *items)
                    known.push_back(i.name);
            std::sort(known.begin(), known.end());
        }
        if (std::binary_search(known.begin(), known.end(), name)) continue;
        std::string m = tr("Baza nie zna nazwy ") + name + tr(", na którą podano odpowiedź");
        const std::string near = nearest_name(name, known);
        if (!near.empty()) m += tr(" (czy chodziło o ") + near + "?)";
        throw Error(m + ".");
    }
}

}  // namespace

Consultation run(const KnowledgeBase& kb, const std::map<std::string, std::string>& answers,
                 const std::string& hypothesis, const Options& options,
                 const std::optional<std::string>& otherwise) {
    auto c = loaded(*kb.impl_, options, hypothesis);
    if (!hypothesis.empty()) check_hypothesis(*kb.impl_->loaded, hypothesis, options.hypothesis_type);
    c->command = hypothesis.empty() ? 10164 : 10165;
    c->log.backward = !hypothesis.empty();
    std::set<std::string> asked;
    c->ui.answer_inline = [&](const Question& q, const std::string& refused) {
        if (!refused.empty()) throw Stop{false, q.name + ": " + refused};
        asked.insert(q.name);
        auto it = answers.find(q.name);
        if (it == answers.end() && !otherwise)
            throw Stop{false, "Brak odpowiedzi na pytanie o " + q.name + "."};
        const std::string& text = it != answers.end() ? it->second : *otherwise;
        Reply r;
        if (q.kind == QuestionKind::Choice || q.kind == QuestionKind::Radio || q.kind == QuestionKind::List) {
            r.kind = Reply::Kind::Position;
            r.position = position_of(q, text);
        } else {
            r.text = text;
        }
        return r;
    };
    run_to_end(*c);
    c->ui.answer_inline = nullptr;
    if (!c->failure.empty()) throw Error(c->failure);
    if (!options.allow_extra_answers) refuse_unknown_answers(kb, answers, asked);
    return Consultation(std::move(c));
}

}  // namespace zuva::api
