// A preloaded library (LD_PRELOAD) that makes writing files fail, for the tests of the
// program's writer. ZUVA_FAULT chooses the fault:
//   write-bytes:N     writes to regular files take N bytes in all, then fail with ENOSPC
//   fsync:N           the Nth fsync of a regular file fails with EIO
//   rename:N          the Nth rename fails with EIO
//   kill-at-rename:N  the process is killed (SIGKILL) at the Nth rename, before it is done
//   kill-at-write:N   the process is killed (SIGKILL) at the Nth write to a regular file, before it
//                     writes anything
// Standard input, output and error are never counted nor failed.
#include <dlfcn.h>
#include <errno.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace {

enum class Fault { None, WriteBytes, Fsync, Rename, KillAtRename, KillAtWrite };

struct Plan {
    Fault fault = Fault::None;
    long long n = 0;
};

Plan read_plan() {
    Plan p;
    const char* e = getenv("ZUVA_FAULT");
    if (e == nullptr) return p;
    const char* colon = strchr(e, ':');
    if (colon == nullptr) return p;
    const long long n = atoll(colon + 1);
    const size_t len = static_cast<size_t>(colon - e);
    auto is = [&](const char* name) { return strlen(name) == len && strncmp(e, name, len) == 0; };
    if (is("write-bytes"))
        p.fault = Fault::WriteBytes;
    else if (is("fsync"))
        p.fault = Fault::Fsync;
    else if (is("rename"))
        p.fault = Fault::Rename;
    else if (is("kill-at-rename"))
        p.fault = Fault::KillAtRename;
    else if (is("kill-at-write"))
        p.fault = Fault::KillAtWrite;
    p.n = n;
    return p;
}

const Plan& plan() {
    static const Plan p = read_plan();
    return p;
}

std::atomic<long long> bytes_written{0};
std::atomic<long long> fsyncs{0};
std::atomic<long long> renames{0};
std::atomic<long long> writes{0};

bool regular_file(int fd) {
    if (fd <= 2) return false;
    struct stat st;
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

template <typename F>
F next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

// How many of `want` bytes a write may take now; -1 (errno ENOSPC) when none.
ssize_t allowance(int fd, size_t want) {
    if (plan().fault == Fault::KillAtWrite && regular_file(fd) && ++writes == plan().n) raise(SIGKILL);
    if (plan().fault != Fault::WriteBytes || !regular_file(fd)) return static_cast<ssize_t>(want);
    long long left = plan().n - bytes_written.load();
    if (want > 0 && left <= 0) {
        errno = ENOSPC;
        return -1;
    }
    if (static_cast<long long>(want) > left) want = static_cast<size_t>(left);
    bytes_written += static_cast<long long>(want);
    return static_cast<ssize_t>(want);
}

}  // namespace

extern "C" {

ssize_t write(int fd, const void* buf, size_t count) {
    static auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
    ssize_t allowed = allowance(fd, count);
    if (allowed < 0) return -1;
    return real(fd, buf, static_cast<size_t>(allowed));
}

ssize_t writev(int fd, const struct iovec* iov, int iovcnt) {
    static auto real = next<ssize_t (*)(int, const struct iovec*, int)>("writev");
    if (plan().fault != Fault::WriteBytes || !regular_file(fd)) return real(fd, iov, iovcnt);
    // Written piece by piece, so the byte budget cuts at the right place.
    ssize_t total = 0;
    for (int i = 0; i < iovcnt; ++i) {
        ssize_t n = write(fd, iov[i].iov_base, iov[i].iov_len);
        if (n < 0) return total > 0 ? total : -1;
        total += n;
        if (static_cast<size_t>(n) < iov[i].iov_len) break;
    }
    return total;
}

int fsync(int fd) {
    static auto real = next<int (*)(int)>("fsync");
    if (plan().fault == Fault::Fsync && regular_file(fd) && ++fsyncs == plan().n) {
        errno = EIO;
        return -1;
    }
    return real(fd);
}

int rename(const char* from, const char* to) {
    static auto real = next<int (*)(const char*, const char*)>("rename");
    if (plan().fault == Fault::Rename && ++renames == plan().n) {
        errno = EIO;
        return -1;
    }
    if (plan().fault == Fault::KillAtRename && ++renames == plan().n) raise(SIGKILL);
    return real(from, to);
}

}  // extern "C"
