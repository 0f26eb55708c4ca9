// The language server on a base of 10,000 rules with a model base beside it: the time from a
// keystroke (one change message) to its syntax diagnostics, and from the last keystroke to
// the full diagnoses (the pause of 300 ms included); a burst of typing, whose checks under
// way are cancelled; hover and references, whose index is rebuilt after each change.
//   bench_lsp [RULES]   (default 10000)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "lsp/server.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using zuva::lsp::Json;

namespace {

std::mutex m;
std::condition_variable cv;
std::vector<std::pair<Clock::time_point, Json>> published;

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

zuva::lsp::Frame frame(const Json& j) {
    return {false, j.dump()};
}

// Waits for the n-th diagnostics message; its arrival time.
Clock::time_point wait_publish(std::size_t n) {
    std::unique_lock lock(m);
    cv.wait_for(lock, std::chrono::seconds(30), [&] { return published.size() >= n; });
    if (published.size() < n) {
        std::fprintf(stderr, "bench_lsp: no diagnostics\n");
        std::exit(1);
    }
    return published[n - 1].first;
}

void report(const char* what, std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::printf("%-44s median %8.2f ms   max %8.2f ms   (%zu runs)\n", what, v[v.size() / 2], v.back(),
                v.size());
}

}  // namespace

int main(int argc, char** argv) {
    const int rules = argc > 1 ? std::atoi(argv[1]) : 10000;
    const fs::path dir = fs::temp_directory_path() / ("zuva-bench-lsp-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string text;
    for (int i = 1; i <= rules; ++i)
        text += "reguła(" + std::to_string(i) + ",\"c" + std::to_string(i) + "\",[\"c" +
                std::to_string(i - 1) + "\",\"a" + std::to_string(i % 97) + "\"],1,\"0.9\")\n";
    std::ofstream(dir / "MOBENCH.BEN") << "model(1,\"bez_warunku\",\"c0\",\"t\",\"+\",\"1\",1,\"1\")\n";
    const std::string path = (dir / "REBENCH.BEN").string();
    std::ofstream(path) << text;
    const std::string uri = "file://" + path;

    zuva::lsp::ServerOptions options;
    options.debounce = std::chrono::milliseconds(300);
    zuva::lsp::Server server(options, [&](const Json& j) {
        if (j.value("method", "") != "textDocument/publishDiagnostics" || j["params"]["uri"] != uri) return;
        std::lock_guard lock(m);
        published.emplace_back(Clock::now(), j);
        cv.notify_all();
    });
    server.handle(
        frame({{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", Json::object()}}));
    auto t0 = Clock::now();
    server.handle(frame({{"jsonrpc", "2.0"},
                         {"method", "textDocument/didOpen"},
                         {"params", {{"textDocument", {{"uri", uri}, {"version", 1}, {"text", text}}}}}}));
    wait_publish(2);
    std::printf("%d rules: open to full diagnoses %.1f ms (pause 300 ms included)\n", rules,
                ms(Clock::now() - t0));

    // Keystrokes one at a time: the CF of a rule in the middle changes digit.
    std::vector<double> syntax, full;
    const int middle = rules / 2;
    for (int k = 0; k < 15; ++k) {
        std::size_t before;
        {
            std::lock_guard lock(m);
            before = published.size();
        }
        const int line = middle + k;
        const std::string line_text = "reguła(" + std::to_string(line + 1) + ",\"c" +
                                      std::to_string(line + 1) + "\",[\"c" + std::to_string(line) + "\",\"a" +
                                      std::to_string((line + 1) % 97) + "\"],1,\"0.";
        // The digit after "0.", in UTF-16 units: "ł" is one unit of two bytes, the rest ASCII.
        const int col = static_cast<int>(line_text.size()) - 1;
        Json range = {{"start", {{"line", line}, {"character", col}}},
                      {"end", {{"line", line}, {"character", col + 1}}}};
        Json edit = {{"range", range}, {"text", k % 2 ? "9" : "8"}};
        Json params = {{"textDocument", {{"uri", uri}, {"version", k + 2}}},
                       {"contentChanges", Json::array({edit})}};
        Json change = {{"jsonrpc", "2.0"}, {"method", "textDocument/didChange"}, {"params", params}};
        auto t = Clock::now();
        server.handle(frame(change));
        syntax.push_back(ms(wait_publish(before + 1) - t));
        full.push_back(ms(wait_publish(before + 2) - t));
    }
    report("keystroke to syntax diagnostics", syntax);
    report("last keystroke to full diagnoses", full);

    // A burst: 10 keystrokes 100 ms apart; only the last text is checked to the end.
    const auto finished = server.worker().finished();
    std::size_t before;
    {
        std::lock_guard lock(m);
        before = published.size();
    }
    for (int k = 0; k < 10; ++k) {
        Json edit = {{"text", text + "rem_reguła(\"" + std::string(k, 'x') + "\")\n"}};
        Json params = {{"textDocument", {{"uri", uri}, {"version", 100 + k}}},
                       {"contentChanges", Json::array({edit})}};
        Json change = {{"jsonrpc", "2.0"}, {"method", "textDocument/didChange"}, {"params", params}};
        server.handle(frame(change));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    wait_publish(before + 11);
    std::printf("burst of 10 keystrokes 100 ms apart: %llu full checks finished, %llu cancelled in all\n",
                static_cast<unsigned long long>(server.worker().finished() - finished),
                static_cast<unsigned long long>(server.worker().cancelled()));

    std::vector<double> hover, refs;
    for (int k = 0; k < 10; ++k) {
        Json pos = {{"textDocument", {{"uri", uri}}}, {"position", {{"line", 100 + k}, {"character", 12}}}};
        auto t = Clock::now();
        server.handle(
            frame({{"jsonrpc", "2.0"}, {"id", 10 + k}, {"method", "textDocument/hover"}, {"params", pos}}));
        hover.push_back(ms(Clock::now() - t));
        pos["context"] = {{"includeDeclaration", true}};
        t = Clock::now();
        server.handle(frame(
            {{"jsonrpc", "2.0"}, {"id", 30 + k}, {"method", "textDocument/references"}, {"params", pos}}));
        refs.push_back(ms(Clock::now() - t));
    }
    report("hover (index built at the first)", hover);
    report("references", refs);
    fs::remove_all(dir);
    return 0;
}
