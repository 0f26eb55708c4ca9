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

#include "api/consultation_impl.h"
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
    EXPECT_EQ(kb.files().size(), 8u);  // every base of the sample, its texts base included

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

// Everything a finished consultation gives, as one text: equal texts, equal results.
std::string whole_result(const api::Result& r) {
    std::ostringstream out;
    out << r.completed << "\n" << r.summary << "\n" << r.report << "\n";
    for (const auto& c : r.conclusions)
        out << c.name << "=" << (c.cf ? format_cf(*c.cf) : "-") << ";";
    for (const auto& a : r.arguments)
        out << a.name << "=" << a.value << ";";
    for (const auto& n : r.notes)
        out << n.text << "|";
    for (const auto& o : r.advice)
        out << o.name << o.text << "|";
    for (int n : r.trace.rules)
        out << n << ",";
    for (const auto& c : r.trace.contributions)
        out << c.conclusion << c.number << "=" << c.cf << ";";
    return out.str();
}

// One consultation of the sample: forward or backward on a hypothesis, the sample's answers
// or every condition denied, with or without an imported fact.
struct Variant {
    std::string hypothesis;
    bool deny = false;
    bool import = false;
};

std::string consult(const KnowledgeBase& kb, const Variant& v) {
    api::Options o;
    if (v.import) o.imported.push_back({"fakt", "rozrusznik_nie_kreci", "0,8"});
    Consultation c = v.hypothesis.empty() ? kb.forward(o) : kb.backward(v.hypothesis, o);
    while (auto q = c.next()) {
        auto it = kAnswers.find(q->name);
        if (v.deny && q->kind == QuestionKind::ConditionCf)
            c.answer("-1");
        else if (it != kAnswers.end())
            c.answer(it->second);
        else
            c.choose(1);
    }
    return whole_result(c.result());
}

TEST_F(SessionApi, ThousandConsultationsOnThreadsMatchFreshLoads) {
    KnowledgeBase kb = KnowledgeBase::open(rule_file);
    std::vector<Variant> variants;
    for (const std::string& h : std::vector<std::string>{"", kHypothesis, kb.hypotheses(1).back()})
        for (bool deny : {false, true})
            for (bool import : {false, true})
                variants.push_back({h, deny, import});
    // Each variant once on a base opened for it alone.
    std::vector<std::string> fresh;
    for (const auto& v : variants)
        fresh.push_back(consult(KnowledgeBase::open(rule_file), v));
    for (std::size_t i = 1; i < fresh.size(); ++i)
        EXPECT_NE(fresh[i], fresh[i - 1]) << "variants " << i - 1 << " and " << i << " consult alike";
    std::atomic<int> same{0}, done{0};
    std::atomic<std::size_t> next{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 16; ++t)
        threads.emplace_back([&] {
            for (std::size_t i; (i = next++) < 1000;) {
                const std::size_t k = i % variants.size();
                same += consult(kb, variants[k]) == fresh[k];
                ++done;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(done.load(), 1000);
    EXPECT_EQ(same.load(), 1000);
}

TEST_F(SessionApi, ABaseEditedAfterOpeningIsPickedUpOnlyByReload) {
    KnowledgeBase kb = KnowledgeBase::open(rule_file);
    const Variant v{kHypothesis, false, false};
    const std::string before = consult(kb, v);
    Consultation midway = kb.backward(kHypothesis);
    ASSERT_TRUE(midway.next());
    EXPECT_FALSE(kb.changed_on_disk());
    // Every rule's CF text changed to 0.5 (the file stays valid; its size changes).
    std::string text = cp1250_to_utf8(*read_file_bytes(rule_file)).value_or("");
    std::string edited;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const auto q = line.rfind(",\"");
        if (line.rfind("reguła(", 0) == 0 && q != std::string::npos) line = line.substr(0, q) + ",\"0.5\")";
        edited += line + "\n";
    }
    ASSERT_NE(edited, text);
    ASSERT_TRUE(write_file_bytes(rule_file, utf8_to_cp1250_lossy(edited)));
    EXPECT_TRUE(kb.changed_on_disk());
    // The old handle and its copies consult the base as it was opened, also midway.
    const KnowledgeBase copy = kb;
    EXPECT_EQ(consult(copy, v), before);
    while (auto q = midway.next())
        midway.answer(kAnswers.at(q->name));
    EXPECT_EQ(whole_result(midway.result()), before);
    // Opening again takes the edit.
    const KnowledgeBase again = kb.reload();
    EXPECT_FALSE(again.changed_on_disk());
    EXPECT_NE(consult(again, v), before);
}

TEST_F(SessionApi, ResumedFromItsLogAtEveryQuestionEndsAlike) {
    KnowledgeBase kb = KnowledgeBase::open(rule_file);
    for (const std::string& hypothesis : {std::string(), kHypothesis}) {
        Consultation c = hypothesis.empty() ? kb.forward() : kb.backward(hypothesis);
        std::vector<api::Log> logs;  // the log before each answer, through its JSON text
        std::vector<api::Question> asked;
        bool refused_once = false;
        while (auto q = c.next()) {
            logs.push_back(api::Log::from_json(c.log().to_json()));
            asked.push_back(*q);
            if (!refused_once && q->kind == QuestionKind::ConditionCf) {
                refused_once = true;
                EXPECT_THROW(c.answer("dużo"), api::Error);  // refused, and kept in the log
            }
            c.answer(kAnswers.at(q->name));
        }
        const std::string whole = whole_result(c.result());
        ASSERT_GT(logs.size(), 3u);
        EXPECT_TRUE(c.log().answers[0].refused);
        logs.push_back(api::Log::from_json(c.log().to_json()));
        for (std::size_t k = 0; k < logs.size(); ++k) {
            Consultation r = kb.resume(logs[k]);
            auto q = r.next();
            ASSERT_EQ(q.has_value(), k < asked.size()) << k;
            if (q) {
                EXPECT_EQ(q->name + "#" + std::to_string(q->number),
                          asked[k].name + "#" + std::to_string(asked[k].number));
            }
            while (auto more = r.next())
                r.answer(kAnswers.at(more->name));
            EXPECT_EQ(whole_result(r.result()), whole) << "resumed at question " << k + 1;
        }
        // A log whose answers stop matching what the base asks is refused, naming the question.
        api::Log wrong = logs.back();
        wrong.answers[2].name = "nie_ma_takiego";
        try {
            kb.resume(wrong);
            FAIL();
        } catch (const api::Error& e) {
            EXPECT_NE(e.message().find("pytanie " + std::to_string(wrong.answers[2].number) + " ("),
                      std::string::npos)
                << e.message();
            EXPECT_NE(e.message().find(" nie_ma_takiego) różni się"), std::string::npos) << e.message();
        }
    }
    // A log of other bytes of the base is refused, naming the file; so is a text no log.
    const api::Log log = [&] {
        Consultation c = kb.forward();
        c.answer(kAnswers.at(c.next()->name));
        return c.log();
    }();
    std::string bytes = *read_file_bytes(rule_file);
    ASSERT_TRUE(write_file_bytes(rule_file, bytes + utf8_to_cp1250_lossy("rem_reguła(\"zmiana\")\n")));
    try {
        KnowledgeBase::open(rule_file).resume(log);
        FAIL();
    } catch (const api::Error& e) {
        EXPECT_NE(e.message().find("plik REAUTO.BEN"), std::string::npos) << e.message();
    }
    EXPECT_THROW(api::Log::from_json("{\"zuva_log\": 1}"), api::Error);
    EXPECT_EQ(api::sha256_hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(api::sha256_hex(std::string(1000, 'x')).substr(0, 8), "44f83544");  // more than one block
    EXPECT_EQ(log.base[0].sha256, api::sha256_hex(bytes));
    EXPECT_THROW(api::Log::from_json("nie"), api::Error);
}

}  // namespace
}  // namespace zuva
