// The pages of zuva serve, as HTML text. Every text of a knowledge base, a question or a
// request is escaped here; nothing else builds markup.
#pragma once
#include <functional>
#include <string>

#include "zuva/zuva.h"

namespace zuva::web {

class Catalog;
struct BaseEntry;
struct WebSession;

// The embedded files of the page (generated from src/web/assets/ at build time).
struct Asset {
    const char* name;
    const char* type;
    const unsigned char* data;
    std::size_t size;
};
const Asset* find_asset(const std::string& name);

std::string page(const std::string& title, const std::string& body);
std::string bases_page(const Catalog& catalog, const std::string& notice = {});
// Whether a condition is a member of an exact constraint (it takes only -1 or 1).
bool exact_member(const api::Question& q);
// `position`: how many answers the consultation's log holds (the forms carry it).
std::string question_page(const WebSession& s, const api::Question& q, std::size_t position);
// The result part of the finished consultation: the conclusions ranked by CF with their
// HOW trees, advice, pictures, sounds, downloads.
// `usable`: whether the server serves an offered picture or sound (else it is named only).
using OfferCheck = std::function<bool(const api::Offer&)>;
std::string result_body(api::Consultation& c, const BaseEntry& base, const std::string& hypothesis,
                        const OfferCheck& usable);
std::string message_page(const std::string& title, const std::string& text, bool back_link = true);

}  // namespace zuva::web
