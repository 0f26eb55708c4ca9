// Generates a rule base of 100,000 rules (about 5 MB, Windows-1250) and reads it with
// the base-file reader; prints seconds and MB/s.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "kb/base_file_reader.h"
#include "session/session.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "ui/scripted_ui.h"

int main(int argc, char** argv) {
    int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::string text;
    text.reserve(static_cast<size_t>(n) * 60);
    for (int i = 1; i <= n; ++i) {
        text += "reguła(" + std::to_string(i) + ",\"wniosek_" + std::to_string(i) + "\",[\"warunek_" +
                std::to_string(i) + "\",\"przesłanka_" + std::to_string(i % 97) + "\"],1,\"0.8\")\n";
    }
    auto path = (std::filesystem::temp_directory_path() / "zuva_bench_REBENCH.BEN").string();
    zuva::write_file_bytes(path, zuva::utf8_to_cp1250_lossy(text));
    double mb = static_cast<double>(std::filesystem::file_size(path)) / 1e6;

    double best = 1e9;
    for (int rep = 0; rep < 5; ++rep) {
        zuva::ScriptedUi ui;
        zuva::Session s(ui);
        auto t0 = std::chrono::steady_clock::now();
        auto err = zuva::read_base_file(s, zuva::BaseKind::Rules, path);
        auto t1 = std::chrono::steady_clock::now();
        if (err || s.kb.rules.regula.count() != static_cast<size_t>(n)) {
            std::fprintf(stderr, "read failed\n");
            return 1;
        }
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
    }
    std::printf("rules: %d  file: %.2f MB  read: %.4f s  %.1f MB/s\n", n, mb, best, mb / best);
    std::filesystem::remove(path);
    return 0;
}
