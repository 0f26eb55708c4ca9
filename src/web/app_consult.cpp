// The routes of a live consultation, its session locked: the pending question or the
// results (GET /konsultacja), the answer forms (POST /odpowiedz, /dlaczego), and the files
// of the finished run (GET /raport, /podsumowanie, /plik/obraz/N, /plik/dzwiek/N, /plik/jak/N: by
// position, no path ever comes from a request).
#include <map>
#include <optional>

#include "draw/render.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "web/app.h"
#include "web/catalog.h"
#include "web/html.h"
#include "web/pages.h"
#include "web/responses.h"
#include "web/session_store.h"
#include "web/sessions.h"

namespace zuva::web {

namespace {

std::string media_type(const std::string& path, bool picture) {
    const std::string p = lower_ascii(path);
    auto ends = [&](const char* ext) {
        const std::string e = ext;
        return p.size() >= e.size() && p.compare(p.size() - e.size(), e.size(), e) == 0;
    };
    if (ends(".bmp")) return "image/bmp";
    if (ends(".png")) return "image/png";
    if (ends(".jpg") || ends(".jpeg")) return "image/jpeg";
    if (ends(".gif")) return "image/gif";
    if (ends(".wav")) return "audio/wav";
    if (ends(".ogg")) return "audio/ogg";
    if (ends(".mp3")) return "audio/mpeg";
    return picture ? "application/octet-stream" : "application/octet-stream";
}

// Why an answer form does not answer the pending question (empty when it does): each form
// names the consultation, the question's number and name, and how many answers the log
// held when the page was made.
std::string stale_form(const std::multimap<std::string, std::string>& form, const WebSession& s,
                       const std::optional<api::Question>& pending, const api::Consultation& c) {
    if (form_value(form, "konsultacja") != s.consultation_id || s.consultation_id.empty())
        return tr(
            "Ta odpowiedź dotyczyła innej konsultacji (rozpoczętej od nowa, może w innej karcie). "
            "Odpowiedz na pytanie poniżej.");
    if (!pending || parse_int(form_value(form, "numer")) != pending->number ||
        form_value(form, "pytanie") != pending->name ||
        form_value(form, "pozycja") != std::to_string(c.log().answers.size()))
        return tr("Ta odpowiedź dotyczyła wcześniejszego pytania. Odpowiedz na pytanie poniżej.");
    return {};
}

}  // namespace

WebResponse WebApp::in_consultation(const WebRequest& q, WebSession& s) {
    const bool get = q.method == "GET" || q.method == "HEAD";
    const bool post = q.method == "POST";
    api::Consultation& c = *s.consultation;
    std::optional<api::Question> pending = c.next();
    if (get && q.path == "/konsultacja") {
        if (pending) {
            std::string body = question_page(s, *pending, c.log().answers.size());
            s.error.clear();
            return html(200, std::move(body));
        }
        if (s.result_html.empty())
            s.result_html = result_body(c, *s.base, s.hypothesis, [this](const api::Offer& o) {
                return catalog_.inside(o.path) && read_file_bytes(o.path).has_value();
            });
        return html(200, page(tr("Wyniki konsultacji"), s.result_html));
    }
    if (post && (q.path == "/odpowiedz" || q.path == "/dlaczego")) return answer(q, s, pending);
    if (!get || pending) return redirect("/konsultacja");
    return download(q, s);
}

WebResponse WebApp::answer(const WebRequest& q, WebSession& s, const std::optional<api::Question>& pending) {
    api::Consultation& c = *s.consultation;
    const auto form = parse_form(q.body);
    if (std::string refused = stale_form(form, s, pending, c); !refused.empty()) {
        if (pending) s.error = std::move(refused);
        return redirect("/konsultacja");
    }
    if (q.path == "/dlaczego") {
        try {
            s.why = c.why();
            s.why_number = pending->number;
        } catch (const api::Error& e) {
            s.error = e.message();
        }
        return redirect("/konsultacja#dlaczego");
    }
    try {
        switch (pending->kind) {
            case api::QuestionKind::Choice:
            case api::QuestionKind::Radio:
            case api::QuestionKind::List: {
                const int position = parse_int(form_value(form, "wybor"));
                if (position == 0 && pending->kind == api::QuestionKind::List)
                    c.answer(std::string());
                else
                    c.choose(position);
                break;
            }
            case api::QuestionKind::MultiList: {
                std::string joined;
                for (const auto& v : form_values(form, "wybor"))
                    joined += (joined.empty() ? "" : ",") + v;
                c.answer(joined);
                break;
            }
            default: {
                std::string value = form_value(form, "wartosc");
                if (value == "suwak") value = form_value(form, "suwak");
                // A member of an exact constraint takes -1 or 1 only; anything else
                // is refused here, before the run (and its report) sees it.
                if (exact_member(*pending) && value != "1" && value != "-1") {
                    s.error = tr("Ten warunek przyjmuje tylko odpowiedź Tak albo Nie.");
                    return redirect("/konsultacja");
                }
                c.answer(value);
            }
        }
        s.why.reset();
    } catch (const api::Error& e) {
        s.error = e.message();
    }
    if (options_.store) options_.store->save(s);
    // The answer that ends the consultation records it (once: a consultation resumed
    // in another process after its end is not recorded again).
    if (!options_.log_dir.empty() && !c.next()) append_audit_line(options_.log_dir, s.base->id, c);
    return redirect("/konsultacja");
}

WebResponse WebApp::download(const WebRequest& q, WebSession& s) {
    api::Consultation& c = *s.consultation;
    const api::Result& result = c.result();
    if (q.path == "/raport" || q.path == "/podsumowanie") {
        const bool report = q.path == "/raport";
        const std::string& text = report ? result.report : result.summary;
        if (text.empty())
            return html(404, message_page(tr("Nie znaleziono"), tr("Ta konsultacja nie ma tego pliku.")));
        WebResponse r;
        // The report as the program shows it, line by line; the summary the same bytes
        // as the file the program writes.
        r.type = report ? "text/plain; charset=utf-8" : "text/plain; charset=windows-1250";
        r.body = report ? text : utf8_to_cp1250_lossy(text);
        const std::string name = (report ? "raport-" : "podsumowanie-") + s.base->name + ".txt";
        r.headers.emplace_back("Content-Disposition", "attachment; filename=\"" + readable_file_name(name) +
                                                          "\"; filename*=UTF-8''" + percent_encode(name));
        return r;
    }
    // /plik/jak/N: the HOW tree of the N-th conclusion of the results, drawn as SVG.
    if (q.path.rfind("/plik/jak/", 0) == 0) {
        const int n = parse_int(q.path.substr(10));
        if (n < 1 || n > static_cast<int>(result.conclusions.size()))
            return html(404, message_page(tr("Nie znaleziono"), tr("Nie ma takiego wniosku.")));
        api::HowNode how;
        try {
            how = c.how(result.conclusions[static_cast<std::size_t>(n - 1)].name);
        } catch (const api::Error& e) {
            return html(404, message_page(tr("Nie znaleziono"), e.message()));
        }
        const draw::Drawing d = draw::render(api::how_dot(how), "svg");
        if (!d.ok) return html(500, message_page(tr("Błąd rysunku"), d.error));
        WebResponse r;
        r.type = "image/svg+xml";
        r.body = d.data;
        return r;
    }
    // /plik/obraz/N, /plik/dzwiek/N
    const bool picture = q.path.rfind("/plik/obraz/", 0) == 0;
    const bool sound = q.path.rfind("/plik/dzwiek/", 0) == 0;
    const auto& offers = picture ? result.pictures : result.sounds;
    const int n = picture ? parse_int(q.path.substr(12)) : sound ? parse_int(q.path.substr(13)) : -1;
    if ((!picture && !sound) || n < 1 || n > static_cast<int>(offers.size()))
        return html(404, message_page(tr("Nie znaleziono"), tr("Nie ma takiego pliku.")));
    const api::Offer& o = offers[static_cast<std::size_t>(n - 1)];
    if (!o.available || !catalog_.inside(o.path))
        return html(404,
                    message_page(tr("Nie znaleziono"), tr("Plik leży poza katalogiem baz albo go nie ma.")));
    auto bytes = read_file_bytes(o.path);
    if (!bytes) return html(404, message_page(tr("Nie znaleziono"), tr("Nie można odczytać pliku.")));
    WebResponse r;
    r.type = media_type(o.path, picture);
    r.body = std::move(*bytes);
    return r;
}

}  // namespace zuva::web
