// The life of the server (initialize, shutdown, exit), the text of the documents and the
// diagnostics: the reader's syntax error at once on every change, the full check of the
// group from the worker after the pause.
#include "lsp/server.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "testing/case_run.h"
#include "text/i18n.h"

namespace zuva::lsp {

namespace {

enum ErrorCode : int {
    kParseError = -32700,
    kInvalidRequest = -32600,
    kMethodNotFound = -32601,
    kInvalidParams = -32602,
    kInternalError = -32603,
    kServerNotInitialized = -32002,
    kRequestFailed = -32803,
};

Json error_answer(const Json& id, int code, const std::string& message) {
    return Json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}};
}

}  // namespace

Server::Server(ServerOptions options, Send send) : options_(std::move(options)), send_(std::move(send)) {
    worker_ = std::make_unique<DiagnosticsWorker>(
        docs_, options_.debounce, [this](const Group& g, const CheckResult& r) { publish_check(g, r); });
}

Server::~Server() {
    worker_.reset();
}

bool Server::handle(const Frame& frame) {
    if (frame.error) {
        send_(error_answer(nullptr, kParseError, frame.body));
        return true;
    }
    Json message = Json::parse(frame.body, nullptr, false);
    if (message.is_discarded()) {
        send_(error_answer(nullptr, kParseError, tr("Treść komunikatu nie jest poprawnym tekstem JSON.")));
        return true;
    }
    if (!message.is_object()) {
        send_(error_answer(nullptr, kInvalidRequest, tr("Komunikat musi być obiektem JSON.")));
        return true;
    }
    if (message.contains("method") && message["method"] == "exit") return false;
    dispatch(message);
    return true;
}

void Server::dispatch(const Json& message) {
    const bool has_id = message.contains("id");
    const Json id = has_id ? message["id"] : Json(nullptr);
    if (has_id && !id.is_number_integer() && !id.is_string() && !id.is_null()) {
        send_(error_answer(nullptr, kInvalidRequest, tr("Błędny identyfikator żądania.")));
        return;
    }
    auto method = message.find("method");
    if (method == message.end()) return;  // an answer to a request of ours: none is sent
    if (!method->is_string()) {
        if (has_id) send_(error_answer(id, kInvalidRequest, tr("Nazwa metody musi być tekstem.")));
        return;
    }
    const std::string name = *method;
    const Json params = message.value("params", Json::object());
    if (!has_id) {
        try {
            notification(name, params);
        } catch (const std::exception&) {
            // A notification has no answer; one with bad parameters is dropped.
        }
        return;
    }
    range_texts_.clear();
    try {
        Json result = request(name, params);
        send_(Json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}});
    } catch (const RequestError& e) {
        send_(error_answer(id, e.code, e.message));
    } catch (const Json::exception& e) {
        send_(error_answer(id, kInvalidParams, std::string(tr("Błędne parametry: ")) + e.what()));
    } catch (const std::exception& e) {
        send_(error_answer(id, kInternalError, e.what()));
    }
}

Json Server::request(const std::string& method, const Json& params) {
    if (method == "initialize") return initialize(params);
    if (!initialized_) throw RequestError{kServerNotInitialized, tr("Serwer nie został zainicjowany.")};
    if (shutdown_) throw RequestError{kInvalidRequest, tr("Serwer kończy pracę.")};
    if (method == "shutdown") {
        shutdown_ = true;
        return nullptr;
    }
    if (method == "textDocument/hover") return hover(params);
    if (method == "textDocument/definition") return definition(params);
    if (method == "textDocument/references") return references(params);
    if (method == "textDocument/documentSymbol") return document_symbols(params);
    if (method == "textDocument/completion") return completion(params);
    if (method == "textDocument/rename") return rename(params);
    if (method == "textDocument/prepareRename") return prepare_rename(params);
    throw RequestError{kMethodNotFound, "Nieznana metoda: " + method};
}

void Server::notification(const std::string& method, const Json& params) {
    if (!initialized_ || shutdown_) return;
    if (method == "textDocument/didOpen") {
        did_open(params);
    } else if (method == "textDocument/didChange") {
        did_change(params);
    } else if (method == "textDocument/didClose") {
        if (auto path = path_of_uri(params.at("textDocument").at("uri").get<std::string>())) {
            docs_.close(*path);
            changed(*path);
        }
    } else if (method == "textDocument/didSave") {
        if (auto path = path_of_uri(params.at("textDocument").at("uri").get<std::string>())) changed(*path);
    } else if (method == "workspace/didChangeWatchedFiles") {
        for (const auto& c : params.at("changes"))
            if (auto path = path_of_uri(c.at("uri").get<std::string>()))
                if (kind_of_file(*path)) changed(*path);
    }
}

Json Server::initialize(const Json& params) {
    if (initialized_) throw RequestError{kInvalidRequest, tr("Serwer został już zainicjowany.")};
    // The first position encoding the client offers that the server counts in.
    if (auto general = params.find("capabilities"); general != params.end() && general->is_object()) {
        auto g = general->find("general");
        if (g != general->end() && g->is_object() && g->contains("positionEncodings")) {
            for (const auto& e : (*g)["positionEncodings"]) {
                if (!e.is_string()) continue;
                if (e == "utf-16") break;
                if (e == "utf-8") {
                    encoding_ = Encoding::Utf8;
                    break;
                }
                if (e == "utf-32") {
                    encoding_ = Encoding::Utf32;
                    break;
                }
            }
        }
    }
    initialized_ = true;
    Json sync = {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}};
    Json capabilities = {
        {"positionEncoding", encoding_name(encoding_)},
        {"textDocumentSync", sync},
        {"hoverProvider", true},
        {"definitionProvider", true},
        {"referencesProvider", true},
        {"documentSymbolProvider", true},
        {"completionProvider", {{"triggerCharacters", {"\"", ",", "["}}}},
        {"renameProvider", {{"prepareProvider", true}}},
    };
    return {{"capabilities", capabilities},
            {"serverInfo", {{"name", "zuva"}, {"version", options_.version}}}};
}

void Server::did_open(const Json& params) {
    const Json& td = params.at("textDocument");
    Document d;
    d.uri = td.at("uri").get<std::string>();
    auto path = path_of_uri(d.uri);
    if (!path) return;
    d.path = *path;
    d.text = td.at("text").get<std::string>();
    d.version = td.value("version", 0);
    {
        std::lock_guard lock(uris_mutex_);
        uris_[d.path] = d.uri;
    }
    docs_.open(d);
    changed(d.path);
}

void Server::did_change(const Json& params) {
    const Json& td = params.at("textDocument");
    auto doc = docs_.by_uri(td.at("uri").get<std::string>());
    if (!doc) return;
    std::string text = doc->text;
    for (const auto& c : params.at("contentChanges")) {
        const std::string with = c.at("text").get<std::string>();
        if (!c.contains("range")) {
            text = with;
            continue;
        }
        const Json& r = c.at("range");
        Position b{r.at("start").at("line").get<int>(), r.at("start").at("character").get<int>()};
        Position e{r.at("end").at("line").get<int>(), r.at("end").at("character").get<int>()};
        apply_change(text, b, e, with, encoding_);
    }
    docs_.update(doc->path, text, td.value("version", doc->version + 1));
    changed(doc->path);
}

void Server::changed(const std::string& path) {
    ++edits_;
    if (is_case_file(path)) {
        if (auto d = docs_.get(path)) publish_cases(*d);
        return;
    }
    if (!kind_of_file(path)) return;
    // The full check of the older text is cancelled first, so that it cannot publish over
    // the diagnostics of this one.
    worker_->schedule(path);
    if (auto d = docs_.get(path)) publish_syntax(*d);
}

std::string Server::text_of(const std::string& path) {
    if (auto d = docs_.get(path)) return d->text;
    return read_base_text(path).value_or(std::string());
}

Json Server::diagnostic(const Finding& f, std::string_view text, const LineIndex& lines) {
    const int line = std::max(0, f.line - 1);
    const std::string_view l = lines.line(text, line);
    const std::size_t b = byte_of_char_column(l, std::max(0, f.column - 1));
    Json range = {{"start", {{"line", line}, {"character", units(l.substr(0, b), encoding_)}}},
                  {"end", {{"line", line}, {"character", units(l, encoding_)}}}};
    if (b >= l.size()) range["end"]["character"] = units(l.substr(0, b), encoding_) + 1;
    return {{"range", range},
            {"severity", f.error ? 1 : 2},
            {"source", "zuva"},
            {"code", f.kind},
            {"message", f.message}};
}

std::string Server::uri_of(const std::string& path) {
    std::lock_guard lock(uris_mutex_);
    auto it = uris_.find(path);
    return it != uris_.end() ? it->second : uri_of_path(path);
}

void Server::publish(const std::string& path, const Json& diagnostics) {
    send_({{"jsonrpc", "2.0"},
           {"method", "textDocument/publishDiagnostics"},
           {"params", {{"uri", uri_of(path)}, {"diagnostics", diagnostics}}}});
}

void Server::publish_syntax(const Document& d) {
    Json list = Json::array();
    const auto kind = kind_of_file(d.path);
    const LineIndex lines(d.text);
    if (auto f = syntax_finding(*kind, d.text, d.path)) list.push_back(diagnostic(*f, d.text, lines));
    // The findings of the last full check stay until the next one replaces them.
    std::lock_guard lock(findings_mutex_);
    for (const auto& f : last_findings_[d.path])
        if (f.kind != "syntax") list.push_back(diagnostic(f, d.text, lines));
    publish(d.path, list);
}

void Server::publish_check(const Group& g, const CheckResult& r) {
    std::map<std::string, std::vector<Finding>> by_file;
    for (const auto& f : g.files)
        by_file[f.path];
    for (const auto& f : r.findings)
        by_file[std::filesystem::path(f.file).lexically_normal().string()].push_back(f);
    for (const auto& [path, findings] : by_file) {
        std::string text;
        for (const auto& f : g.files)
            if (f.path == path) text = f.text;
        Json list = Json::array();
        const LineIndex lines(text);
        for (const auto& f : findings)
            list.push_back(diagnostic(f, text, lines));
        {
            std::lock_guard lock(findings_mutex_);
            last_findings_[path] = findings;
        }
        publish(path, list);
    }
}

}  // namespace zuva::lsp
