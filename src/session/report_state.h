// The report text buffer and the detail level of messages.
#pragma once
#include <string>

#include "store/table.h"

namespace zuva {

struct ReportState {
    // The one `tekst_raportu` record; absent until the first reset (or after a failed read).
    bool has_text = false;
    std::string text;
    Table<std::string> nazwa_raportu;
    Table<std::string> szczegolowosc;  // "mała" or "duża"
};

}  // namespace zuva
