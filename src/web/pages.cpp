#include "web/pages.h"

#include <algorithm>
#include <cstring>

#include "text/i18n.h"
#include "web/catalog.h"
#include "web/html.h"
#include "web/sessions.h"

namespace zuva::web {

namespace {

std::string asset_text(const char* name) {
    const Asset* a = find_asset(name);
    return a ? std::string(reinterpret_cast<const char*>(a->data), a->size) : std::string();
}

void replace_once(std::string& text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
}

std::string direction_text(const std::string& hypothesis) {
    return hypothesis.empty() ? tr("wnioskowanie w przód")
                              : tr("wnioskowanie wstecz, hipoteza ") + hypothesis;
}

// The hidden fields of every answer form: the question's number and name, the consultation
// and how many answers its log holds. An answer that does not match all of them is refused
// (a form of another tab, another consultation, an earlier question).
std::string answer_fields(const WebSession& s, const api::Question& q, std::size_t position) {
    return "<input type=\"hidden\" name=\"numer\" value=\"" + std::to_string(q.number) +
           "\"><input type=\"hidden\" name=\"pytanie\" value=\"" + html_escape(q.name) +
           "\"><input type=\"hidden\" name=\"konsultacja\" value=\"" + html_escape(s.consultation_id) +
           "\"><input type=\"hidden\" name=\"pozycja\" value=\"" + std::to_string(position) + "\">";
}

// The "Tak", "Nie" and "Nie wiem" buttons in the question's form; the slider in a form of its
// own, so that Enter on the slider sends the slider's value (a form's implicit submission
// takes its first button).
std::string cf_answers(const api::Question& q) {
    const bool exact = exact_member(q);
    std::string h;
    h += "<div class=\"odpowiedzi\">";
    h += std::string("<button type=\"submit\" name=\"wartosc\" value=\"1\" data-fokus>") + tr("Tak") +
         "</button>";
    h += std::string("<button type=\"submit\" name=\"wartosc\" value=\"-1\">") + tr("Nie") + "</button>";
    if (!exact)
        h += std::string("<button type=\"submit\" name=\"wartosc\" value=\"0\">") + tr("Nie wiem") +
             "</button>";
    h += "</div>";
    return h;
}

std::string slider_form(const WebSession& s, const api::Question& q, std::size_t position) {
    const std::string lo = format_number(q.min.value_or(-1.0)), hi = format_number(q.max.value_or(1.0));
    std::string h =
        "<form method=\"post\" action=\"/odpowiedz\" class=\"suwak-forma\">" + answer_fields(s, q, position);
    h += "<input type=\"hidden\" name=\"wartosc\" value=\"suwak\">";
    h += std::string("<label for=\"suwak\">") + tr("Wartość pośrednia (od ") + lo + tr(" do ") + hi +
         ")</label>";
    h += "<div class=\"suwak\"><input type=\"range\" id=\"suwak\" name=\"suwak\" min=\"" + lo + "\" max=\"" +
         hi + "\" step=\"0.05\" value=\"0\" data-wyjscie=\"suwak-wartosc\">";
    h += "<output id=\"suwak-wartosc\" for=\"suwak\">0</output></div>";
    h += std::string("<p>") + "<button type=\"submit\" class=\"drugi\">" +
         tr("Odpowiedz wartością z suwaka") + "</button>" + "</p>" + "</form>";
    return h;
}

}  // namespace

bool exact_member(const api::Question& q) {
    // A member of an exact constraint takes -1 or 1 only: the question says so in its data.
    return !q.accepted.empty();
}

namespace {

std::string value_answer(const api::Question& q, bool numeric) {
    const std::string plain = numeric ? tr("Wartość argumentu ") + q.name : q.text.empty() ? q.title : q.text;
    // The base's words when it gives any, the program's own under them.
    std::string h = "<label for=\"wartosc\">" +
                    (q.display.empty() ? html_escape(plain)
                                       : html_escape(q.display) + " <small class=\"identyfikator\">" +
                                             html_escape(plain) + "</small>");
    if (q.min && q.max) h += " (od " + format_number(*q.min) + " do " + format_number(*q.max) + ")";
    h += "</label>";
    h += "<input type=\"text\" id=\"wartosc\" name=\"wartosc\" autocomplete=\"off\" data-fokus";
    if (numeric) h += " inputmode=\"decimal\"";
    h += " required>";
    h += std::string("<p>") + "<button type=\"submit\">" + tr("Odpowiedz") + "</button>" + "</p>";
    return h;
}

std::string choice_answer(const api::Question& q) {
    const bool many = q.kind == api::QuestionKind::MultiList;
    std::string h =
        "<fieldset class=\"wybor\"><legend>" + html_escape(q.text.empty() ? q.title : q.text) + "</legend>";
    for (std::size_t i = 0; i < q.options.size(); ++i) {
        std::string label = q.options[i];
        label.erase(std::remove(label.begin(), label.end(), '&'), label.end());
        const std::string id = "opcja" + std::to_string(i + 1);
        h += "<label for=\"" + id + "\"><input type=\"" + std::string(many ? "checkbox" : "radio") +
             "\" id=\"" + id + "\" name=\"wybor\" value=\"" + std::to_string(i + 1) + "\"" +
             (i == 0 ? " data-fokus" : "") + (i == 0 && !many ? " checked" : "") + "> " + html_escape(label) +
             "</label>";
    }
    if (q.kind == api::QuestionKind::List)
        h += std::string(
                 "<label for=\"opcja0\"><input type=\"radio\" id=\"opcja0\" name=\"wybor\" value=\"0\"> ") +
             tr("(nic)") + "</label>";
    h += std::string("</fieldset>") + "<p>" + "<button type=\"submit\">" + tr("Wybierz") + "</button>" +
         "</p>";
    return h;
}

std::string why_section(const api::Why& w) {
    std::string h = "<section class=\"karta dlaczego\" aria-labelledby=\"dlaczego\">";
    h += std::string("<h2 id=\"dlaczego\" tabindex=\"-1\" data-fokus>") + tr("Dlaczego pytam?") + "</h2>";
    if (!w.chain.empty()) {
        h += "<ol class=\"lancuch\">";
        for (const auto& link : w.chain) {
            h += "<li>";
            for (std::size_t i = 0; i < link.size(); ++i)
                h += (i ? "\n" : "") + html_escape(link[i]);
            h += "</li>";
        }
        h += "</ol>";
    }
    h += std::string("<details>") + "<summary>" + tr("Pełny tekst wyjaśnienia") + "</summary>" + "<pre>" +
         html_escape(w.text) + "</pre></details>";
    h += "</section>";
    return h;
}

void how_node(std::string& h, const api::HowNode& n) {
    if (n.children.empty()) {
        h += "<li>" + html_escape(n.text) + "</li>";
        return;
    }
    h += "<li><details open><summary>" + html_escape(n.text) + "</summary><ul>";
    for (const auto& c : n.children)
        how_node(h, c);
    h += "</ul></details></li>";
}

std::string how_tree(api::Consultation& c, const std::string& name) {
    api::HowNode root;
    try {
        root = c.how(name);
    } catch (const api::Error& e) {
        return "<p>" + html_escape(e.message()) + "</p>";
    }
    std::string h = "<ul class=\"drzewo\">";
    how_node(h, root);
    h += "</ul>";
    return h;
}

// Each file once (two conclusions may name the same one); one the server will not serve
// (missing, unreadable, or outside the folder) by its name only.
std::string offers(const std::vector<api::Offer>& items, const char* kind, const OfferCheck& usable) {
    std::string h;
    std::vector<std::string> shown;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const api::Offer& o = items[i];
        const std::string key = o.path.empty() ? o.name : o.path;
        if (std::find(shown.begin(), shown.end(), key) != shown.end()) continue;
        shown.push_back(key);
        const std::string url = std::string("/plik/") + kind + "/" + std::to_string(i + 1);
        h += "<figure>";
        if (!o.available || !usable(o)) {
            h += "<figcaption>" + html_escape(o.name) + std::string(tr(" (brak pliku)")) + "</figcaption>";
        } else if (std::strcmp(kind, "obraz") == 0) {
            h += "<img src=\"" + url + "\" alt=\"" + html_escape(tr("Ilustracja ") + o.name) + "\">";
            h += "<figcaption>" + html_escape(o.name) + "</figcaption>";
        } else {
            h += "<figcaption id=\"dzwiek" + std::to_string(i + 1) + "\">" + html_escape(o.name) +
                 "</figcaption>";
            h += "<audio controls preload=\"none\" src=\"" + url + "\" aria-labelledby=\"dzwiek" +
                 std::to_string(i + 1) + "\"></audio>";
        }
        h += "</figure>";
    }
    return h;
}

}  // namespace

std::string page(const std::string& title, const std::string& body) {
    std::string h = asset_text("layout.html");
    const bool english = thread_language() == Language::english;
    replace_once(h, "{{lang}}", language_code(thread_language()));
    replace_once(h, "{{skip}}", html_escape(tr("Przejdź do treści")));
    replace_once(h, "{{tagline}}", html_escape(tr("konsultacje z bazami wiedzy")));
    // The other language, named in itself.
    replace_once(h, "{{switch}}",
                 english ? "<a href=\"/jezyk/pl\" lang=\"pl\" hreflang=\"pl\">Polski</a>"
                         : "<a href=\"/jezyk/en\" lang=\"en\" hreflang=\"en\">English</a>");
    replace_once(h, "{{title}}", html_escape(title));
    replace_once(h, "{{body}}", body);
    return h;
}

std::string bases_page(const Catalog& catalog, const std::string& notice) {
    std::string h = std::string("<h1 data-fokus tabindex=\"-1\">") + tr("Wybierz bazę wiedzy") + "</h1>";
    if (!notice.empty()) h += "<p class=\"blad\" role=\"alert\">" + html_escape(notice) + "</p>";
    if (catalog.bases().empty())
        h += std::string("<p>") + tr("W katalogu baz nie ma żadnej bazy reguł, którą można udostępnić.") +
             "</p>";
    int n = 0;
    for (const auto& b : catalog.bases()) {
        ++n;
        const std::string id = "baza" + std::to_string(n);
        h += "<section class=\"karta\" aria-labelledby=\"" + id + "\">";
        h += "<h2 id=\"" + id + std::string("\">") + tr("Baza wiedzy ") + html_escape(b.name) + "</h2>";
        h += "<p class=\"krok\">" + html_escape(b.id) + "</p>";
        if (!b.description.empty()) h += "<div class=\"opis\">" + html_escape(b.description) + "</div>";
        h += "<form method=\"post\" action=\"/start\"><input type=\"hidden\" name=\"baza\" value=\"" +
             html_escape(b.id) + std::string("\">") + "<p>" + "<button type=\"submit\">" +
             tr("Wnioskowanie w przód") + "</button>" + "</p>" + "</form>";
        if (!b.hypotheses.empty()) {
            h += "<form method=\"post\" action=\"/start\"><input type=\"hidden\" name=\"baza\" value=\"" +
                 html_escape(b.id) + "\">";
            h += "<label for=\"" + id + std::string("-hipoteza\">") + tr("Hipoteza do sprawdzenia") +
                 "</label>";
            h += "<select id=\"" + id + "-hipoteza\" name=\"hipoteza\">";
            for (const auto& hyp : b.hypotheses) {
                const std::string shown = b.kb.display_text(hyp);
                h += "<option value=\"" + html_escape(hyp) + "\">" +
                     html_escape(shown.empty() ? hyp : shown + " (" + hyp + ")") + "</option>";
            }
            h += std::string("</select>") + "<p>" + "<button type=\"submit\" class=\"drugi\">" +
                 tr("Wnioskowanie wstecz") + "</button>" + "</p>" + "</form>";
        }
        h += "</section>";
    }
    return page(tr("Bazy wiedzy"), h);
}

std::string question_page(const WebSession& s, const api::Question& q, std::size_t position) {
    std::string h = std::string("<h1>") + tr("Konsultacja: baza ") + html_escape(s.base->name) + "</h1>";
    h += "<p class=\"krok\">" + html_escape(direction_text(s.hypothesis)) + tr(" · pytanie ") +
         std::to_string(q.number) + "</p>";
    h += "<section class=\"karta\" aria-labelledby=\"pytanie\">";
    if (!q.display.empty()) {
        // In the base's own words, the identifier small under them for the engineer.
        h += "<h2 id=\"pytanie\">" + html_escape(q.display) + "</h2>";
        h +=
            "<p class=\"identyfikator\"><span class=\"pytanie-nazwa\">" + html_escape(q.name) + "</span></p>";
        if (!q.help.empty()) h += "<p class=\"pomoc\">" + html_escape(q.help) + "</p>";
    } else {
        h += "<h2 id=\"pytanie\">" + html_escape(q.dialog.empty() ? q.title : q.dialog) +
             ": <span class=\"pytanie-nazwa\">" + html_escape(q.name) + "</span></h2>";
        if (!q.text.empty() && q.kind != api::QuestionKind::Text) h += "<p>" + html_escape(q.text) + "</p>";
    }
    if (!s.error.empty()) h += "<p class=\"blad\" role=\"alert\">" + html_escape(s.error) + "</p>";
    h += "<form method=\"post\" action=\"/odpowiedz\" data-pytanie=\"" + html_escape(q.name) + "\">";
    h += answer_fields(s, q, position);
    const bool cf = q.kind == api::QuestionKind::ConditionCf || q.kind == api::QuestionKind::ConclusionCf;
    switch (q.kind) {
        case api::QuestionKind::ConditionCf:
        case api::QuestionKind::ConclusionCf:
            h += cf_answers(q);
            break;
        case api::QuestionKind::ArgumentValue:
            h += value_answer(q, true);
            break;
        case api::QuestionKind::Text:
            h += value_answer(q, false);
            break;
        default:
            h += choice_answer(q);
    }
    h += "</form>";
    if (cf && !exact_member(q)) h += slider_form(s, q, position);
    if (q.can_ask_why && !(s.why && s.why_number == q.number))
        h += "<form method=\"post\" action=\"/dlaczego\">" + answer_fields(s, q, position) +
             std::string("<p>") + "<button type=\"submit\" class=\"drugi\">" + tr("Dlaczego pytam?") +
             "</button>" + "</p>" + "</form>";
    h += "</section>";
    if (s.why && s.why_number == q.number) h += why_section(*s.why);
    h += std::string(
             "<form method=\"post\" action=\"/koniec\" class=\"dalej\"><button type=\"submit\" "
             "class=\"drugi\">") +
         tr("Przerwij konsultację") + "</button></form>";
    return page(tr("Pytanie ") + std::to_string(q.number), h);
}

std::string result_body(api::Consultation& c, const BaseEntry& base, const std::string& hypothesis,
                        const OfferCheck& usable) {
    const api::Result& r = c.result();
    std::string h = std::string("<h1 data-fokus tabindex=\"-1\">") + tr("Wyniki konsultacji: baza ") +
                    html_escape(base.name) + "</h1>";
    h += "<p class=\"krok\">" + html_escape(direction_text(hypothesis)) +
         (r.completed ? "" : tr(" · konsultacja nie doszła do końca")) + "</p>";
    std::vector<const api::Conclusion*> ranked;
    for (const auto& x : r.conclusions)
        ranked.push_back(&x);
    std::stable_sort(ranked.begin(), ranked.end(), [](const api::Conclusion* a, const api::Conclusion* b) {
        if (a->cf.has_value() != b->cf.has_value()) return a->cf.has_value();
        return a->cf && b->cf && *a->cf > *b->cf;
    });
    h += std::string("<section aria-labelledby=\"wnioski\">") + "<h2 id=\"wnioski\">" + tr("Wnioski") +
         "</h2>";
    if (ranked.empty()) h += std::string("<p>") + tr("Wnioskowanie nie dało żadnego wniosku.") + "</p>";
    h += "<ol class=\"wnioski\">";
    for (const auto* x : ranked) {
        // `.nazwa` is the identifier; a label of the texts base goes above it, and the
        // identifier is then shown small.
        h += "<li><div class=\"wniosek\">";
        if (!x->display.empty())
            h += "<span class=\"z-etykieta\"><span class=\"etykieta\">" + html_escape(x->display) + "</span>";
        h += "<span class=\"nazwa\">" + html_escape(x->name) + "</span>";
        if (!x->display.empty()) h += "</span>";
        if (x->cf) {
            const std::string v = format_number(*x->cf);
            h += std::string("<span class=\"cf\">") + tr("CF = ") + v + "</span>";
            h += "<meter min=\"-1\" max=\"1\" low=\"0\" high=\"0.5\" optimum=\"1\" value=\"" + v +
                 "\" aria-label=\"" + html_escape(tr("CF wniosku ") + x->name) + "\">" + v + "</meter>";
        } else {
            h += std::string("<span class=\"cf\">") + tr("brak CF") + "</span>";
        }
        h += "</div>";
        if (r.completed) {
            // The text tree for reading and screen readers, and the same tree as a picture the
            // server draws (by the conclusion's place in the results).
            const std::size_t place = static_cast<std::size_t>(x - r.conclusions.data()) + 1;
            h += std::string("<details class=\"jak\">") + "<summary>" + tr("Jak uzyskano wniosek?") +
                 "</summary>" + how_tree(c, x->name) +
                 "<div class=\"jak-rysunek\"><img loading=\"lazy\" src=\"/plik/jak/" + std::to_string(place) +
                 "\" alt=\"" +
                 html_escape(tr("Rysunek drzewa wyjaśnienia wniosku ") + x->name +
                             tr(" (jak w tekście wyżej)")) +
                 "\"></div></details>";
        }
        h += "</li>";
    }
    h += "</ol></section>";
    if (!r.arguments.empty()) {
        h += std::string("<section aria-labelledby=\"argumenty\">") + "<h2 id=\"argumenty\">" +
             tr("Wartości argumentów") + "</h2>" + "<ul>";
        for (const auto& a : r.arguments)
            h +=
                "<li>" +
                (a.display.empty() ? "" : "<span class=\"etykieta\">" + html_escape(a.display) + "</span> ") +
                html_escape(a.name) + " = " + format_number(a.value) + "</li>";
        h += "</ul></section>";
    }
    if (!r.advice.empty()) {
        h += std::string("<section aria-labelledby=\"rady\">") + "<h2 id=\"rady\">" + tr("Rady") + "</h2>";
        std::vector<std::string> shown;
        for (const auto& a : r.advice) {
            const std::string key = a.path.empty() ? a.name : a.path;
            if (std::find(shown.begin(), shown.end(), key) != shown.end()) continue;
            shown.push_back(key);
            // The advice's first line is its title; a missing file is named by its file.
            std::string text = a.available ? a.text : std::string();
            const std::size_t start = text.find_first_not_of("\r\n \t");
            text = start == std::string::npos ? std::string() : text.substr(start);
            const std::size_t eol = text.find('\n');
            std::string title = text.substr(0, eol);
            while (!title.empty() && (title.back() == '\r' || title.back() == ' '))
                title.pop_back();
            const std::string rest = eol == std::string::npos ? std::string() : text.substr(eol + 1);
            h += "<div class=\"karta rada\"><h3>" +
                 html_escape(title.empty() ? tr("Rada ") + a.name : title) + "</h3>";
            h += !text.empty() ? "<pre>" + html_escape(rest) + "</pre>"
                               : std::string("<p>") + tr("Brak pliku rady.") + "</p>";
            h += "</div>";
        }
        h += "</section>";
    }
    if (!r.pictures.empty())
        h += std::string("<section aria-labelledby=\"obrazy\">") + "<h2 id=\"obrazy\">" + tr("Ilustracje") +
             "</h2>" + offers(r.pictures, "obraz", usable) + "</section>";
    if (!r.sounds.empty())
        h += std::string("<section aria-labelledby=\"dzwieki\">") + "<h2 id=\"dzwieki\">" + tr("Dźwięki") +
             "</h2>" + offers(r.sounds, "dzwiek", usable) + "</section>";
    if (!r.notes.empty()) {
        h += std::string("<section aria-labelledby=\"komunikaty\">") + "<h2 id=\"komunikaty\">" +
             tr("Komunikaty programu") + "</h2>" + "<ul>";
        for (const auto& n : r.notes)
            h += "<li>" + html_escape(n.text) + "</li>";
        h += "</ul></section>";
    }
    h += std::string("<section aria-labelledby=\"pliki\">") + "<h2 id=\"pliki\">" + tr("Do pobrania") +
         "</h2>" + "<p class=\"pobierz\">";
    if (!r.report.empty())
        h += std::string("<a class=\"przycisk drugi\" href=\"/raport\" download>") + tr("Pobierz raport") +
             "</a>";
    if (!r.summary.empty())
        h += std::string("<a class=\"przycisk drugi\" href=\"/podsumowanie\" download>") +
             tr("Pobierz podsumowanie") + "</a>";
    h += "</p>";
    if (!r.report.empty())
        h += std::string("<details class=\"raport\">") + "<summary>" + tr("Przebieg wnioskowania") +
             "</summary>" + "<pre>" + html_escape(r.report) + "</pre></details>";
    h += "</section>";
    h += std::string("<form method=\"post\" action=\"/koniec\" class=\"dalej\"><button type=\"submit\">") +
         tr("Nowa konsultacja") + "</button></form>";
    return h;
}

std::string message_page(const std::string& title, const std::string& text, bool back_link) {
    std::string h = "<h1 data-fokus tabindex=\"-1\">" + html_escape(title) + "</h1>";
    h += "<p class=\"blad\" role=\"alert\">" + html_escape(text) + "</p>";
    if (back_link)
        h += std::string("<p>") + "<a class=\"przycisk\" href=\"/\">" + tr("Wybór bazy wiedzy") + "</a>" +
             "</p>";
    return page(title, h);
}

}  // namespace zuva::web
