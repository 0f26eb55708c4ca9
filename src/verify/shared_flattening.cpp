#include "verify/shared_flattening.h"

#include <unordered_map>

namespace zuva {

namespace {

thread_local SharedFlattening* current = nullptr;

SharedFlattening::Key key_of(const KnowledgeBase& kb) {
    return {&kb, kb.rules.regula.rows().data(), kb.rules.regula.count(), kb.dopytywalny.rows().data(),
            kb.dopytywalny.count()};
}

std::vector<RegulaDoTestowania> compute_forms(const FlattenIndex& index, const RuleForms* kept,
                                              const KnowledgeBase& kb, const IntList& rule_numbers) {
    std::vector<RegulaDoTestowania> out;
    // The rules of each number in table order, found in one pass over the table.
    std::unordered_map<std::int32_t, std::vector<const Regula*>> by_number;
    for (std::int32_t n : rule_numbers)
        by_number.try_emplace(n);
    for (const auto& r : kb.rules.regula)
        if (auto it = by_number.find(r.rule_number); it != by_number.end()) it->second.push_back(&r);
    for (std::int32_t n : rule_numbers)
        for (const Regula* r : by_number[n])
            for_each_form(index, kept, *r, [&](const RegulaSplaszczona& f) {
                out.push_back({r->rule_number, r->conclusion, f.flattened_conditions});
            });
    return out;
}

SharedFlattening::JointKey joint_key_of(const KnowledgeBase& kb, const Table<Ograniczenie>& t) {
    return {key_of(kb), t.rows().data(), t.count(), kb.rules.regula_dysjunktywna.rows().data(),
            kb.rules.regula_dysjunktywna.count()};
}

}  // namespace

bool joint_search_found_nothing(const KnowledgeBase& kb, bool uncertain, const Table<Ograniczenie>& t) {
    if (current == nullptr) return false;
    const auto& held = current->joint_none_[uncertain ? 1 : 0];
    return held && *held == joint_key_of(kb, t);
}

void remember_joint_search_found_nothing(const KnowledgeBase& kb, bool uncertain,
                                         const Table<Ograniczenie>& t) {
    if (current != nullptr) current->joint_none_[uncertain ? 1 : 0] = joint_key_of(kb, t);
}

SharedFlattening::SharedFlattening() : outer_(current) {
    current = this;
}

SharedFlattening::~SharedFlattening() {
    current = outer_;
}

std::shared_ptr<const FlattenIndex> flatten_index_for(const KnowledgeBase& kb) {
    if (current == nullptr) return std::make_shared<const FlattenIndex>(kb);
    const SharedFlattening::Key key = key_of(kb);
    SharedFlattening::Key& held = current->index_key_;
    if (current->index_ && !(held == key) && held.kb == key.kb && held.rules == key.rules &&
        held.rule_count == key.rule_count && held.askable_count == 0 && current->index_.use_count() == 1) {
        // The same rules, made before the askable conditions were known (the rule load's
        // first test): the rest of the index stays.
        current->index_->take_askable_set();
        held = key;
    }
    if (!current->index_ || !(held == key)) {
        current->index_ = std::make_shared<FlattenIndex>(kb);
        held = key;
    }
    return current->index_;
}

std::shared_ptr<const TextList> rule_choice_list(const KnowledgeBase& kb,
                                                 const std::function<TextList()>& make) {
    if (current == nullptr) return std::make_shared<const TextList>(make());
    const SharedFlattening::Key key = key_of(kb);
    if (!current->choices_ || !(current->choices_key_ == key)) {
        current->choices_ = std::make_shared<const TextList>(make());
        current->choices_key_ = key;
    }
    return current->choices_;
}

std::shared_ptr<const RuleForms> kept_rule_forms(const KnowledgeBase& kb) {
    if (current == nullptr) return nullptr;
    auto index = flatten_index_for(kb);
    const SharedFlattening::Key key = key_of(kb);
    if (!current->rule_forms_ || !(current->rule_forms_key_ == key)) {
        auto all = std::make_shared<RuleForms>(kb.rules.regula.count());
        std::size_t row = 0;
        for (const auto& r : kb.rules.regula) {
            Splaszczanie gen = splaszcz(*index, r);
            auto& forms = (*all)[row++];
            while (auto f = gen.next())
                forms.push_back(std::move(*f));
        }
        current->rule_forms_ = std::move(all);
        current->rule_forms_key_ = key;
    }
    return current->rule_forms_;
}

std::shared_ptr<const std::vector<RegulaDoTestowania>> tested_forms_for(const KnowledgeBase& kb,
                                                                        const IntList& rule_numbers) {
    auto index = flatten_index_for(kb);
    if (current == nullptr)
        return std::make_shared<const std::vector<RegulaDoTestowania>>(
            compute_forms(*index, nullptr, kb, rule_numbers));
    const SharedFlattening::Key key = key_of(kb);
    if (!current->forms_ || !(current->forms_key_ == key) || current->forms_numbers_ != rule_numbers) {
        current->forms_ = std::make_shared<const std::vector<RegulaDoTestowania>>(
            compute_forms(*index, kept_rule_forms(kb).get(), kb, rule_numbers));
        current->forms_key_ = key;
        current->forms_numbers_ = rule_numbers;
    }
    return current->forms_;
}

}  // namespace zuva
