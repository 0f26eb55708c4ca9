// Time of `zuva diff` on two versions of a large rule base that differ in 10 rules (the CF of
// each changed): reading both and comparing their records, and the whole command without
// the findings of `zuva check` (which time `zuva check` itself, bench_verify). Run by hand:
//   python3 bench/gen_bases.py chain 100000 /tmp/chain
//   build/bench/bench_diff /tmp/chain/RECHAIN.BEN
// The second version is written beside a copy of the first in a temporary folder.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "cli/diff_command.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "verify/base_diff.h"

namespace {

double ms_since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_diff RULE-BASE\n");
        return 2;
    }
    const std::string old_path = argv[1];
    const auto bytes = zuva::read_file_bytes(old_path);
    const auto text = bytes ? zuva::decode_file_text(*bytes) : std::nullopt;
    if (!text) {
        std::fprintf(stderr, "bench_diff: cannot read %s\n", old_path.c_str());
        return 2;
    }
    // Ten rules spread over the base get another CF: the last field of their line.
    std::string changed = *text;
    std::size_t lines = 0;
    for (char c : changed)
        lines += c == '\n';
    std::size_t done = 0, line = 0;
    for (std::size_t at = 0; at < changed.size() && done < 10; ++line) {
        const std::size_t end = changed.find('\n', at);
        if (end == std::string::npos) break;
        if (line % (lines / 10 + 1) == lines / 20 &&
            changed.compare(at, std::string("reguła(").size(), "reguła(") == 0) {
            const std::size_t q = changed.rfind(",\"", end);
            changed.replace(q, end - q, ",\"0.123\")");
            ++done;
        }
        at = changed.find('\n', at) + 1;
    }
    const fs::path dir = fs::temp_directory_path() / "zuva-bench-diff";
    fs::create_directories(dir);
    const std::string new_path = (dir / fs::path(old_path).filename()).string();
    if (!zuva::write_file_bytes(new_path, zuva::utf8_to_cp1250_lossy(changed))) return 1;

    auto t = std::chrono::steady_clock::now();
    zuva::BaseFileRecords a, b;
    if (zuva::read_base_records(old_path, zuva::BaseKind::Rules, a) ||
        zuva::read_base_records(new_path, zuva::BaseKind::Rules, b))
        return 1;
    const double read_ms = ms_since(t);
    t = std::chrono::steady_clock::now();
    const auto changes = zuva::diff_base_files(a, b);
    const double diff_ms = ms_since(t);
    t = std::chrono::steady_clock::now();
    std::ostringstream out, err;
    const int status = zuva::diff_command({old_path, new_path, "--no-check"}, out, err);
    const double command_ms = ms_since(t);
    std::printf("%zu records, %zu rules edited: %zu changes found\n", a.records.size(), done, changes.size());
    std::printf("read both %8.1f ms  compare %8.1f ms  zuva diff --no-check %8.1f ms (exit %d)\n", read_ms,
                diff_ms, command_ms, status);
    fs::remove_all(dir);
    return 0;
}
