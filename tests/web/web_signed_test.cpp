// Consultations kept in the browser under a key (--secret-file, no state folder): the signed
// cookie opens only for its own token, key and time, whatever is changed in it.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "web/signed_log.h"

namespace zuva::web {
namespace {

const std::string kKey(40, 'k');
const std::string kToken = "0123456789abcdef0123456789abcdef";

TEST(SignedLogs, OpenOnlyWhatWasSealedForTheTokenUnderTheKeyInTime) {
    SignedLogs logs(kKey, std::chrono::seconds(600));
    const auto t0 = std::chrono::system_clock::now();
    logs.now = [&] { return t0; };
    const std::string text = "BAZY/REAUTO.BEN\tabc\n{\"zuva_log\":1}";
    const std::string sealed = logs.seal(kToken, text);
    ASSERT_FALSE(sealed.empty());
    EXPECT_EQ(logs.open(kToken, sealed), text);

    auto flipped = [&](std::size_t at) {
        std::string v = sealed;
        v[at] = v[at] == 'A' ? 'B' : 'A';
        return v;
    };
    SignedLogs other(std::string(40, 'x'), std::chrono::seconds(600));
    other.now = logs.now;
    struct Row {
        const char* what;
        std::string token, value;
        const SignedLogs* by;
    };
    const std::vector<Row> refused = {
        {"a byte of the log changed", kToken, flipped(3), &logs},
        {"a byte of the signature changed", kToken, flipped(sealed.size() - 2), &logs},
        {"the signature cut short", kToken, sealed.substr(0, sealed.size() - 4), &logs},
        {"another session's token", "ffffffffffffffffffffffffffffffff", sealed, &logs},
        {"another key", kToken, sealed, &other},
        {"no signature", kToken, sealed.substr(0, sealed.find('.')), &logs},
        {"not base64", kToken, "!!!!." + sealed.substr(sealed.find('.') + 1), &logs},
        {"empty", kToken, "", &logs},
        {"a stranger's huge value", kToken, std::string(100000, 'A') + ".AAAA", &logs},
    };
    for (const auto& r : refused)
        EXPECT_FALSE(r.by->open(r.token, r.value)) << r.what;
    // Older than the idle time, or from too far in the future: refused.
    logs.now = [&] { return t0 + std::chrono::seconds(601); };
    EXPECT_FALSE(logs.open(kToken, sealed));
    logs.now = [&] { return t0 - std::chrono::seconds(120); };
    EXPECT_FALSE(logs.open(kToken, sealed));
    logs.now = [&] { return t0 + std::chrono::seconds(599); };
    EXPECT_EQ(logs.open(kToken, sealed), text);
    // A log too large for a cookie is not sealed.
    std::string large;
    for (int i = 0; large.size() < 20000; ++i)
        large += std::to_string(i * 7919 % 104729);
    EXPECT_EQ(logs.seal(kToken, large), "");
}

}  // namespace
}  // namespace zuva::web
