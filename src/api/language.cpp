// The language of the library's texts: the process's language of the program's texts.
#include "text/i18n.h"
#include "zuva/zuva.h"

namespace zuva::api {

bool set_language(const std::string& code) {
    if (code == "pl") return use_language(Language::polish);
    if (code == "en") return use_language(Language::english);
    return false;
}

std::string language() {
    return language_code(current_language());
}

}  // namespace zuva::api
