// Fuzzing target: test-case files of `zuva test`, read as the suite reads them and their
// names checked against the sample knowledge base's.
#include <cstddef>
#include <cstdint>
#include <string>

#include "testing/case_file.h"
#include "testing/case_names.h"
#include "zuva/zuva.h"

using namespace zuva;

namespace {

const testing::BaseNames& names() {
    static const testing::BaseNames n = [] {
        const api::KnowledgeBase kb = api::KnowledgeBase::open(ZUVA_EXAMPLES "/BAZY/REAUTO.BEN");
        return testing::base_names("REAUTO.BEN", api::inventory(kb));
    }();
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    testing::CaseFileError error;
    const auto file = testing::parse_case_text("fuzz.tst", text, error);
    if (!file) {
        if (error.line < 1 || error.column < 1) __builtin_trap();
        return 0;
    }
    for (const auto& c : file->cases)
        (void)testing::check_case_names(c, names(), nullptr);
    return 0;
}
