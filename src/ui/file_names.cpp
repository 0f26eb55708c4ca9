// Extensions added by save dialogs; see the header.
#include "ui/file_names.h"

namespace zuva {

std::string mask_extension(std::string_view mask) {
    while (!mask.empty() && mask.front() == ' ')
        mask.remove_prefix(1);
    while (!mask.empty() && mask.back() == ' ')
        mask.remove_suffix(1);
    if (mask.size() < 3 || mask.substr(0, 2) != "*.") return {};
    if (mask.find_first_of("*?;, ", 2) != std::string_view::npos) return {};
    return std::string(mask.substr(1));
}

std::string with_mask_extension(std::string_view path, std::string_view mask) {
    const std::string ext = mask_extension(mask);
    std::string out(path);
    if (ext.empty() || out.empty()) return out;
    const std::size_t slash = out.find_last_of("/\\");
    const std::string_view name = std::string_view(out).substr(slash == std::string::npos ? 0 : slash + 1);
    if (name.empty() || name.find('.') != std::string_view::npos) return out;
    return out + ext;
}

}  // namespace zuva
