// A live consultation runs the core on a thread of its own, started when the consultation
// starts: the core's dialogs are synchronous calls, so the thread waits inside the dialog
// while the caller holds the question, and the two hand over through one mutex and one
// condition variable. Dropping the consultation wakes the thread with `cancel`; the dialog
// throws Stop, the core unwinds, the thread ends and is joined before anything is freed.
#include <algorithm>
#include <charconv>

#include "api/consultation_impl.h"
#include "api/trace.h"
#include "consult/backward.h"
#include "consult/cf_calculus.h"
#include "consult/how_concluded.h"
#include "consult/inference_start.h"
#include "consult/summary.h"
#include "kb/base_files.h"
#include "kb/texts_base.h"
#include "session/command_registry.h"
#include "shell/base_group.h"
#include "shell/handlers.h"
#include "shell/shell.h"
#include "text/codec.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva::api {

namespace {

std::string in_words(const zuva::KnowledgeBase& kb, const std::string& name) {
    const std::string* t = display_text(kb, name);
    return t ? *t : std::string();
}

// The core's deepest recursion is far below this; the pages a thread never touches cost
// nothing but address space. The sanitizers' frames are larger.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr std::size_t kThreadStack = 8u << 20;
#else
constexpr std::size_t kThreadStack = 1u << 20;
#endif

const CommandRegistry& registry() {
    static const CommandRegistry r = [] {
        CommandRegistry made;
        install_handlers(made);
        return made;
    }();
    return r;
}

void* thread_main(void* arg) {
    auto& c = *static_cast<Consultation::Impl*>(arg);
    const ThreadLanguage language(c.language);
    c.release.take();
    run_to_end(c);
    if (c.dropped) c.state.reset();
    return nullptr;
}

std::string strip_amp(const std::string& s) {
    std::string r;
    for (char c : s)
        if (c != '&') r += c;
    return r;
}

}  // namespace

int position_of(const Question& q, const std::string& text) {
    int pos = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), pos);
    if (ec == std::errc() && end == text.data() + text.size())
        return pos >= 1 && pos <= static_cast<int>(q.options.size()) ? pos : 0;
    const std::string want = to_lower_pl(strip_amp(text));
    for (std::size_t i = 0; i < q.options.size(); ++i)
        if (to_lower_pl(strip_amp(q.options[i])) == want ||
            to_lower_pl(strip_amp(untranslated(q.options[i]))) == want)
            return static_cast<int>(i) + 1;
    return 0;
}

namespace {

void check_position(const Question& q, int position) {
    const bool none_allowed = q.kind == QuestionKind::List && position == 0;
    if ((position == 0 && none_allowed) || (position >= 1 && position <= static_cast<int>(q.options.size())))
        return;
    throw Error(tr("Pozycja ") + std::to_string(position) +
                tr(" nie należy do odpowiedzi na to pytanie (1-") + std::to_string(q.options.size()) + ").");
}

}  // namespace

Consultation::Impl::~Impl() {
    if (!thread.started()) return;
    {
        std::lock_guard<std::mutex> lock(ui.mutex);
        ui.cancel = true;
    }
    ui.changed.notify_all();
    thread.join();
}

std::shared_ptr<const LoadedBase> load_knowledge_base(const std::string& rule_full,
                                                      const std::string& shown) {
    auto made = std::make_shared<LoadedBase>();
    Session& s = made->s;
    ConsultationUi& ui = made->ui;
    const CommandRegistry& r = registry();
    prepare_session(s);
    start_program(s);
    close_intro(s);
    const std::string not_loaded = tr("Baza reguł nie została załadowana.");
    try {
        ui.next_open = rule_full;
        dispatch_command(s, r, 10064);
        if (!s.kb.nazwa_re.loaded()) throw Error(not_loaded, shown, 1);
        const bool contradictory =
            s.kb.sprzecznosc_1z.find_first([](const std::string& v) { return v == "TAK"; }) != nullptr;
        // Beside a contradictory rule base nothing is loaded: every run is refused for it.
        if (!contradictory)
            for (const auto& l : kSiblingLoads)
                if (auto sibling = sibling_base(rule_full, l.kind)) {
                    if (command_available(s, r, l.command)) {
                        ui.next_open = *sibling;
                        dispatch_command(s, r, l.command);
                    }
                    if (!s.kb.name_of(l.kind).loaded()) made->unloaded.push_back(*sibling);
                }
    } catch (const Stop& stop) {
        throw Error(stop.reason.empty() ? not_loaded : stop.reason, shown, 1);
    } catch (const ProgramExit&) {
        throw Error(not_loaded, shown, 1);
    }
    ui.next_open.clear();
    ui.phase = Phase::Running;
    // From here on the base is only read: the lists made on first read are made now, and
    // the rule tables every run's index needs are made once for all of them.
    s.kb.lista_warunkow.rows();
    s.kb.lista_wnioskow_regul.rows();
    s.inference.loaded_rule_tables = rule_tables(s, true);
    made->narrow = kandydaci_hipotez(s, kHipotezaWaska);
    made->broad = kandydaci_hipotez(s, kHipotezaSzeroka);
    return made;
}

void run_to_end(Consultation::Impl& c) {
    Session& s = c.s;
    bool cancelled = false;
    try {
        if (dispatch_command(s, registry(), c.command) != DispatchResult::Done && c.failure.empty()) {
            // Why, on one line after the refusal: the verdict that forbids inference, else the
            // note the start showed; without the directions to the menu that follow it.
            c.failure = tr("Wnioskowanie nie może być teraz rozpoczęte.");
            std::string note = powod_odmowy_wnioskowania(s);
            if (note.empty() && !c.ui.result.notes.empty()) note = c.ui.result.notes.back().text;
            note = note.substr(0, note.find("\n\n"));
            std::string why;
            for (char ch : note)
                if (ch != '\n')
                    why += ch;
                else if (!why.empty() && why.back() != ' ')
                    why += ' ';
            if (!why.empty()) c.failure += " " + why;
        }
    } catch (const Stop& stop) {
        cancelled = stop.cancelled;
        if (!cancelled) c.failure = stop.reason;
        c.dropped = cancelled;
    } catch (const ProgramExit&) {
    }
    Result& r = c.ui.result;
    if (!cancelled) {
        r.completed = s.inference.explain.finished != RunDirection::None;
        if (r.completed)
            for (const auto& item : conclusions_of_last_run(s))
                r.conclusions.push_back({item.statement,
                                         item.has_cf ? std::optional<double>(item.cf) : std::nullopt,
                                         in_words(s.kb, item.statement)});
        s.inference.zmienna_ustalona.for_each([&](const std::string& name, double value) {
            if (!parse_real(name)) r.arguments.push_back({name, value, in_words(s.kb, name)});
        });
        if (r.report.empty()) r.report = s.report.text;
        if (r.summary.empty() && r.completed) r.summary = tekst_podsumowania(s);
        r.trace = trace_of(s);
    }
    std::lock_guard<std::mutex> lock(c.ui.mutex);
    c.ui.phase = Phase::Done;
    c.ui.changed.notify_all();
}

void start_thread(Consultation::Impl& c) {
    c.thread.start(thread_main, &c, kThreadStack);
}

// ---------------------------------------------------------------------------------

Consultation::Consultation(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Consultation::Consultation(Consultation&&) noexcept = default;
Consultation& Consultation::operator=(Consultation&&) noexcept = default;
Consultation::~Consultation() = default;

namespace {

// Waits until the core waits for an answer or has ended.
std::unique_lock<std::mutex> settled(Consultation::Impl& c) {
    std::unique_lock<std::mutex> lock(c.ui.mutex);
    c.ui.changed.wait(
        lock, [&] { return !c.ui.reply && (c.ui.phase == Phase::Asking || c.ui.phase == Phase::Done); });
    return lock;
}

void hand_over(Consultation::Impl& c, std::unique_lock<std::mutex>& lock, Reply r) {
    c.ui.reply = std::move(r);
    c.ui.changed.notify_all();
    c.ui.changed.wait(
        lock, [&] { return !c.ui.reply && (c.ui.phase == Phase::Asking || c.ui.phase == Phase::Done); });
}

const Question& pending_of(Consultation::Impl& c) {
    if (c.ui.phase != Phase::Asking)
        throw Error(tr("Konsultacja zakończyła się; nie ma pytania, na które można odpowiedzieć."));
    return c.ui.pending;
}

}  // namespace

void Consultation::close() {
    {
        std::lock_guard<std::mutex> lock(impl_->ui.mutex);
        if (impl_->ui.phase != Phase::Done) impl_->ui.cancel = true;
    }
    impl_->ui.changed.notify_all();
    impl_->thread.join();
}

std::optional<Question> Consultation::next() {
    auto lock = settled(*impl_);
    if (impl_->ui.phase == Phase::Done) return std::nullopt;
    return impl_->ui.pending;
}

void Consultation::answer(const std::string& text) {
    auto lock = settled(*impl_);
    const Question& q = pending_of(*impl_);
    Reply r;
    switch (q.kind) {
        case QuestionKind::Choice:
        case QuestionKind::Radio:
        case QuestionKind::List: {
            r.kind = Reply::Kind::Position;
            r.position = text.empty() && q.kind == QuestionKind::List ? 0 : position_of(q, text);
            if (r.position == 0 && !(text.empty() && q.kind == QuestionKind::List))
                throw Error("'" + text + tr("' nie jest żadną z odpowiedzi na to pytanie."));
            break;
        }
        case QuestionKind::MultiList:
            // Positions from 1 separated by commas, each an item of the list; none chooses nothing.
            for (std::size_t at = 0; at < text.size();) {
                std::size_t comma = text.find(',', at);
                if (comma == std::string::npos) comma = text.size();
                std::string part = text.substr(at, comma - at);
                part.erase(0, part.find_first_not_of(' '));
                part.erase(part.find_last_not_of(' ') + 1);
                int pos = 0;
                auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), pos);
                if (ec != std::errc() || end != part.data() + part.size() || part.empty())
                    throw Error("'" + text + tr("' nie jest listą pozycji (np. 1,3)."));
                check_position(q, pos);
                at = comma + 1;
            }
            r.text = text;
            break;
        default:
            r.text = text;
    }
    hand_over(*impl_, lock, std::move(r));
    if (!impl_->ui.refused.empty()) throw Error(impl_->ui.refused);
}

void Consultation::answer(double value) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    (void)ec;
    answer(std::string(buf, end));
}

void Consultation::choose(int position) {
    auto lock = settled(*impl_);
    const Question& q = pending_of(*impl_);
    if (q.kind == QuestionKind::Choice || q.kind == QuestionKind::Radio || q.kind == QuestionKind::List) {
        check_position(q, position);
        Reply r;
        r.kind = Reply::Kind::Position;
        r.position = position;
        hand_over(*impl_, lock, std::move(r));
        return;
    }
    lock.unlock();
    answer(std::to_string(position));
}

Why Consultation::why() {
    auto lock = settled(*impl_);
    const Question& q = pending_of(*impl_);
    if (!q.can_ask_why) throw Error(tr("Przy tym pytaniu nie można zapytać, dlaczego pytam."));
    Reply r;
    r.kind = Reply::Kind::Why;
    hand_over(*impl_, lock, std::move(r));
    if (!impl_->ui.why) throw Error(tr("Program nie odpowiedział, dlaczego pyta."));
    return *impl_->ui.why;
}

bool Consultation::finished() {
    auto lock = settled(*impl_);
    return impl_->ui.phase == Phase::Done;
}

const Result& Consultation::result() {
    auto lock = settled(*impl_);
    if (impl_->ui.phase != Phase::Done)
        throw Error(tr("Konsultacja czeka na odpowiedź na pytanie o ") + impl_->ui.pending.name + ".");
    if (!impl_->failure.empty()) throw Error(impl_->failure);
    return impl_->ui.result;
}

HowNode Consultation::how(const std::string& statement) {
    auto lock = settled(*impl_);
    if (impl_->ui.phase != Phase::Done || !impl_->ui.result.completed)
        throw Error(tr("Brak wyników zakończonego wnioskowania."));
    const std::string text = how_tree(impl_->s, statement);
    // Each line a node, its children the lines indented further (four blanks a level) under
    // it; a tree of one top line is that line.
    HowNode root;
    root.text = statement;
    std::vector<std::pair<std::size_t, HowNode*>> open{{0, &root}};
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        const std::size_t blanks = line.find_first_not_of(' ');
        if (blanks == std::string::npos) continue;
        const std::size_t depth = blanks / 4 + 1;
        while (open.size() > 1 && open.back().first >= depth)
            open.pop_back();
        HowNode* parent = open.back().second;
        parent->children.push_back({line.substr(blanks), {}});
        open.emplace_back(depth, &parent->children.back());
    }
    if (root.children.size() == 1) return std::move(root.children.front());
    return root;
}

}  // namespace zuva::api
