// The port without dialogs that `zuva check` runs the commands through: every question
// answered with its first button, every file dialog but the load's own cancelled, the
// notes and questions kept for the findings. Internal to shell/ (check.cpp).
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "session/session.h"
#include "ui/ui.h"

namespace zuva {
namespace check {

// Every interaction is counted; a check that keeps asking (a value asked again and again)
// is ended rather than left to run on.
struct CheckAborted {};
constexpr long kMaxInteractions = 50000000;
constexpr long kMaxValues = 10000;

struct Shown {
    bool question = false;
    bool in_diagnosis = false;  // shown by a diagnosis that a load runs
    std::string title;
    std::string text;
    // The rules an analysis listed whole under the title (`text` is then empty): each
    // stands for the rule line the analysis shows in the programs of the menu.
    bool rule_list = false;
    std::vector<ListedRule> rules;
};

class CheckUi : public Ui {
  public:
    std::string next_open;  // answer of the next open dialog; empty cancels
    std::vector<Shown> shown;
    bool in_diagnosis = false;

    void helper_write(std::string_view) override {}
    void helper_clear() override {}
    void helper_recreate(int) override {}
    void set_title(std::string_view) override {}
    void note(std::string_view title, std::string_view text) override {
        count();
        shown.push_back({false, in_diagnosis, std::string(title), std::string(text)});
    }
    // An analysis's rules handed over whole; each counts as the note it replaces.
    void rule_list(const std::string& title, std::vector<ListedRule>&& rules) {
        for (std::size_t i = 0; i < rules.size(); ++i)
            count();
        Shown sh{false, in_diagnosis, title, {}};
        sh.rule_list = true;
        sh.rules = std::move(rules);
        shown.push_back(std::move(sh));
    }
    int question(std::string_view title, std::string_view text, const std::vector<std::string>&) override {
        count();
        shown.push_back({true, in_diagnosis, std::string(title), std::string(text)});
        return 0;
    }
    std::string open_file(std::string_view, const std::vector<FileFilter>&, std::string_view) override {
        count();
        return std::exchange(next_open, std::string());
    }
    std::string save_file(std::string_view, const std::vector<FileFilter>&, std::string_view) override {
        count();
        return {};
    }
    int radio(std::string_view, std::string_view, const std::vector<std::string>&, int initial) override {
        count();
        return initial >= 1 ? initial : 1;
    }
    std::optional<std::string> input_text(std::string_view, std::string_view, std::string_view) override {
        count();
        return std::nullopt;
    }
    std::optional<std::string> value_dialog(std::string_view, std::string_view, std::string_view) override {
        count();
        if (++values_ > kMaxValues) throw CheckAborted{};
        return std::string("0");
    }
    bool explanation(std::string_view, const std::vector<std::string>&) override {
        count();
        return true;
    }
    void read_text(std::string_view, std::string_view) override { count(); }
    std::optional<int> choose_one(std::string_view, const std::vector<std::string>& items) override {
        count();
        if (items.empty()) return std::nullopt;
        return 0;
    }
    std::optional<std::vector<int>> choose_many(std::string_view,
                                                const std::vector<std::string>& items) override {
        count();
        std::vector<int> all;
        for (std::size_t i = 0; i < items.size(); ++i)
            all.push_back(static_cast<int>(i));
        return all;
    }
    void browse_text(std::string_view, std::string_view, bool) override { count(); }
    void browse_list(std::string_view, const std::vector<std::string>&) override { count(); }
    void open_editor(std::string_view, bool) override {}
    void open_document(std::string_view) override {}

  private:
    void count() {
        if (++interactions_ > kMaxInteractions) throw CheckAborted{};
    }
    long interactions_ = 0;
    long values_ = 0;
};

}  // namespace check
}  // namespace zuva
