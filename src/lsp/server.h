// `zuva lsp`: the language server of base files. JSON-RPC 2.0 messages come in one at a
// time (handle); answers and notifications go out through `send`, from this thread and from
// the thread of the full checks.
#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "lsp/diagnostics_worker.h"
#include "lsp/framing.h"
#include "lsp/knowledge_index.h"
#include "lsp/positions.h"
#include "lsp/workspace.h"
#include "shell/check.h"

namespace zuva::testing {
class OpenedBases;
}

namespace zuva::lsp {

using Json = nlohmann::json;

// A request that fails with its JSON-RPC error code and a Polish message.
struct RequestError {
    int code;
    std::string message;
};

struct ServerOptions {
    std::chrono::milliseconds debounce{300};
    std::string version;
};

class Server {
  public:
    using Send = std::function<void(const Json&)>;
    Server(ServerOptions options, Send send);
    ~Server();

    // One frame of the input; false once the server is to end (after "exit").
    bool handle(const Frame& frame);
    // The exit status: 0 after "shutdown" then "exit", else 1.
    int exit_status() const { return shutdown_ ? 0 : 1; }
    const DiagnosticsWorker& worker() const { return *worker_; }

  private:
    void dispatch(const Json& message);
    Json request(const std::string& method, const Json& params);
    void notification(const std::string& method, const Json& params);

    Json initialize(const Json& params);
    void did_open(const Json& params);
    void did_change(const Json& params);
    void changed(const std::string& path);

    Json hover(const Json& params);
    Json definition(const Json& params);
    Json references(const Json& params);
    Json document_symbols(const Json& params);
    Json completion(const Json& params);
    Json rename(const Json& params);
    Json prepare_rename(const Json& params);

    // The document, the name under the position and the index of its group.
    struct At {
        Document doc;
        std::shared_ptr<const KnowledgeIndex> index;
        std::optional<std::string> name;
    };
    At at(const Json& params);
    Document document(const Json& params) const;
    std::shared_ptr<const KnowledgeIndex> index_of(const std::string& path);
    Json location(const Occurrence& o, const Group* g = nullptr);
    Json range_of(const std::string& path, int line, std::size_t start, std::size_t end);
    std::string text_of(const std::string& path);
    // Texts and lines of the files one request places ranges in.
    std::map<std::string, std::pair<std::string, LineIndex>> range_texts_;

    void publish_syntax(const Document& d);
    // A test-case file (*.TST): its reading errors and the names its base does not know, as
    // `zuva test` reports them before running.
    void publish_cases(const Document& d);
    // The edits that rename `from` to `to` in the test-case files beside the rule base that
    // run it.
    void rename_in_suites(const std::string& rule_path, const std::string& from, const std::string& to,
                          Json& changes);
    void publish_check(const Group& g, const CheckResult& r);
    Json diagnostic(const Finding& f, std::string_view text, const LineIndex& lines);
    void publish(const std::string& path, const Json& diagnostics);
    // The URI the client named the file by when it opened it, else one made from the path.
    std::string uri_of(const std::string& path);

    ServerOptions options_;
    Send send_;
    Encoding encoding_ = Encoding::Utf16;
    bool initialized_ = false;
    bool shutdown_ = false;
    Documents docs_;
    // The client's own URI of every document it opened, by path: echoed in what the server
    // sends about the file (a URI made anew may be spelt differently, and the client would
    // not know it).
    std::mutex uris_mutex_;
    std::map<std::string, std::string> uris_;
    // The last findings of the full check, by file, kept beside the reader's own on a change.
    std::mutex findings_mutex_;
    std::map<std::string, std::vector<Finding>> last_findings_;
    // The navigation index of each group, rebuilt when a text has changed since.
    std::uint64_t edits_ = 0;
    std::map<std::string, std::pair<std::uint64_t, std::shared_ptr<const KnowledgeIndex>>> indexes_;
    std::unique_ptr<DiagnosticsWorker> worker_;
    // The bases the open test-case files run, kept loaded between their edits.
    std::unique_ptr<testing::OpenedBases> case_bases_;
};

// Reads frames from `in_fd` and writes to `out_fd` until "exit" or the end of the input.
int run_server(int in_fd, int out_fd, ServerOptions options);
// The command line after "lsp".
int lsp_command(const std::vector<std::string>& args, const std::string& version);

}  // namespace zuva::lsp
