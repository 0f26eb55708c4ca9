// Fuzzing target: the base-file reader of every group and the report-file reader. The first
// byte picks the group; the rest is the file's bytes, decoded as a base file is.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "kb/base_file_reader.h"
#include "store/knowledge_base.h"
#include "text/codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static constexpr zuva::BaseKind kinds[] = {zuva::BaseKind::Rules,
                                               zuva::BaseKind::Models,
                                               zuva::BaseKind::ExactConstraints,
                                               zuva::BaseKind::UncertainConstraints,
                                               zuva::BaseKind::Advice,
                                               zuva::BaseKind::Graphics,
                                               zuva::BaseKind::Sounds,
                                               zuva::BaseKind::Report};
    const zuva::BaseKind kind = kinds[data[0] % (sizeof kinds / sizeof kinds[0])];
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    auto text = zuva::decode_file_text(bytes);
    if (!text) return 0;
    if (kind == zuva::BaseKind::Report) {
        zuva::ReportGroup group;
        (void)zuva::parse_report_text(group, *text);
    } else {
        zuva::KnowledgeBase kb;
        (void)zuva::parse_base_text(kb, kind, *text);
    }
    return 0;
}
