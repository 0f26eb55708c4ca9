// The framing of the language server's messages: headers ("Content-Length: N", CR LF each,
// an empty line) followed by N bytes of JSON. The parser takes bytes as they come and hands
// out whole bodies, or an error for a frame that cannot be read; it never keeps more than
// one frame of bounded size.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zuva::lsp {

struct Frame {
    bool error = false;
    std::string body;  // the JSON text, or the Polish description of the error
};

class FrameParser {
  public:
    static constexpr std::size_t kMaxBody = 32u << 20;  // 32 MiB: far above any base file
    static constexpr std::size_t kMaxHeader = 8192;

    explicit FrameParser(std::size_t max_body = kMaxBody) : max_body_(max_body) {}

    void feed(std::string_view bytes);
    // The next frame, or nullopt when more bytes are needed.
    std::optional<Frame> next();
    // At the end of the input: an error for a frame cut short, or nullopt when nothing is left.
    std::optional<Frame> finish();

  private:
    // After a bad header the bytes up to the next "Content-Length" are skipped.
    bool resync();
    void compact();

    std::size_t max_body_;
    std::string buf_;
    std::size_t pos_ = 0;
    bool skipping_ = false;
};

}  // namespace zuva::lsp
