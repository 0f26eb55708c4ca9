// Consultations through HTTP give what the terminal program gives for the same answers, and
// the page shows every step of them.
#include <algorithm>
#include <sstream>

#include "shell/script_loop.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "web/signed_log.h"
#include "web_fixture.h"

namespace zuva::web::testing {
namespace {

// The summary and report files the terminal program writes for an answer file.
struct ScriptFiles {
    std::string summary, report;
};
// After a restart the browser stands at the question it left and finishes the consultation
// with the answer script's summary.
void goes_on_to_the_end(Browser& b, const PendingQuestion& before, const std::string& summary) {
    const auto after = pending_of(b.get("/konsultacja")->body);
    ASSERT_TRUE(after) << "the consultation goes on after the restart";
    EXPECT_EQ(after->name, before.name);
    EXPECT_EQ(after->number, before.number);
    while (answer_one(b)) {
    }
    auto got = b.get("/podsumowanie");
    ASSERT_TRUE(got && got->status == 200);
    EXPECT_EQ(got->body, summary);
}

ScriptFiles script_files(const std::string& bazy, const std::string& name) {
    std::vector<std::string> lines;
    std::istringstream in(read_file_bytes(std::string(ZUVA_TEST_DATA) + "/api/" + name).value_or(""));
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    ScriptRun run = run_script(lines, bazy);
    EXPECT_EQ(run.status, kExitOk) << run.error;
    // The report file is one record, tekst_raportu("..."): its text, line by line.
    std::string record = cp1250_to_utf8(read_file_bytes(bazy + "/R.RPT").value_or("")).value_or("");
    const std::string head = "tekst_raportu(\"", tail = "\")\n";
    EXPECT_TRUE(record.rfind(head, 0) == 0 && record.size() > head.size() + tail.size());
    record = record.substr(head.size(), record.size() - head.size() - tail.size());
    std::string report;
    for (std::size_t i = 0; i < record.size(); ++i) {
        if (record[i] != '\\' || i + 1 == record.size()) {
            report += record[i];
            continue;
        }
        const char c = record[++i];
        report += c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    ScriptFiles f{read_file_bytes(bazy + "/P.txt").value_or("<none>"), report};
    std::filesystem::remove(bazy + "/P.txt");
    std::filesystem::remove(bazy + "/R.RPT");
    return f;
}

TEST_F(WebTest, ForwardAndBackwardGiveTheAnswerScriptsFilesAndShowTheResults) {
    const ScriptFiles forward = script_files(root + "/BAZY", "forward.txt");
    const ScriptFiles backward = script_files(root + "/BAZY", "backward.txt");
    start();
    ASSERT_EQ(catalog->bases().size(), 1u);
    Browser b(port);
    auto list = b.get("/");
    ASSERT_TRUE(list && list->status == 200);
    EXPECT_NE(list->body.find("Baza wiedzy auto"), std::string::npos);
    EXPECT_NE(list->body.find("dlaczego samochód nie zapala"), std::string::npos) << "the description";
    EXPECT_NE(list->body.find("<option value=\"naladuj_lub_wymien_akumulator\">"), std::string::npos);

    std::string result = consult(b, "baza=BAZY%2FREAUTO.BEN");
    ASSERT_NE(result.find("Wyniki konsultacji"), std::string::npos) << result;
    EXPECT_FALSE(b.token().empty());
    // Ranked by CF: the battery first, with its bar and its HOW tree.
    const std::size_t battery = result.find("<span class=\"nazwa\">uszkodzony_akumulator</span>");
    const std::size_t roadside = result.find("<span class=\"nazwa\">wezwij_pomoc_drogowa</span>");
    ASSERT_NE(battery, std::string::npos);
    ASSERT_NE(roadside, std::string::npos);
    EXPECT_LT(battery, roadside);
    EXPECT_NE(result.find("<meter", battery), std::string::npos);
    EXPECT_NE(result.find("Jak uzyskano wniosek?", battery), std::string::npos);
    EXPECT_NE(result.find("<img src=\"/plik/obraz/1\""), std::string::npos);
    EXPECT_NE(result.find("<h2 id=\"rady\">Rady</h2>"), std::string::npos);

    auto summary = b.get("/podsumowanie");
    ASSERT_TRUE(summary && summary->status == 200);
    EXPECT_EQ(summary->body, forward.summary);
    EXPECT_NE(summary->get_header_value("Content-Disposition").find("attachment"), std::string::npos);
    auto report = b.get("/raport");
    ASSERT_TRUE(report && report->status == 200);
    EXPECT_EQ(report->body, forward.report);
    auto picture = b.get("/plik/obraz/1");
    ASSERT_TRUE(picture && picture->status == 200);
    EXPECT_EQ(picture->get_header_value("Content-Type"), "image/bmp");
    EXPECT_EQ(picture->body.substr(0, 2), "BM");

    // Backward, in the same browser: a new consultation under a new token.
    const std::string token = b.token();
    result = consult(b, "baza=BAZY%2FREAUTO.BEN&hipoteza=naladuj_lub_wymien_akumulator");
    EXPECT_NE(b.token(), token);
    EXPECT_NE(result.find("hipoteza naladuj_lub_wymien_akumulator"), std::string::npos);
    summary = b.get("/podsumowanie");
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->body, backward.summary);
    report = b.get("/raport");
    ASSERT_TRUE(report);
    EXPECT_EQ(report->body, backward.report);
    EXPECT_EQ(sessions->size(), 1u);
    auto end = b.post("/koniec", "");
    ASSERT_TRUE(end && end->status == 303);
    EXPECT_EQ(sessions->size(), 0u);
}

// With a state folder a consultation outlives the server: after a restart the browser goes
// on at its question and ends with the answer script's summary; every finished consultation
// is one line of the audit file.
TEST_F(WebTest, AConsultationOutlivesARestartThroughItsStateFolder) {
    const ScriptFiles forward = script_files(root + "/BAZY", "forward.txt");
    const std::string state = temp->path("stan"), logs = temp->path("dziennik");
    std::filesystem::create_directories(state);
    std::filesystem::create_directories(logs);
    const auto tune = [&](ServeOptions& o) {
        o.state_dir = state;
        o.app.log_dir = logs;
    };
    start(tune);
    Browser b(port);
    const auto before = three_answers(b);
    ASSERT_TRUE(before);
    stop();

    start(tune);
    Browser again(port);
    again.cookie = b.cookie;
    goes_on_to_the_end(again, *before, forward.summary);
    const std::string audit = read_file_bytes(logs + "/zuva-konsultacje.jsonl").value_or("");
    EXPECT_EQ(std::count(audit.begin(), audit.end(), '\n'), 1) << audit;
    EXPECT_NE(audit.find("\"base\":\"BAZY/REAUTO.BEN\""), std::string::npos) << audit;
    EXPECT_NE(audit.find("{\"cf\":0.9"), std::string::npos) << audit;
    EXPECT_NE(audit.find("\"name\":\"" + before->name + "\""), std::string::npos) << "the log: " << audit;
    // Ending the session removes its file; a token with no file finds nothing.
    ASSERT_EQ(std::distance(std::filesystem::directory_iterator(state), {}), 1);
    again.post("/koniec", "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(state), {}), 0);
    EXPECT_EQ(again.get("/konsultacja")->status, 303);
    // The server's own folders may not lie in the served one.
    std::string error;
    EXPECT_FALSE(parse_serve_args({root, "--state-dir", root + "/BAZY"}, error));
    EXPECT_NE(error.find("nie może leżeć"), std::string::npos) << error;
}

// A consultation whose browser is away is parked as its log (no thread, no working tables)
// and resumed at the next request, at the same question, to the same end.
TEST_F(WebTest, AnIdleConsultationIsParkedAsItsLogAndGoesOn) {
    const ScriptFiles forward = script_files(root + "/BAZY", "forward.txt");
    start();
    auto now = std::chrono::steady_clock::now();
    sessions->now = [&now] { return now; };
    Browser b(port);
    ASSERT_EQ(b.post("/start", "baza=BAZY%2FREAUTO.BEN")->status, 303);
    for (int i = 0; i < 2; ++i) {
        auto q = pending_of(b.get("/konsultacja")->body);
        ASSERT_TRUE(q);
        b.post("/odpowiedz", q->form + "&wartosc=" + kAnswers.at(q->name));
    }
    const auto before = pending_of(b.get("/konsultacja")->body);
    ASSERT_TRUE(before);
    now += sessions->park_after + std::chrono::seconds(1);
    EXPECT_EQ(sessions->sweep(), 0u);
    {
        auto s = sessions->find(b.token());
        ASSERT_TRUE(s);
        std::lock_guard<std::mutex> lock(s->mutex);
        EXPECT_FALSE(s->consultation) << "parked";
        EXPECT_NE(s->parked.find("\"answers\":[{"), std::string::npos) << s->parked;
    }
    const auto after = pending_of(b.get("/konsultacja")->body);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->number, before->number);
    EXPECT_EQ(after->name, before->name);
    while (auto q = pending_of(b.get("/konsultacja")->body))
        b.post("/odpowiedz", q->form + "&wartosc=" + kAnswers.at(q->name));
    EXPECT_EQ(b.get("/podsumowanie")->body, forward.summary);
}

TEST_F(WebTest, WhyRefusalsAndStaleFormsKeepTheQuestion) {
    start();
    Browser b(port);
    ASSERT_TRUE(b.post("/start", "baza=BAZY%2FREAUTO.BEN&hipoteza=naladuj_lub_wymien_akumulator"));
    auto page = b.get("/konsultacja");
    ASSERT_TRUE(page);
    auto q = pending_of(page->body);
    ASSERT_TRUE(q);
    EXPECT_NE(page->body.find(">Tak</button>"), std::string::npos);
    EXPECT_NE(page->body.find(">Nie wiem</button>"), std::string::npos);
    EXPECT_NE(page->body.find("type=\"range\""), std::string::npos);

    // Why: the chain is shown under the same question.
    auto why = b.post("/dlaczego", q->form);
    ASSERT_TRUE(why && why->status == 303);
    page = b.get("/konsultacja");
    EXPECT_NE(page->body.find("<h2 id=\"dlaczego\""), std::string::npos);
    EXPECT_NE(page->body.find("naladuj_lub_wymien_akumulator"), std::string::npos);
    EXPECT_EQ(pending_of(page->body)->number, q->number);

    // An answer out of range is refused with the program's reason; the question stays.
    ASSERT_TRUE(b.post("/odpowiedz", q->form + "&wartosc=7"));
    page = b.get("/konsultacja");
    EXPECT_NE(page->body.find("role=\"alert\""), std::string::npos);
    EXPECT_EQ(pending_of(page->body)->name, q->name);
    q = pending_of(page->body);  // the refused answer is in the log: the form moved on
    // The slider's value is the answer when its button is pressed.
    ASSERT_TRUE(b.post("/odpowiedz", q->form + "&wartosc=suwak&suwak=0.35"));
    page = b.get("/konsultacja");
    auto next = pending_of(page->body);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->number, q->number + 1);
    // A form of an earlier question (a second click, the back button) answers nothing.
    ASSERT_TRUE(b.post("/odpowiedz", q->form + "&wartosc=1"));
    page = b.get("/konsultacja");
    EXPECT_EQ(pending_of(page->body)->number, next->number);
    EXPECT_NE(page->body.find("wcześniejszego pytania"), std::string::npos);
}

TEST_F(WebTest, TextsOfABaseAreShownAsText) {
    const std::string evil = "<script>alert(1)</script>";
    temp->write_cp1250("serwis/ZLE/BAZY/REZLE.BEN", "reguła(1,\"wynik\",[\"" + evil + "\"],1,\"0.9\")\n");
    temp->write_cp1250("serwis/ZLE/OPISY/ZLE.OPI", "Opis <img src=x onerror=alert(2)> & \"cudzysłów\"\n");
    start();
    ASSERT_EQ(catalog->bases().size(), 2u) << (skipped.empty() ? "" : skipped.front());
    Browser b(port);
    auto list = b.get("/");
    EXPECT_EQ(list->body.find("<img src=x"), std::string::npos);
    EXPECT_NE(list->body.find("Opis &lt;img src=x onerror=alert(2)&gt; &amp; &quot;cudzysłów&quot;"),
              std::string::npos);
    ASSERT_TRUE(b.post("/start", "baza=ZLE%2FBAZY%2FREZLE.BEN"));
    auto page = b.get("/konsultacja");
    ASSERT_TRUE(page);
    auto q = pending_of(page->body);
    ASSERT_TRUE(q) << page->body;
    EXPECT_EQ(q->name, evil);
    EXPECT_EQ(page->body.find("<script>alert"), std::string::npos);
    EXPECT_NE(page->body.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    ASSERT_TRUE(b.post("/odpowiedz", q->form + "&wartosc=1"));
    page = b.get("/konsultacja");
    EXPECT_NE(page->body.find("<span class=\"nazwa\">wynik</span>"), std::string::npos) << page->body;
    EXPECT_EQ(page->body.find("<script>alert"), std::string::npos);
}

TEST_F(WebTest, TheResultsNameEachFileOnceAndSayWhatIsMissingOrGone) {
    // Two fired rules name the same picture (and, in the sample, the same advice); another
    // picture is a link out of the folder.
    const std::string pictures = root + "/BAZY/GRAUTO.BEN";
    write_file_bytes(pictures, read_file_bytes(pictures).value_or("") + "grafika(14,\"akumulator\")\n");
    const std::string secret = temp->write("poza/tajny.bmp", "BM sekret");
    std::filesystem::remove(root + "/GRAFIKA/AUTO/woltomierz.bmp");
    std::filesystem::create_symlink(secret, root + "/GRAFIKA/AUTO/woltomierz.bmp");
    start();
    Browser b(port);
    const std::string page = consult(b, "baza=BAZY%2FREAUTO.BEN");
    auto count = [&](const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = page.find(what); at != std::string::npos; at = page.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("alt=\"Ilustracja akumulator.bmp\""), 1u);
    EXPECT_EQ(count("<h3>Akumulator</h3>"), 1u) << "the advice titled by its first line, once";
    EXPECT_EQ(count(".hlp</h3>"), 0u);
    EXPECT_EQ(count("alt=\"Ilustracja woltomierz.bmp\""), 0u) << "no broken image";
    EXPECT_EQ(count("woltomierz.bmp (brak pliku)"), 1u);
    // The sample's texts base labels the argument; the identifier stays beside the value.
    EXPECT_EQ(count("napiecie_spoczynkowe = 11.9</li>"), 1u);
    // The report downloads line by line under a readable name.
    auto report = b.get("/raport");
    ASSERT_TRUE(report && report->status == 200);
    EXPECT_NE(report->body.find("\nKoniec wnioskowania w przód\n"), std::string::npos);
    EXPECT_NE(report->get_header_value("Content-Disposition").find("filename=\"raport-auto.txt\""),
              std::string::npos)
        << report->get_header_value("Content-Disposition");
    // A browser whose session is gone is told so.
    sessions->remove(b.token());
    auto gone = b.get("/konsultacja");
    ASSERT_EQ(gone->status, 303);
    EXPECT_NE(b.get(gone->get_header_value("Location"))->body.find("konsultacja wygasła"), std::string::npos);
}

TEST(WebText, EscapingFormsAndCookies) {
    EXPECT_EQ(html_escape("<a href=\"x\">'&'</a>"), "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;");
    const auto form = parse_form("a=1&b=x+y%2Bz&a=2&pusty&%zz=%4");
    EXPECT_EQ(form_values(form, "a"), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(form_value(form, "b"), "x y+z");
    EXPECT_EQ(form_value(form, "%zz"), "%4");
    EXPECT_EQ(form.count("pusty"), 1u);
    EXPECT_EQ(cookie_value("a=1; zuva_sesja=abc ;b=2", "zuva_sesja"), "abc");
    EXPECT_EQ(cookie_value("xzuva_sesja=abc", "zuva_sesja"), "");
    // Numbers as the program prints them ("%lg"), whatever their size.
    for (const auto& [value, text] : std::vector<std::pair<double, std::string>>{{-0.62, "-0.62"},
                                                                                 {-0.00001, "-1e-05"},
                                                                                 {1e-12, "1e-12"},
                                                                                 {-1e308, "-1e+308"},
                                                                                 {-0.0, "0"},
                                                                                 {11.9, "11.9"}})
        EXPECT_EQ(format_number(value), text) << value;
    EXPECT_EQ(safe_file_name("raport-ąb/../x"), "raport-__b_.._x");
    EXPECT_EQ(readable_file_name("raport-DŹWIĘKÓW ż.txt"), "raport-DZWIEKOW_z.txt");
}

// Without a state folder, under a key (--secret-file): the consultation is the browser's
// signed cookie. A server restarted with the same key goes on with it to the answer script's
// summary; a cookie altered, moved to another session or signed with another key starts
// nothing of it.
TEST_F(WebTest, ASignedConsultationGoesOnAfterARestartWithTheSameKey) {
    const ScriptFiles forward = script_files(root + "/BAZY", "forward.txt");
    const std::string key_file = temp->path("klucz");
    ASSERT_TRUE(write_file_bytes(key_file, std::string(40, 'k') + "\n"));
    const auto tune = [&](ServeOptions& o) {
        std::string error;
        auto parsed = parse_serve_args({root, "--secret-file", key_file}, error);
        ASSERT_TRUE(parsed) << error;
        o.app.signed_logs = parsed->app.signed_logs;
    };
    start(tune);
    Browser b(port);
    const auto before = three_answers(b);
    ASSERT_TRUE(before);
    ASSERT_FALSE(b.log_cookie.empty());
    stop();

    start(tune);
    // What a stranger makes of the cookie finds nothing: the browser is sent to start anew.
    const std::string value = b.log_cookie.substr(b.log_cookie.find('=') + 1);
    std::string altered = value;
    altered[5] = altered[5] == 'A' ? 'B' : 'A';
    for (const auto& [session, log] :
         {std::pair{b.cookie, std::string(kLogCookie) + "=" + altered},
          std::pair{std::string(kCookie) + "=" + std::string(32, 'a'), b.log_cookie},
          std::pair{b.cookie, std::string(kLogCookie) + "=" +
                                  SignedLogs(std::string(40, 'x'), std::chrono::hours(1))
                                      .seal(b.token(), "BAZY/REAUTO.BEN\tx\n{}")}}) {
        Browser stranger(port);
        stranger.cookie = session;
        stranger.log_cookie = log;
        auto r = stranger.get("/konsultacja");
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 303);
        EXPECT_EQ(r->get_header_value("Location"), "/wygasla");
    }
    Browser again(port);
    again.cookie = b.cookie;
    again.log_cookie = b.log_cookie;
    goes_on_to_the_end(again, *before, forward.summary);
    // Ending the consultation clears both cookies.
    again.post("/koniec", "");
    EXPECT_TRUE(again.cookie.empty() && again.log_cookie.empty());

    // A key with a state folder, a short key, a key among the bases: refused.
    std::string error;
    const std::string state = temp->path("stan");
    std::filesystem::create_directories(state);
    EXPECT_FALSE(parse_serve_args({root, "--secret-file", key_file, "--state-dir", state}, error));
    ASSERT_TRUE(write_file_bytes(temp->path("krotki"), "za krótki"));
    EXPECT_FALSE(parse_serve_args({root, "--secret-file", temp->path("krotki")}, error));
    EXPECT_NE(error.find("32 bajty"), std::string::npos) << error;
    ASSERT_TRUE(write_file_bytes(root + "/klucz", std::string(40, 'k')));
    EXPECT_FALSE(parse_serve_args({root, "--secret-file", root + "/klucz"}, error));
}

}  // namespace
}  // namespace zuva::web::testing
