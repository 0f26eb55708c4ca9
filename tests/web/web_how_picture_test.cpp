// The HOW tree of a conclusion as a picture: the results page links an SVG the server draws,
// with a node for every line of the text tree beside it.
#include <algorithm>
#include <regex>

#include "web_fixture.h"

namespace zuva::web::testing {
namespace {

// Text of HTML or of Graphviz's SVG, references resolved (Graphviz writes '-' as &#45;).
std::string unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const std::size_t end = s[i] == '&' ? s.find(';', i) : std::string::npos;
        if (end == std::string::npos) {
            out += s[i];
            continue;
        }
        const std::string e = s.substr(i + 1, end - i - 1);
        if (e == "lt")
            out += '<';
        else if (e == "gt")
            out += '>';
        else if (e == "amp")
            out += '&';
        else if (e == "quot")
            out += '"';
        else if (e == "#39" || e == "apos")
            out += '\'';
        else if (e.size() > 1 && e[0] == '#' && e[1] != 'x' && std::stoi(e.substr(1)) < 0x80)
            out += static_cast<char>(std::stoi(e.substr(1)));
        else
            out += "&" + e + ";";
        i = end;
    }
    return out;
}

std::vector<std::string> all(const std::string& text, const std::regex& re) {
    std::vector<std::string> out;
    for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it)
        out.push_back(unescape((*it)[1].str()));
    return out;
}

TEST_F(WebTest, TheHowTreeIsAlsoAPictureWithANodeForEveryLineOfTheText) {
    start();
    Browser b(port);
    const std::string result = consult(b, "baza=BAZY%2FREAUTO.BEN");
    const std::size_t battery = result.find("<span class=\"nazwa\">uszkodzony_akumulator</span>");
    ASSERT_NE(battery, std::string::npos) << result;
    const std::size_t tree = result.find("<ul class=\"drzewo\">", battery);
    const std::size_t figure = result.find("<div class=\"jak-rysunek\">", tree);
    ASSERT_NE(figure, std::string::npos);
    ASSERT_LT(figure, result.find("</li>", result.find("</details>", figure)));
    // The lines of the text tree in order: branches are summaries, leaves list items.
    const std::vector<std::string> lines =
        all(result.substr(tree, figure - tree), std::regex(R"(<(?:summary|li)>([^<]+)</)"));
    ASSERT_GT(lines.size(), 5u);
    std::smatch src;
    const std::string rest = result.substr(figure);
    ASSERT_TRUE(std::regex_search(rest, src, std::regex(R"re(src="(/plik/jak/[0-9]+)")re")));

    auto svg = b.get(src[1].str());
    ASSERT_TRUE(svg && svg->status == 200);
    EXPECT_EQ(svg->get_header_value("Content-Type"), "image/svg+xml");
    ASSERT_NE(svg->body.find("<svg"), std::string::npos);
    // Each node carries its whole line as its title (Graphviz writes them in its own order).
    std::vector<std::string> titles = all(svg->body, std::regex(R"re(<a xlink:title="([^"]*)")re"));
    std::vector<std::string> expected = lines;
    std::sort(titles.begin(), titles.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(titles, expected);
    // The CFs on the edges: the CF of the conclusion's first rule's contribution.
    EXPECT_NE(svg->body.find(">wkład 0.8<"), std::string::npos);

    for (const char* bad : {"/plik/jak/0", "/plik/jak/999", "/plik/jak/x"}) {
        auto r = b.get(bad);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 404) << bad;
    }
}

}  // namespace
}  // namespace zuva::web::testing
