// iconv-backed code-page conversion; the sort key and case mapping go through
// the single-byte code page, where they are simple table look-ups.
#include "text/codec.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <mutex>
#include <vector>

#include "text/i18n.h"

namespace zuva {
namespace {

std::optional<std::string> convert(const char* to, const char* from, std::string_view in, CodecError* err) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        if (err) *err = {0, tr("Brak konwersji znaków ") + std::string(from) + " -> " + to + "."};
        return std::nullopt;
    }
    std::string out;
    out.resize(in.size() * 4 + 16);
    char* inp = const_cast<char*>(in.data());
    size_t inleft = in.size();
    char* outp = out.data();
    size_t outleft = out.size();
    while (inleft > 0) {
        size_t r = iconv(cd, &inp, &inleft, &outp, &outleft);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) {
                size_t used = static_cast<size_t>(outp - out.data());
                out.resize(out.size() * 2);
                outp = out.data() + used;
                outleft = out.size() - used;
                continue;
            }
            if (err) {
                err->byte_offset = static_cast<size_t>(inp - in.data());
                err->message =
                    tr("Niedozwolony znak w tekście (bajt ") + std::to_string(err->byte_offset) + ").";
            }
            iconv_close(cd);
            return std::nullopt;
        }
    }
    out.resize(static_cast<size_t>(outp - out.data()));
    iconv_close(cd);
    return out;
}

// Windows-1250 byte -> Unicode code point, built once from iconv; 0 marks an undefined byte.
const std::array<char32_t, 256>& cp1250_table() {
    static std::array<char32_t, 256> table = [] {
        std::array<char32_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            char c = static_cast<char>(b);
            auto u = convert("UTF-32LE", "WINDOWS-1250", std::string_view(&c, 1), nullptr);
            if (u && u->size() == 4) {
                const auto* p = reinterpret_cast<const unsigned char*>(u->data());
                t[b] = static_cast<char32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (p[3] << 24));
            }
        }
        return t;
    }();
    return table;
}

bool decode_one(std::string_view s, size_t& i, char32_t& cp) {
    auto b = static_cast<unsigned char>(s[i]);
    int n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    cp = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    for (int k = 1; k < n; ++k) {
        auto c = static_cast<unsigned char>(s[i + k]);
        if ((c >> 6) != 2) return false;
        cp = (cp << 6) | (c & 0x3F);
    }
    i += n;
    return true;
}

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Unicode -> Windows-1250 byte for the non-ASCII range; -1 when the code page lacks it.
int cp1250_byte(char32_t cp) {
    if (cp < 0x80) return static_cast<int>(cp);
    static const std::vector<std::pair<char32_t, unsigned char>> reverse = [] {
        std::vector<std::pair<char32_t, unsigned char>> r;
        const auto& t = cp1250_table();
        for (int b = 0x80; b < 256; ++b)
            if (t[b] != 0) r.emplace_back(t[b], static_cast<unsigned char>(b));
        std::sort(r.begin(), r.end());
        return r;
    }();
    auto it =
        std::lower_bound(reverse.begin(), reverse.end(), std::make_pair(cp, static_cast<unsigned char>(0)));
    if (it == reverse.end() || it->first != cp) return -1;
    return it->second;
}

}  // namespace

std::optional<std::string> cp1250_to_utf8(std::string_view bytes, CodecError* err) {
    const auto& t = cp1250_table();
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (size_t i = 0; i < bytes.size(); ++i) {
        // A run of ASCII bytes is the same text in both: copied in one piece.
        size_t run = i;
        while (run < bytes.size() && static_cast<unsigned char>(bytes[run]) < 0x80)
            ++run;
        if (run > i) {
            out.append(bytes.data() + i, run - i);
            i = run;
            if (i == bytes.size()) break;
        }
        auto b = static_cast<unsigned char>(bytes[i]);
        if (t[b] == 0) {
            if (err) {
                err->byte_offset = i;
                err->message = "Bajt " + std::to_string(b) + " (pozycja " + std::to_string(i) +
                               ") nie jest znakiem strony kodowej Windows-1250.";
            }
            return std::nullopt;
        }
        append_utf8(out, t[b]);
    }
    return out;
}

std::optional<std::string> utf8_to_cp1250(std::string_view text, CodecError* err) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        size_t start = i;
        char32_t cp = 0;
        int b = decode_one(text, i, cp) ? cp1250_byte(cp) : -1;
        if (b < 0) {
            if (err) {
                err->byte_offset = start;
                err->message = "Znak na pozycji " + std::to_string(start) +
                               " nie ma odpowiednika w stronie kodowej Windows-1250.";
            }
            return std::nullopt;
        }
        out += static_cast<char>(b);
    }
    return out;
}

std::string utf8_to_cp1250_lossy(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        char32_t cp = 0;
        if (!decode_one(text, i, cp)) {
            ++i;
            out += '?';
            continue;
        }
        int b = cp1250_byte(cp);
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

bool is_valid_utf8(std::string_view bytes) {
    size_t i = 0;
    char32_t cp = 0;
    while (i < bytes.size())
        if (!decode_one(bytes, i, cp)) return false;
    return true;
}

bool has_multibyte(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

namespace {

// How a file's bytes become its text: UTF-8 after a byte-order mark (the mark is not text),
// the bytes as they are (ASCII, or UTF-8 with a multi-byte sequence), or Windows-1250 converted.
enum class FileText { AfterMark, AsIs, Converted };
constexpr std::string_view kBom = "\xEF\xBB\xBF";

FileText file_text_kind(std::string_view bytes) {
    if (bytes.substr(0, kBom.size()) == kBom && is_valid_utf8(bytes.substr(kBom.size())))
        return FileText::AfterMark;
    if (!has_multibyte(bytes) || is_valid_utf8(bytes)) return FileText::AsIs;
    return FileText::Converted;
}

}  // namespace

std::optional<std::string> decode_file_text(std::string_view bytes, CodecError* err) {
    switch (file_text_kind(bytes)) {
        case FileText::AfterMark:
            return std::string(bytes.substr(kBom.size()));
        case FileText::AsIs:
            return std::string(bytes);
        case FileText::Converted:
            break;
    }
    return cp1250_to_utf8(bytes, err);
}

std::optional<std::string> take_file_text(std::string&& bytes, CodecError* err) {
    switch (file_text_kind(bytes)) {
        case FileText::AfterMark:
            bytes.erase(0, kBom.size());
            return std::move(bytes);
        case FileText::AsIs:
            return std::move(bytes);
        case FileText::Converted:
            break;
    }
    return cp1250_to_utf8(bytes, err);
}

std::string cp1250_sort_key(std::string_view utf8) {
    return utf8_to_cp1250_lossy(utf8);
}

int compare_cp1250(std::string_view a, std::string_view b) {
    // Fast path: pure ASCII compares the same in both encodings.
    if (!has_multibyte(a) && !has_multibyte(b)) return a.compare(b) < 0 ? -1 : a == b ? 0 : 1;
    std::string ka = cp1250_sort_key(a), kb = cp1250_sort_key(b);
    auto ua = reinterpret_cast<const unsigned char*>(ka.data());
    auto ub = reinterpret_cast<const unsigned char*>(kb.data());
    size_t n = std::min(ka.size(), kb.size());
    for (size_t i = 0; i < n; ++i)
        if (ua[i] != ub[i]) return ua[i] < ub[i] ? -1 : 1;
    return ka.size() < kb.size() ? -1 : ka.size() == kb.size() ? 0 : 1;
}

std::size_t utf8_columns(std::string_view text, std::size_t bytes) {
    size_t cols = 0;
    for (size_t i = 0; i < bytes && i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++cols;
    return cols;
}

namespace {
std::string map_case(std::string_view utf8, bool lower) {
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        size_t start = i;
        char32_t cp = 0;
        if (!decode_one(utf8, i, cp)) {
            out += utf8[start];
            i = start + 1;
            continue;
        }
        if (cp < 0x80) {
            char c = static_cast<char>(cp);
            if (lower && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (!lower && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            out += c;
            continue;
        }
        static const char32_t upper[] = {U'Ą', U'Ć', U'Ę', U'Ł', U'Ń', U'Ó', U'Ś', U'Ź', U'Ż'};
        static const char32_t lowerc[] = {U'ą', U'ć', U'ę', U'ł', U'ń', U'ó', U'ś', U'ź', U'ż'};
        for (int k = 0; k < 9; ++k) {
            if (lower && cp == upper[k])
                cp = lowerc[k];
            else if (!lower && cp == lowerc[k])
                cp = upper[k];
        }
        append_utf8(out, cp);
    }
    return out;
}
}  // namespace

std::string to_lower_pl(std::string_view utf8) {
    return map_case(utf8, true);
}
std::string to_upper_pl(std::string_view utf8) {
    return map_case(utf8, false);
}

}  // namespace zuva
