// Support for the rule-base tests: a scripted port that answers the diagnosis questions
// offered during a load with "no" on its own, and rule-base files written as Windows-1250.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "session/session.h"
#include "support/temp_dir.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "ui/scripted_ui.h"

namespace zuva::testing {

// Questions of the rule-base operations take scripted answers; any other question (the
// diagnoses that the load offers) is answered with its "no" button and takes none.
class RulesUi : public ScriptedUi {
  public:
    explicit RulesUi(std::vector<std::string> answers = {}) : ScriptedUi(std::move(answers)) {}

    int question(std::string_view title, std::string_view text,
                 const std::vector<std::string>& buttons) override {
        static const std::set<std::string, std::less<>> scripted = {
            "Wybierz:", "Reguła z pojedynczym warunkiem", "Zawiń/rozwiń", "Tworzenie bazy reguł",
            "Usunięcie bazy reguł"};
        if (scripted.count(title)) return ScriptedUi::question(title, text, buttons);
        int no = static_cast<int>(buttons.size()) - 1;
        for (size_t i = 0; i < buttons.size(); ++i)
            if (to_lower_pl(buttons[i]).find("nie") != std::string::npos) no = static_cast<int>(i);
        block("question", title, std::string(text) + "\nanswer: " + buttons[no]);
        return no;
    }
};

// A fresh directory for one test.
inline std::string temp_dir(const std::string& name) {
    testing_support::remove_tree(testing_support::scratch_dir(name));
    return testing_support::scratch_dir(name);
}

// Writes the UTF-8 text as a Windows-1250 file and returns its path.
inline std::string write_base(const std::string& dir, const std::string& name, const std::string& utf8) {
    auto bytes = utf8_to_cp1250(utf8);
    EXPECT_TRUE(bytes.has_value()) << "not Windows-1250 text";
    std::string path = (std::filesystem::path(dir) / name).string();
    EXPECT_TRUE(write_file_bytes(path, bytes ? *bytes : std::string()));
    return path;
}

inline int count_of(const std::string& hay, const std::string& needle) {
    int n = 0;
    for (size_t p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + needle.size()))
        ++n;
    return n;
}

}  // namespace zuva::testing
