// File reading and path helpers through std::filesystem and streams; failures are results,
// not exceptions. Writing is in file_replace.cpp.
#include "text/file_io.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "text/file_confine.h"

namespace zuva {

namespace {
// The real path of the confinement root, with a trailing '/'; empty when not confined. The
// real paths of the own folders, each with a trailing '/'.
std::string g_confined_root;
std::vector<std::string> g_own_folders;

std::string real_folder(const std::string& dir) {
    std::error_code ec;
    std::string real = std::filesystem::canonical(dir, ec).string();
    if (ec) real = std::filesystem::absolute(dir, ec).lexically_normal().string();
    if (real.empty() || real.back() != '/') real += '/';
    return real;
}

bool under(const std::string& real, const std::string& folder) {
    return real.size() > folder.size() && real.compare(0, folder.size(), folder) == 0;
}

bool in_own_folder(const std::string& real) {
    for (const auto& f : g_own_folders)
        if (under(real, f)) return true;
    return false;
}

}  // namespace

void confine_files(const std::string& root, const std::vector<std::string>& own_folders) {
    g_confined_root = real_folder(root);
    g_own_folders.clear();
    for (const auto& f : own_folders)
        g_own_folders.push_back(real_folder(f));
}

void release_files() {
    g_confined_root.clear();
    g_own_folders.clear();
}

bool file_access_allowed(const std::string& path) {
    if (g_confined_root.empty()) return true;
    std::error_code ec;
    const std::string real = std::filesystem::canonical(path, ec).string();
    if (ec) return false;
    return under(real, g_confined_root) || in_own_folder(real);
}

bool file_write_allowed(const std::string& path) {
    if (g_confined_root.empty()) return true;
    if (g_own_folders.empty()) return false;
    // The folder's real path (the file itself may not exist yet, and is never a link here).
    const std::filesystem::path p(path);
    if (p.filename() == ".." || p.filename() == "." || p.filename().empty()) return false;
    std::error_code ec;
    const std::string folder =
        std::filesystem::canonical(p.parent_path().empty() ? "." : p.parent_path(), ec).string();
    if (ec) return false;
    return in_own_folder(folder + "/" + p.filename().string());
}

bool files_confined() {
    return !g_confined_root.empty();
}

std::optional<std::string> read_file_bytes(const std::string& path) {
    if (!file_access_allowed(path)) return std::nullopt;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string data;
    in.seekg(0, std::ios::end);
    auto size = in.tellg();
    if (size > 0) {
        data.resize(static_cast<size_t>(size));
        in.seekg(0);
        in.read(data.data(), size);
        if (!in) return std::nullopt;
    }
    return data;
}

bool file_exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

bool remove_file(const std::string& path) {
    if (!file_write_allowed(path)) return false;
    std::error_code ec;
    return std::filesystem::remove(path, ec);
}

std::string directory_of(const std::string& path) {
    auto p = std::filesystem::path(path).parent_path().string();
    return p;
}

std::string short_name_of(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::string stem_of(const std::string& path) {
    return std::filesystem::path(path).stem().string();
}

std::string resolve_path(const std::string& dir, const std::string& path) {
    if (path.empty()) return path;
    std::filesystem::path p(path);
    if (p.is_absolute() || dir.empty()) return p.lexically_normal().string();
    return (std::filesystem::path(dir) / p).lexically_normal().string();
}

std::string native_separators(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

}  // namespace zuva
