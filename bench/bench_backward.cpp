// Backward inference over a chain of rules: rule i concludes "h_i" from "h_<i+1>", and the
// leaf "h_<n+1>" is a declared fact, so the main hypothesis "h_1" is derived through every
// rule, in a chain as deep as the base is large. With "leaves" every rule also has a declared
// fact "f_i" of its own as a second condition. Explanations are silent (display flag 0,
// detail level "mała"). Prints the number of rules and the seconds of the whole command.
// Usage: bench_backward [rules] [leaves]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "consult/backward.h"
#include "consult/calculus_basics.h"
#include "consult/cf_calculus.h"
#include "kb/askable_conditions.h"
#include "session/session.h"
#include "text/codec.h"
#include "ui/scripted_ui.h"

namespace {

// Chooses the first option and the first list item, answers "no" to every question, and
// keeps no transcript.
class BenchUi : public zuva::ScriptedUi {
  public:
    void helper_write(std::string_view text) override { written += text.size(); }
    void helper_clear() override {}
    void note(std::string_view, std::string_view) override { ++notes; }
    int question(std::string_view, std::string_view, const std::vector<std::string>& buttons) override {
        for (size_t i = 0; i < buttons.size(); ++i)
            if (zuva::to_lower_pl(buttons[i]).find("nie") != std::string::npos) return static_cast<int>(i);
        return static_cast<int>(buttons.size()) - 1;
    }
    int radio(std::string_view, std::string_view, const std::vector<std::string>&, int) override { return 1; }
    std::optional<int> choose_one_prompted(std::string_view, std::string_view,
                                           const std::vector<std::string>& items) override {
        listed = items.size();
        return 0;
    }
    bool explanation(std::string_view, const std::vector<std::string>&) override { return true; }
    long notes = 0;
    size_t written = 0, listed = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    const bool leaves = argc > 2 && std::string(argv[2]) == "leaves";
    BenchUi ui;
    zuva::Session s(ui);
    auto& rules = s.kb.rules;
    for (int i = 1; i <= n; ++i) {
        zuva::Regula r;
        r.rule_number = i;
        r.conclusion = "h_" + std::to_string(i);
        r.conditions.push_back("h_" + std::to_string(i + 1));
        if (leaves) {
            r.conditions.push_back("f_" + std::to_string(i));
            rules.fakt.append({"f_" + std::to_string(i), "0.9"});
        }
        r.display_flag = 0;
        r.cf_text = "1";
        rules.regula.append(std::move(r));
    }
    rules.fakt.append({"h_" + std::to_string(n + 1), "0.9"});
    s.kb.nazwa_re.short_name.append("REBENCH.BEN");
    s.kb.nazwa_re.full_path.append("REBENCH.BEN");
    s.kb.wyroznik.append("BENCH");
    const zuva::TextList askable = zuva::wyznacz_warunki_dopytywalne(s);
    zuva::pamietaj_liste_dopytywalnych(s, askable);
    zuva::pamietaj_warunki_dopytywalne(s, askable);

    const auto t0 = std::chrono::steady_clock::now();
    zuva::wnioskowanie_wstecz(s);
    const auto t1 = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(t1 - t0).count();

    const auto cf = zuva::resultant(s, "h_1");

    // The part of the run spent building the per-run rule index and the pending-rule lists
    // shared with forward inference, measured again on its own.
    zuva::kasowanie_tablic_roboczych(s);
    const auto t2 = std::chrono::steady_clock::now();
    zuva::tworz_listy_oczekujacych(s);
    const double index_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t2).count();
    std::printf("rules %d%s\n", n, leaves ? " (a declared fact per rule)" : "");
    std::printf("seconds %.3f\n", seconds);
    std::printf("of which rule index and pending lists %.3f\n", index_seconds);
    std::printf("candidates %zu, CF(h_1) %s, notes %ld, helper bytes %zu\n", ui.listed,
                cf ? std::to_string(*cf).c_str() : "none", ui.notes, ui.written);
    return cf ? 0 : 1;
}
