// Fuzzing target: the language server's message reader. The bytes are fed to the frame
// parser in pieces of varying size (the first byte picks the piece length), and every frame
// it hands out goes to a server whose full checks never start (a pause of an hour), so the
// JSON parsing, the dispatch and the answers to every method are what runs.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "lsp/framing.h"
#include "lsp/server.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = 1 + data[0] % 64;
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    zuva::lsp::ServerOptions options;
    options.debounce = std::chrono::hours(1);
    std::size_t sent = 0;
    zuva::lsp::Server server(options, [&](const zuva::lsp::Json& m) { sent += m.dump().size(); });
    // A small limit, so that the refusal of long frames is reached too.
    zuva::lsp::FrameParser parser(4096);
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        parser.feed(bytes.substr(at, piece));
        while (auto frame = parser.next())
            if (!server.handle(*frame)) return 0;
    }
    if (auto cut = parser.finish()) server.handle(*cut);
    return 0;
}
