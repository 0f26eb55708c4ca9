// The dialogs around the questions are answered from the options; the questions themselves
// wait for the caller. A refused answer shows as the same question coming straight back:
// the notes the program showed in between are its reason.
#include "api/consultation_ui.h"

#include <algorithm>
#include <utility>

#include "consult/backward.h"
#include "consult/calculus_basics.h"
#include "consult/media_offers.h"
#include "consult/summary.h"
#include "consult/why_asked.h"
#include "kb/media_bases.h"
#include "kb/texts_base.h"
#include "session/session.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva::api {

namespace {

// Loads ask at most this many values (as `zuva check` does, each answered 0).
constexpr int kLoadValues = 10000;

bool same_question(const Question& a, const Question& b) {
    return a.kind == b.kind && a.name == b.name && a.title == b.title && a.text == b.text &&
           a.dialog == b.dialog && a.options == b.options;
}

}  // namespace

void ConsultationUi::restart(const Options& options, const std::string& hypothesis_now) {
    hypothesis = hypothesis_now;
    answer_inline = nullptr;
    next_open.clear();
    phase = Phase::Running;
    pending = Question{};
    reply.reset();
    cancel = false;
    refused.clear();
    why.reset();
    result = Result{};
    options_ = options;
    asking_.reset();
    subject_.clear();
    labels_given_ = 0;
    questions_ = 0;
    asked_name_.clear();
    answered_.reset();
    answered_text_.clear();
    notes_since_answer_.clear();
    after_why_ = false;
    advice_items_.clear();
    advice_next_ = 0;
    offer_conclusion_.clear();
    answers_given.clear();
}

void ConsultationUi::take_loaded(const ConsultationUi& loading) {
    load_texts = loading.load_texts;
    load_values_ = loading.load_values_;
    phase = Phase::Running;
}

std::optional<Asking> ConsultationUi::take_asking() {
    return std::exchange(asking_, std::nullopt);
}

void ConsultationUi::on_asking(Asking what, std::string_view subject) {
    asking_ = what;
    subject_ = std::string(subject);
    if (what == Asking::AdviceOffer || what == Asking::PictureOffer || what == Asking::SoundOffer)
        offer_conclusion_ = subject_;
}

std::optional<MediaOrigin> ConsultationUi::offered_origin(OfferedKind kind) {
    if (offer_conclusion_.empty()) return std::nullopt;
    return offer_origin(*session, kind, resultant(*session, offer_conclusion_).value_or(0.0),
                        offer_conclusion_);
}

void ConsultationUi::add_offer(std::vector<Offer>& list, Offer o, const std::optional<MediaOrigin>& origin) {
    for (const auto& x : list)
        if (x.path == o.path) return;
    if (origin) {
        o.conclusion = origin->conclusion;
        o.rule = origin->number;
        o.model = origin->model;
        o.cf = resultant(*session, origin->conclusion);
    }
    list.push_back(std::move(o));
}

bool ConsultationUi::same_as_answered(const Question& q) const {
    return answered_ && same_question(*answered_, q);
}

std::string ConsultationUi::refusal_reason() const {
    std::string reason;
    for (const auto& n : notes_since_answer_) {
        if (!reason.empty()) reason += '\n';
        reason += n;
    }
    if (!reason.empty()) return reason;
    const std::string& t = answered_text_;
    if (!parse_real(t)) {
        if (t.find(',') != std::string::npos && parse_real(std::string(t).replace(t.find(','), 1, ".")))
            return "'" + t + tr("' nie jest liczbą: część dziesiętną oddziela się kropką, np. 0.8.");
        return "'" + t + tr("' nie jest liczbą. Wpisz liczbę, np. 0.8 lub -1.");
    }
    return tr("Odpowiedź '") + t + tr("' nie została przyjęta.");
}

Reply ConsultationUi::ask(Question q) {
    const bool after_why = std::exchange(after_why_, false);
    std::string refused_now;
    if (!after_why && same_as_answered(q)) refused_now = refusal_reason();
    q.number = after_why || !refused_now.empty() ? questions_ : ++questions_;
    asked_name_ = q.name;
    answered_.reset();
    notes_since_answer_.clear();
    if (!refused_now.empty() && !answers_given.empty()) {
        std::lock_guard<std::mutex> lock(mutex);
        answers_given.back().refused = true;
    }
    Reply r;
    auto note_answer = [&] {
        if (r.kind == Reply::Kind::Why) return;
        LogAnswer a;
        a.number = q.number;
        a.kind = q.kind;
        a.name = q.name;
        a.by_position = r.kind == Reply::Kind::Position;
        a.position = r.position;
        if (!a.by_position) a.text = r.text;
        answers_given.push_back(std::move(a));
    };
    if (answer_inline) {
        r = answer_inline(q, refused_now);
        note_answer();
    } else {
        std::unique_lock<std::mutex> lock(mutex);
        pending = q;
        refused = refused_now;
        if (!after_why) why.reset();
        phase = Phase::Asking;
        changed.notify_all();
        changed.wait(lock, [&] { return reply.has_value() || cancel; });
        if (cancel) throw Stop{true, {}};
        r = std::move(*reply);
        reply.reset();
        note_answer();
        refused.clear();
        phase = Phase::Running;
    }
    if (r.kind == Reply::Kind::Why) {
        after_why_ = true;
    } else {
        answered_ = std::move(q);
        answered_text_ = r.kind == Reply::Kind::Text ? r.text : std::to_string(r.position);
    }
    return r;
}

void ConsultationUi::note(std::string_view title, std::string_view text) {
    if (phase == Phase::Loading) {
        load_texts.emplace_back(text);
        return;
    }
    Finding f;
    f.level = Finding::Level::Note;
    f.kind = std::string(title);
    f.text = std::string(text);
    if (answered_) notes_since_answer_.push_back(f.text);
    result.notes.push_back(std::move(f));
}

int ConsultationUi::question(std::string_view title, std::string_view text,
                             const std::vector<std::string>& buttons) {
    const auto what = take_asking();
    // A load runs every test it offers, as `zuva check` does.
    if (phase == Phase::Loading) {
        load_texts.emplace_back(text);
        return 0;
    }
    if (what) switch (*what) {
            case Asking::LabelsQuestion:
            case Asking::NextLabel:
                if (options_.ask_labels) break;
                return labels_given_ < options_.labels.size() ? 0 : 1;
            case Asking::SummaryQuestion:
                result.summary = tekst_podsumowania(*session);
                return 1;
            case Asking::ReportQuestion:
                result.report = session->report.text;
                return 1;
            case Asking::AdviceQuestion:
            case Asking::AdviceOffer:
            case Asking::PictureOffer:
            case Asking::SoundOffer:
                return 0;
            default:
                break;
        }
    Question q;
    q.kind = QuestionKind::Choice;
    q.name = std::string(title);
    q.title = std::string(title);
    q.text = std::string(text);
    q.options = buttons;
    return ask(std::move(q)).position - 1;
}

std::string ConsultationUi::open_file(std::string_view, const std::vector<FileFilter>&, std::string_view) {
    take_asking();
    return std::exchange(next_open, std::string());
}

int ConsultationUi::radio(std::string_view dialog, std::string_view text,
                          const std::vector<std::string>& options, int initial) {
    const auto what = take_asking();
    if (phase == Phase::Loading) return initial >= 1 ? initial : 1;
    if (what == Asking::DetailLevel) return std::clamp(options_.detail, 1, 2);
    if (what == Asking::FactMode) return initial >= 1 ? initial : 1;
    if (what == Asking::HypothesisType && !(hypothesis.empty() && options_.hypothesis_type == 0)) {
        if (options_.hypothesis_type == kHipotezaWaska || options_.hypothesis_type == kHipotezaSzeroka)
            return options_.hypothesis_type;
        const TextList narrow = kandydaci_hipotez(*session, kHipotezaWaska);
        return std::find(narrow.begin(), narrow.end(), hypothesis) != narrow.end() ? kHipotezaWaska
                                                                                   : kHipotezaSzeroka;
    }
    Question q;
    q.kind = QuestionKind::Radio;
    q.name = std::string(dialog);
    q.title = std::string(dialog);
    q.text = std::string(text);
    q.options = options;
    return ask(std::move(q)).position;
}

std::optional<std::string> ConsultationUi::input_text(std::string_view title, std::string_view prompt,
                                                      std::string_view initial) {
    const auto what = take_asking();
    if (phase == Phase::Loading) return std::nullopt;
    if (what == Asking::LabelText && !options_.ask_labels) {
        if (labels_given_ < options_.labels.size()) return options_.labels[labels_given_++];
        return std::nullopt;
    }
    Question q;
    q.kind = QuestionKind::Text;
    q.name = std::string(title);
    q.title = std::string(title);
    q.text = std::string(prompt);
    (void)initial;
    return ask(std::move(q)).text;
}

std::optional<std::string> ConsultationUi::value_dialog(std::string_view dialog, std::string_view title,
                                                        std::string_view name) {
    ValueReply r = value_dialog_why(dialog, title, name);
    if (r.kind == ValueReply::Kind::Text) return r.text;
    return std::nullopt;
}

Ui::ValueReply ConsultationUi::value_dialog_why(std::string_view dialog, std::string_view title,
                                                std::string_view name) {
    const auto what = take_asking();
    if (phase == Phase::Loading) {
        static_assert(kLoadValues > 0);
        if (++load_values_ > kLoadValues) throw Stop{false, tr("Test przerwany: program pytał bez końca.")};
        return {ValueReply::Kind::Text, "0"};
    }
    Question q;
    q.kind = QuestionKind::Text;
    if (what == Asking::ConditionCf || what == Asking::ExactMemberCf) q.kind = QuestionKind::ConditionCf;
    if (what == Asking::ExactMemberCf) q.accepted = {-1.0, 1.0};
    if (what == Asking::ConclusionCf) q.kind = QuestionKind::ConclusionCf;
    if (what == Asking::ArgumentValue) q.kind = QuestionKind::ArgumentValue;
    if (q.kind == QuestionKind::ConditionCf || q.kind == QuestionKind::ConclusionCf) {
        q.min = -1.0;
        q.max = 1.0;
    }
    q.can_ask_why = q.kind != QuestionKind::Text;
    q.name = std::string(name);
    q.title = std::string(dialog);
    q.text = std::string(title);
    q.dialog = std::string(dialog);
    if (const std::string* t = display_text(session->kb, q.name)) q.display = *t;
    if (const std::string* h = help_text(session->kb, q.name)) q.help = *h;
    Reply r = ask(std::move(q));
    if (r.kind == Reply::Kind::Why) return {ValueReply::Kind::Why, {}};
    return {ValueReply::Kind::Text, r.kind == Reply::Kind::Text ? r.text : std::to_string(r.position)};
}

bool ConsultationUi::explanation(std::string_view, const std::vector<std::string>&) {
    take_asking();
    return true;
}

Why ConsultationUi::why_now(const std::string& text) const {
    Why w;
    w.name = asked_name_;
    w.text = text;
    // No window closes here: the line that says the question comes again after it does goes,
    // with the blank line before it.
    const std::string again = "\n\n" + std::string(tr(kAskedAgainLine)) + "\n";
    if (w.text.ends_with(again)) w.text.erase(w.text.size() - again.size() + 1);
    const auto& stack = session->inference.explain.why;
    for (std::size_t i = stack.size(); i-- > 0;) {
        std::vector<std::string> lines;
        stack[i]->why(*session, i + 1 == stack.size(), lines);
        w.chain.push_back(std::move(lines));
    }
    return w;
}

void ConsultationUi::read_text(std::string_view title, std::string_view text) {
    const auto what = take_asking();
    if (phase == Phase::Loading) return;
    if (what == Asking::WhyAsked) {
        Why w = why_now(std::string(text));
        std::lock_guard<std::mutex> lock(mutex);
        why = std::move(w);
        return;
    }
    if (what == Asking::AdviceText) {
        auto it = std::find_if(result.advice.begin(), result.advice.end(),
                               [&](const Offer& o) { return o.path == subject_; });
        if (it == result.advice.end()) {
            add_offer(result.advice, {short_name_of(subject_), subject_, {}, true},
                      offered_origin(OfferedKind::Advice));
            it = result.advice.end() - 1;
        }
        it->text = std::string(text);
        it->available = true;
    }
    (void)title;
}

std::optional<int> ConsultationUi::choose_one_prompted(std::string_view title, std::string_view prompt,
                                                       const std::vector<std::string>& items) {
    const auto what = take_asking();
    if (phase == Phase::Loading) return items.empty() ? std::nullopt : std::optional<int>(0);
    if (what == Asking::Hypothesis && !hypothesis.empty()) {
        auto it = std::find(items.begin(), items.end(), hypothesis);
        if (it == items.end())
            throw Stop{false, tr("Hipotezy ") + hypothesis + tr(" nie ma wśród hipotez do testowania.")};
        return static_cast<int>(it - items.begin());
    }
    if (what == Asking::AdviceList) {
        // Every advice text once, each read in turn; then nothing more is chosen.
        if (advice_items_ != items) {
            advice_items_ = items;
            advice_next_ = 0;
            // The advice of the applied rules: each comes with the rule whose record names it.
            offer_conclusion_.clear();
            const auto origins = advice_origins(*session);
            for (const auto& i : items) {
                auto o = origins.find(i);
                add_offer(result.advice, {i, nazwa_pelna_rady(*session, i), {}, false},
                          o == origins.end() ? std::nullopt : std::optional<MediaOrigin>(o->second));
            }
        }
        if (advice_next_ < items.size()) return static_cast<int>(advice_next_++);
        return std::nullopt;
    }
    Question q;
    q.kind = QuestionKind::List;
    q.name = std::string(title);
    q.title = std::string(title);
    q.text = std::string(prompt);
    q.options = items;
    Reply r = ask(std::move(q));
    if (r.position < 1) return std::nullopt;
    return r.position - 1;
}

std::optional<std::vector<int>> ConsultationUi::choose_many_prompted(std::string_view title,
                                                                     std::string_view prompt,
                                                                     const std::vector<std::string>& items) {
    take_asking();
    if (phase == Phase::Loading) {
        std::vector<int> all;
        for (std::size_t i = 0; i < items.size(); ++i)
            all.push_back(static_cast<int>(i));
        return all;
    }
    Question q;
    q.kind = QuestionKind::MultiList;
    q.name = std::string(title);
    q.title = std::string(title);
    q.text = std::string(prompt);
    q.options = items;
    Reply r = ask(std::move(q));
    std::vector<int> chosen;
    std::size_t at = 0;
    while (at < r.text.size()) {
        std::size_t comma = r.text.find(',', at);
        if (comma == std::string::npos) comma = r.text.size();
        // Only items of the list reach the core (the library refuses other positions first).
        if (auto v = parse_real(r.text.substr(at, comma - at));
            v && *v >= 1 && *v <= static_cast<double>(items.size()))
            chosen.push_back(static_cast<int>(*v) - 1);
        at = comma + 1;
    }
    if (chosen.empty()) return std::nullopt;
    return chosen;
}

MediaOutcome ConsultationUi::show_picture(std::string_view path) {
    if (phase != Phase::Loading)
        add_offer(result.pictures, {short_name_of(std::string(path)), std::string(path), {}, true},
                  offered_origin(OfferedKind::Picture));
    return {true, {}};
}

MediaOutcome ConsultationUi::play_sound(std::string_view path) {
    if (phase != Phase::Loading)
        add_offer(result.sounds, {short_name_of(std::string(path)), std::string(path), {}, true},
                  offered_origin(OfferedKind::Sound));
    return {true, {}};
}

}  // namespace zuva::api
