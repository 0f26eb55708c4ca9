// The command table and the menu tree (the enabling groups are in session/). The menu tree refers to
// commands by id only; every id it names is in the table (the tests check both ways).
#include "shell/commands.h"

#include <algorithm>
#include <unordered_map>

#include "session/enabling.h"
#include "text/i18n.h"

namespace zuva {
namespace {

MenuNode item(int id) {
    return MenuNode{find_command(id)->text, id, {}};
}

MenuNode submenu(std::string_view title, std::initializer_list<int> ids) {
    MenuNode m{title, 0, {}};
    for (int id : ids)
        m.children.push_back(item(id));
    return m;
}

}  // namespace

const std::vector<CommandInfo>& all_commands() {
    static const std::vector<CommandInfo> table = {
        {10064, N_("Ładowanie bazy &reguł")},
        {10065, N_("Import warunków i argumentów dopytywalnych z zewnętrznego źródła danych")},
        {10067, N_("Selektywny wybór reguł")},
        {10068, N_("Przegląd wszystkich reguł")},
        {10069, N_("Przegląd warunków dopytywalnych bazy reguł")},
        {10070, N_("Edycja bazy reguł")},
        {10071, N_("Tworzenie bazy reguł")},
        {10072, N_("Kasowanie bazy reguł")},
        {10073, N_("Diagnostyka sprzeczności zewnętrznych bazy reguł")},
        {10074, N_("Diagnostyka sprzecznościwewnętrznych")},
        {10075, N_("Diagnostyka nadmiarowości bazy reguł")},
        {10076, N_("Diagnostyka kompletności bazy wiedzy")},
        {10077, N_("Ładowanie bazy modeli")},
        {10080, N_("Modele liniowe")},
        {10081, N_("Modele podstawowe")},
        {10082, N_("Modele rozszerzone")},
        {10083, N_("Modele wielomianowe")},
        {10084, N_("Przegląd wszystkich modeli")},
        {10085, N_("Przegląd warunków i argumentów dopytywalnych bazy modeli")},
        {10086, N_("Przegląd warunków i argumentów dopytywalnych bazy reguł i bazy modeli")},
        {10087, N_("Edycja bazy modeli")},
        {10088, N_("Tworzenie bazy modeli")},
        {10089, N_("Kasowanie bazy modeli")},
        {10090, N_("Diagnostyka sprzeczności bazy modeli")},
        {10091, N_("Diagnostyka sprzeczności łącznych bazy modeli i bazy reguł")},
        {10093, N_("Ładowanie bazy ograniczeń dokładnych")},
        {10095, N_("Selektywny wybór ograniczeń dokładnych")},
        {10096, N_("Przegląd wszystkich ograniczeń dokładnych")},
        {10097, N_("Edycja bazy ograniczeń dokładnych")},
        {10098, N_("Tworzenie bazy ograniczeń dokładnych")},
        {10099, N_("Kasowanie bazy ograniczeń dokładnych")},
        {10100, N_("Diagnostyka sprzeczności łącznych baz reguł i ograniczeń dokładnych")},
        {10101, N_("Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń dokładnych")},
        {10103, N_("Ładowanie bazy ograniczeń niepewnych")},
        {10105, N_("Selektywny wybór ograniczeń niepewnych")},
        {10106, N_("Przegląd wszystkich ograniczeń niepewnych")},
        {10107, N_("Edycja bazy ograniczeń niepewnych")},
        {10108, N_("Tworzenie bazy ograniczeń niepewnych")},
        {10109, N_("Kasowanie bazy ograniczeń niepewnych")},
        {10110, N_("Diagnostyka sprzeczności łącznych baz reguł i ograniczeń niepewnych")},
        {10111, N_("Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń niepewnych")},
        {10113, N_("Ładowanie bazy rad")},
        {10114, N_("Przegląd nazw rad z bazy rad")},
        {10115, N_("Edycja bazy rad")},
        {10116, N_("Tworzenie bazy rad")},
        {10117, N_("Kasowanie bazy rad")},
        {10118, N_("Obejrzenie pliku tekstowego rady")},
        {10119, N_("Obejrzenie podkartotek i plików tekstowych rad")},
        {10120, N_("Tworzenie lub kasowanie podkartoteki plików tekstowych rad")},
        {10121, N_("Tworzenie pliku tekstowego rady")},
        {10122, N_("Kasowanie pliku tekstowego rady")},
        {10124, N_("Ładowanie bazy grafiki")},
        {10125, N_("Przegląd nazw grafik z bazy grafiki")},
        {10126, N_("Edycja bazy grafiki")},
        {10127, N_("Tworzenie bazy grafiki")},
        {10128, N_("Kasowanie bazy grafiki")},
        {10129, N_("Obejrzenie pliku graficznego")},
        {10130, N_("Obejrzenie podkartotek i plików grafiki")},
        {10131, N_("Tworzenie lub kasowanie podkartoteki plików grafiki")},
        {10132, N_("Kasowanie pliku grafiki")},
        {10134, N_("Ładowanie bazy dźwięków")},
        {10135, N_("Przegląd nazw plików dźwięków z bazy dźwięków")},
        {10136, N_("Edycja bazy dźwięków")},
        {10137, N_("Tworzenie bazy dźwięków")},
        {10138, N_("Kasowanie bazy dźwięków")},
        {10139, N_("Przesłuchiwanie dźwięków z bazy dźwięków")},
        {10140, N_("Obejrzenie podkartotek i przesłuchiwanie plików dźwiękowych")},
        {10141, N_("Tworzenie lub kasowanie podkartoteki plików dźwięków")},
        {10142, N_("Kasowanie pliku dźwięków")},
        {10190, N_("Ładowanie bazy tekstów")},
        {10191, N_("Przegląd bazy tekstów")},
        {10192, N_("Edycja bazy tekstów")},
        {10193, N_("Tworzenie bazy tekstów")},
        {10194, N_("Kasowanie bazy tekstów")},
        {10145, N_("Spłaszczanie wybranej reguły")},
        {10146, N_("Spłaszczanie kolejne wszystkich reguł")},
        {10147, N_("Wnioski wykluczające się do jednego")},
        {10148, N_("Wnioski wykluczające się do żadnego")},
        {10149, N_("Wnioski niewykluczające się")},
        {10151, N_("Czytanie raportu wnioskowania/diagnostyki")},
        {10152, N_("Kasowanie raportu wnioskowania/diagnostyki")},
        {10153, N_("Przegląd opisów")},
        {10154, N_("Edycja opisu")},
        {10155, N_("Tworzenie opisu")},
        {10156, N_("Kasowanie opisu")},
        {10157, N_("Czytanie raportu podsumowania")},
        {10158, N_("Kasowanie raportu podsumowania")},
        {10160, N_("Tworzenie pliku warunków i argumentów dopytywalnych")},
        {10161, N_("Czytanie pliku warunków i argumentów dopytywalnych")},
        {10162, N_("Kasowanie pliku warunków i argumentów dopytywalnych")},
        {10164, N_("Wnioskowanie elementarne niepewne w przód")},
        {10165, N_("Wnioskowanie elementarne niepewne wstecz")},
        {10167, N_("Utwórz nowe Okno Pomocnicze")},
        {10168, N_("Ustaw katalog na bieżący")},
        {10169, N_("&Pomoc")},
        {10170, N_("&O programie")},
        {10171, N_("&Właściciel")},
        {10180, N_("Jak uzyskano wniosek?")},
        {10181, N_("Zapis przypadku testowego z podsumowania")},
        {10182, N_("Zapis dziennika konsultacji z podsumowania")},
        {10185, N_("Graf bazy wiedzy")},
        {10186, N_("Porównanie baz wiedzy")},
    };
    return table;
}

const CommandInfo* find_command(int id) {
    static const std::unordered_map<int, const CommandInfo*> index = [] {
        std::unordered_map<int, const CommandInfo*> m;
        for (const auto& c : all_commands())
            m.emplace(c.id, &c);
        return m;
    }();
    auto it = index.find(id);
    return it == index.end() ? nullptr : it->second;
}

std::string menu_label(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '&') out += c;
    return out;
}

const std::vector<MenuNode>& main_menu() {
    static const std::vector<MenuNode> menu = [] {
        std::vector<MenuNode> m;
        MenuNode rules{N_("Baza reguł"), 0, {}};
        rules.children = {item(10064), submenu(N_("Przegląd bazy reguł"), {10067, 10068, 10069}),
                          item(10070), item(10071),
                          item(10072), submenu(N_("Diagnostyka bazy reguł"), {10073, 10074, 10075, 10076})};
        m.push_back(rules);

        MenuNode models{N_("Baza modeli"), 0, {}};
        models.children = {
            item(10077),
            submenu(N_("Przegląd bazy modeli"), {10080, 10081, 10082, 10083, 10084, 10085, 10086}),
            item(10087),
            item(10088),
            item(10089),
            submenu(N_("Diagnostyka bazy modeli"), {10090, 10091})};
        m.push_back(models);

        MenuNode exact{N_("Baza ograniczeń dokładnych"), 0, {}};
        exact.children = {
            item(10093), submenu(N_("Przegląd ograniczeń dokładnych"), {10095, 10096}),
            item(10097), item(10098),
            item(10099), submenu(N_("Diagnostyka z ograniczeniami dokładnymi"), {10100, 10101})};
        m.push_back(exact);

        MenuNode uncertain{N_("Baza ograniczeń niepewnych"), 0, {}};
        uncertain.children = {
            item(10103), submenu(N_("Przegląd ograniczeń niepewnych"), {10105, 10106}),
            item(10107), item(10108),
            item(10109), submenu(N_("Diagnostyka z ograniczeniami niepewnymi"), {10110, 10111})};
        m.push_back(uncertain);

        MenuNode advice{N_("Baza rad"), 0, {}};
        advice.children = {item(10113), submenu(N_("Przegląd rad"), {10114, 10118, 10119}),
                           item(10115), item(10116),
                           item(10117), submenu(N_("Pliki tekstowe rad"), {10120, 10121, 10122})};
        m.push_back(advice);

        MenuNode graphics{N_("Baza grafiki"), 0, {}};
        graphics.children = {item(10124), submenu(N_("Przegląd grafiki"), {10125, 10129, 10130}),
                             item(10126), item(10127),
                             item(10128), submenu(N_("Pliki grafiki"), {10131, 10132})};
        m.push_back(graphics);

        MenuNode sounds{N_("Baza dźwięku"), 0, {}};
        sounds.children = {item(10134), submenu(N_("Przegląd i słuchanie dźwięków"), {10135, 10139, 10140}),
                           item(10136), item(10137),
                           item(10138), submenu(N_("Pliki dźwięków"), {10141, 10142})};
        m.push_back(sounds);

        // The display texts of the names: questions and labels in the base's own words.
        MenuNode texts{N_("Baza tekstów"), 0, {}};
        texts.children = {item(10190), item(10191), item(10192), item(10193), item(10194)};
        m.push_back(texts);

        // The flattened rule base and the analysis of exclusive conclusions.
        MenuNode analysis{N_("Analiza bazy wiedzy"), 0, {}};
        analysis.children = {submenu(N_("Baza reguł spłaszczona"), {10145, 10146}),
                             item(10147),
                             item(10148),
                             item(10149),
                             item(10185),
                             item(10186)};
        m.push_back(analysis);

        m.push_back(submenu(N_("Dopytywalne"), {10065, 10160, 10161, 10162}));
        m.push_back(submenu(N_("Wnioskowanie"), {10164, 10165, 10180}));

        MenuNode reports{N_("Raporty i podsumowania"), 0, {}};
        reports.children = {submenu(N_("Raporty wnioskowania/diagnostyki"), {10151, 10152}),
                            submenu(N_("Raporty podsumowania"), {10157, 10158}), item(10181), item(10182)};
        m.push_back(reports);

        m.push_back(submenu(N_("Opisy"), {10153, 10154, 10155, 10156}));
        m.push_back(submenu(N_("Okno"), {10167, 10168}));
        m.push_back(submenu(N_("Pomoc"), {10169, 10170, 10171}));
        return m;
    }();
    return menu;
}

}  // namespace zuva
