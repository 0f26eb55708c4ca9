// Time of evaluating a long chain of arithmetic models (x0 = x1 + 1, ..., the last one
// asked), each needing the result of the next, through the value of its first quantity.
#include <chrono>
#include <cstdio>
#include <string>

#include "consult/model_eval.h"
#include "session/session.h"
#include "ui/scripted_ui.h"

using namespace zuva;

int main() {
    for (int n : {11000, 110000}) {
        ScriptedUi ui;
        Session s(ui);
        for (int i = 0; i < n; ++i)
            s.kb.models.model.append({i + 1, "bez_warunku", "x" + std::to_string(i),
                                      "x" + std::to_string(i + 1), "+", "1", 0, "1"});
        s.kb.nazwa_mo.short_name.append("MOBENCH.BEN");
        ui.add_answer("1");
        ModelLinks links;
        auto t0 = std::chrono::steady_clock::now();
        auto v = oblicz(s, links, "x0");
        double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("chain of %6d models: value %.0f in %.4f s\n", n, v ? *v : -1.0, t);
    }
    return 0;
}
