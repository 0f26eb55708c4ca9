// The program's own texts in the user's language (GNU gettext, domain "zuva"): the Polish text
// is the message id, so a Polish run shows the texts as written; English comes from a catalog.
#pragma once
#include <atomic>
#include <string>
#include <string_view>

// Marks a text for the catalog where it is kept as data (tables); it is translated where shown.
#define N_(text) text

namespace zuva {

enum class Language { polish, english };

// The language the environment asks for, as GNU programs read it: the first set of LC_ALL,
// LC_MESSAGES and LANG names the locale; when that is not "C"/"POSIX", LANGUAGE (a list) comes
// first. "en..." gives English; "pl...", "C" and every other language give Polish.
Language language_from_variables(const char* language, const char* lc_all, const char* lc_messages,
                                 const char* lang);
Language language_from_environment();

// Makes `language` the language of the process. English sets the category LC_MESSAGES (only
// that one) to C.UTF-8, which every glibc has, names "en" to libintl through LANGUAGE and binds
// the catalog; false when no catalog was found (the texts then stay Polish).
bool use_language(Language language);
// use_language(language_from_environment()), for each program's main.
Language use_environment_language();
Language current_language();
// "pl" or "en".
const char* language_code(Language language);
// The language of the texts on this thread: the process's, unless a scope below says otherwise
// (a web request in the browser's language).
Language thread_language();
class ThreadLanguage {
  public:
    explicit ThreadLanguage(Language language);
    ~ThreadLanguage();
    ThreadLanguage(const ThreadLanguage&) = delete;
    ThreadLanguage& operator=(const ThreadLanguage&) = delete;

  private:
    int previous_;
};
// Binds the catalog for thread-local English while the process stays Polish (zuva serve).
bool prepare_catalog();

namespace i18n_detail {
// Set once a catalog is bound: until then every text is its Polish id, with no call.
extern std::atomic<bool> catalog_bound;
const char* translated(const char* msgid);
}  // namespace i18n_detail

// A text in the current language; `msgid` as it is when Polish or untranslated.
inline const char* tr(const char* msgid) {
    return i18n_detail::catalog_bound.load(std::memory_order_relaxed) ? i18n_detail::translated(msgid)
                                                                      : msgid;
}
std::string tr(std::string_view msgid);
// The Polish message id of a text tr gave (a button label), or the text itself.
std::string untranslated(std::string_view shown);

}  // namespace zuva
