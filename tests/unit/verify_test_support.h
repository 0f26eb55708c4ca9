// Building small rule bases in a session for the verification tests.
#pragma once
#include <string>
#include <unordered_set>

#include "report/report.h"
#include "session/session.h"
#include "store/list_helpers.h"
#include "ui/scripted_ui.h"

namespace zuva::verify_test {

inline void add_rule(Session& s, int n, const std::string& conclusion, TextList conditions) {
    Regula r;
    r.rule_number = n;
    r.conclusion = conclusion;
    r.conditions = std::move(conditions);
    r.display_flag = 1;
    r.cf_text = "0.8";
    s.kb.rules.regula.append(std::move(r));
}

// Askable conditions as the load determines them: conditions that no rule concludes.
inline void askable_from_rules(Session& s) {
    std::unordered_set<std::string> concl;
    for (const auto& r : s.kb.rules.regula)
        concl.insert(r.conclusion);
    TextList all;
    for (const auto& r : s.kb.rules.regula)
        for (const auto& c : r.conditions)
            all.push_back(c);
    TextList ask;
    for (const auto& c : redukuj(all))
        if (!concl.count(c) && c != "bez warunku") ask.push_back(c);
    ask = sortuj(ask);
    s.kb.lista_warunkow_dopytywalnych.insert_front(ask);
    s.kb.dopytywalny.clear();
    for (const auto& c : ask)
        s.kb.dopytywalny.append(c);
}

inline void set_askable(Session& s, const TextList& ask) {
    s.kb.dopytywalny.clear();
    for (const auto& c : ask)
        s.kb.dopytywalny.append(c);
}

inline void name_base(Session& s, const std::string& short_name = "RETEST.BEN",
                      const std::string& ext = ".BEN") {
    s.kb.nazwa_re.short_name.append(short_name);
    s.kb.nazwa_re.full_path.append("/tmp/" + short_name);
    s.kb.rozszerzenie.append(ext);
}

}  // namespace zuva::verify_test
