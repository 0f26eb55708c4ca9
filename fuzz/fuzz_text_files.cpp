// Fuzzing target: the readers of the text files the user keeps beside the bases: the
// description shown before an inference, and the description, summary, askable-file and
// report commands of the menu, all given the same bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "consult/description.h"
#include "session/session.h"
#include "shell/script_loop.h"
#include "text/file_io.h"
#include "ui/scripted_ui.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("zuva-fuzz-text-" + std::to_string(getpid()));
        fs::create_directories(d / "BAZY");
        fs::create_directories(d / "OPISY");
        return d;
    }();
    std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const char* name : {"OPISY/X.OPI", "BAZY/F.opi", "BAZY/F.txt", "BAZY/F.rpt"})
        zuva::write_file_bytes((dir / name).string(), bytes);

    zuva::ScriptedUi ui;
    zuva::Session s(ui);
    s.current_dir = (dir / "BAZY").string();
    s.kb.opis.insert_front("..\\OPISY\\X.OPI");
    zuva::czytaj_opis(s);

    (void)zuva::run_script(
        {"10153", "F.opi", "Nie", "10157", "F.txt", "Tak", "10161", "F.txt", "Nie", "10151", "F.rpt", "Tak"},
        (dir / "BAZY").string());
    return 0;
}
