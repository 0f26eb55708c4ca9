// The enabled set lives in the session's shell state; every change is told to the Ui.
#include "session/enabling.h"

#include <utility>

#include "session/session.h"

namespace zuva {

void enable_commands(Session& s, std::initializer_list<int> ids) {
    for (int id : ids)
        s.shell.enabled.insert(id);
    s.ui.commands_changed();
}

void enable_commands(Session& s, const std::vector<int>& ids) {
    for (int id : ids)
        s.shell.enabled.insert(id);
    s.ui.commands_changed();
}

void enable_range(Session& s, int first, int last) {
    for (int id = first; id <= last; ++id)
        s.shell.enabled.insert(id);
    s.ui.commands_changed();
}

void disable_commands(Session& s, std::initializer_list<int> ids) {
    for (int id : ids)
        s.shell.enabled.erase(id);
    s.ui.commands_changed();
}

bool is_enabled(const Session& s, int id) {
    return s.shell.enabled.count(id) != 0;
}

namespace {

std::vector<int> ids_of(std::initializer_list<std::pair<int, int>> ranges) {
    std::vector<int> out;
    for (auto [first, last] : ranges)
        for (int id = first; id <= last; ++id)
            out.push_back(id);
    return out;
}

}  // namespace

// Besides the commands listed for each stage, three file commands are enabled together
// with their siblings: deleting an advice text (10122) with the other advice file
// commands, and viewing the picture and sound directories (10130, 10140) with the other
// viewing commands of their base; without that no stage would ever enable them.
const std::vector<int>& intro_closed_set() {
    static const std::vector<int> ids = ids_of({{10064, 10064},
                                                {10070, 10072},
                                                {10087, 10089},
                                                {10097, 10099},
                                                {10107, 10109},
                                                {10115, 10117},
                                                {10120, 10122},
                                                {10126, 10128},
                                                {10131, 10132},
                                                {10136, 10138},
                                                {10141, 10142},
                                                {10192, 10194},
                                                {10151, 10158},
                                                {10161, 10162},
                                                {10167, 10171}});
    return ids;
}

const std::vector<int>& rules_loaded_set() {
    static const std::vector<int> ids = {10065, 10067, 10068, 10069, 10145, 10146, 10077, 10093, 10103, 10113,
                                         10124, 10134, 10164, 10165, 10160, 10076, 10190, 10185, 10186};
    return ids;
}

const std::vector<int>& models_loaded_set() {
    static const std::vector<int> ids = ids_of({{10080, 10086}});
    return ids;
}

const std::vector<int>& exact_loaded_set() {
    static const std::vector<int> ids = {10095, 10096, 10100, 10101, 10147, 10148, 10149};
    return ids;
}

const std::vector<int>& uncertain_loaded_set() {
    static const std::vector<int> ids = {10105, 10106, 10110, 10111};
    return ids;
}

const std::vector<int>& advice_loaded_set() {
    static const std::vector<int> ids = {10114, 10118, 10119};
    return ids;
}

const std::vector<int>& graphics_loaded_set() {
    static const std::vector<int> ids = {10125, 10129, 10130};
    return ids;
}

const std::vector<int>& sounds_loaded_set() {
    static const std::vector<int> ids = {10135, 10139, 10140};
    return ids;
}

const std::vector<int>& texts_loaded_set() {
    static const std::vector<int> ids = {10191};
    return ids;
}

void enable_intro_closed_set(Session& s) {
    enable_commands(s, intro_closed_set());
}
void enable_rules_loaded_set(Session& s) {
    enable_commands(s, rules_loaded_set());
}
void enable_models_loaded_set(Session& s) {
    enable_commands(s, models_loaded_set());
}
void enable_exact_loaded_set(Session& s) {
    enable_commands(s, exact_loaded_set());
}
void enable_uncertain_loaded_set(Session& s) {
    enable_commands(s, uncertain_loaded_set());
}
void enable_advice_loaded_set(Session& s) {
    enable_commands(s, advice_loaded_set());
}
void enable_graphics_loaded_set(Session& s) {
    enable_commands(s, graphics_loaded_set());
}
void enable_sounds_loaded_set(Session& s) {
    enable_commands(s, sounds_loaded_set());
}

void enable_texts_loaded_set(Session& s) {
    enable_commands(s, texts_loaded_set());
}

}  // namespace zuva
