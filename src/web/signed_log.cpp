// The signature covers the token and the compressed bytes, and is checked (in constant time)
// before anything is inflated: a stranger's cookie costs one HMAC, never a decompression.
#include "web/signed_log.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <zlib.h>

#include <charconv>
#include <cstring>

#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva::web {

namespace {

constexpr std::size_t kMaxText = 1 << 20;  // a log inflated beyond this is no log of ours

// Base64 of OpenSSL's libcrypto (its '+', '/' and '=' are cookie octets).
std::string base64(const std::string& bytes) {
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int n =
        EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                        reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    out.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return out;
}

std::optional<std::string> from_base64(const std::string& text) {
    if (text.empty() || text.size() % 4 != 0) return std::nullopt;
    std::string out(3 * text.size() / 4, '\0');
    const int n =
        EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                        reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    if (n < 0) return std::nullopt;
    // The decoder counts the bytes the padding stands for.
    std::size_t size = static_cast<std::size_t>(n);
    for (std::size_t i = text.size(); i > 0 && text[i - 1] == '=' && size > 0; --i)
        --size;
    out.resize(size);
    // Only the one spelling the encoder gives: the unused low bits of the last character are
    // not left to take any value, so a changed character is never the same cookie.
    if (base64(out) != text) return std::nullopt;
    return out;
}

std::optional<std::string> deflated(const std::string& text) {
    uLongf size = compressBound(text.size());
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(text.data()),
                  text.size(), Z_DEFAULT_COMPRESSION) != Z_OK)
        return std::nullopt;
    out.resize(size);
    return out;
}

std::optional<std::string> inflated(const std::string& bytes) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return std::nullopt;
    std::string out;
    char buffer[16384];
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - z.avail_out);
        if (out.size() > kMaxText) rc = Z_DATA_ERROR;
    }
    inflateEnd(&z);
    if (rc != Z_STREAM_END) return std::nullopt;
    return out;
}

}  // namespace

std::optional<std::string> SignedLogs::read_key(const std::string& path, std::string& error) {
    auto bytes = read_file_bytes(path);
    if (!bytes) {
        error = tr("nie można odczytać pliku klucza '") + path + "'";
        return std::nullopt;
    }
    while (!bytes->empty() && (bytes->back() == '\n' || bytes->back() == '\r'))
        bytes->pop_back();
    if (bytes->size() < 32) {
        error = tr("klucz w pliku '") + path + tr("' ma mniej niż 32 bajty");
        return std::nullopt;
    }
    return bytes;
}

std::string SignedLogs::mac(const std::string& token, const std::string& payload) const {
    const std::string signed_text = token + "\n" + payload;
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (HMAC(EVP_sha256(), key_.data(), static_cast<int>(key_.size()),
             reinterpret_cast<const unsigned char*>(signed_text.data()), signed_text.size(), out,
             &size) == nullptr)
        return {};
    return std::string(reinterpret_cast<const char*>(out), size);
}

std::string SignedLogs::seal(const std::string& token, const std::string& text) const {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now().time_since_epoch()).count();
    const auto packed = deflated(std::to_string(seconds) + "\n" + text);
    if (!packed) return {};
    const std::string sig = mac(token, *packed);
    if (sig.empty()) return {};
    std::string value = base64(*packed) + "." + base64(sig);
    return value.size() > kMaxCookie ? std::string() : value;
}

std::optional<std::string> SignedLogs::open(const std::string& token, const std::string& value) const {
    if (value.empty() || value.size() > kMaxCookie) return std::nullopt;
    const std::size_t dot = value.find('.');
    if (dot == std::string::npos) return std::nullopt;
    const auto packed = from_base64(value.substr(0, dot));
    const auto sig = from_base64(value.substr(dot + 1));
    if (!packed || !sig) return std::nullopt;
    const std::string want = mac(token, *packed);
    if (want.empty() || sig->size() != want.size() ||
        CRYPTO_memcmp(sig->data(), want.data(), want.size()) != 0)
        return std::nullopt;
    auto text = inflated(*packed);
    if (!text) return std::nullopt;
    const std::size_t eol = text->find('\n');
    long long sealed = 0;
    const auto [end, ec] =
        std::from_chars(text->data(), text->data() + (eol == std::string::npos ? 0 : eol), sealed);
    if (eol == std::string::npos || ec != std::errc() || end != text->data() + eol) return std::nullopt;
    const auto age =
        std::chrono::duration_cast<std::chrono::seconds>(now().time_since_epoch()).count() - sealed;
    // A little of the future is another server's clock.
    if (age > max_age_.count() || age < -60) return std::nullopt;
    return text->substr(eol + 1);
}

}  // namespace zuva::web
