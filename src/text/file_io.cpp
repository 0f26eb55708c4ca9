// File reading and path helpers through std::filesystem and streams; failures are results,
// not exceptions. Writing is in file_replace.cpp.
#include "text/file_io.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "text/file_confine.h"

namespace zuva {

namespace {
// The real path of the confinement root, with a trailing '/'; empty when not confined.
std::string g_confined_root;
}  // namespace

void confine_files(const std::string& root) {
    std::error_code ec;
    std::string real = std::filesystem::canonical(root, ec).string();
    if (ec) real = std::filesystem::absolute(root, ec).lexically_normal().string();
    if (real.empty() || real.back() != '/') real += '/';
    g_confined_root = real;
}

void release_files() {
    g_confined_root.clear();
}

bool file_access_allowed(const std::string& path) {
    if (g_confined_root.empty()) return true;
    std::error_code ec;
    const std::string real = std::filesystem::canonical(path, ec).string();
    if (ec) return false;
    return real.size() > g_confined_root.size() &&
           real.compare(0, g_confined_root.size(), g_confined_root) == 0;
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
    if (files_confined()) return false;
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
