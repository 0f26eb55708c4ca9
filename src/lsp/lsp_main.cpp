// The input loop of `zuva lsp`: bytes from standard input through the frame parser to the
// server, answers written whole under one lock (the worker thread writes too).
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iostream>
#include <mutex>

#include "lsp/server.h"
#include "text/i18n.h"

namespace zuva::lsp {

namespace {

bool write_all(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

const char* const kUsage =
    N_("Użycie: zuva lsp [--debounce MS]\n"
       "  Serwer języka (Language Server Protocol) dla plików baz: komunikaty JSON-RPC na\n"
       "  standardowym wejściu i wyjściu. --debounce: pauza w pisaniu (ms, domyślnie 300),\n"
       "  po której bazy tej samej nazwy wyróżniającej są sprawdzane w całości.\n");

}  // namespace

int run_server(int in_fd, int out_fd, ServerOptions options) {
    // A client gone away is seen as a failed write, not as a signal that ends the process.
    std::signal(SIGPIPE, SIG_IGN);
    std::mutex out_mutex;
    Server server(std::move(options), [&](const Json& message) {
        const std::string body = message.dump(-1, ' ', false, Json::error_handler_t::replace);
        std::lock_guard lock(out_mutex);
        write_all(out_fd, "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
    });
    FrameParser parser;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(in_fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        parser.feed(std::string_view(buf, static_cast<std::size_t>(n)));
        while (auto frame = parser.next())
            if (!server.handle(*frame)) return server.exit_status();
    }
    if (auto cut = parser.finish()) server.handle(*cut);
    return server.exit_status();
}

int lsp_command(const std::vector<std::string>& args, const std::string& version) {
    ServerOptions o;
    o.version = version;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--debounce" && i + 1 < args.size()) {
            try {
                o.debounce = std::chrono::milliseconds(std::stoi(args[++i]));
            } catch (const std::exception&) {
                std::cerr << tr("zuva lsp: błędna wartość --debounce\n") << tr(kUsage);
                return 2;
            }
        } else if (args[i] == "--help" || args[i] == "-h") {
            std::cout << tr(kUsage);
            return 0;
        } else if (args[i] == "--stdio") {
            // What editors add by habit: standard input and output are the only channel.
        } else {
            std::cerr << tr("zuva lsp: nieznany argument '") << args[i] << "'\n" << tr(kUsage);
            return 2;
        }
    }
    return run_server(STDIN_FILENO, STDOUT_FILENO, o);
}

}  // namespace zuva::lsp
