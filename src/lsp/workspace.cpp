// The bases of a name are found as `zuva check` finds them (the same sibling lookup), with
// the buffers of the editor counted as files that may not be saved yet.
#include "lsp/workspace.h"

#include <cctype>
#include <filesystem>

#include "kb/base_files.h"
#include "kb/sibling_bases.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/percent_decode.h"

namespace zuva::lsp {

namespace {}  // namespace

std::optional<std::string> path_of_uri(const std::string& uri) {
    const std::string scheme = "file://";
    if (uri.compare(0, scheme.size(), scheme) != 0) return std::nullopt;
    const std::string p = percent_decode(std::string_view(uri).substr(scheme.size()), false);
    if (p.empty() || p[0] != '/') return std::nullopt;  // file://host/... is not a local file
    return std::filesystem::path(p).lexically_normal().string();
}

std::string uri_of_path(const std::string& path) {
    static const char* digits = "0123456789ABCDEF";
    std::string u = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            u += static_cast<char>(c);
        } else {
            u += '%';
            u += digits[c >> 4];
            u += digits[c & 15];
        }
    }
    return u;
}

bool is_case_file(const std::string& path) {
    const std::string name = to_lower_pl(short_name_of(path));
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".tst") == 0;
}

std::optional<BaseKind> kind_of_file(const std::string& path) {
    const std::string name = to_lower_pl(short_name_of(path));
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".ben") != 0) return std::nullopt;
    for (BaseKind k : kBaseFileKinds) {
        const std::string prefix = to_lower_pl(kind_info(k).prefix);
        if (name.compare(0, prefix.size(), prefix) == 0 && name.size() > prefix.size() + 4) return k;
    }
    return std::nullopt;
}

std::optional<std::string> read_base_text(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > (64u << 20)) return std::nullopt;
    auto bytes = read_file_bytes(path);
    return bytes ? decode_file_text(*bytes) : std::nullopt;
}

void Documents::open(Document d) {
    std::lock_guard lock(mutex_);
    docs_[d.path] = std::move(d);
}

bool Documents::update(const std::string& path, const std::string& text, int version) {
    std::lock_guard lock(mutex_);
    auto it = docs_.find(path);
    if (it == docs_.end()) return false;
    it->second.text = text;
    it->second.version = version;
    return true;
}

void Documents::close(const std::string& path) {
    std::lock_guard lock(mutex_);
    docs_.erase(path);
}

std::optional<Document> Documents::get(const std::string& path) const {
    std::lock_guard lock(mutex_);
    auto it = docs_.find(path);
    if (it == docs_.end()) return std::nullopt;
    return it->second;
}

std::optional<Document> Documents::by_uri(const std::string& uri) const {
    auto path = path_of_uri(uri);
    if (!path) return std::nullopt;
    return get(*path);
}

std::map<std::string, std::string> Documents::texts() const {
    std::lock_guard lock(mutex_);
    std::map<std::string, std::string> out;
    for (const auto& [path, d] : docs_)
        if (kind_of_file(path)) out.emplace(path, d.text);
    return out;
}

Group Documents::group_of(const std::string& path) const {
    const auto open = texts();
    const std::string dir = directory_of(path);
    Group g;
    g.wyroznik = split_distinguishing_name(short_name_of(path)).first;
    // The base of a kind: the file beside, else a buffer of the name not saved yet.
    auto base_of = [&](BaseKind kind) -> std::optional<std::string> {
        if (kind_of_file(path) == kind) return path;
        if (auto on_disk = sibling_base(path, kind))
            return std::filesystem::path(*on_disk).lexically_normal().string();
        for (const auto& [p, text] : open)
            if (directory_of(p) == dir && kind_of_file(p) == kind &&
                split_distinguishing_name(short_name_of(p)).first == g.wyroznik)
                return p;
        return std::nullopt;
    };
    for (BaseKind k : kBaseFileKinds) {
        auto p = base_of(k);
        if (!p) continue;
        GroupFile f{k, *p, {}, false};
        if (auto it = open.find(*p); it != open.end()) {
            f.text = it->second;
            f.open = true;
        } else {
            auto text = read_base_text(*p);
            if (!text) continue;
            f.text = std::move(*text);
        }
        if (k == BaseKind::Rules) g.rule_path = *p;
        g.files.push_back(std::move(f));
    }
    g.key = g.rule_path.empty() ? dir + "/" + g.wyroznik : g.rule_path;
    return g;
}

}  // namespace zuva::lsp
