// The bundled sample knowledge base walked through three typical answer patterns by the
// real terminal program: the conclusions a mechanic expects come first, and no rule turns
// a denied symptom into evidence for a fault.
#include "support/sample_base.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "text/codec.h"
#include "text/file_io.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

using testing_support::kExamples;

const std::vector<std::string>& kAsked = testing_support::kSampleSymptoms;
const std::vector<std::string> kFaults = {
    "brak_paliwa",           "uszkodzony_akumulator", "zle_polaczenie_akumulatora",
    "uszkodzony_rozrusznik", "uszkodzony_zaplon",     "uszkodzona_pompa_paliwa"};
const std::vector<std::string> kAdvice = {"naladuj_lub_wymien_akumulator", "wezwij_pomoc_drogowa",
                                          "sprawdz_bezpieczniki"};

class SampleBase : public testing_support::TempDirTest {
  protected:
    SampleBase() : TempDirTest("zuva-sample") {}
    void SetUp() override {
        TempDirTest::SetUp();
        fs::copy(kExamples, dir, fs::copy_options::recursive);
    }

    // A forward run with the CF of every asked symptom; the summary file's resultants.
    std::map<std::string, double> consult(const std::map<std::string, std::string>& symptoms) {
        std::string script = "10064\nREAUTO.BEN\nNie\nNie\nNie\n10164\n1\nNIE\n1\n";
        for (const auto& name : kAsked)
            script += symptoms.count(name) ? symptoms.at(name) + "\n" : "0\n";
        script += "TAK\nP.txt\nNie\n";
        const fs::path bazy = fs::path(dir) / "BAZY";
        write_file_bytes((bazy / "odp.txt").string(), script);
        std::string cmd =
            "cd '" + bazy.string() + "' && '" ZUVA_BINARY "' --answers odp.txt >out.txt 2>err.txt";
        int rc = std::system(cmd.c_str());
        out = read_file_bytes((bazy / "out.txt").string()).value_or("");
        EXPECT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0)
            << read_file_bytes((bazy / "err.txt").string()).value_or("");
        std::vector<std::string> asked;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);)
            if (line.rfind("name: ", 0) == 0) asked.push_back(line.substr(6));
        EXPECT_EQ(asked, kAsked);
        std::map<std::string, double> cf;
        auto summary = read_file_bytes((bazy / "P.txt").string());
        EXPECT_TRUE(summary) << out.substr(out.size() > 3000 ? out.size() - 3000 : 0);
        std::istringstream s(cp1250_to_utf8(summary.value_or("")).value_or(""));
        for (std::string line; std::getline(s, line);) {
            std::size_t open = line.find('('), close = line.rfind(')');
            if (line.rfind("    ", 0) != 0 || open == std::string::npos || close == std::string::npos)
                continue;
            cf[line.substr(4, open - 4)] = std::stod(line.substr(open + 1, close - open - 1));
        }
        return cf;
    }
    // The conclusion of the group with the highest CF, when that CF is positive.
    static std::string first(const std::map<std::string, double>& cf, const std::vector<std::string>& group) {
        std::string best;
        double top = 0.0;
        for (const auto& g : group)
            if (cf.count(g) && cf.at(g) > top) {
                top = cf.at(g);
                best = g;
            }
        return best;
    }
    std::string out;
};

TEST_F(SampleBase, FlatBatteryComesFirst) {
    auto cf = consult({{"wskaznik_paliwa_na_zero", "-1"},
                       {"silnik_kreci_ale_nie_zapala", "-1"},
                       {"rozrusznik_kreci_wolno", "1"},
                       {"kontrolki_gasna_przy_rozruchu", "1"},
                       {"akumulator_rozladowany", "0.8"},
                       {"akumulator_starszy_niz_piec_lat", "0.5"},
                       {"duzy_spadek_napiecia_przy_rozruchu", "0.5"},
                       {"klemy_skorodowane_lub_luzne", "-0.5"},
                       {"rozrusznik_nie_kreci", "-1"},
                       {"kontrolki_swieca_jasno_przy_rozruchu", "-1"}});
    EXPECT_EQ(first(cf, kFaults), "uszkodzony_akumulator") << out;
    EXPECT_EQ(first(cf, kAdvice), "naladuj_lub_wymien_akumulator");
    EXPECT_LT(cf["uszkodzony_rozrusznik"], 0.0);
    EXPECT_LT(cf["brak_paliwa"], 0.0);
}

TEST_F(SampleBase, NoSparkPointsToTheIgnition) {
    // The engine cranks, fuel can be smelt, the pump is heard, there is no spark: denying
    // the other symptoms must not raise any other fault.
    std::map<std::string, std::string> answers;
    for (const auto& name : kAsked)
        answers[name] = "-1";
    answers["silnik_kreci_ale_nie_zapala"] = "1";
    answers["brak_iskry_na_swiecy"] = "1";
    answers["wilgoc_na_przewodach_zaplonowych"] = "0.5";
    auto cf = consult(answers);
    EXPECT_EQ(first(cf, kFaults), "uszkodzony_zaplon") << out;
    EXPECT_EQ(first(cf, kAdvice), "wezwij_pomoc_drogowa");
    for (const auto& f : kFaults) {
        if (f != "uszkodzony_zaplon") {
            EXPECT_LE(cf[f], 0.0) << f;
        }
    }
}

TEST_F(SampleBase, ClickingStarterWithBrightLightsPointsToTheStarter) {
    auto cf = consult({{"wskaznik_paliwa_na_zero", "-1"},
                       {"silnik_kreci_ale_nie_zapala", "-1"},
                       {"rozrusznik_kreci_wolno", "-1"},
                       {"kontrolki_gasna_przy_rozruchu", "-1"},
                       {"akumulator_rozladowany", "-1"},
                       {"akumulator_starszy_niz_piec_lat", "-1"},
                       {"duzy_spadek_napiecia_przy_rozruchu", "-1"},
                       {"klemy_skorodowane_lub_luzne", "-1"},
                       {"rozrusznik_nie_kreci", "1"},
                       {"slychac_klikanie", "1"},
                       {"kontrolki_swieca_jasno_przy_rozruchu", "1"}});
    EXPECT_EQ(first(cf, kFaults), "uszkodzony_rozrusznik") << out;
    EXPECT_EQ(first(cf, kAdvice), "wezwij_pomoc_drogowa");
    EXPECT_LT(cf["uszkodzony_akumulator"], 0.0);
}

}  // namespace
}  // namespace zuva
