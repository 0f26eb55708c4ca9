// Session construction and the few helpers every subsystem shares.
#include "session/session.h"

#include <filesystem>

#include "text/file_io.h"

namespace zuva {

Session::Session(Ui& port) : ui(port) {
    std::error_code ec;
    current_dir = std::filesystem::current_path(ec).string();
}

std::string Session::resolve(const std::string& path) const {
    return resolve_path(current_dir, path);
}

void Session::set_title(const std::string& title) {
    shell.title = title;
    ui.set_title(title);
}

}  // namespace zuva
