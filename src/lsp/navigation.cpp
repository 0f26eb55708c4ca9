// Hover, definition, references, the outline, completion and rename: each answered from the
// navigation index of the group of the document asked about.
#include <algorithm>
#include <set>

#include "kb/base_file_reader.h"
#include "lsp/server.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva::lsp {

namespace {

constexpr int kRequestFailed = -32803;

Json no_document() {
    return nullptr;
}

// The texts the rule and model languages give a meaning of their own.
bool special_name(const std::string& n) {
    return n == "koniec" || n == "bez warunku" || n == "bez_warunku";
}

// Why a name cannot be the new name of a condition or argument, or nullopt when it can: it
// must read back as one quoted text of a record and mean what the old name meant.
std::optional<std::string> refusal_of(const std::string& n) {
    const std::string quoted = tr("Nazwa '") + n + "' ";
    if (n.empty()) return tr("Nowa nazwa nie może być pusta.");
    if (special_name(n))
        return quoted + tr("ma w bazach znaczenie specjalne (") +
               std::string(n == "koniec" ? tr("wniosek kończący wnioskowanie")
                                         : tr("warunek zawsze spełniony")) +
               tr("): nazwa warunku nie może jej przyjąć.");
    for (unsigned char c : n) {
        if (c == ' ' || c == '\t')
            return quoted + tr("zawiera odstęp: nazwa warunku ani argumentu go nie zawiera.");
        if (c == ',') return quoted + tr("zawiera przecinek, który w rekordzie rozdziela pola.");
        if (c == '"' || c == '\\')
            return quoted + tr("zawiera cudzysłów lub ukośnik odwrotny, który kończy tekst rekordu.");
        if (c < 0x20) return quoted + tr("zawiera znak sterujący.");
    }
    for (BaseKind k : kBaseFileKinds) {
        const auto tables = table_names(k);
        if (std::find(tables.begin(), tables.end(), n) != tables.end())
            return quoted + tr("jest nazwą rekordu bazy: nazwa warunku nie może jej przyjąć.");
    }
    if (parse_real(n)) return quoted + tr("jest liczbą: w modelu byłaby stałą, nie argumentem.");
    return std::nullopt;
}

}  // namespace

Document Server::document(const Json& params) const {
    const std::string uri = params.at("textDocument").at("uri").get<std::string>();
    auto path = path_of_uri(uri);
    if (!path || !kind_of_file(*path))
        throw RequestError{kRequestFailed, "To nie jest plik bazy (RE*.BEN, MO*.BEN, ...): " + uri};
    if (auto d = docs_.get(*path)) return *d;
    // A base the editor has not opened is read from its file.
    Document d;
    d.uri = uri;
    d.path = *path;
    auto text = read_base_text(*path);
    if (!text) throw RequestError{kRequestFailed, tr("Nie można odczytać pliku ") + *path + "."};
    d.text = *text;
    return d;
}

std::shared_ptr<const KnowledgeIndex> Server::index_of(const std::string& path) {
    const std::string key = group_key(path);
    auto it = indexes_.find(key);
    if (it != indexes_.end() && it->second.first == edits_) return it->second.second;
    auto index = std::make_shared<const KnowledgeIndex>(docs_.group_of(path));
    indexes_[key] = {edits_, index};
    return index;
}

Server::At Server::at(const Json& params) {
    At a{document(params), nullptr, std::nullopt};
    a.index = index_of(a.doc.path);
    const Json& p = params.at("position");
    Position pos{p.at("line").get<int>(), p.at("character").get<int>()};
    LineIndex lines(a.doc.text);
    const std::size_t offset = lines.offset(a.doc.text, pos, encoding_);
    a.name = a.index->name_at(a.doc.path, pos.line, offset - lines.line_start(pos.line));
    return a;
}

Json Server::range_of(const std::string& path, int line, std::size_t start, std::size_t end) {
    auto it = range_texts_.find(path);
    if (it == range_texts_.end()) {
        std::string text = text_of(path);
        LineIndex lines(text);
        it = range_texts_.emplace(path, std::make_pair(std::move(text), std::move(lines))).first;
    }
    const std::string_view l = it->second.second.line(it->second.first, line);
    return {
        {"start", {{"line", line}, {"character", units(l.substr(0, std::min(start, l.size())), encoding_)}}},
        {"end", {{"line", line}, {"character", units(l.substr(0, std::min(end, l.size())), encoding_)}}}};
}

Json Server::location(const Occurrence& o, const Group*) {
    return {{"uri", uri_of(o.path)}, {"range", range_of(o.path, o.line, o.start, o.end)}};
}

Json Server::hover(const Json& params) {
    At a = at(params);
    if (!a.name) return no_document();
    const Json& p = params.at("position");
    Json result = {{"contents", {{"kind", "markdown"}, {"value", a.index->describe(*a.name)}}}};
    for (const auto& o : *a.index->occurrences(*a.name))
        if (o.path == a.doc.path && o.line == p.at("line").get<int>()) {
            result["range"] = range_of(o.path, o.line, o.start, o.end);
            break;
        }
    return result;
}

Json Server::definition(const Json& params) {
    At a = at(params);
    Json out = Json::array();
    if (!a.name) return out;
    const auto& occ = *a.index->occurrences(*a.name);
    // The rules and models that conclude it; for a name nothing concludes, where it is given.
    for (Role wanted : {Role::Concluded, Role::Declared}) {
        for (const auto& o : occ)
            if (o.role == wanted || (wanted == Role::Concluded && o.role == Role::Computed))
                out.push_back(location(o));
        if (!out.empty()) break;
    }
    return out;
}

Json Server::references(const Json& params) {
    At a = at(params);
    Json out = Json::array();
    if (!a.name) return out;
    bool declarations = true;
    if (auto c = params.find("context"); c != params.end() && c->is_object())
        declarations = c->value("includeDeclaration", true);
    for (const auto& o : *a.index->occurrences(*a.name))
        if (declarations || o.role == Role::Used) out.push_back(location(o));
    return out;
}

Json Server::document_symbols(const Json& params) {
    Document d = document(params);
    auto index = index_of(d.path);
    LineIndex lines(d.text);
    Json out = Json::array();
    for (const auto& s : index->outline(d.path)) {
        const std::string_view l = lines.line(d.text, s.line);
        Json range = {{"start", {{"line", s.line}, {"character", 0}}},
                      {"end", {{"line", s.line}, {"character", units(l, encoding_)}}}};
        out.push_back({{"name", s.name},
                       {"detail", s.detail},
                       {"kind", s.kind},
                       {"range", range},
                       {"selectionRange", range}});
    }
    return out;
}

Json Server::completion(const Json& params) {
    Document d = document(params);
    auto index = index_of(d.path);
    Json items = Json::array();
    for (const auto& [name, occ] : index->names())
        items.push_back({{"label", name}, {"kind", 6}, {"detail", "warunek lub argument"}});
    if (auto kind = kind_of_file(d.path))
        for (const auto& t : table_names(*kind))
            items.push_back({{"label", t}, {"kind", 14}, {"detail", "rekord bazy"}});
    return {{"isIncomplete", false}, {"items", items}};
}

Json Server::prepare_rename(const Json& params) {
    At a = at(params);
    if (!a.name) throw RequestError{kRequestFailed, "Tu nie ma nazwy warunku ani argumentu."};
    const int line = params.at("position").at("line").get<int>();
    for (const auto& o : *a.index->occurrences(*a.name))
        if (o.path == a.doc.path && o.line == line)
            return {{"range", range_of(o.path, o.line, o.start, o.end)}, {"placeholder", *a.name}};
    return nullptr;
}

Json Server::rename(const Json& params) {
    At a = at(params);
    if (!a.name) throw RequestError{kRequestFailed, "Tu nie ma nazwy warunku ani argumentu."};
    const std::string to = params.at("newName").get<std::string>();
    if (auto why = refusal_of(to)) throw RequestError{kRequestFailed, *why};
    if (to == *a.name) return {{"changes", Json::object()}};
    if (a.index->known(to))
        throw RequestError{kRequestFailed, tr("Nazwa '") + to +
                                               tr("' jest już używana w bazach o nazwie wyróżniającej ") +
                                               docs_.group_of(a.doc.path).wyroznik + "."};
    Json changes = Json::object();
    for (const auto& o : *a.index->occurrences(*a.name))
        changes[uri_of(o.path)].push_back(
            {{"range", range_of(o.path, o.line, o.start, o.end)}, {"newText", to}});
    const Group g = docs_.group_of(a.doc.path);
    if (!g.rule_path.empty()) rename_in_suites(g.rule_path, *a.name, to, changes);
    return {{"changes", changes}};
}

}  // namespace zuva::lsp
