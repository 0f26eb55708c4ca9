// A base group is offered only when every one of its base files lies under the served
// folder: a link that leads out of it leaves the group out.
#include "web/catalog.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "kb/base_files.h"
#include "shell/base_group.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/path_lookup.h"

namespace zuva::web {

namespace fs = std::filesystem;

namespace {

std::string real_path(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::canonical(path, ec);
    return ec ? std::string() : p.string();
}

std::string description_of(const Catalog& c, const std::string& rule_path, const std::string& name) {
    const std::string path = find_path_nocase(directory_of(rule_path), "../OPISY/" + name + ".OPI");
    if (!c.inside(path)) return {};
    auto bytes = read_file_bytes(path);
    if (!bytes) return {};
    auto text = decode_file_text(*bytes);
    return text ? *text : std::string();
}

}  // namespace

bool Catalog::inside(const std::string& path) const {
    const std::string real = real_path(path);
    return !real.empty() && real.size() > root_.size() && real.compare(0, root_.size(), root_) == 0;
}

const BaseEntry* Catalog::find(const std::string& id) const {
    for (const auto& b : bases_)
        if (b.id == id) return &b;
    return nullptr;
}

Catalog Catalog::scan(const std::string& root, std::vector<std::string>& skipped) {
    Catalog c;
    c.root_ = real_path(root);
    if (c.root_.empty()) {
        skipped.push_back(root + ": nie ma takiego katalogu");
        return c;
    }
    if (c.root_.back() != '/') c.root_ += '/';
    std::vector<std::string> rule_files;
    std::error_code ec;
    for (auto it =
             fs::recursive_directory_iterator(c.root_, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!mask_matches_nocase("RE*.BEN", name)) continue;
        std::error_code fec;
        if (!it->is_regular_file(fec)) continue;
        rule_files.push_back(it->path().string());
    }
    std::sort(rule_files.begin(), rule_files.end());
    for (const auto& path : rule_files) {
        const std::string id = fs::path(path).lexically_relative(fs::path(c.root_)).generic_string();
        std::vector<std::string> group{path};
        for (const auto& l : kSiblingLoads)
            if (auto sibling = sibling_base(path, l.kind)) group.push_back(*sibling);
        auto outside =
            std::find_if(group.begin(), group.end(), [&](const std::string& f) { return !c.inside(f); });
        if (outside != group.end()) {
            skipped.push_back(id + ": plik " + fs::path(*outside).filename().string() +
                              " prowadzi poza katalog baz");
            continue;
        }
        try {
            BaseEntry e{id, {}, {}, {}, {}, api::KnowledgeBase::open(path), nullptr};
            e.live = std::make_shared<LiveBase>(e.kb);
            const std::string short_name = fs::path(path).filename().string();
            e.name = to_lower_pl(split_distinguishing_name(short_name).first);
            e.files = e.kb.files();
            e.description = description_of(c, path, to_upper_pl(e.name));
            std::set<std::string> seen;
            for (int type : {1, 2})
                for (auto& h : e.kb.hypotheses(type))
                    if (seen.insert(h).second) e.hypotheses.push_back(h);
            c.bases_.push_back(std::move(e));
        } catch (const api::Error& err) {
            skipped.push_back(id + ": " + err.what());
        }
    }
    return c;
}

namespace {

// The time of modification and size of every file, or that it is gone.
std::string state_of(const std::vector<std::string>& files) {
    std::string out;
    for (const auto& f : files) {
        std::error_code ec;
        const auto time = fs::last_write_time(f, ec);
        const auto size = ec ? 0 : fs::file_size(f, ec);
        out += ec ? std::string("-")
                  : std::to_string(time.time_since_epoch().count()) + "/" + std::to_string(size);
        out += ';';
    }
    return out;
}

}  // namespace

api::KnowledgeBase LiveBase::current() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!kb_.changed_on_disk()) return kb_;
    const std::string now = state_of(kb_.files());
    if (now == failed_state_) throw api::Error(failed_reason_);
    try {
        kb_ = kb_.reload();
        failed_state_.clear();
    } catch (const api::Error& e) {
        failed_state_ = now;
        failed_reason_ = e.message();
        throw;
    }
    return kb_;
}

}  // namespace zuva::web
