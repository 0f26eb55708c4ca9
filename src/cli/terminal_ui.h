// The interactive terminal port: the main menu as a numbered tree, every dialog as a
// prompt that says what it expects, note boxes that wait for Enter; UTF-8 on the terminal.
#pragma once
#include <deque>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "session/command_registry.h"
#include "text/i18n.h"
#include "ui/ui.h"

namespace zuva {

struct Session;

// Whether a file name matches a mask of '*' (any characters) and '?' (one character); both
// are compared as given, so the caller folds their case first.
bool mask_match(std::string_view mask, std::string_view name);

class TerminalUi : public Ui {
  public:
    TerminalUi(std::istream& in, std::ostream& out, bool color);

    // The session whose directory and loaded bases the prompts show.
    void attach(Session* s) { session_ = s; }

    void helper_write(std::string_view text) override;
    void helper_clear() override;
    void helper_recreate(int capacity) override;
    void set_title(std::string_view title) override;
    void note(std::string_view title, std::string_view text) override;
    int question(std::string_view title, std::string_view text,
                 const std::vector<std::string>& buttons) override;
    std::string open_file(std::string_view mask, const std::vector<FileFilter>& filters,
                          std::string_view title) override;
    std::string save_file(std::string_view mask, const std::vector<FileFilter>& filters,
                          std::string_view title) override;
    std::string save_file_unchecked(std::string_view mask, const std::vector<FileFilter>& filters,
                                    std::string_view title) override;
    int radio(std::string_view dialog, std::string_view text, const std::vector<std::string>& options,
              int initial) override;
    std::optional<std::string> input_text(std::string_view title, std::string_view prompt,
                                          std::string_view initial) override;
    std::optional<std::string> value_dialog(std::string_view dialog, std::string_view title,
                                            std::string_view name) override;
    // "?" asks why the value is needed.
    ValueReply value_dialog_why(std::string_view dialog, std::string_view title,
                                std::string_view name) override;
    bool explanation(std::string_view title, const std::vector<std::string>& lines) override;
    void read_text(std::string_view title, std::string_view text) override;
    void show_lists(std::string_view title, const std::vector<LabelledList>& lists) override;
    std::optional<int> choose_one(std::string_view title, const std::vector<std::string>& items) override;
    std::optional<std::vector<int>> choose_many(std::string_view title,
                                                const std::vector<std::string>& items) override;
    std::optional<std::vector<int>> choose_many_prompted(std::string_view title, std::string_view prompt,
                                                         const std::vector<std::string>& items) override;
    void browse_text(std::string_view title, std::string_view text, bool wrap) override;
    void browse_list(std::string_view title, const std::vector<std::string>& items) override;
    void browse_records(const RecordWindow& w) override;
    bool browse_windows_close_at_once() const override { return true; }
    void open_editor(std::string_view path, bool wrap) override;
    void open_document(std::string_view path) override;
    MediaOutcome show_picture(std::string_view path) override;
    MediaOutcome play_sound(std::string_view path) override;

    // Where typed lines come from instead of the input stream (the line editor on a
    // terminal): the prompt as it is shown and the folder whose file names complete ("":
    // none); nullopt at the end of input.
    std::function<std::optional<std::string>(const std::string& prompt, const std::string& complete_in)>
        line_reader;

    // Pieces the menu loop uses.
    // One line typed by the user after the prompt; end of input ends the program.
    std::string ask(std::string_view prompt);
    void wait_enter(std::string_view what = tr("Naciśnij Enter, aby kontynuować"));
    void show_helper_window();
    void heading(std::string_view kind, std::string_view title);
    void print(std::string_view text);
    void hint(std::string_view text);  // a dimmed line
    std::string bold(std::string_view text) const;
    std::string dim(std::string_view text) const;

  private:
    std::string file_prompt(bool save, std::string_view mask, const std::vector<FileFilter>& filters,
                            std::string_view title);
    void page(const std::vector<std::string>& lines);
    std::string current_dir() const;

    std::istream& in_;
    std::ostream& out_;
    bool color_;
    Session* session_ = nullptr;
    std::string title_;
    // The helper window's last lines (its capacity) for showing it again on request.
    std::deque<std::string> helper_lines_;
    std::string helper_partial_;
    int helper_capacity_ = 100;
    bool at_line_start_ = true;
    // The last value typed that was no number, and what it was asked for (" " for an
    // empty line): the next prompt for the same thing says why it was refused.
    void say_why_value_refused(std::string_view name);
    void note_value_answer(std::string_view name, const std::string& answer);
    std::string refused_value_, refused_for_;
    std::string completion_dir_;  // the folder of the file dialog being asked
};

// The interactive program: introductory window, then the main menu until the user ends
// the program (or the input ends). Returns the exit status.
int run_interactive(Session& s, TerminalUi& ui, const CommandRegistry& r);

}  // namespace zuva
