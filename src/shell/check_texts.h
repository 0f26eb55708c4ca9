// The findings of a texts base: a text for a name the knowledge base does not have, and,
// when asked for, an askable name that has no text (the question is then its identifier).
#pragma once
#include <string>
#include <vector>

#include "store/knowledge_base.h"

namespace zuva::check {

struct TextsFinding {
    const char* table;    // the table of the record at fault ("tekst", ...), or "" for none
    std::size_t ordinal;  // its position among the records of that table
    bool error;
    const char* kind;  // "unknown-text-name" or "missing-text"
    std::string message;
};

// `records` holds every base as written; `askable` the askable conditions and arguments of
// the loaded base, in order (empty when it did not load).
std::vector<TextsFinding> texts_findings(const KnowledgeBase& records,
                                         const std::vector<std::string>& askable, bool missing_texts);

}  // namespace zuva::check
