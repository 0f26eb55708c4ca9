// A consultation's own state: its port, its session with the bases loaded, and the thread
// that runs the core while the caller answers questions.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "api/consultation_thread.h"
#include "api/consultation_ui.h"
#include "session/session.h"
#include "zuva/zuva.h"

namespace zuva::api {

struct Consultation::Impl {
    explicit Impl(const Options& options) : ui(options), state(std::in_place, ui), s(*state) {
        ui.session = &s;
    }
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    // First, so that it is freed last: after the thread, the session and the port (see
    // ArenaRelease).
    ArenaRelease release;
    ConsultationUi ui;
    // The session, freed early by the thread of a dropped consultation (see thread_main).
    std::optional<Session> state;
    Session& s;
    int command = 0;      // the inference command the consultation runs
    std::string failure;  // why the run could not go on, when it could not
    ConsultationThread thread;
    bool dropped = false;  // the run ended because the consultation was dropped
};

struct KnowledgeBase::Impl {
    std::string rule_file;  // as given
    std::string full;       // absolute
    std::vector<std::string> files;
    std::vector<Finding> findings;
};

// A consultation's session with the bases of `kb` loaded (and the imported rows added);
// throws Error when the rule base does not load.
std::unique_ptr<Consultation::Impl> loaded(const KnowledgeBase::Impl& kb, const Options& options,
                                           const std::string& hypothesis);
// Throws Error unless the hypothesis is a candidate of the type asked for (of either type
// when none is).
void check_hypothesis(Consultation::Impl& c, const std::string& h, int type);

// Loads the rule base (an absolute path) and its siblings into the consultation's session as
// `zuva check` does; false when the rule base did not load.
bool load_knowledge_base(Consultation::Impl& c, const std::string& rule_full);
// Runs the inference command to its end on the calling thread and gathers the results.
void run_to_end(Consultation::Impl& c);
// The position from 1 that a text names among a question's options: a number, or a label
// (with or without '&', in any case); 0 when it names none.
int position_of(const Question& q, const std::string& text);
// Starts the consultation's thread, which runs `run_to_end`.
void start_thread(Consultation::Impl& c);

}  // namespace zuva::api
