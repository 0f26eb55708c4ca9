// The one way a file is written: a temporary file beside the target, written whole, flushed
// to disk, renamed over the target, and the directory flushed. A rename within a directory
// replaces the name in one step, so at every moment the target is either the old file or
// the new one, whatever happens to the disk or the process.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <utility>

#include "text/file_confine.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {

namespace {

// Every temporary file is ".zapis-" and twelve random letters: short, so that a target whose
// name is near the longest a directory allows can still be written beside it.
constexpr std::string_view kTempMarker = ".zapis-";
// A temporary file this much older than now, which no process holds locked, was left by a
// writer that ended before renaming it. The age also guards the files of writers whose locks
// cannot be seen (a network file system without locking).
constexpr time_t kStaleAge = 60 * 60;

// A temporary file of this writer: the present form, or ".NAME.zapis-PID-XXXXXX" that
// earlier versions left.
bool is_temp_name(std::string_view entry) {
    if (entry.size() <= kTempMarker.size() || entry[0] != '.') return false;
    return entry.substr(0, kTempMarker.size()) == kTempMarker ||
           entry.find(kTempMarker, 1) != std::string_view::npos;
}

// Temporary files left by writers that ended before their rename are removed. A writer holds
// its temporary file locked (flock) until it is done, so a file nobody holds locked and that
// is older than kStaleAge has no writer, whatever host or PID namespace it was written from.
// A directory is looked through once per process, not at every write.
void remove_stale_temps(const std::string& dir) {
    static std::mutex mutex;
    static std::set<std::pair<dev_t, ino_t>> done;
    struct stat ds {};
    if (::stat(dir.c_str(), &ds) != 0) return;
    {
        std::lock_guard lock(mutex);
        if (!done.insert({ds.st_dev, ds.st_ino}).second) return;
    }
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return;
    const time_t now = ::time(nullptr);
    while (dirent* e = ::readdir(d)) {
        if (!is_temp_name(e->d_name)) continue;
        int fd = ::openat(::dirfd(d), e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        const bool old = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_mtime + kStaleAge < now;
        bool unheld = false;
        if (old) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
                unheld = true;
            else
                unheld = errno != EWOULDBLOCK && errno != EINTR;  // locks not kept here: the age decides
        }
        if (unheld) ::unlinkat(::dirfd(d), e->d_name, 0);
        ::close(fd);
    }
    ::closedir(d);
}

// A new temporary file beside the target, locked for as long as this writer works on it;
// `temp` gets its path. It is created readable by its owner alone: the mode it is to have
// is given before the first byte goes into it.
int create_temp(const std::string& dir, std::string& temp, int& err) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device rd;
    std::mt19937 gen(rd());
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kLetters) - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix;
        for (int i = 0; i < 12; ++i)
            suffix += kLetters[pick(gen)];
        temp = (std::filesystem::path(dir) / (std::string(kTempMarker) + suffix)).string();
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::flock(fd, LOCK_EX | LOCK_NB);  // a file system without locks still gets the file
            return fd;
        }
        if (errno != EEXIST) {
            err = errno;
            return -1;
        }
    }
    err = EEXIST;
    return -1;
}

// The mode a new file gets: 0666 less the umask, read without changing it (umask() would,
// for a moment, for every thread).
mode_t new_file_mode() {
    char buf[4096];
    std::size_t got = 0;
    int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ssize_t n;
        while (got + 1 < sizeof buf && (n = ::read(fd, buf + got, sizeof buf - 1 - got)) > 0)
            got += static_cast<std::size_t>(n);
        ::close(fd);
    }
    buf[got] = '\0';
    unsigned mask = 022;
    if (const char* at = std::strstr(buf, "\nUmask:")) std::sscanf(at + 7, "%o", &mask);
    return 0666 & ~static_cast<mode_t>(mask);
}

// Where a write to `path` goes: a symbolic link is followed to the file it names, also when
// that file does not exist yet (it is created there and the link keeps its place). nullopt
// with `err` for a chain of links that does not end (ELOOP).
std::optional<std::string> write_target(const std::string& path, int& err) {
    namespace fs = std::filesystem;
    fs::path p(path);
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p.string();
        std::error_code ec;
        fs::path to = fs::read_symlink(p, ec);
        if (ec) return p.string();
        p = to.is_absolute() ? to : p.parent_path() / to;
    }
    err = ELOOP;
    return std::nullopt;
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
    if (!file_write_allowed(path)) {
        err = EACCES;
        return false;
    }
    // A symbolic link keeps pointing at its file: the file it names is written.
    const auto resolved = write_target(path, err);
    if (!resolved) return false;
    const std::string target = *resolved;
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode)) {
        err = EISDIR;
        return false;
    }
    fs::path tp(target);
    std::string dir = tp.parent_path().string();
    if (dir.empty()) dir = ".";
    if (tp.filename().empty()) {
        err = EISDIR;
        return false;
    }
    remove_stale_temps(dir);

    std::string temp;
    int fd = create_temp(dir, temp, err);
    if (fd < 0) return false;
    // The replaced file keeps its permissions and, where the user may give it, its owner; a
    // new one gets the mode of a new file. Both before the first byte, so the text of a file
    // that others may not read is never readable under the temporary name.
    bool ok = true;
    if (existed) {
        // An ordinary user cannot give a file to someone else: the file is then theirs.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) errno = 0;
    }
    if (::fchmod(fd, existed ? old.st_mode & 07777 : new_file_mode()) != 0) {
        err = errno;
        ok = false;
    }
    ok = ok && write_all(fd, bytes, err);
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
            return tr("brak uprawnień do zapisu");
        case ENOENT:
            return "katalog nie istnieje";
        case ENOTDIR:
            return tr("część ścieżki nie jest katalogiem");
        case EISDIR:
            return "to jest katalog";
        case ENOSPC:
        case EDQUOT:
            return "brak miejsca na dysku";
        case EROFS:
            return tr("system plików jest tylko do odczytu");
        case ENAMETOOLONG:
            return tr("nazwa jest za długa");
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
