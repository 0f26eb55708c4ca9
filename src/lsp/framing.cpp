// Bytes are appended to one buffer; the consumed front is dropped once it outgrows the rest,
// so the buffer holds at most one frame and the header of the next.
#include "lsp/framing.h"

#include <algorithm>
#include <cctype>

#include "text/i18n.h"

namespace zuva::lsp {

namespace {

const std::string_view kLengthHeader = "content-length";

bool iequals(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Position of "Content-Length" in any case from `from`, or npos.
std::size_t find_length_header(std::string_view s, std::size_t from) {
    for (std::size_t i = from; i + kLengthHeader.size() <= s.size(); ++i)
        if ((s[i] == 'C' || s[i] == 'c') && iequals(s.substr(i, kLengthHeader.size()), kLengthHeader))
            return i;
    return std::string_view::npos;
}

}  // namespace

void FrameParser::feed(std::string_view bytes) {
    compact();
    buf_.append(bytes);
}

void FrameParser::compact() {
    if (pos_ > 0 && pos_ >= buf_.size() / 2) {
        buf_.erase(0, pos_);
        pos_ = 0;
    }
}

bool FrameParser::resync() {
    std::string_view rest(buf_);
    std::size_t at = find_length_header(rest, pos_);
    if (at == std::string_view::npos) {
        // Keep a tail that may be the start of the header name.
        if (buf_.size() - pos_ > kLengthHeader.size()) pos_ = buf_.size() - kLengthHeader.size();
        compact();
        return false;
    }
    pos_ = at;
    skipping_ = false;
    return true;
}

std::optional<Frame> FrameParser::next() {
    if (skipping_ && !resync()) return std::nullopt;
    std::string_view rest = std::string_view(buf_).substr(pos_);
    // Blank lines between frames are allowed.
    std::size_t lead = rest.find_first_not_of("\r\n");
    if (lead == std::string_view::npos) {
        pos_ = buf_.size();
        compact();
        return std::nullopt;
    }
    pos_ += lead;
    rest.remove_prefix(lead);
    // The header ends at the first empty line; each of its lines ends in CR LF or in LF alone.
    std::size_t end = std::string_view::npos;  // the length of the header lines
    std::size_t body = 0;                      // where the body begins
    for (std::size_t at = 0; at <= kMaxHeader;) {
        const std::size_t nl = rest.find('\n', at);
        if (nl == std::string_view::npos) break;
        if (nl == at || (nl == at + 1 && rest[at] == '\r')) {
            end = at;
            body = nl + 1;
            break;
        }
        at = nl + 1;
    }
    if (end == std::string_view::npos) {
        if (rest.size() <= kMaxHeader) return std::nullopt;
        skipping_ = true;
        ++pos_;
        return Frame{true, tr("Nagłówek komunikatu jest za długi.")};
    }
    std::string_view header = rest.substr(0, end);
    std::optional<std::size_t> length;
    std::string problem;
    while (!header.empty()) {
        std::size_t nl = header.find('\n');
        std::string_view line = header.substr(0, nl);
        header = nl == std::string_view::npos ? std::string_view() : header.substr(nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            problem = tr("Wiersz nagłówka bez dwukropka.");
            break;
        }
        if (!iequals(trimmed(line.substr(0, colon)), kLengthHeader)) continue;  // Content-Type and others
        std::string_view v = trimmed(line.substr(colon + 1));
        if (v.empty() || v.size() > 12 ||
            !std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            problem = tr("Błędna wartość Content-Length.");
            break;
        }
        length = std::stoull(std::string(v));
    }
    if (problem.empty() && !length) problem = tr("Brak nagłówka Content-Length.");
    if (problem.empty() && *length > max_body_)
        problem = tr("Komunikat za długi: ") + std::to_string(*length) + tr(" bajtów (najwyżej ") +
                  std::to_string(max_body_) + ").";
    if (!problem.empty()) {
        // The header is dropped; whatever body it announced is skipped up to the next frame.
        pos_ += body;
        skipping_ = true;
        return Frame{true, problem};
    }
    if (rest.size() - body < *length) return std::nullopt;
    Frame f{false, std::string(rest.substr(body, *length))};
    pos_ += body + *length;
    compact();
    return f;
}

std::optional<Frame> FrameParser::finish() {
    std::string_view rest = std::string_view(buf_).substr(pos_);
    if (skipping_ || rest.find_first_not_of("\r\n") == std::string_view::npos) return std::nullopt;
    buf_.clear();
    pos_ = 0;
    return Frame{true, tr("Komunikat urwany na końcu wejścia.")};
}

}  // namespace zuva::lsp
