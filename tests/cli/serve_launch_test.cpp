// `zuva serve` hands its arguments to the server program beside the terminal program; the
// terminal program itself does not load the HTTP library.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "text/file_io.h"

namespace {

namespace fs = std::filesystem;
using zuva::testing_support::TempDir;

struct ProgramRun {
    int status = -1;
    std::string out, err;
};

// Runs `command` in the shell with the output of both streams kept in files of `dir`.
ProgramRun run_in(const fs::path& dir, const std::string& command) {
    const std::string cmd = "cd '" + dir.string() + "' && " + command + " >out.txt 2>err.txt";
    const int rc = std::system(cmd.c_str());
    ProgramRun r;
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    r.out = zuva::read_file_bytes((dir / "out.txt").string()).value_or("<none>");
    r.err = zuva::read_file_bytes((dir / "err.txt").string()).value_or("<none>");
    return r;
}

const fs::path kZuva = ZUVA_BINARY;
const fs::path kServer = kZuva.parent_path() / "zuva-serve";

TEST(ServeLaunch, ArgumentsReachTheServerUnchanged) {
    TempDir tmp("serve-launch");
    // A folder name with blanks, quotes and Polish letters, and options after it: the terminal
    // program's run must answer exactly as the server run directly (messages, exit status).
    const std::string missing = "'" + tmp.path() + "/nie ma \"tego\" zażółć'";
    for (const std::string& args :
         {missing, missing + " --listen 127.0.0.1:0 --max-sessions 3", missing + " --listen bez-portu",
          missing + " --nieznana-opcja", std::string("--help"), std::string("")}) {
        SCOPED_TRACE(args);
        ProgramRun via_terminal = run_in(tmp.path(), "'" + kZuva.string() + "' serve " + args);
        ProgramRun direct = run_in(tmp.path(), "'" + kServer.string() + "' " + args);
        EXPECT_EQ(via_terminal.status, direct.status);
        EXPECT_EQ(via_terminal.out, direct.out);
        EXPECT_EQ(via_terminal.err, direct.err);
        EXPECT_FALSE(via_terminal.out.empty() && via_terminal.err.empty());
    }
    ProgramRun help = run_in(tmp.path(), "'" + kZuva.string() + "' serve --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("zuva serve KATALOG"), std::string::npos) << help.out;
}

TEST(ServeLaunch, MissingServerIsReportedInPolish) {
    TempDir tmp("serve-launch");
    // The terminal program alone in a folder: `zuva serve` says what is missing and fails,
    // and the other commands work as before.
    const fs::path alone = fs::path(tmp.path()) / "bin" / "zuva";
    fs::create_directories(alone.parent_path());
    fs::copy_file(kZuva, alone);
    ProgramRun r = run_in(tmp.path(), "'" + alone.string() + "' serve .");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("brak programu zuva-serve obok programu zuva"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(alone.parent_path().string()), std::string::npos) << r.err;
    ProgramRun version = run_in(tmp.path(), "'" + alone.string() + "' --version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("zuva ", 0), 0u) << version.out;
}

TEST(ServeLaunch, TerminalProgramDoesNotLoadTheHttpLibrary) {
    if (std::system("command -v ldd >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ldd";
    TempDir tmp("serve-launch");
    ProgramRun terminal = run_in(tmp.path(), "ldd '" + kZuva.string() + "'");
    ProgramRun server = run_in(tmp.path(), "ldd '" + kServer.string() + "'");
    ASSERT_EQ(terminal.status, 0) << terminal.err;
    ASSERT_EQ(server.status, 0) << server.err;
    // The server does link it (so the check below looks for the right name).
    EXPECT_NE(server.out.find("httplib"), std::string::npos) << server.out;
    EXPECT_EQ(terminal.out.find("httplib"), std::string::npos) << terminal.out;
    EXPECT_EQ(terminal.out.find("libssl"), std::string::npos) << terminal.out;
    EXPECT_EQ(terminal.out.find("libcrypto"), std::string::npos) << terminal.out;
}

}  // namespace
