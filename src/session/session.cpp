// Session construction and the few helpers every subsystem shares.
#include "session/session.h"

#include <filesystem>

#include "text/file_io.h"

namespace zuva {

Session::Session(Ui& port) : ui(port), base_(std::make_shared<KnowledgeBase>()), kb(*base_) {
    std::error_code ec;
    current_dir = std::filesystem::current_path(ec).string();
}

Session::Session(Ui& port, const Session& loaded, std::shared_ptr<KnowledgeBase> base)
    : ui(port),
      base_(base ? std::move(base) : loaded.base_),
      kb(*base_),
      models(loaded.models),
      report(loaded.report),
      verify(loaded.verify),
      shell(loaded.shell),
      diagnoses(loaded.diagnoses),
      current_dir(loaded.current_dir),
      unsaved_texts(loaded.unsaved_texts),
      listed_rules(loaded.listed_rules) {
    // What the loads left in the inference state: the verdicts and modes that outlive a run
    // and the shared rule tables. The working tables are empty at the start of every run.
    const InferenceState& in = loaded.inference;
    inference.etykieta = in.etykieta;
    inference.jakiewnioskowanie = in.jakiewnioskowanie;
    inference.hipoteza = in.hipoteza;
    inference.tryb_deklaracji_faktow = in.tryb_deklaracji_faktow;
    inference.blad_wykluczajacych = in.blad_wykluczajacych;
    inference.loaded_rule_tables = in.loaded_rule_tables;
    inference.explain.imported_facts = in.explain.imported_facts;
    inference.explain.imported_arguments = in.explain.imported_arguments;
}

std::string Session::resolve(const std::string& path) const {
    return resolve_path(current_dir, path);
}

void Session::set_title(const std::string& title) {
    shell.title = title;
    ui.set_title(title);
}

}  // namespace zuva
