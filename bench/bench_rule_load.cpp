// Generates a rule base of 100,000 rules (about 5 MB, Windows-1250) and loads it with every
// load-time step (numbering, CF tests, askable conditions, fact test, single-condition
// detection, per-conclusion lists), answering every question with its "no" button.
// Prints seconds, MB/s and the peak resident size of the process.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "kb/rule_base.h"
#include "session/session.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "ui/scripted_ui.h"

namespace {

// Chooses the loaded file and answers "no" to every question, keeping no transcript.
class BenchUi : public zuva::ScriptedUi {
  public:
    explicit BenchUi(std::string path) : path_(std::move(path)) {}
    std::string open_file(std::string_view, const std::vector<zuva::FileFilter>&, std::string_view) override {
        return path_;
    }
    int question(std::string_view, std::string_view, const std::vector<std::string>& buttons) override {
        ++questions;
        for (size_t i = 0; i < buttons.size(); ++i)
            if (zuva::to_lower_pl(buttons[i]).find("nie") != std::string::npos) return static_cast<int>(i);
        return static_cast<int>(buttons.size()) - 1;
    }
    void helper_write(std::string_view text) override { written += text.size(); }
    void note(std::string_view, std::string_view) override { ++notes; }
    int questions = 0, notes = 0;
    size_t written = 0;

  private:
    std::string path_;
};

long peak_rss_kb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::string text;
    text.reserve(static_cast<size_t>(n) * 56);
    for (int i = 1; i <= n; ++i) {
        // Chains through earlier conclusions, askable conditions shared by many rules, a few
        // single-condition rules with CF 1, disjunctive conclusions and declared facts.
        std::string concl = "wn_" + std::to_string(i);
        text +=
            "reguła(" + std::to_string(i) + ",\"" + concl + "\",[\"war_" + std::to_string(i % 20011) + "\"";
        if (i > 1) text += ",\"wn_" + std::to_string(i / 2) + "\"";
        text += i % 5 == 0 ? ",\"źr_" + std::to_string(i % 977) + "\"" : std::string();
        text += "],1,\"" + std::string(i % 1000 == 0 ? "1" : "0.8") + "\")\n";
        if (i % 1000 == 1) {
            text += "reguła_dysjunktywna(\"" + concl + "\")\n";
            text += "fakt(\"war_" + std::to_string(i % 20011) + "\",\"0.6\")\n";
        }
    }
    // One rule with a single condition and CF 1, so that the warning and its question run.
    text += "reguła(" + std::to_string(n + 1) + ",\"ostatni\",[\"żółty\"],1,\"1\")\n";
    auto dir = std::filesystem::temp_directory_path() / ("zuva_bench_rules_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::string path = (dir / "REBENCH.BEN").string();
    zuva::write_file_bytes(path, zuva::utf8_to_cp1250_lossy(text));
    text.clear();
    text.shrink_to_fit();
    double mb = static_cast<double>(std::filesystem::file_size(path)) / 1e6;

    double best = 1e9;
    size_t rules = 0, askable = 0;
    int questions = 0;
    for (int rep = 0; rep < 3; ++rep) {
        BenchUi ui(path);
        zuva::Session s(ui);
        auto t0 = std::chrono::steady_clock::now();
        std::string loaded = zuva::ladowanie_bazy_regul(s);
        auto t1 = std::chrono::steady_clock::now();
        if (loaded != path) {
            std::fprintf(stderr, "load failed (%d notes)\n", ui.notes);
            return 1;
        }
        rules = s.kb.rules.regula.count();
        askable = s.kb.dopytywalny.count();
        questions = ui.questions;
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
    }
    std::printf("rules: %zu  askable: %zu  questions: %d  file: %.2f MB\n", rules, askable, questions, mb);
    std::printf("load with all load-time steps: %.4f s  %.1f MB/s  peak RSS: %.1f MB\n", best, mb / best,
                static_cast<double>(peak_rss_kb()) / 1024.0);
    std::filesystem::remove_all(dir);
    return 0;
}
