// A program that consults the sample knowledge base through the zuva library: a forward
// consultation that answers each question from a table (or 0 when the table has none), asks
// once why a value is needed, and prints the conclusions, the advice and the HOW tree.
//
//   consult_sample [PATH/TO/REAUTO.BEN]
#include <zuva/zuva.h>

#include <iostream>
#include <map>
#include <string>

namespace {

void print(const zuva::api::HowNode& node, int depth) {
    std::cout << std::string(static_cast<std::size_t>(4 * depth), ' ') << node.text << '\n';
    for (const auto& child : node.children)
        print(child, depth + 1);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string base = argc > 1 ? argv[1] : "BAZY/REAUTO.BEN";
    const std::map<std::string, double> symptoms = {
        {"rozrusznik_kreci_wolno", 1.0},
        {"kontrolki_gasna_przy_rozruchu", 1.0},
        {"akumulator_rozladowany", 0.8},
        {"akumulator_starszy_niz_piec_lat", 0.5},
        {"napiecie_spoczynkowe", 11.9},
        {"napiecie_podczas_rozruchu", 9.1},
        {"silny_mroz", 0.8},
        {"duzy_spadek_napiecia_przy_rozruchu", 0.5},
    };
    try {
        zuva::api::KnowledgeBase kb = zuva::api::KnowledgeBase::open(base);
        for (const auto& f : kb.findings())
            std::cout << f.file << ':' << f.line << ": " << f.text << '\n';
        zuva::api::Consultation c = kb.forward();
        bool asked_why = false;
        while (auto q = c.next()) {
            if (q->can_ask_why && !asked_why) {
                asked_why = true;
                std::cout << c.why().text;
            }
            auto it = symptoms.find(q->name);
            // Members of exact constraints take -1 or 1 only: a symptom not seen is -1.
            const double value = it != symptoms.end()
                                     ? it->second
                                     : (q->kind == zuva::api::QuestionKind::ArgumentValue ? 0.0 : -1.0);
            std::cout << q->number << ". " << q->text << ": " << value << '\n';
            c.answer(value);
        }
        const zuva::api::Result& r = c.result();
        std::cout << "\nWnioski:\n";
        for (const auto& x : r.conclusions)
            if (x.cf) std::cout << "    " << x.name << " (CF = " << *x.cf << ")\n";
        for (const auto& a : r.advice)
            std::cout << "\nRada " << a.name << ":\n" << a.text << '\n';
        std::cout << "\nJak uzyskano wniosek uszkodzony_akumulator:\n";
        print(c.how("uszkodzony_akumulator"), 0);
    } catch (const zuva::api::Error& e) {
        std::cerr << "consult_sample: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
