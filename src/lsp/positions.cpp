// UTF-8 is walked by its lead bytes; a malformed byte counts as one character, so that no
// text can make a position run past its line.
#include "lsp/positions.h"

#include <algorithm>

namespace zuva::lsp {

namespace {

// Length of the UTF-8 sequence at s[i] (1 for a stray byte or one cut short).
std::size_t sequence_length(std::string_view s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
    if (i + n > s.size()) return 1;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
    return n;
}

int units_of_sequence(std::size_t n, Encoding e) {
    if (e == Encoding::Utf8) return static_cast<int>(n);
    if (e == Encoding::Utf16) return n == 4 ? 2 : 1;
    return 1;
}

}  // namespace

const char* encoding_name(Encoding e) {
    switch (e) {
        case Encoding::Utf8:
            return "utf-8";
        case Encoding::Utf32:
            return "utf-32";
        default:
            return "utf-16";
    }
}

LineIndex::LineIndex(std::string_view text) {
    starts_.push_back(0);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            starts_.push_back(i + 1);
        } else if (text[i] == '\n') {
            starts_.push_back(i + 1);
        }
    }
}

std::size_t LineIndex::line_start(int n) const {
    if (n < 0) return 0;
    if (static_cast<std::size_t>(n) >= starts_.size()) return starts_.back();
    return starts_[static_cast<std::size_t>(n)];
}

std::string_view LineIndex::line(std::string_view text, int n) const {
    if (n < 0 || static_cast<std::size_t>(n) >= starts_.size()) return {};
    std::size_t b = starts_[static_cast<std::size_t>(n)];
    std::size_t e = static_cast<std::size_t>(n) + 1 < starts_.size()
                        ? starts_[static_cast<std::size_t>(n) + 1]
                        : text.size();
    b = std::min(b, text.size());
    e = std::min(e, text.size());
    std::string_view l = text.substr(b, e - b);
    while (!l.empty() && (l.back() == '\n' || l.back() == '\r'))
        l.remove_suffix(1);
    return l;
}

std::size_t LineIndex::offset(std::string_view text, Position p, Encoding e) const {
    if (p.line < 0) return 0;
    if (static_cast<std::size_t>(p.line) >= starts_.size()) return text.size();
    std::string_view l = line(text, p.line);
    const std::size_t base = starts_[static_cast<std::size_t>(p.line)];
    std::size_t i = 0;
    int counted = 0;
    while (i < l.size() && counted < p.character) {
        std::size_t n = sequence_length(l, i);
        counted += units_of_sequence(n, e);
        // A position inside a surrogate pair falls to the start of the character.
        if (counted > p.character) break;
        i += n;
    }
    return base + i;
}

Position LineIndex::position(std::string_view text, std::size_t offset, Encoding e) const {
    offset = std::min(offset, text.size());
    auto it = std::upper_bound(starts_.begin(), starts_.end(), offset);
    const int n = static_cast<int>(it - starts_.begin()) - 1;
    std::string_view l = line(text, n);
    const std::size_t in_line = std::min(offset - starts_[static_cast<std::size_t>(n)], l.size());
    return {n, units(l.substr(0, in_line), e)};
}

int units(std::string_view utf8, Encoding e) {
    if (e == Encoding::Utf8) return static_cast<int>(utf8.size());
    int count = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t n = sequence_length(utf8, i);
        count += units_of_sequence(n, e);
        i += n;
    }
    return count;
}

std::size_t byte_of_char_column(std::string_view line, int chars) {
    std::size_t i = 0;
    for (int c = 0; c < chars && i < line.size(); ++c)
        i += sequence_length(line, i);
    return i;
}

void apply_change(std::string& text, Position start, Position end, std::string_view with, Encoding e) {
    LineIndex index(text);
    std::size_t b = index.offset(text, start, e);
    std::size_t f = index.offset(text, end, e);
    if (f < b) std::swap(b, f);
    text.replace(b, f - b, with);
}

}  // namespace zuva::lsp
