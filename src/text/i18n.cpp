// The language of the program's texts and the lookup in the gettext catalog.
#include "text/i18n.h"

#include <libintl.h>
#include <unistd.h>

#include <atomic>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <unordered_map>

namespace zuva {
namespace {

constexpr const char* kDomain = "zuva";

std::atomic<Language> process_language{Language::polish};
thread_local int thread_override = -1;

bool set(const char* v) {
    return v != nullptr && *v != '\0';
}

// "en_US.UTF-8" and "en" are English; "pl_PL", "C", "POSIX" and others are not.
bool is_english(std::string_view name) {
    return name.size() >= 2 && name.substr(0, 2) == "en" &&
           (name.size() == 2 || name[2] == '_' || name[2] == '.' || name[2] == '@');
}
bool is_polish(std::string_view name) {
    return name.size() >= 2 && name.substr(0, 2) == "pl" &&
           (name.size() == 2 || name[2] == '_' || name[2] == '.' || name[2] == '@');
}

// The folder holding en/LC_MESSAGES/zuva.mo: beside the program in a build tree, share/locale
// of an installation, the build tree this was compiled in, the installation prefix.
std::string locale_folder() {
    namespace fs = std::filesystem;
    std::vector<fs::path> tries;
    if (const char* dir = std::getenv("ZUVA_LOCALEDIR"); set(dir)) tries.emplace_back(dir);
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        tries.push_back(exe.parent_path() / "locale");
        tries.push_back(exe.parent_path().parent_path() / "share" / "locale");
    }
#ifdef ZUVA_BUILD_LOCALEDIR
    tries.emplace_back(ZUVA_BUILD_LOCALEDIR);
#endif
#ifdef ZUVA_LOCALEDIR
    tries.emplace_back(ZUVA_LOCALEDIR);
#endif
    for (const auto& t : tries)
        if (fs::exists(t / "en" / "LC_MESSAGES" / "zuva.mo", ec)) return t.string();
    return {};
}

std::mutex reverse_mutex;
std::unordered_map<std::string, std::string>& reverse_map() {
    static std::unordered_map<std::string, std::string> m;
    return m;
}

}  // namespace

Language language_from_variables(const char* language, const char* lc_all, const char* lc_messages,
                                 const char* lang) {
    const char* locale = set(lc_all) ? lc_all : set(lc_messages) ? lc_messages : set(lang) ? lang : "C";
    const std::string_view loc = locale;
    // As libintl does: LANGUAGE counts only when the locale is not the plain C one.
    if (set(language) && loc != "C" && loc != "POSIX") {
        std::string_view list = language;
        while (!list.empty()) {
            const auto colon = list.find(':');
            const std::string_view entry = list.substr(0, colon);
            if (is_english(entry)) return Language::english;
            if (is_polish(entry)) return Language::polish;
            if (colon == std::string_view::npos) break;
            list.remove_prefix(colon + 1);
        }
    }
    return is_english(loc) ? Language::english : Language::polish;
}

Language language_from_environment() {
    return language_from_variables(std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                   std::getenv("LANG"));
}

bool prepare_catalog() {
    if (i18n_detail::catalog_bound) return true;
    const std::string folder = locale_folder();
    if (folder.empty()) return false;
    // libintl reads no catalog while LC_MESSAGES is "C"; C.UTF-8 is built into glibc, so this
    // works where no English locale is generated. LC_NUMERIC and the rest stay as they are.
    if (std::setlocale(LC_MESSAGES, "C.UTF-8") == nullptr) return false;
    // The language libintl looks for under the folder: the locale names none.
    const char* had = std::getenv("LANGUAGE");
    if (!set(had) || !is_english(std::string_view(had).substr(0, std::string_view(had).find(':'))))
        setenv("LANGUAGE", "en", 1);
    bindtextdomain(kDomain, folder.c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
    i18n_detail::catalog_bound = true;
    return true;
}

bool use_language(Language language) {
    if (language == Language::polish) {
        process_language = Language::polish;
        return true;
    }
    if (!prepare_catalog()) return false;
    process_language = Language::english;
    return true;
}

Language use_environment_language() {
    const Language wanted = language_from_environment();
    use_language(wanted);
    return current_language();
}

Language current_language() {
    return process_language;
}

const char* language_code(Language language) {
    return language == Language::english ? "en" : "pl";
}

Language thread_language() {
    return thread_override < 0 ? process_language.load() : static_cast<Language>(thread_override);
}

ThreadLanguage::ThreadLanguage(Language language) : previous_(thread_override) {
    thread_override = static_cast<int>(language);
}
ThreadLanguage::~ThreadLanguage() {
    thread_override = previous_;
}

namespace i18n_detail {
std::atomic<bool> catalog_bound{false};
}  // namespace i18n_detail

const char* i18n_detail::translated(const char* msgid) {
    if (msgid == nullptr || *msgid == '\0' || thread_language() == Language::polish || !catalog_bound)
        return msgid;
    const char* shown = dgettext(kDomain, msgid);
    if (shown != msgid && std::strcmp(shown, msgid) != 0) {
        std::lock_guard lock(reverse_mutex);
        reverse_map().try_emplace(shown, msgid);
    }
    return shown;
}

std::string tr(std::string_view msgid) {
    return tr(std::string(msgid).c_str());
}

std::string untranslated(std::string_view shown) {
    std::lock_guard lock(reverse_mutex);
    const auto& m = reverse_map();
    auto it = m.find(std::string(shown));
    return it == m.end() ? std::string(shown) : it->second;
}

}  // namespace zuva
