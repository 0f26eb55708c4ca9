// File reading and path helpers through std::filesystem and streams; failures are results,
// not exceptions. Writing is in file_replace.cpp.
#include "text/file_io.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
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
// Descriptors of the root and the own folders (opened at confinement), and the names each
// is reached by (its real path and the path as given): a confined file is opened relative
// to the descriptor of the folder it lies in, never by its whole name, so a link swapped
// in after a check cannot lead the open out of the folder.
struct Folder {
    int fd = -1;
    std::vector<std::string> names;  // each with a trailing '/'
};
std::vector<Folder> g_folders;

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

Folder open_folder(const std::string& dir) {
    Folder f;
    f.fd = ::open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    f.names.push_back(real_folder(dir));
    std::error_code ec;
    std::string given = std::filesystem::absolute(dir, ec).lexically_normal().string();
    if (given.empty() || given.back() != '/') given += '/';
    if (given != f.names.front()) f.names.push_back(given);
    return f;
}

// Opens `rel` (relative, no "..") beneath the folder `dir`, following no link out of it:
// openat2 with RESOLVE_BENEATH where the kernel has it, else one component at a time with
// O_NOFOLLOW (no link followed at all).
int open_beneath(int dir, const std::string& rel) {
    open_how how{};
    how.flags = O_RDONLY | O_CLOEXEC;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    const long fd = ::syscall(SYS_openat2, dir, rel.c_str(), &how, sizeof how);
    if (fd >= 0 || errno != ENOSYS) return static_cast<int>(fd);
    int at = ::dup(dir);
    std::size_t from = 0;
    while (at >= 0) {
        const std::size_t slash = rel.find('/', from);
        const std::string part =
            rel.substr(from, slash == std::string::npos ? std::string::npos : slash - from);
        const bool last = slash == std::string::npos;
        const int next = part.empty() || part == "."
                             ? ::dup(at)
                             : ::openat(at, part.c_str(),
                                        (last ? O_RDONLY : O_PATH | O_DIRECTORY) | O_NOFOLLOW | O_CLOEXEC);
        ::close(at);
        at = next;
        if (last) break;
        from = slash + 1;
    }
    return at;
}

// The descriptor of a confined file to read, or -1.
int open_confined(const std::string& path) {
    std::error_code ec;
    const std::string full = std::filesystem::absolute(path, ec).lexically_normal().string();
    if (ec) return -1;
    for (const Folder& f : g_folders) {
        for (const std::string& name : f.names) {
            if (f.fd < 0 || !under(full, name)) continue;
            const std::string rel = full.substr(name.size());
            if (rel == ".." || rel.rfind("../", 0) == 0 || rel.find("/../") != std::string::npos) return -1;
            return open_beneath(f.fd, rel);
        }
    }
    return -1;
}

std::optional<std::string> read_descriptor(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string data;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        data.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return data;
}

}  // namespace

void confine_files(const std::string& root, const std::vector<std::string>& own_folders) {
    release_files();
    g_confined_root = real_folder(root);
    g_folders.push_back(open_folder(root));
    for (const auto& f : own_folders) {
        g_own_folders.push_back(real_folder(f));
        g_folders.push_back(open_folder(f));
    }
}

void release_files() {
    g_confined_root.clear();
    g_own_folders.clear();
    for (const Folder& f : g_folders)
        if (f.fd >= 0) ::close(f.fd);
    g_folders.clear();
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
    if (files_confined()) {
        const int fd = open_confined(path);
        if (fd < 0) return std::nullopt;
        return read_descriptor(fd);
    }
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
