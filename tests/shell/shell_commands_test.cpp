// The command table, the menu tree and the enabling groups agree with each other, and
// the shell's dispatch follows the enabling rules whatever handlers are registered.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

#include "session/enabling.h"
#include "session/session.h"
#include "shell/commands.h"
#include "shell/shell.h"
#include "ui/scripted_ui.h"

namespace zuva {
namespace {

void collect(const MenuNode& n, std::map<int, int>& seen, int depth) {
    if (n.is_command()) {
        EXPECT_TRUE(n.children.empty());
        EXPECT_EQ(n.title, find_command(n.id)->text);
        ++seen[n.id];
        return;
    }
    EXPECT_FALSE(n.title.empty());
    EXPECT_FALSE(n.children.empty()) << n.title;
    EXPECT_LT(depth, 3) << n.title;
    for (const auto& c : n.children)
        collect(c, seen, depth + 1);
}

TEST(ShellCommands, MenuTreeHoldsEveryCommandExactlyOnce) {
    std::map<int, int> seen;
    for (const auto& top : main_menu())
        collect(top, seen, 0);
    for (const auto& c : all_commands()) {
        EXPECT_EQ(seen[c.id], 1) << c.id;
        EXPECT_EQ(find_command(c.id), &c);
    }
    EXPECT_EQ(seen.size(), all_commands().size());
    EXPECT_EQ(find_command(10066), nullptr);
    EXPECT_EQ(find_command(10054), nullptr);  // edit menu of the editor window, not the main menu
    EXPECT_EQ(menu_label("Ładowanie bazy &reguł"), "Ładowanie bazy reguł");
}

TEST(ShellCommands, EnablingGroupsAreDisjointAndReachEveryCommandWithAnOperation) {
    std::vector<const std::vector<int>*> groups = {
        &intro_closed_set(),    &rules_loaded_set(),     &models_loaded_set(),
        &exact_loaded_set(),    &uncertain_loaded_set(), &advice_loaded_set(),
        &graphics_loaded_set(), &sounds_loaded_set(),    &texts_loaded_set()};
    std::map<int, int> in_groups;
    for (const auto* g : groups)
        for (int id : *g) {
            EXPECT_NE(find_command(id), nullptr) << id;
            ++in_groups[id];
        }
    for (auto [id, n] : in_groups)
        EXPECT_EQ(n, 1) << id;
    // Enabled by the diagnoses when they have something to report, or never (10074); 10180
    // when a consultation ends normally, 10181 and 10182 when a summary is saved.
    const std::set<int> outside = {10073, 10074, 10075, 10090, 10091, 10180, 10181, 10182};
    for (const auto& c : all_commands())
        EXPECT_EQ(in_groups.count(c.id) == 0, outside.count(c.id) == 1) << c.id;
}

struct Counter {
    std::map<int, int> calls;
    CommandHandler handler(int id) {
        return [this, id](Session&) { ++calls[id]; };
    }
};

TEST(ShellLifecycle, CommandsNeedTheirGroupAndAHandler) {
    ScriptedUi ui;
    Session s(ui);
    CommandRegistry r;
    Counter c;
    for (int id : {10064, 10077, 10074, 10170})
        r.set(id, c.handler(id));

    start_program(s);
    EXPECT_EQ(ui.title(), kProgramTitle);
    // Nothing can be chosen while the introductory window is open.
    EXPECT_EQ(dispatch_command(s, r, 10064), DispatchResult::Disabled);
    enable_rules_loaded_set(s);
    EXPECT_EQ(dispatch_command(s, r, 10077), DispatchResult::Disabled);
    EXPECT_TRUE(c.calls.empty());

    close_intro(s);
    EXPECT_NE(ui.transcript().find("[new-helper] 100\n"), std::string::npos);
    EXPECT_EQ(dispatch_command(s, r, 10064), DispatchResult::Done);
    EXPECT_EQ(dispatch_command(s, r, 10077), DispatchResult::Done);
    EXPECT_EQ(dispatch_command(s, r, 10170), DispatchResult::Done);
    // In an enabled group but without an operation; an operation but in no group.
    EXPECT_TRUE(is_enabled(s, 10070));
    EXPECT_FALSE(command_available(s, r, 10070));
    EXPECT_EQ(dispatch_command(s, r, 10070), DispatchResult::Disabled);
    EXPECT_EQ(dispatch_command(s, r, 10074), DispatchResult::Disabled);
    EXPECT_EQ(dispatch_command(s, r, 10080), DispatchResult::Disabled);
    EXPECT_EQ(dispatch_command(s, r, 4711), DispatchResult::Unknown);
    EXPECT_EQ(c.calls, (std::map<int, int>{{10064, 1}, {10077, 1}, {10170, 1}}));

    // The introductory window closes once: no second helper window.
    size_t before = ui.transcript().size();
    close_intro(s);
    EXPECT_EQ(ui.transcript().size(), before);
}

TEST(ShellLifecycle, FailingOperationIsReportedAndTheProgramGoesOn) {
    ScriptedUi ui;
    Session s(ui);
    CommandRegistry r;
    r.set(10170, [](Session&) { throw std::runtime_error("brak pamięci"); });
    r.set(10171, [](Session&) { throw ProgramExit{}; });
    start_program(s);
    close_intro(s);
    EXPECT_EQ(dispatch_command(s, r, 10170), DispatchResult::Failed);
    EXPECT_NE(ui.transcript().find(
                  "[note] Uwaga błąd!\nOperacja została przerwana z powodu błędu:\nbrak pamięci\n"),
              std::string::npos);
    EXPECT_EQ(dispatch_command(s, r, 10170), DispatchResult::Failed);
    // The end of the program is not an error of the operation.
    EXPECT_THROW(dispatch_command(s, r, 10171), ProgramExit);
}

TEST(ShellLifecycle, CloseRequestEndsOnlyOnYes) {
    ScriptedUi ui({"&Nie", "tak"});
    Session s(ui);
    EXPECT_NO_THROW(close_request(s));
    EXPECT_THROW(close_request(s), ProgramExit);
    EXPECT_NE(ui.transcript().find("[question] Uwaga!\nCzy na pewno chcesz zakończyć program ?\n"
                                   "buttons: &Tak | &Nie\nanswer: &Nie\n"),
              std::string::npos);
}

}  // namespace
}  // namespace zuva
