// A runner keeps one consultation's session warm between runs. Every run starts with the
// core's own start of an inference, which clears what the last run left (the working tables,
// the report text, the run's labels and answers); the port starts afresh. A run that ended
// otherwise than normally (dropped by the answerer, refused, stopped) may leave the session
// halfway, so it is let go and the next run starts a new consultation of the loaded base; so
// is a run with imported rows, which has a copy of the tables of its own.
#include "api/consultation_impl.h"
#include "text/i18n.h"

namespace zuva::api {

struct Runner::Impl {
    std::shared_ptr<const KnowledgeBase::Impl> kb;
    std::unique_ptr<Consultation::Impl> warm;  // loaded, ready for the next run
};

Runner::Runner(const KnowledgeBase& kb) : impl_(std::make_unique<Impl>()) {
    impl_->kb = kb.impl_;
}
Runner::Runner(Runner&&) noexcept = default;
Runner& Runner::operator=(Runner&&) noexcept = default;
Runner::~Runner() = default;

namespace {

bool chosen_by_position(QuestionKind k) {
    return k == QuestionKind::Choice || k == QuestionKind::Radio || k == QuestionKind::List;
}

}  // namespace

std::optional<Result> Runner::run(const std::string& hypothesis, const Options& options,
                                  const Answerer& answer) {
    const bool reusable = options.imported.empty();
    std::unique_ptr<Consultation::Impl> c;
    if (reusable && impl_->warm) {
        c = std::move(impl_->warm);
        c->ui.restart(options, hypothesis);
        c->failure.clear();
    } else {
        c = loaded(*impl_->kb, options, hypothesis);
    }
    if (!hypothesis.empty()) {
        try {
            check_hypothesis(*impl_->kb->loaded, hypothesis, options.hypothesis_type);
        } catch (const Error&) {
            if (reusable) impl_->warm = std::move(c);  // nothing ran: the session is as loaded
            throw;
        }
    }
    c->command = hypothesis.empty() ? 10164 : 10165;
    bool ended = false;
    c->ui.answer_inline = [&](const Question& q, const std::string& refused) {
        std::string reason = refused;
        for (;;) {
            const std::optional<std::string> text = answer(q, reason);
            if (!text) {
                ended = true;
                throw Stop{true, {}};
            }
            Reply r;
            if (!chosen_by_position(q.kind)) {
                r.text = *text;
                return r;
            }
            r.kind = Reply::Kind::Position;
            const bool nothing = text->empty() && q.kind == QuestionKind::List;
            r.position = nothing ? 0 : position_of(q, *text);
            if (r.position != 0 || nothing) return r;
            // A label or position the question does not have never reaches the core.
            reason = "'" + *text + tr("' nie jest żadną z odpowiedzi na to pytanie.");
        }
    };
    run_to_end(*c);
    c->ui.answer_inline = nullptr;
    if (ended) return std::nullopt;
    if (!c->failure.empty()) throw Error(c->failure);
    Result r = std::move(c->ui.result);
    if (reusable && r.completed) impl_->warm = std::move(c);
    return r;
}

}  // namespace zuva::api
