#include "cli/serve_launcher.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "text/i18n.h"

namespace zuva {

std::string own_program_dir() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "";
    return exe.parent_path().string();
}

int exec_serve(const std::string& program_dir, int argc, char** argv) {
    const std::string program = (std::filesystem::path(program_dir) / kServeProgram).string();
    std::vector<char*> args;
    args.reserve(static_cast<size_t>(argc) + 2);
    args.push_back(const_cast<char*>(program.c_str()));
    for (int i = 0; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    std::fflush(stdout);
    std::fflush(stderr);
    execv(program.c_str(), args.data());
    const int error = errno;
    if (error == ENOENT)
        std::fprintf(stderr,
                     tr("zuva serve: brak programu %s obok programu zuva (w folderze %s); serwer "
                        "konsultacji w przeglądarce nie jest zainstalowany\n"),
                     kServeProgram, program_dir.empty() ? "?" : program_dir.c_str());
    else
        std::fprintf(stderr, tr("zuva serve: nie można uruchomić programu %s: %s\n"), program.c_str(),
                     std::strerror(error));
    return 1;
}

}  // namespace zuva
