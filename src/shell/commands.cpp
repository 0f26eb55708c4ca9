// The command table and the menu tree (the enabling groups are in session/). The menu tree refers to
// commands by id only; every id it names is in the table (the tests check both ways).
#include "shell/commands.h"

#include <algorithm>
#include <unordered_map>

#include "session/enabling.h"

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
        {10064, "Ładowanie bazy &reguł"},
        {10065, "Import warunków i argumentów dopytywalnych z zewnętrznego źródła danych"},
        {10067, "Selektywny wybór reguł"},
        {10068, "Przegląd wszystkich reguł"},
        {10069, "Przegląd warunków dopytywalnych bazy reguł"},
        {10070, "Edycja bazy reguł"},
        {10071, "Tworzenie bazy reguł"},
        {10072, "Kasowanie bazy reguł"},
        {10073, "Diagnostyka sprzeczności zewnętrznych bazy reguł"},
        {10074, "Diagnostyka sprzecznościwewnętrznych"},
        {10075, "Diagnostyka nadmiarowości bazy reguł"},
        {10076, "Diagnostyka kompletności bazy wiedzy"},
        {10077, "Ładowanie bazy modeli"},
        {10080, "Modele liniowe"},
        {10081, "Modele podstawowe"},
        {10082, "Modele rozszerzone"},
        {10083, "Modele wielomianowe"},
        {10084, "Przegląd wszystkich modeli"},
        {10085, "Przegląd warunków i argumentów dopytywalnych bazy modeli"},
        {10086, "Przegląd warunków i argumentów dopytywalnych bazy reguł i bazy modeli"},
        {10087, "Edycja bazy modeli"},
        {10088, "Tworzenie bazy modeli"},
        {10089, "Kasowanie bazy modeli"},
        {10090, "Diagnostyka sprzeczności bazy modeli"},
        {10091, "Diagnostyka sprzeczności łącznych bazy modeli i bazy reguł"},
        {10093, "Ładowanie bazy ograniczeń dokładnych"},
        {10095, "Selektywny wybór ograniczeń dokładnych"},
        {10096, "Przegląd wszystkich ograniczeń dokładnych"},
        {10097, "Edycja bazy ograniczeń dokładnych"},
        {10098, "Tworzenie bazy ograniczeń dokładnych"},
        {10099, "Kasowanie bazy ograniczeń dokładnych"},
        {10100, "Diagnostyka sprzeczności łącznych baz reguł i ograniczeń dokładnych"},
        {10101, "Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń dokładnych"},
        {10103, "Ładowanie bazy ograniczeń niepewnych"},
        {10105, "Selektywny wybór ograniczeń niepewnych"},
        {10106, "Przegląd wszystkich ograniczeń niepewnych"},
        {10107, "Edycja bazy ograniczeń niepewnych"},
        {10108, "Tworzenie bazy ograniczeń niepewnych"},
        {10109, "Kasowanie bazy ograniczeń niepewnych"},
        {10110, "Diagnostyka sprzeczności łącznych baz reguł i ograniczeń niepewnych"},
        {10111, "Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń niepewnych"},
        {10113, "Ładowanie bazy rad"},
        {10114, "Przegląd nazw rad z bazy rad"},
        {10115, "Edycja bazy rad"},
        {10116, "Tworzenie bazy rad"},
        {10117, "Kasowanie bazy rad"},
        {10118, "Obejrzenie pliku tekstowego rady"},
        {10119, "Obejrzenie podkartotek i plików tekstowych rad"},
        {10120, "Tworzenie lub kasowanie podkartoteki plików tekstowych rad"},
        {10121, "Tworzenie pliku tekstowego rady"},
        {10122, "Kasowanie pliku tekstowego rady"},
        {10124, "Ładowanie bazy grafiki"},
        {10125, "Przegląd nazw grafik z bazy grafiki"},
        {10126, "Edycja bazy grafiki"},
        {10127, "Tworzenie bazy grafiki"},
        {10128, "Kasowanie bazy grafiki"},
        {10129, "Obejrzenie pliku graficznego"},
        {10130, "Obejrzenie podkartotek i plików grafiki"},
        {10131, "Tworzenie lub kasowanie podkartoteki plików grafiki"},
        {10132, "Kasowanie pliku grafiki"},
        {10134, "Ładowanie bazy dźwięków"},
        {10135, "Przegląd nazw plików dźwięków z bazy dźwięków"},
        {10136, "Edycja bazy dźwięków"},
        {10137, "Tworzenie bazy dźwięków"},
        {10138, "Kasowanie bazy dźwięków"},
        {10139, "Przesłuchiwanie dźwięków z bazy dźwięków"},
        {10140, "Obejrzenie podkartotek i przesłuchiwanie plików dźwiękowych"},
        {10141, "Tworzenie lub kasowanie podkartoteki plików dźwięków"},
        {10142, "Kasowanie pliku dźwięków"},
        {10190, "Ładowanie bazy tekstów"},
        {10191, "Przegląd bazy tekstów"},
        {10192, "Edycja bazy tekstów"},
        {10193, "Tworzenie bazy tekstów"},
        {10194, "Kasowanie bazy tekstów"},
        {10145, "Spłaszczanie wybranej reguły"},
        {10146, "Spłaszczanie kolejne wszystkich reguł"},
        {10147, "Wnioski wykluczające się do jednego"},
        {10148, "Wnioski wykluczające się do żadnego"},
        {10149, "Wnioski niewykluczające się"},
        {10151, "Czytanie raportu wnioskowania/diagnostyki"},
        {10152, "Kasowanie raportu wnioskowania/diagnostyki"},
        {10153, "Przegląd opisów"},
        {10154, "Edycja opisu"},
        {10155, "Tworzenie opisu"},
        {10156, "Kasowanie opisu"},
        {10157, "Czytanie raportu podsumowania"},
        {10158, "Kasowanie raportu podsumowania"},
        {10160, "Tworzenie pliku warunków i argumentów dopytywalnych"},
        {10161, "Czytanie pliku warunków i argumentów dopytywalnych"},
        {10162, "Kasowanie pliku warunków i argumentów dopytywalnych"},
        {10164, "Wnioskowanie elementarne niepewne w przód"},
        {10165, "Wnioskowanie elementarne niepewne wstecz"},
        {10167, "Utwórz nowe Okno Pomocnicze"},
        {10168, "Ustaw katalog na bieżący"},
        {10169, "&Pomoc"},
        {10170, "&O programie"},
        {10171, "&Właściciel"},
        {10180, "Jak uzyskano wniosek?"},
        {10181, "Zapis przypadku testowego z podsumowania"},
        {10182, "Zapis dziennika konsultacji z podsumowania"},
        {10185, "Graf bazy wiedzy"},
        {10186, "Porównanie baz wiedzy"},
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
        MenuNode rules{"Baza reguł", 0, {}};
        rules.children = {item(10064), submenu("Przegląd bazy reguł", {10067, 10068, 10069}),
                          item(10070), item(10071),
                          item(10072), submenu("Diagnostyka bazy reguł", {10073, 10074, 10075, 10076})};
        m.push_back(rules);

        MenuNode models{"Baza modeli", 0, {}};
        models.children = {
            item(10077), submenu("Przegląd bazy modeli", {10080, 10081, 10082, 10083, 10084, 10085, 10086}),
            item(10087), item(10088),
            item(10089), submenu("Diagnostyka bazy modeli", {10090, 10091})};
        m.push_back(models);

        MenuNode exact{"Baza ograniczeń dokładnych", 0, {}};
        exact.children = {item(10093), submenu("Przegląd ograniczeń dokładnych", {10095, 10096}),
                          item(10097), item(10098),
                          item(10099), submenu("Diagnostyka z ograniczeniami dokładnymi", {10100, 10101})};
        m.push_back(exact);

        MenuNode uncertain{"Baza ograniczeń niepewnych", 0, {}};
        uncertain.children = {
            item(10103), submenu("Przegląd ograniczeń niepewnych", {10105, 10106}),
            item(10107), item(10108),
            item(10109), submenu("Diagnostyka z ograniczeniami niepewnymi", {10110, 10111})};
        m.push_back(uncertain);

        MenuNode advice{"Baza rad", 0, {}};
        advice.children = {item(10113), submenu("Przegląd rad", {10114, 10118, 10119}),
                           item(10115), item(10116),
                           item(10117), submenu("Pliki tekstowe rad", {10120, 10121, 10122})};
        m.push_back(advice);

        MenuNode graphics{"Baza grafiki", 0, {}};
        graphics.children = {item(10124), submenu("Przegląd grafiki", {10125, 10129, 10130}),
                             item(10126), item(10127),
                             item(10128), submenu("Pliki grafiki", {10131, 10132})};
        m.push_back(graphics);

        MenuNode sounds{"Baza dźwięku", 0, {}};
        sounds.children = {item(10134), submenu("Przegląd i słuchanie dźwięków", {10135, 10139, 10140}),
                           item(10136), item(10137),
                           item(10138), submenu("Pliki dźwięków", {10141, 10142})};
        m.push_back(sounds);

        // The display texts of the names: questions and labels in the base's own words.
        MenuNode texts{"Baza tekstów", 0, {}};
        texts.children = {item(10190), item(10191), item(10192), item(10193), item(10194)};
        m.push_back(texts);

        // The flattened rule base and the analysis of exclusive conclusions.
        MenuNode analysis{"Analiza bazy wiedzy", 0, {}};
        analysis.children = {submenu("Baza reguł spłaszczona", {10145, 10146}),
                             item(10147),
                             item(10148),
                             item(10149),
                             item(10185),
                             item(10186)};
        m.push_back(analysis);

        m.push_back(submenu("Dopytywalne", {10065, 10160, 10161, 10162}));
        m.push_back(submenu("Wnioskowanie", {10164, 10165, 10180}));

        MenuNode reports{"Raporty i podsumowania", 0, {}};
        reports.children = {submenu("Raporty wnioskowania/diagnostyki", {10151, 10152}),
                            submenu("Raporty podsumowania", {10157, 10158}), item(10181), item(10182)};
        m.push_back(reports);

        m.push_back(submenu("Opisy", {10153, 10154, 10155, 10156}));
        m.push_back(submenu("Okno", {10167, 10168}));
        m.push_back(submenu("Pomoc", {10169, 10170, 10171}));
        return m;
    }();
    return menu;
}

}  // namespace zuva
