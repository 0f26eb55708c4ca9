// Time of a model-base load with both contradiction diagnoses in their places, on generated
// bases of arithmetic models chained 1,000 deep (each model adds one to the result of the
// one before), with no contradiction; the diagnoses are also timed alone.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "kb/base_file_reader.h"
#include "kb/base_files.h"
#include "kb/model_base.h"
#include "session/session.h"
#include "store/list_helpers.h"
#include "text/file_io.h"
#include "ui/scripted_ui.h"
#include "verify/load_checks.h"
#include "verify/model_contradictions.h"
#include "verify/model_rule_contradictions.h"

using namespace zuva;

namespace {

template <class F>
double seconds(F f) {
    auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Chains of `depth` models; every fifth model of a chain is an extended sum, so that both
// kinds are walked. A relational model under the condition w tests the top of each chain.
std::string model_base(int models, int depth) {
    std::string text;
    int n = 1;
    for (int c = 0; c < models / depth; ++c) {
        const std::string chain = "v" + std::to_string(c) + "_";
        for (int i = 1; i <= depth; ++i, ++n) {
            const std::string res = chain + std::to_string(i), arg = chain + std::to_string(i - 1);
            if (i % 5 == 0)
                text += "model_r(" + std::to_string(n) + ",\"bez_warunku\",\"" + res + "\",\"+\",[\"" + arg +
                        "\",\"1\"],0,\"1\")\n";
            else
                text += "model(" + std::to_string(n) + ",\"bez_warunku\",\"" + res + "\",\"" + arg +
                        "\",\"+\",\"1\",0,\"1\")\n";
        }
        text += "model(" + std::to_string(n++) + ",\"w\",\"ok" + std::to_string(c) + "\",\"" + chain +
                std::to_string(depth) + "\",\">\",\"0\",0,\"cf\")\n";
    }
    return text;
}

}  // namespace

int main() {
    const auto dir =
        std::filesystem::temp_directory_path() / ("zuva_bench_mdiag_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string rules = "reguła(1,\"w\",[\"a\"],1,\"0.9\")\nreguła(2,\"k\",[\"w\",\"b\"],1,\"0.8\")\n";
    for (int models : {1000, 10000}) {
        const std::string mpath = (dir / "MOBENCH.BEN").string(), rpath = (dir / "REBENCH.BEN").string();
        write_file_bytes(rpath, rules);
        write_file_bytes(mpath, model_base(models, 1000));

        ScriptedUi ui;
        Session s(ui);
        s.current_dir = dir.string();
        install_load_diagnoses(s);
        if (parse_base_text(s.kb, BaseKind::Rules, rules)) return 1;
        record_base_name(s, BaseKind::Rules, rpath);
        s.kb.lista_warunkow.append({"a", "w", "b"});
        s.kb.lista_wnioskow_regul.append({"w", "k"});
        s.kb.lista_warunkow_dopytywalnych.append({"a", "b"});
        s.kb.dopytywalny.append("a");
        s.kb.dopytywalny.append("b");

        ui.add_answer(mpath);
        std::string loaded;
        double load = seconds([&] { loaded = ladowanie_bazy_modeli(s); });
        if (loaded.empty()) {
            std::printf("the load failed\n");
            return 1;
        }
        double mz = seconds([&] { badaj_sprzecznosc_mz(s); });
        double mr = seconds([&] { badaj_sprzecznosc_mr(s); });
        std::printf(
            "%6d models chained 1000 deep: load with both diagnoses %.4f s; model diagnosis alone %.4f s, "
            "joint %.4f s; contradictions: %s\n",
            models, load, mz, mr,
            s.verify.model_arytmetyczny_sprzeczny_gleboko.empty() &&
                    s.verify.modele_i_reguly_sprzeczne.empty()
                ? "none"
                : "found");
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return 0;
}
