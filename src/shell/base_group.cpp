// A sibling's name is the kind's prefix, the rule base's distinguishing name and ".BEN",
// compared without regard to case.
#include "shell/base_group.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "kb/base_files.h"
#include "text/codec.h"
#include "text/file_io.h"

namespace zuva {

std::optional<std::string> sibling_base(const std::string& rule_full, BaseKind kind) {
    namespace fs = std::filesystem;
    const std::string dir = directory_of(rule_full);
    const std::string wyroznik = split_distinguishing_name(short_name_of(rule_full)).first;
    const std::string prefix = to_lower_pl(kind_info(kind).prefix);
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        std::error_code ec2;
        if (!e.is_regular_file(ec2)) continue;
        std::string name = e.path().filename().string();
        std::string lname = to_lower_pl(name);
        if (lname.compare(0, prefix.size(), prefix) != 0) continue;
        // The name is split after its prefix (two characters, "DŹ" included).
        auto [w, ext] = split_distinguishing_name(name);
        if (w != wyroznik || to_lower_pl(ext) != ".ben") continue;
        found.push_back(e.path().string());
    }
    if (found.empty()) return std::nullopt;
    std::sort(found.begin(), found.end());
    return found.front();
}

}  // namespace zuva
