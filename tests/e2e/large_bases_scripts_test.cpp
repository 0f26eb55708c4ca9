// Large and badly formed knowledge bases driven through the terminal program by answer files,
// at the sizes at which they once crashed, hung or exhausted memory: each run must end with
// status 0 and the right finding, note or value.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "script_run.h"
#include "text/codec.h"
#include "text/file_io.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

const std::string kShapes = std::string(ZUVA_TEST_DATA) + "/shapes";

class LargeBaseScript : public testing_support::AnswerScriptTest {
  protected:
    LargeBaseScript() : AnswerScriptTest("zuva-large") {}
    // Writes UTF-8 lines as a Windows-1250 base file.
    void base(const std::string& name, const std::vector<std::string>& lines) {
        std::string text;
        for (const auto& l : lines)
            text += l + "\n";
        ASSERT_TRUE(write_file_bytes(path(name), utf8_to_cp1250_lossy(text)));
    }
    void copy_shape(const std::string& name) { fs::copy_file(fs::path(kShapes) / name, path(name)); }
};

// A name with a number after it.
std::string nm(const char* prefix, int i) {
    std::string s = prefix;
    s += std::to_string(i);
    return s;
}

std::string rule(int n, const std::string& conclusion, const std::vector<std::string>& conditions,
                 const char* cf = "0.8") {
    std::string l = "reguła(";
    l += std::to_string(n);
    l += ",\"";
    l += conclusion;
    l += "\",[";
    for (std::size_t i = 0; i < conditions.size(); ++i) {
        if (i) l += ',';
        l += '"';
        l += conditions[i];
        l += '"';
    }
    l += "],1,\"";
    l += cf;
    l += "\")";
    return l;
}

std::string model(int n, const std::string& result, const std::string& a, const char* op, const char* b,
                  int flag, const char* cf) {
    std::string l = "model(";
    l += std::to_string(n);
    l += ",\"bez_warunku\",\"";
    l += result;
    l += "\",\"";
    l += a;
    l += "\",\"";
    l += op;
    l += "\",\"";
    l += b;
    l += "\",";
    l += std::to_string(flag);
    l += ",\"";
    l += cf;
    l += "\")";
    return l;
}

TEST_F(LargeBaseScript, CycleOfTwentyThousandRulesIsFoundContradictory) {
    std::vector<std::string> lines;
    const int n = 20000;
    for (int i = 0; i < n; ++i)
        lines.push_back(rule(i + 1, nm("c", i), {nm("c", (i + 1) % n)}));
    base("RECYKL.BEN", lines);
    ASSERT_EQ(run({"10064", "RECYKL.BEN", "Tak"}), 0) << err;
    EXPECT_TRUE(
        has("[note] Informacja o sprzeczności\nBaza reguł elementarna niepewna\n   RECYKL.BEN\n"
            "zawiera co najmniej jedną sprzeczność zewnętrzną typu SEN1."))
        << out.substr(0, 2000);
}

std::vector<std::string> wide(int n) {
    std::vector<std::string> top, lines;
    for (int i = 1; i <= n; ++i)
        top.push_back(nm("x", i));
    top.push_back("martwy");
    int k = 1;
    lines.push_back(rule(k++, "cel", top));
    for (int i = 1; i <= n; ++i) {
        lines.push_back(rule(k++, nm("x", i), {nm("a", i)}, "0.9"));
        lines.push_back(rule(k++, nm("x", i), {nm("b", i)}, "0.7"));
    }
    lines.push_back(rule(k++, "martwy", {"martwy2"}, "0.5"));
    lines.push_back(rule(k++, "martwy2", {"martwy"}, "0.5"));
    return lines;
}

TEST_F(LargeBaseScript, WideRuleWithoutFlattenedFormIsFlattenedAndTestedAtOnce) {
    base("REWYK.BEN", wide(20));
    ASSERT_EQ(run({"10064", "REWYK.BEN", "Nie", "Nie", "10145", "1"}), 0) << err;
    EXPECT_TRUE(has("[note] Uwaga!\nTo już wszystkie reguły spłaszczone!"));
    EXPECT_FALSE(has("[question] Reguła spłaszczona"));
    ASSERT_EQ(run({"10064", "REWYK.BEN", "Nie", "Tak"}), 0) << err;
    EXPECT_TRUE(
        has("[note] Wynik diagnozowania nadmiarowości\nBaza reguł elementarna niepewna\n   REWYK.BEN\n"
            "nie ma reguł nadmiarowych"));
}

TEST_F(LargeBaseScript, ChainOfElevenThousandModelsForwardAndBackward) {
    const int n = 11000;
    base("REMCH.BEN", {rule(1, "h", {"w"})});
    std::vector<std::string> models;
    for (int i = 0; i < n; ++i)
        models.push_back(model(i + 1, nm("x", i), nm("x", i + 1), "+", "1", 0, "1"));
    models.push_back(model(n + 1, "w", "x0", ">", "0", 1, "cf_w"));
    base("MOMCH.BEN", models);
    const std::vector<std::string> load = {"10064", "REMCH.BEN", "Nie", "Nie", "10077", "MOMCH.BEN"};
    std::vector<std::string> forward = load;
    forward.insert(forward.end(), {"10164", "1", "NIE", "1", "1", "1", "NIE", "Nie"});
    ASSERT_EQ(run(forward), 0) << err;
    EXPECT_TRUE(has("[value] Określ wartość argumentu\n")) << out.substr(0, 3000);
    EXPECT_TRUE(has("name: x11000\n"));
    EXPECT_TRUE(has("Dla modelu 11001 jest spełniona relacja: \n    11001 > 0\n"));
    EXPECT_TRUE(has("    h(0.8)\n"));
    std::vector<std::string> backward = load;
    backward.insert(backward.end(), {"10165", "1", "NIE", "1", "1", "1", "1", "NIE", "Nie"});
    ASSERT_EQ(run(backward), 0) << err;
    EXPECT_TRUE(has("name: x11000\n"));
    EXPECT_TRUE(has("Dla modelu 11001 jest spełniona relacja: \n    11001 > 0\n"));
}

TEST_F(LargeBaseScript, HugePowersEndWithTheirValues) {
    copy_shape("REP.BEN");
    copy_shape("MOP.BEN");
    ASSERT_EQ(run({"10064", "REP.BEN", "Nie", "Nie", "10077", "MOP.BEN", "10164", "1", "NIE", "1", "1", "1",
                   "1", "NIE", "Nie"}),
              0)
        << err;
    EXPECT_TRUE(has("Dla modelu 2 jest spełniona relacja: \n    3 > 0\n")) << out.substr(0, 3000);
    copy_shape("REPN.BEN");
    copy_shape("MOPN.BEN");
    ASSERT_EQ(run({"10064", "REPN.BEN", "Nie", "Nie", "10077", "MOPN.BEN", "10164", "1", "NIE", "1",
                   "0.9999999999999999", "1", "NIE", "Nie"}),
              0)
        << err;
    EXPECT_TRUE(has("Dla modelu 2 jest spełniona relacja: \n    1 < 2\n")) << out.substr(0, 3000);
}

TEST_F(LargeBaseScript, RedundancyOfALayeredBaseWithACycleAndOfRulesWrittenTwice) {
    copy_shape("RENADM2.BEN");
    ASSERT_EQ(run({"10064", "RENADM2.BEN", "Nie", "Tak"}), 0) << err;
    EXPECT_TRUE(
        has("[note] Uwaga:\nBaza reguł elementarna niepewna\n   RENADM2.BEN\n"
            "zawiera reguły nadmiarowe typu NEN1."));
    std::vector<std::string> lines;
    const int k = 20;
    int n = 1;
    for (int copy = 0; copy < 2; ++copy)
        for (int i = 0; i < k; ++i)
            lines.push_back(rule(n++, nm("c", i), {nm("c", (i + 1) % k), "a"}));
    base("REDUP.BEN", lines);
    ASSERT_EQ(run({"10064", "REDUP.BEN", "Nie", "Tak", "10075", "Nie"}), 0) << err;
    EXPECT_TRUE(has("zawiera reguły nadmiarowe typu NEN1."));
    EXPECT_TRUE(has(" Reguły 1 i 21 zawierają nadmiar typu NEN1.\n"));
    EXPECT_TRUE(has(" Reguły 20 i 40 zawierają nadmiar typu NEN1.\n"));
}

TEST_F(LargeBaseScript, BaseFilesWithAByteOrderMarkOrCrLineEndsLoad) {
    for (const char* name : {"REBOM.BEN", "RECR.BEN"}) {
        copy_shape(name);
        ASSERT_EQ(run({"10064", name, "Nie", "Nie"}), 0) << err;
        EXPECT_TRUE(has("[note] Wynik ładowania bazy reguł")) << name << "\n" << out.substr(0, 2000);
        EXPECT_FALSE(has("Błąd syntaksu")) << name;
    }
}

}  // namespace
}  // namespace zuva
