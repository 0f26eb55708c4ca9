// A Ui that replays a list of answers and records every call as a transcript; used by
// the tests in-process and by the answer-script mode of the terminal program.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/ui.h"

namespace zuva {

// The answers ran out while the program waited for one: the run ends normally.
struct ScriptExhausted {};
// An answer did not fit its dialog.
struct ScriptError {
    int line = 0;
    std::string message;
};

struct ScriptAnswer {
    std::string text;
    int line = 0;  // line of the answer file, for error messages
};

// What a front end's decoders found in a picture or a sound file; the transcript shows it.
struct PictureInfo {
    bool ok = false;
    int width = 0, height = 0;
    std::string reason;
};
struct SoundInfo {
    bool ok = false;
    double seconds = 0.0;
    std::string reason;
};

class ScriptedUi : public Ui {
  public:
    ScriptedUi() = default;
    explicit ScriptedUi(std::vector<std::string> answers);
    // Reads an answer file: UTF-8, one answer a line, CR LF accepted, '#' lines skipped.
    static std::vector<ScriptAnswer> parse_script(const std::string& content);
    void set_answers(std::vector<ScriptAnswer> answers);
    void add_answer(std::string text);

    // Called with each piece of transcript text as it is produced (terminal output).
    std::function<void(std::string_view)> on_output;
    // Existence test for a name typed into a save dialog (relative names resolve against
    // the program's directory); without it every name counts as new.
    std::function<bool(const std::string&)> file_exists;
    // The terminal program writes the transcript as it goes and keeps none of it: then
    // transcript() stays empty and helper_text() holds only the helper window's last lines
    // (its capacity), as the window does. Tests keep everything (the default).
    void set_keep_history(bool keep) { keep_history_ = keep; }

    // The front end's decoders: a picture is read for its size, a sound is played for its
    // duration. Without them no picture or sound can be read.
    std::function<PictureInfo(const std::string& path)> picture_reader;
    std::function<SoundInfo(const std::string& path)> sound_player;
    // What the editor window does with the lines that follow its block (the shell gives it
    // the editing contract); without it the window only shows its block.
    std::function<void(const std::string& path, bool wrap)> editor;

    // The whole transcript so far.
    const std::string& transcript() const { return transcript_; }
    // What went to the helper window (only its last lines when no history is kept).
    const std::string& helper_text() const {
        if (helper_start_) compact_helper();
        return helper_;
    }
    std::string title() const { return title_; }
    bool has_answers() const { return next_ < answers_.size(); }

    // Takes the next answer line (for the command prompt of the front end).
    ScriptAnswer next_answer();
    // The next answer line without taking it, when there is one.
    const ScriptAnswer* peek_answer() const { return next_ < answers_.size() ? &answers_[next_] : nullptr; }
    // Shows in the transcript that a line was taken ("answer: " and the line).
    void answer_taken(std::string_view text);

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
    // The line "?" asks why the value is needed.
    ValueReply value_dialog_why(std::string_view dialog, std::string_view title,
                                std::string_view name) override;
    bool explanation(std::string_view title, const std::vector<std::string>& lines) override;
    void read_text(std::string_view title, std::string_view text) override;
    void show_lists(std::string_view title, const std::vector<LabelledList>& lists) override;
    std::optional<int> choose_one(std::string_view title, const std::vector<std::string>& items) override;
    std::optional<int> choose_one_prompted(std::string_view title, std::string_view prompt,
                                           const std::vector<std::string>& items) override;
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

    // Writes a block of the transcript: "[kind] title" and the body lines.
    void block(std::string_view kind, std::string_view title, std::string_view body);

  private:
    void out(std::string_view s);
    std::string file_dialog(std::string_view kind, std::string_view mask,
                            const std::vector<FileFilter>& filters, std::string_view title);

    std::vector<ScriptAnswer> answers_;
    size_t next_ = 0;
    std::string transcript_;
    // The helper window's text from helper_start_ on (what is before it has left the window).
    mutable std::string helper_;
    mutable std::size_t helper_start_ = 0;
    void compact_helper() const;
    std::string title_;
    bool at_line_start_ = true;
    bool keep_history_ = true;
    int helper_capacity_ = 100;
    std::size_t helper_lines_ = 0;  // line ends in helper_
};

}  // namespace zuva
