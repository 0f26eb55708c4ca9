// The desktop port's answers that need more than a dialog: the question whether the program
// ends, and the reason shown when a value dialog asks again for a value it refused.
#include "gui/dialogs.h"
#include "gui/qt_ui.h"
#include "ui/value_hint.h"

namespace zuva {

Ui::EndAnswer QtUi::end_question(bool consultation) {
    switch (end_question_box(dialog_parent(), consultation)) {
        case 0:
            return EndAnswer::Program;
        case 1:
            return EndAnswer::Consultation;
        default:
            return EndAnswer::Nothing;
    }
}

// The core asks again, without a word, for a value that is no number; the dialog asked next
// for the same name says why.
std::string QtUi::value_reason(std::string_view name) const {
    if (refused_value_.empty() || refused_for_ != name) return {};
    return refused_value_reason(refused_value_);
}

void QtUi::note_value(std::string_view name, const std::string& typed) {
    const bool number = refused_value_reason(typed).empty();
    refused_value_ = number ? std::string() : (typed.empty() ? std::string(" ") : typed);
    refused_for_ = std::string(name);
}

}  // namespace zuva
