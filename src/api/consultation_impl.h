// A consultation's own state: its port, its session over the shared loaded base, and the
// thread that runs the core while the caller answers questions; and the loaded base itself.
#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "api/consultation_thread.h"
#include "api/consultation_ui.h"
#include "session/session.h"
#include "text/i18n.h"
#include "zuva/zuva.h"

namespace zuva::api {

// A knowledge base as its loads left it, before any consultation: the session that ran the
// loads (with the shared tables made at their end) and what its port kept of them. Only read
// once made; every consultation starts from a copy of its state over the same base.
struct LoadedBase {
    LoadedBase() : ui(Options{}), s(ui) { ui.session = &s; }
    LoadedBase(const LoadedBase&) = delete;
    LoadedBase& operator=(const LoadedBase&) = delete;
    ConsultationUi ui;
    Session s;
    // The candidates of backward inference, narrow and broad, in the program's order.
    std::vector<std::string> narrow, broad;
    // The bases beside the rule base that were found but are not loaded: their load refused
    // them (none when the rule base is contradictory: its runs are refused for that).
    std::vector<std::string> unloaded;
};

struct Consultation::Impl {
    // A consultation of the loaded base; `base`, when given, is a private copy of its tables.
    Impl(const Options& options, const LoadedBase& from, std::shared_ptr<zuva::KnowledgeBase> base = nullptr)
        : ui(options), state(std::in_place, ui, from.s, std::move(base)), s(*state) {
        ui.session = &s;
        ui.take_loaded(from.ui);
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
    Log log;               // the base, direction and options (the answers are the port's)
    // The language of its texts: that of the thread that made it (a web request's).
    Language language = thread_language();
};

struct KnowledgeBase::Impl {
    std::string rule_file;  // as given
    std::string full;       // absolute
    std::vector<std::string> files;
    std::vector<std::string> unloaded;  // of `files`, those not loaded
    std::vector<Finding> findings;
    std::shared_ptr<const LoadedBase> loaded;
    // Each file of the base as it was when loaded: its time of modification and size.
    struct Stamp {
        std::string path;
        std::filesystem::file_time_type time;
        std::uintmax_t size = 0;
    };
    std::vector<Stamp> stamps;
    std::vector<LogFile> identity;  // every file by name with the hash of the bytes loaded
};

// A new consultation of the loaded base of `kb` (with its own copy of the tables when it
// imports rows, which are added to it).
std::unique_ptr<Consultation::Impl> loaded(const KnowledgeBase::Impl& kb, const Options& options,
                                           const std::string& hypothesis);
// Throws Error unless the hypothesis is a candidate of the type asked for (of either type
// when none is).
void check_hypothesis(const LoadedBase& kb, const std::string& h, int type);

// Loads the rule base (an absolute path) and its siblings into a session as `zuva check` does
// and makes the tables its consultations share; throws Error when the rule base does not load.
std::shared_ptr<const LoadedBase> load_knowledge_base(const std::string& rule_full, const std::string& shown);
// Runs the inference command to its end on the calling thread and gathers the results.
void run_to_end(Consultation::Impl& c);
// The position from 1 that a text names among a question's options: a number, or a label
// (with or without '&', in any case); 0 when it names none.
int position_of(const Question& q, const std::string& text);
// The SHA-256 of the bytes, in hexadecimal.
std::string sha256_hex(const std::string& bytes);
// Starts the consultation's thread, which runs `run_to_end`.
void start_thread(Consultation::Impl& c);

}  // namespace zuva::api
