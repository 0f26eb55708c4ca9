// Fuzzing target: whole answer scripts run in-process against small knowledge bases. The
// input holds files and the script in sections: a line "@@ NAME" starts the file NAME
// (REX.BEN, MOX.BEN, ...), "@@ answers" starts the script; an input without sections is a
// script over the rule base of the corpus. File names and answers never leave the working
// directory: '/' and '\' in answers become '_'.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "shell/script_loop.h"
#include "text/file_io.h"
#include "ui/scripted_ui.h"

namespace {

namespace fs = std::filesystem;

const char* const kDefaultBase =
    "fakt(\"a\",\"1.0\")\n"
    "reguła(1,\"c\",[\"a\",\"b\"],1,\"0.8\")\n"
    "reguła(2,\"d\",[\"c\"],1,\"0.5\")\n"
    "reguła(3,\"c\",[\"d\"],0,\"-0.4\")\n";

bool plain_name(std::string_view n) {
    if (n.empty() || n.size() > 32 || n == "." || n == "..") return false;
    for (unsigned char c : n)
        if (!(std::isalnum(c) || c == '_' || c == '.' || c >= 0x80)) return false;
    return true;
}

const fs::path& work_dir() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("zuva-fuzz-" + std::to_string(getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    const fs::path& dir = work_dir();
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec))
        fs::remove_all(e.path(), ec);

    std::string answers;
    std::string current;  // file being collected; empty before the first section
    std::string body;
    bool sections = in.rfind("@@ ", 0) == 0;
    auto flush = [&] {
        if (current == "answers")
            answers = body;
        else if (plain_name(current))
            zuva::write_file_bytes((dir / current).string(), body);
        body.clear();
    };
    if (!sections) {
        zuva::write_file_bytes((dir / "REX.BEN").string(), kDefaultBase);
        answers.assign(in);
    } else {
        std::size_t pos = 0;
        while (pos < in.size()) {
            std::size_t nl = in.find('\n', pos);
            std::string_view line =
                in.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
            pos = nl == std::string_view::npos ? in.size() : nl + 1;
            if (line.rfind("@@ ", 0) == 0) {
                flush();
                current.assign(line.substr(3));
                continue;
            }
            body.append(line);
            body += '\n';
        }
        flush();
    }
    for (char& c : answers)
        if (c == '/' || c == '\\') c = '_';
    (void)zuva::run_script_lines(zuva::ScriptedUi::parse_script(answers), dir.string());
    return 0;
}
