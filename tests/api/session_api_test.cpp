// The session API against the terminal program's answer scripts: the same consultations of
// the sample base give byte-identical summaries and reports; refused answers keep their
// question; why() gives the chain; a dropped consultation ends its thread; many
// consultations on many threads each give the single-threaded result.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "report/report.h"
#include "shell/script_loop.h"
#include "support/sample_answers.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/number_format.h"
#include "zuva/zuva.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;
using api::Consultation;
using api::KnowledgeBase;
using api::QuestionKind;

const std::string kData = ZUVA_TEST_DATA;
const std::string kExamples = kData + "/../../examples";

const auto& kAnswers = zuva::testing_support::kSampleAnswers;
const std::string kHypothesis = "naladuj_lub_wymien_akumulator";

int thread_count() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("Threads:", 0) == 0) return std::stoi(line.substr(8));
    return -1;
}

class SessionApi : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "zuva-api-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
        fs::copy(kExamples, dir, fs::copy_options::recursive);
        bazy = dir + "/BAZY";
        rule_file = bazy + "/REAUTO.BEN";
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    // The terminal program's run of an answer file: the summary and report files it wrote.
    struct Files {
        std::string summary, report;
    };
    Files script(const std::string& name) {
        std::vector<std::string> lines;
        std::istringstream in(read_file_bytes(kData + "/api/" + name).value_or(""));
        for (std::string l; std::getline(in, l);)
            lines.push_back(l);
        EXPECT_FALSE(lines.empty());
        ScriptRun run = run_script(lines, bazy);
        EXPECT_EQ(run.status, kExitOk) << run.error;
        Files f{read_file_bytes(bazy + "/P.txt").value_or("<none>"),
                read_file_bytes(bazy + "/R.RPT").value_or("<none>")};
        fs::remove(bazy + "/P.txt");
        fs::remove(bazy + "/R.RPT");
        return f;
    }

    // Drives a consultation from the answers by name; the names asked, in order.
    static std::vector<std::string> drive(Consultation& c) {
        std::vector<std::string> asked;
        while (auto q = c.next()) {
            asked.push_back(q->name);
            auto it = kAnswers.find(q->name);
            if (it == kAnswers.end()) {
                ADD_FAILURE() << "unexpected question about " << q->name;
                return asked;
            }
            c.answer(it->second);
        }
        return asked;
    }

    // The result the files of a script run must hold.
    static void expect_same(const api::Result& r, const Files& f) {
        ASSERT_TRUE(r.completed);
        EXPECT_EQ(utf8_to_cp1250_lossy(r.summary), f.summary);
        EXPECT_EQ(utf8_to_cp1250_lossy(report_file_line(r.report)), f.report);
        // Every conclusion with a CF stands in the summary with that CF.
        const std::string summary = cp1250_to_utf8(f.summary).value_or("");
        int with_cf = 0;
        for (const auto& c : r.conclusions) {
            if (!c.cf) continue;
            ++with_cf;
            EXPECT_NE(summary.find("    " + c.name + "(" + format_cf(*c.cf) + ")\n"), std::string::npos)
                << c.name;
        }
        EXPECT_GT(with_cf, 0);
    }

    std::string dir, bazy, rule_file;
};

TEST_F(SessionApi, ForwardAndBackwardGiveTheScriptsSummaryAndReport) {
    const Files fwd_files = script("forward.txt");
    const Files bwd_files = script("backward.txt");
    KnowledgeBase kb = KnowledgeBase::open(rule_file);
    EXPECT_EQ(kb.files().size(), 7u);

    Consultation fwd = kb.forward();
    std::vector<std::string> asked = drive(fwd);
    EXPECT_EQ(asked.front(), "wskaznik_paliwa_na_zero");
    const api::Result& r = fwd.result();
    expect_same(r, fwd_files);
    // The conclusion a mechanic expects, its advice read, its picture offered.
    auto cf_of = [&](const std::string& n) -> std::optional<double> {
        for (const auto& c : r.conclusions)
            if (c.name == n) return c.cf;
        return std::nullopt;
    };
    EXPECT_GT(cf_of("uszkodzony_akumulator").value_or(-1), 0.9);
    ASSERT_FALSE(r.advice.empty());
    EXPECT_TRUE(r.advice.front().available);
    EXPECT_FALSE(r.advice.front().text.empty());
    ASSERT_FALSE(r.pictures.empty());
    EXPECT_TRUE(file_exists(r.pictures.front().path)) << r.pictures.front().path;
    bool voltage = false;
    for (const auto& a : r.arguments)
        voltage |= a.name == "spadek_napiecia" && a.value > 2.79 && a.value < 2.81;
    EXPECT_TRUE(voltage);
    // The HOW tree: the conclusion at its root, rules below it, answers at the leaves.
    api::HowNode how = fwd.how("uszkodzony_akumulator");
    EXPECT_NE(how.text.find("uszkodzony_akumulator"), std::string::npos) << how.text;
    EXPECT_FALSE(how.children.empty());

    Consultation bwd = kb.backward(kHypothesis);
    drive(bwd);
    expect_same(bwd.result(), bwd_files);

    // The whole run from the map gives the same.
    Consultation ran = api::run(kb, kAnswers);
    expect_same(ran.result(), fwd_files);
    EXPECT_EQ(ran.result().summary, r.summary);
}

TEST_F(SessionApi, RefusedAnswerKeepsTheQuestionWithTheProgramsReason) {
    KnowledgeBase kb = KnowledgeBase::open(rule_file);
    Consultation c = kb.forward();
    auto first = c.next();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->kind, QuestionKind::ConditionCf);
    EXPECT_EQ(first->min.value_or(0), -1.0);
    EXPECT_EQ(first->max.value_or(0), 1.0);
    c.answer("-1");
    // A member of an exact constraint takes -1 or 1 only: the program's note is the reason.
    auto q = c.next();
    ASSERT_TRUE(q);
    ASSERT_EQ(q->name, "silnik_kreci_ale_nie_zapala");
    try {
        c.answer(0.5);
        FAIL() << "0.5 was taken";
    } catch (const api::Error& e) {
        EXPECT_NE(std::string(e.what()).find("Musi być -1 = CF  lub CF = 1"), std::string::npos) << e.what();
    }
    try {
        c.answer("0,5");
        FAIL() << "0,5 was taken";
    } catch (const api::Error& e) {
        EXPECT_NE(std::string(e.what()).find("kropką"), std::string::npos) << e.what();
    }
    auto again = c.next();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->name, q->name);
    EXPECT_EQ(again->number, q->number);
    c.answer("-1");
    auto after = c.next();
    ASSERT_TRUE(after);
    EXPECT_NE(after->name, q->name);
    EXPECT_EQ(after->number, q->number + 1);
    // A choice that names no answer is refused before the core sees it.
    EXPECT_THROW(kb.backward("nie_ma_takiej_hipotezy"), api::Error);
}

TEST_F(SessionApi, WhyGivesTheChainAndChangesNothing) {
    KnowledgeBase kb = KnowledgeBase::open(rule_file);
    const Files files = script("backward.txt");
    Consultation c = kb.backward(kHypothesis);
    int asked = 0;
    bool reaches_hypothesis = false;
    while (auto q = c.next()) {
        // Why at every question: the answer stays pending, the run is the one without why.
        api::Why w = c.why();
        ++asked;
        EXPECT_EQ(w.name, q->name);
        const std::string head = q->kind == QuestionKind::ArgumentValue ? "Pytam o wartość argumentu:\n    "
                                 : q->kind == QuestionKind::ConditionCf
                                     ? "Pytam o CF warunku:\n    "
                                     : "Pytam o współczynnik pewności wniosku:\n    ";
        EXPECT_EQ(w.text.rfind(head + q->name + "\n", 0), 0u) << w.text;
        ASSERT_FALSE(w.chain.empty()) << w.text;
        // Every line of the chain stands in the text, in order, the innermost link first.
        std::size_t at = 0;
        for (const auto& link : w.chain)
            for (const auto& line : link) {
                std::size_t found = w.text.find(line, at);
                ASSERT_NE(found, std::string::npos) << line;
                at = found;
            }
        reaches_hypothesis |= w.text.find(kHypothesis) != std::string::npos;
        auto same = c.next();
        ASSERT_TRUE(same);
        EXPECT_EQ(same->name, q->name);
        EXPECT_EQ(same->number, q->number);
        c.answer(kAnswers.at(q->name));
    }
    EXPECT_GT(asked, 5);
    // Past the "koniec" rules the chain goes up to the hypothesis under test.
    EXPECT_TRUE(reaches_hypothesis);
    expect_same(c.result(), files);
    // Why is no answer where no value is asked.
    EXPECT_THROW(c.why(), api::Error);
}

TEST_F(SessionApi, DroppedConsultationsEndTheirThreads) {
    KnowledgeBase kb = KnowledgeBase::open(rule_file);
    const int before = thread_count();
    {
        std::vector<Consultation> live;
        for (int i = 0; i < 20; ++i) {
            live.push_back(i % 2 ? kb.forward() : kb.backward(kHypothesis));
            auto q = live.back().next();
            ASSERT_TRUE(q);
            live.back().answer(kAnswers.at(q->name));
            ASSERT_TRUE(live.back().next());
        }
        EXPECT_GE(thread_count(), before + 20);
    }
    EXPECT_EQ(thread_count(), before);
    // A base that cannot be read, or does not parse, is an error placed in its file.
    try {
        KnowledgeBase::open(bazy + "/BRAK.BEN");
        FAIL();
    } catch (const api::Error& e) {
        EXPECT_EQ(e.file(), bazy + "/BRAK.BEN");
        EXPECT_EQ(e.line(), 1);
        EXPECT_NE(std::string(e.what()).find("BRAK.BEN:1: Nie można odczytać pliku"), std::string::npos);
    }
    write_file_bytes(bazy + "/REZLY.BEN",
                     "reguła(1,\"a\",[\"b\"],1,\"0.5\")\nreguła(2,c,[\"d\"],1,\"0.5\")\n");
    try {
        KnowledgeBase::open(bazy + "/REZLY.BEN");
        FAIL();
    } catch (const api::Error& e) {
        EXPECT_EQ(e.line(), 2) << e.what();
        EXPECT_NE(e.message().find("Błąd syntaksu"), std::string::npos) << e.what();
    }
}

TEST_F(SessionApi, ThousandConsultationsOnThreadsMatchOneThread) {
    KnowledgeBase kb = KnowledgeBase::open(rule_file);
    Consultation ref_fwd = api::run(kb, kAnswers);
    Consultation ref_bwd = api::run(kb, kAnswers, kHypothesis);
    const api::Result& rf = ref_fwd.result();
    const api::Result& rb = ref_bwd.result();
    std::atomic<int> same{0}, done{0};
    for (int round = 0; round < 10; ++round) {
        std::vector<std::thread> threads;
        for (int i = 0; i < 100; ++i)
            threads.emplace_back([&, i] {
                const bool forward = i % 2 == 0;
                Consultation c = forward ? kb.forward() : kb.backward(kHypothesis);
                while (auto q = c.next())
                    c.answer(kAnswers.at(q->name));
                const api::Result& r = c.result();
                const api::Result& ref = forward ? rf : rb;
                bool equal = r.summary == ref.summary && r.report == ref.report &&
                             r.conclusions.size() == ref.conclusions.size();
                for (std::size_t k = 0; equal && k < r.conclusions.size(); ++k)
                    equal = r.conclusions[k].name == ref.conclusions[k].name &&
                            r.conclusions[k].cf == ref.conclusions[k].cf;
                same += equal;
                ++done;
            });
        for (auto& t : threads)
            t.join();
    }
    EXPECT_EQ(done.load(), 1000);
    EXPECT_EQ(same.load(), 1000);
}

}  // namespace
}  // namespace zuva
