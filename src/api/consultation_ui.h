// The port of a consultation driven through the library: every dialog the core opens is
// either answered from the consultation's options (the dialogs around the questions, named
// by the core's `asking`) or becomes the pending question, handed to the caller and waited
// for; notes, advice texts, pictures and sounds offered are kept as data.
#pragma once
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "consult/media_offers.h"
#include "ui/ui.h"
#include "zuva/zuva.h"

namespace zuva {

struct Session;

namespace api {

// The reply to a pending question.
struct Reply {
    enum class Kind { Text, Position, Why } kind = Kind::Text;
    std::string text;
    int position = 0;
};

// Thrown through the core to end a consultation: dropped by its owner (`cancelled`), or a
// whole run that cannot go on (the reason). Not an std::exception, so that the command
// dispatch lets it pass.
struct Stop {
    bool cancelled = false;
    std::string reason;
};

// Where the consultation is, guarded by `mutex`: running in the core, waiting at a
// question, or ended.
enum class Phase { Loading, Running, Asking, Done };

class ConsultationUi final : public Ui {
  public:
    explicit ConsultationUi(const Options& options) : options_(options) {}

    // Makes the port of a loaded session ready for another run on the caller's thread: the
    // state of the last run is dropped (what the loads told stays), the options are new.
    void restart(const Options& options, const std::string& hypothesis_now);
    // Takes over what the port of a loading session kept of its loads; the consultation
    // runs from here.
    void take_loaded(const ConsultationUi& loading);

    // Set before anything runs: the session this port serves, the hypothesis of a
    // backward run, and, for a run on the caller's thread, the answering function.
    Session* session = nullptr;
    std::string hypothesis;
    std::function<Reply(const Question&, const std::string& refused)> answer_inline;

    // Loading: the path the next open dialog takes; the load's notes and questions.
    std::string next_open;
    std::vector<std::string> load_texts;

    // The hand-over with the caller, all under `mutex`.
    std::mutex mutex;
    std::condition_variable changed;
    Phase phase = Phase::Loading;
    Question pending;
    std::optional<Reply> reply;
    bool cancel = false;
    std::string refused;                   // why the last answer was refused ("" when it was not)
    std::optional<Why> why;                // the answer to a why asked at the pending question
    Result result;                         // filled as the run goes; whole once the phase is Done
    std::vector<LogAnswer> answers_given;  // every answer, with its question, in order

    void helper_write(std::string_view) override {}
    void helper_clear() override {}
    void helper_recreate(int) override {}
    void set_title(std::string_view) override {}
    void on_asking(Asking what, std::string_view subject) override;
    // The texts of the texts base go beside the names (Question::display), not in place of them.
    bool shows_display_texts() const override { return false; }
    void note(std::string_view title, std::string_view text) override;
    int question(std::string_view title, std::string_view text,
                 const std::vector<std::string>& buttons) override;
    std::string open_file(std::string_view, const std::vector<FileFilter>&, std::string_view) override;
    std::string save_file(std::string_view, const std::vector<FileFilter>&, std::string_view) override {
        return {};
    }
    int radio(std::string_view dialog, std::string_view text, const std::vector<std::string>& options,
              int initial) override;
    std::optional<std::string> input_text(std::string_view title, std::string_view prompt,
                                          std::string_view initial) override;
    std::optional<std::string> value_dialog(std::string_view dialog, std::string_view title,
                                            std::string_view name) override;
    ValueReply value_dialog_why(std::string_view dialog, std::string_view title,
                                std::string_view name) override;
    bool explanation(std::string_view title, const std::vector<std::string>& lines) override;
    void read_text(std::string_view title, std::string_view text) override;
    std::optional<int> choose_one(std::string_view title, const std::vector<std::string>& items) override {
        return choose_one_prompted(title, {}, items);
    }
    std::optional<int> choose_one_prompted(std::string_view title, std::string_view prompt,
                                           const std::vector<std::string>& items) override;
    std::optional<std::vector<int>> choose_many(std::string_view title,
                                                const std::vector<std::string>& items) override {
        return choose_many_prompted(title, {}, items);
    }
    std::optional<std::vector<int>> choose_many_prompted(std::string_view title, std::string_view prompt,
                                                         const std::vector<std::string>& items) override;
    void browse_text(std::string_view, std::string_view, bool) override {}
    void browse_list(std::string_view, const std::vector<std::string>&) override {}
    void open_editor(std::string_view, bool) override {}
    void open_document(std::string_view) override {}
    MediaOutcome show_picture(std::string_view path) override;
    MediaOutcome play_sound(std::string_view path) override;

  private:
    std::optional<Asking> take_asking();
    // Hands the question to the caller (or to the answering function) and returns the
    // reply; throws Stop when the consultation is dropped.
    Reply ask(Question q);
    // The same question comes straight back after an answer: the answer was refused.
    bool same_as_answered(const Question& q) const;
    std::string refusal_reason() const;
    Why why_now(const std::string& text) const;

    Options options_;
    std::optional<Asking> asking_;
    std::string subject_;
    std::string offer_conclusion_;  // the conclusion of the last offer of an advice, picture or sound
    // Adds an offer once (by path), with the conclusion it came with, its record and CF.
    void add_offer(std::vector<Offer>& list, Offer o, const std::optional<MediaOrigin>& origin);
    // The origin of a picture, sound or hypothesis's advice: the conclusion of the last offer.
    std::optional<MediaOrigin> offered_origin(OfferedKind kind);
    std::size_t labels_given_ = 0;
    int questions_ = 0;
    std::string asked_name_;            // what the pending (or last) question asks about
    std::optional<Question> answered_;  // the question answered last, until the next dialog
    std::string answered_text_;
    std::vector<std::string> notes_since_answer_;
    bool after_why_ = false;
    std::vector<std::string> advice_items_;
    std::size_t advice_next_ = 0;
    int load_values_ = 0;
};

}  // namespace api
}  // namespace zuva
