// Helpers of the backward-inference tests: the answers that open a run, and what the
// transcript shows of it.
#pragma once
#include <string>
#include <vector>

namespace zuva::backward_support {

// Detail level (1 = "mała"), no labels, the hypothesis type and its position in the list,
// then the given answers.
inline std::vector<std::string> opening(const std::string& type, const std::string& position,
                                        std::vector<std::string> rest) {
    std::vector<std::string> a = {"1", "&NIE", type, position};
    a.insert(a.end(), rest.begin(), rest.end());
    return a;
}

// The names asked in value dialogs, in order.
inline std::vector<std::string> asked(const std::string& transcript) {
    std::vector<std::string> out;
    for (auto p = transcript.find("[value] "); p != std::string::npos;
         p = transcript.find("[value] ", p + 1)) {
        auto n = transcript.find("name: ", p) + 6;
        out.push_back(transcript.substr(n, transcript.find('\n', n) - n));
    }
    return out;
}

// The items of the first list dialog, in order (after its prompt line).
inline std::vector<std::string> listed(const std::string& transcript) {
    std::vector<std::string> out;
    auto p = transcript.find("[list] ");
    if (p == std::string::npos) return out;
    p = transcript.find('\n', p) + 1;
    if (p < transcript.size() && !(transcript[p] >= '1' && transcript[p] <= '9'))
        p = transcript.find('\n', p) + 1;
    while (p < transcript.size() && transcript[p] >= '1' && transcript[p] <= '9') {
        auto dot = transcript.find(". ", p);
        auto end = transcript.find('\n', p);
        out.push_back(transcript.substr(dot + 2, end - dot - 2));
        p = end + 1;
    }
    return out;
}

}  // namespace zuva::backward_support
