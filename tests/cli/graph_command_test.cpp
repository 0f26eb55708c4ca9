// The command line of `zuva graph`: every wrong argument is exit 2 with the reason, a base
// that does not open is exit 1 (also with a focus), and what is drawn goes to the output or
// the file asked for.
#include "cli/graph_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/sample_base.h"
#include "support/temp_dir.h"
#include "text/file_io.h"

namespace zuva {
namespace {

using testing_support::kExamples;
using testing_support::TempDir;

struct GraphCase {
    std::vector<std::string> args;
    int status;
    std::string err;  // a part of the standard error ("" for none)
    std::string out;  // the start of the standard output ("" for any)
};

TEST(GraphCommand, ArgumentsAndExitStatus) {
    TempDir dir("zuva-graph");
    const std::string sample = kExamples + "/BAZY/REAUTO.BEN";
    const std::string broken = dir.write_cp1250("REZLE.BEN", "reguła(1,\"a\",[\"b\"],1,\"0.5\"\n");
    const std::string missing = dir.path("RENIC.BEN");
    const std::string svg = dir.path("baza.svg");
    const GraphCase cases[] = {
        {{}, 2, "nie podano pliku", ""},
        {{sample, sample}, 2, "podaj jeden plik", ""},
        {{sample, "--bogus"}, 2, "nieznany argument '--bogus'", ""},
        {{sample, "--focus"}, 2, "brak wartości po --focus", ""},
        {{sample, "--depth"}, 2, "brak wartości po --depth", ""},
        {{sample, "--depth", "0"}, 2, "głębokość musi być", ""},
        {{sample, "--depth", "-1"}, 2, "głębokość musi być", ""},
        {{sample, "--depth", "2x"}, 2, "głębokość musi być", ""},
        {{sample, "--depth", "10000"}, 2, "głębokość musi być", ""},
        {{sample, "--format", "gif"}, 2, "nieznany format 'gif'", ""},
        {{sample, "--up"}, 2, "dotyczą otoczenia", ""},
        {{sample, "--focus", "brak_paliwa", "--up", "--down"}, 2, "wykluczają się", ""},
        {{sample, "--focus", "brak_paliwq"}, 2, "może chodzi o 'brak_paliwa'", ""},
        {{missing}, 1, "RENIC.BEN", ""},
        {{missing, "--focus", "brak_paliwa"}, 1, "RENIC.BEN", ""},
        {{broken}, 1, "REZLE.BEN", ""},
        {{"--help"}, 0, "", "Użycie: zuva graph"},
        {{sample, "--format", "dot"}, 0, "", "digraph"},
        {{sample, "--focus", "reguła 1", "--depth", "1", "--up", "--format", "dot"}, 0, "", "digraph"},
        {{sample, "--out", svg}, 0, "", ""},
    };
    for (const GraphCase& c : cases) {
        std::string line;
        for (const auto& a : c.args)
            line += " " + a;
        std::ostringstream out, err;
        EXPECT_EQ(graph_command(c.args, out, err), c.status) << line << "\n" << err.str();
        if (!c.err.empty()) EXPECT_NE(err.str().find(c.err), std::string::npos) << line << "\n" << err.str();
        if (c.status == 2) EXPECT_TRUE(out.str().empty()) << line;
        if (!c.out.empty())
            EXPECT_EQ(out.str().rfind(c.out, 0), 0u) << line << "\n" << out.str().substr(0, 80);
    }
    const auto written = read_file_bytes(svg);
    ASSERT_TRUE(written.has_value());
    EXPECT_NE(written->find("<svg"), std::string::npos);
}

}  // namespace
}  // namespace zuva
