// Lines of a large text handed on in pieces of about 64 KB: the text is neither held whole
// a second time nor written a line at a time. Newlines counted with memchr, which reads
// many bytes at a step.
#pragma once
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace zuva {

inline std::size_t count_newlines(std::string_view text) {
    std::size_t n = 0;
    const char* const end = text.data() + text.size();
    for (const char* at = text.data(); at < end; ++n) {
        const void* nl = std::memchr(at, '\n', static_cast<std::size_t>(end - at));
        if (!nl) break;
        at = static_cast<const char*>(nl) + 1;
    }
    return n;
}

inline constexpr std::size_t kLinePiece = 1 << 16;

// Collects lines in `buffer` (which may hold a beginning already) and hands them to `out`
// once they fill a piece; finish() hands on the rest with `tail`.
template <class Out>
class LinePieces {
  public:
    LinePieces(std::string& buffer, Out out) : buffer_(buffer), out_(std::move(out)) {}
    void line(std::string_view text) {
        buffer_ += text;
        buffer_ += '\n';
        if (buffer_.size() >= kLinePiece) {
            out_(std::string_view(buffer_));
            buffer_.clear();
        }
    }
    void finish(std::string_view tail = {}) {
        buffer_ += tail;
        out_(std::string_view(buffer_));
        buffer_.clear();
    }

  private:
    std::string& buffer_;
    Out out_;
};

}  // namespace zuva
