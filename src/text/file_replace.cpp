// The one way a file is written: a temporary file beside the target, written whole, flushed
// to disk, renamed over the target, and the directory flushed. A rename within a directory
// replaces the name in one step, so at every moment the target is either the old file or
// the new one, whatever happens to the disk or the process.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "text/file_confine.h"
#include "text/file_io.h"

namespace zuva {

namespace {

constexpr std::string_view kTempMarker = ".zapis-";

// ".NAME.zapis-" : the beginning of the name of every temporary file of NAME.
std::string temp_prefix(const std::string& name) {
    return "." + name + std::string(kTempMarker);
}

// A temporary file ".NAME.zapis-PID-XXXXXX" left by a process that no longer runs is
// removed; one of a running process (another program writing the same file) is left alone.
void remove_stale_temps(const std::string& dir, const std::string& name) {
    const std::string prefix = temp_prefix(name);
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return;
    while (dirent* e = ::readdir(d)) {
        std::string_view entry(e->d_name);
        if (entry.size() <= prefix.size() || entry.substr(0, prefix.size()) != prefix) continue;
        std::string_view rest = entry.substr(prefix.size());
        auto dash = rest.find('-');
        if (dash == std::string_view::npos || dash == 0) continue;
        std::string pid_text(rest.substr(0, dash));
        char* end = nullptr;
        long pid = std::strtol(pid_text.c_str(), &end, 10);
        if (end == nullptr || *end != '\0' || pid <= 0) continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        ::unlinkat(::dirfd(d), e->d_name, 0);
    }
    ::closedir(d);
}

// A new temporary file beside the target, created with the mode of a new file (0666 less
// the umask); `temp` gets its path.
int create_temp(const std::string& dir, const std::string& name, std::string& temp, int& err) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device rd;
    std::mt19937 gen(rd());
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kLetters) - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix;
        for (int i = 0; i < 6; ++i)
            suffix += kLetters[pick(gen)];
        temp = (std::filesystem::path(dir) / (temp_prefix(name) + std::to_string(::getpid()) + "-" + suffix))
                   .string();
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        if (errno != EEXIST) {
            err = errno;
            return -1;
        }
    }
    err = EEXIST;
    return -1;
}

bool write_all(int fd, std::string_view bytes, int& err) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            return false;
        }
        if (n == 0) {
            err = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool replace_file(const std::string& path, std::string_view bytes, int& err) {
    namespace fs = std::filesystem;
    err = 0;
    if (files_confined()) {
        err = EACCES;
        return false;
    }
    // A symbolic link keeps pointing at its file: the file it names is replaced.
    std::string target = path;
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        fs::path real = fs::canonical(path, ec);
        if (!ec) target = real.string();
    }
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode)) {
        err = EISDIR;
        return false;
    }
    fs::path tp(target);
    std::string dir = tp.parent_path().string();
    if (dir.empty()) dir = ".";
    const std::string name = tp.filename().string();
    if (name.empty()) {
        err = EISDIR;
        return false;
    }
    remove_stale_temps(dir, name);

    std::string temp;
    int fd = create_temp(dir, name, temp, err);
    if (fd < 0) return false;
    bool ok = write_all(fd, bytes, err);
    // The replaced file keeps its permissions and, where the user may give it, its owner.
    if (ok && existed) {
        // An ordinary user cannot give a file to someone else: the file is then theirs.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) errno = 0;
        if (::fchmod(fd, old.st_mode & 07777) != 0) {
            err = errno;
            ok = false;
        }
    }
    if (ok && ::fsync(fd) != 0) {
        err = errno;
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        err = errno;
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        err = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // The new name is made lasting by flushing the directory. The file has been replaced by
    // now, so a directory that cannot be flushed (some file systems refuse) is no failure.
    int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

std::string write_failure_reason(int err) {
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

bool write_file_bytes(const std::string& path, std::string_view bytes, std::string& why) {
    why.clear();
    int err = 0;
    if (replace_file(path, bytes, err)) return true;
    why = write_failure_reason(err);
    return false;
}

bool write_file_bytes(const std::string& path, std::string_view bytes) {
    int err = 0;
    return replace_file(path, bytes, err);
}

}  // namespace zuva
