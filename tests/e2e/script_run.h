// What the tests that drive whole runs share: a fresh temporary folder for each test, and the
// terminal program run there on an answer file, with its transcript and error output kept.
#pragma once
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <istream>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "support/temp_dir.h"
#include "text/file_io.h"

namespace zuva::testing_support {

// The terminal program run in the folder `sub` of `dir` on answers given as lines: the
// transcript in `out`, the error output in `err`.
class AnswerScriptTest : public TempDirTest {
  protected:
    using TempDirTest::TempDirTest;

    std::string path(const std::string& name) const {
        return (std::filesystem::path(dir) / sub / name).string();
    }
    std::string file(const std::string& name) const { return read_file_bytes(path(name)).value_or("<none>"); }

    // Runs the program on the answers; returns its exit status.
    int run(const std::vector<std::string>& answers) {
        std::string text;
        for (const auto& a : answers)
            text += a + "\n";
        EXPECT_TRUE(write_file_bytes(path("odp.txt"), text));
        return run_args("--answers odp.txt");
    }
    // Runs the program in the folder with the arguments (and redirections) given; returns its
    // exit status. With `time_limit` set, a run that takes longer is stopped (and fails).
    int run_args(const std::string& args) {
        const std::string limit = time_limit > 0 ? "timeout " + std::to_string(time_limit) + " " : "";
        std::string cmd =
            "cd '" + path("") + "' && " + limit + "'" ZUVA_BINARY "' " + args + " >out.txt 2>err.txt";
        int rc = std::system(cmd.c_str());
        out = file("out.txt");
        err = file("err.txt");
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }

    bool has(const std::string& needle) const { return out.find(needle) != std::string::npos; }

    // The body of the first block that starts with `header` (up to the next block).
    std::string block(const std::string& header) const {
        auto at = out.find(header + "\n");
        if (at == std::string::npos) return "<no block " + header + ">";
        at += header.size() + 1;
        auto end = out.find("\n[", at);
        return out.substr(at, end == std::string::npos ? std::string::npos : end + 1 - at);
    }

    // The dialogs of the transcript from the first command on: every block header and every
    // answer line, trailing blanks removed.
    std::vector<std::string> dialogs() const {
        std::vector<std::string> seq;
        std::istringstream in(out);
        std::string line;
        bool started = false;
        while (std::getline(in, line)) {
            if (line.rfind("[command]", 0) == 0) started = true;
            if (!started) continue;
            if (line.rfind("[", 0) != 0 && line.rfind("answer: ", 0) != 0) continue;
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
            seq.push_back(line);
        }
        return seq;
    }

    std::string sub, out, err;
    int time_limit = 0;  // seconds, 0: none
};

}  // namespace zuva::testing_support
