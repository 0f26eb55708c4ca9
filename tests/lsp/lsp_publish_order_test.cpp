// The order of the diagnostics the language server publishes: an edit that lands while the full
// check of the older text is publishing must not be overwritten by that check's findings.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "../support/temp_dir.h"
#include "lsp/server.h"

namespace zuva::lsp {
namespace {

using namespace std::chrono_literals;

Frame frame(const Json& message) {
    return Frame{false, message.dump()};
}

bool has_syntax(const Json& publication) {
    for (const auto& d : publication["params"]["diagnostics"])
        if (d["code"] == "syntax") return true;
    return false;
}

// The worker's first publication is held in the send until the edit has been handled (or, when
// the edit waits for that publication, for a second): the edit's own diagnostics must come after.
TEST(LspPublishOrder, AnEditDuringAPublishingCheckIsNotOverwritten) {
    testing_support::TempDir dir("zuva-lsp-order");
    const std::string rules = "reguła(1,\"a\",[\"b\"],1,\"0.8\")\nreguła(2,\"b\",[\"a\"],1,\"0.5\")\n";
    const std::string path = dir.write_cp1250("REORD.BEN", rules);
    const std::string uri = uri_of_path(path);

    std::mutex m;
    std::condition_variable cv;
    std::vector<Json> published;
    bool held = false, edited = false;
    const auto main_thread = std::this_thread::get_id();
    ServerOptions options;
    options.debounce = 0ms;
    Server server(options, [&](const Json& message) {
        if (message.value("method", "") != "textDocument/publishDiagnostics") return;
        std::unique_lock lock(m);
        if (std::this_thread::get_id() != main_thread && !held) {
            held = true;
            cv.notify_all();
            cv.wait_for(lock, 1s, [&] { return edited; });
        }
        published.push_back(message);
        cv.notify_all();
    });
    server.handle(
        frame({{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", Json::object()}}));
    server.handle(frame({{"jsonrpc", "2.0"},
                         {"method", "textDocument/didOpen"},
                         {"params", {{"textDocument", {{"uri", uri}, {"version", 1}, {"text", rules}}}}}}));
    {
        std::unique_lock lock(m);
        ASSERT_TRUE(cv.wait_for(lock, 20s, [&] { return held; }));
    }
    const std::string broken = rules + "reguła(3,\"c\",[\"a\"] 1,\"0.5\")\n";
    server.handle(frame({{"jsonrpc", "2.0"},
                         {"method", "textDocument/didChange"},
                         {"params",
                          {{"textDocument", {{"uri", uri}, {"version", 2}}},
                           {"contentChanges", Json::array({{{"text", broken}}})}}}}));
    {
        std::unique_lock lock(m);
        edited = true;
        cv.notify_all();
    }
    for (int i = 0; i < 2000 && server.worker().finished() + server.worker().cancelled() < 2; ++i)
        std::this_thread::sleep_for(10ms);
    std::lock_guard lock(m);
    std::size_t first_new = published.size();
    for (std::size_t i = 0; i < published.size(); ++i)
        if (has_syntax(published[i])) {
            first_new = i;
            break;
        }
    ASSERT_LT(first_new, published.size()) << "the edit's syntax error was never published";
    for (std::size_t i = first_new; i < published.size(); ++i)
        EXPECT_TRUE(has_syntax(published[i]))
            << "publication " << i << " is of the older text: " << published[i].dump();
}

}  // namespace
}  // namespace zuva::lsp
