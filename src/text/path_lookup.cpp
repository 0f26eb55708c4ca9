// Names on disk are UTF-8; they are compared through the same lower-case mapping as the
// program's texts, so "DŹWIĘKI" finds "dźwięki".
#include "text/path_lookup.h"

#include <algorithm>
#include <filesystem>

#include "text/codec.h"

namespace zuva {
namespace fs = std::filesystem;

namespace {

bool match(std::string_view mask, std::string_view name) {
    if (mask.empty()) return name.empty();
    if (mask[0] == '*') {
        for (size_t i = 0; i <= name.size(); ++i)
            if (match(mask.substr(1), name.substr(i))) return true;
        return false;
    }
    if (name.empty()) return false;
    if (mask[0] == '?') {
        size_t len = 1;
        while (len < name.size() && (static_cast<unsigned char>(name[len]) & 0xC0) == 0x80)
            ++len;
        return match(mask.substr(1), name.substr(len));
    }
    return mask[0] == name[0] && match(mask.substr(1), name.substr(1));
}

}  // namespace

bool mask_matches_nocase(std::string_view mask, std::string_view name) {
    return match(to_lower_pl(mask), to_lower_pl(name));
}

std::string find_path_nocase(const std::string& dir, const std::string& relative) {
    fs::path cur = dir.empty() ? fs::path(".") : fs::path(dir);
    size_t pos = 0;
    while (pos <= relative.size()) {
        size_t slash = relative.find('/', pos);
        std::string part = relative.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
        pos = slash == std::string::npos ? relative.size() + 1 : slash + 1;
        if (part.empty()) continue;
        std::error_code ec;
        if (part == "." || part == ".." || fs::exists(cur / part, ec)) {
            cur /= part;
            continue;
        }
        const std::string want = to_lower_pl(part);
        std::string found;
        for (const auto& e : fs::directory_iterator(cur, ec)) {
            std::string n = e.path().filename().string();
            if (to_lower_pl(n) == want && (found.empty() || n < found)) found = n;
        }
        cur /= found.empty() ? part : found;
    }
    return cur.lexically_normal().string();
}

std::vector<std::string> files_matching_nocase(const std::string& dir, std::string_view mask) {
    std::vector<std::string> names;
    const std::string lmask = to_lower_pl(mask);
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        std::error_code ec2;
        if (!e.is_regular_file(ec2)) continue;
        std::string n = e.path().filename().string();
        if (match(lmask, to_lower_pl(n))) names.push_back(n);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool is_directory(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

}  // namespace zuva
