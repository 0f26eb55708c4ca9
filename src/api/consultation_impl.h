// A consultation's own state: its port, its session with the bases loaded, and the thread
// that runs the core while the caller answers questions.
#pragma once
#include <pthread.h>

#include <memory>
#include <string>

#include "api/consultation_ui.h"
#include "session/session.h"
#include "zuva/zuva.h"

namespace zuva::api {

struct Consultation::Impl {
    explicit Impl(const Options& options) : ui(options), s(ui) { ui.session = &s; }
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    ConsultationUi ui;
    Session s;
    int command = 0;      // the inference command the consultation runs
    std::string failure;  // why the run could not go on, when it could not
    pthread_t thread{};
    bool thread_started = false;
};

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
