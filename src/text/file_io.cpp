// File access through std::filesystem and streams; failures are results, not exceptions.
#include "text/file_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace zuva {

std::optional<std::string> read_file_bytes(const std::string& path) {
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

bool write_file_bytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

namespace {

std::string reason_of(int err) {
    switch (err) {
        case EACCES:
        case EPERM:
            return "brak uprawnień do zapisu";
        case ENOENT:
            return "katalog nie istnieje";
        case ENOTDIR:
            return "część ścieżki nie jest katalogiem";
        case EISDIR:
            return "to jest katalog";
        case ENOSPC:
        case EDQUOT:
            return "brak miejsca na dysku";
        case EROFS:
            return "system plików jest tylko do odczytu";
        case ENAMETOOLONG:
            return "nazwa jest za długa";
        default:
            return std::strerror(err);
    }
}

}  // namespace

bool write_file_bytes(const std::string& path, std::string_view bytes, std::string& why) {
    why.clear();
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        why = reason_of(errno);
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            why = reason_of(errno);
            ::close(fd);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        why = reason_of(errno);
        return false;
    }
    return true;
}

bool file_exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

bool remove_file(const std::string& path) {
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
