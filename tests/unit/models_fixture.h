// A session with a rule base and a model base written to a scratch directory, as the
// model tests need them.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "kb/base_file_reader.h"
#include "kb/base_files.h"
#include "kb/model_base.h"
#include "session/session.h"
#include "store/list_helpers.h"
#include "support/temp_dir.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "ui/scripted_ui.h"

namespace zuva::testing {

struct ModelSession {
    testing_support::TempDir temp{"zuva-models"};
    std::string dir = temp.path();
    ScriptedUi ui;
    Session s{ui};

    ModelSession() { s.current_dir = dir; }

    std::string write(const std::string& name, const std::string& utf8) {
        std::string path = dir + "/" + name;
        EXPECT_TRUE(write_file_bytes(path, utf8_to_cp1250_lossy(utf8)));
        return path;
    }

    // The rule base as its load leaves it: records, names and the derived rule lists.
    void rules(const std::string& text, const std::string& name = "RETEST.BEN") {
        std::string path = write(name, text);
        ASSERT_FALSE(parse_base_text(s.kb, BaseKind::Rules, text).has_value());
        record_base_name(s, BaseKind::Rules, path);
        TextList conds, concl;
        for (const auto& r : s.kb.rules.regula) {
            conds.insert(conds.end(), r.conditions.begin(), r.conditions.end());
            if (r.conclusion != "koniec") concl.push_back(r.conclusion);
        }
        conds = redukuj(conds);
        concl = redukuj(concl);
        s.kb.lista_warunkow.append(conds);
        s.kb.lista_wnioskow_regul.append(concl);
        s.kb.lista_warunkow_dopytywalnych.insert_front(
            sortuj(usun_wszystkie(roznica_zbiorow(conds, concl), "bez warunku")));
    }

    // Loads a model base through the load command's dialog; the chosen path or empty.
    std::string models(const std::string& text, const std::string& name = "MOTEST.BEN") {
        std::string path = write(name, text);
        ui.add_answer(path);
        return ladowanie_bazy_modeli(s);
    }

    // A model base put straight into the tables, as if loaded.
    void model_tables(const std::string& text) {
        ASSERT_FALSE(parse_base_text(s.kb, BaseKind::Models, text).has_value());
        s.kb.nazwa_mo.short_name.append("MOTEST.BEN");
    }

    std::size_t count(const std::string& needle) const {
        const std::string& t = ui.transcript();
        std::size_t n = 0;
        for (auto p = t.find(needle); p != std::string::npos; p = t.find(needle, p + 1))
            ++n;
        return n;
    }
};

}  // namespace zuva::testing
