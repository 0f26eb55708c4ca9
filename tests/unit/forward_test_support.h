// Setting up a rule base for consultation tests: the base text parsed as a rule file,
// the base names recorded, and the askable lists filled as a rule-base load fills them.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "kb/base_file_reader.h"
#include "session/session.h"
#include "store/list_helpers.h"
#include "support/temp_dir.h"

namespace zuva::testing_support {

inline void use_rule_base(Session& s, const std::string& text, const std::string& w = "TEST") {
    auto err = parse_base_text(s.kb, BaseKind::Rules, text);
    ASSERT_FALSE(err) << "line " << err->line_number << ": " << err->line_text;
    s.kb.nazwa_re.short_name.append("RE" + w + ".BEN");
    s.kb.nazwa_re.full_path.append(s.current_dir + "/RE" + w + ".BEN");
    s.kb.wyroznik.append(w);
    TextList conditions, conclusions;
    for (const auto& r : s.kb.rules.regula) {
        conditions.insert(conditions.end(), r.conditions.begin(), r.conditions.end());
        conclusions.push_back(r.conclusion);
    }
    conditions = redukuj(conditions);
    conclusions = usun_wszystkie(redukuj(conclusions), "koniec");
    s.kb.lista_warunkow.append(conditions);
    s.kb.lista_wnioskow_regul.append(conclusions);
    TextList askable = sortuj(usun_wszystkie(roznica_zbiorow(conditions, conclusions), "bez warunku"));
    s.kb.lista_warunkow_dopytywalnych.insert_front(askable);
    for (const auto& a : askable)
        s.kb.dopytywalny.append(a);
}

inline std::string temp_dir(const std::string& tag) {
    return scratch_dir(tag);
}

// Number of occurrences of `needle` in `hay`.
inline int count_of(const std::string& hay, const std::string& needle) {
    int n = 0;
    for (std::size_t p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + needle.size()))
        ++n;
    return n;
}

}  // namespace zuva::testing_support
