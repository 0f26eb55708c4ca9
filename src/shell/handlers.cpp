// Each subsystem adds one line here for its register function.
#include "shell/handlers.h"

#include "consult/backward.h"
#include "consult/forward.h"
#include "consult/how_concluded.h"
#include "import/import.h"
#include "kb/constraint_base.h"
#include "kb/media_bases.h"
#include "kb/model_base.h"
#include "kb/rule_base.h"
#include "kb/texts_base.h"
#include "shell/shell.h"
#include "shell/test_case_command.h"
#include "shell/version_diff.h"
#include "verify/analysis.h"
#include "verify/joint_diagnoses.h"
#include "verify/load_checks.h"
#include "verify/verify_commands.h"

namespace zuva {

void install_handlers(CommandRegistry& r) {
    register_shell_commands(r);
    register_rule_commands(r);
    register_forward_commands(r);
    register_model_commands(r);
    register_constraint_commands(r);
    register_verify_commands(r);
    register_joint_commands(r);
    register_analysis_commands(r);
    register_backward_commands(r);
    register_explain_commands(r);
    register_import_commands(r);
    register_media_commands(r);
    register_texts_commands(r);
    register_test_case_command(r);
    register_version_diff_command(r);
}

void prepare_session(Session& s) {
    install_load_diagnoses(s);
}

}  // namespace zuva
