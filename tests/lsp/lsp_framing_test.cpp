// The language server's frame parser and position arithmetic: frames split anywhere,
// headers that cannot be read and lengths over the limit refused with the stream read on,
// a frame cut at the end; columns in UTF-16 units (surrogate pairs), bytes and code points,
// and line ends as the base reader ends lines.
#include <gtest/gtest.h>

#include "lsp/framing.h"
#include "lsp/positions.h"

namespace zuva::lsp {
namespace {

std::string framed(const std::string& body) {
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::vector<Frame> all(FrameParser& p) {
    std::vector<Frame> out;
    while (auto f = p.next())
        out.push_back(*f);
    return out;
}

TEST(LspFraming, FramesSplitAtEveryByteComeOutWhole) {
    const std::string input = framed("{\"a\":1}") + "\r\n" + framed("{\"b\":\"żółw\"}") + framed("{}");
    FrameParser p;
    std::vector<Frame> got;
    for (char c : input) {
        p.feed(std::string_view(&c, 1));
        for (auto& f : all(p))
            got.push_back(f);
    }
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].body, "{\"a\":1}");
    EXPECT_EQ(got[1].body, "{\"b\":\"żółw\"}");
    EXPECT_EQ(got[2].body, "{}");
    for (const auto& f : got)
        EXPECT_FALSE(f.error);
    EXPECT_FALSE(p.finish());
}

// Header lines end in CR LF or LF alone, in any mix: a header ended by LF is not read on to a
// blank line further on (the next frame's header, or a body that holds one).
TEST(LspFraming, HeaderLinesEndInCrLfOrLf) {
    const std::string crlf_in_body = "{\"a\":\"x\r\n\r\ny\"}";
    const std::string input = "Content-Length: " + std::to_string(crlf_in_body.size()) + "\n\n" +
                              crlf_in_body + "Content-Length: 2\nContent-Type: x\r\n\n{}" +
                              framed("{\"c\":3}");
    FrameParser p;
    p.feed(input);
    const auto got = all(p);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].body, crlf_in_body);
    EXPECT_EQ(got[1].body, "{}");
    EXPECT_EQ(got[2].body, "{\"c\":3}");
    for (const auto& f : got)
        EXPECT_FALSE(f.error) << f.body;
}

TEST(LspFraming, BadHeadersAndLongFramesAreRefusedAndReadingGoesOn) {
    FrameParser p(1000);
    // A length over the limit with no body after it, a header without a length, a length
    // that is no number, a header line without a colon: each an error, and the frame after
    // each still read.
    p.feed("Content-Length: 104857600\r\n\r\n" + framed("{\"n\":1}") + "Content-Type: x\r\n\r\n" +
           framed("{\"n\":2}") + "Content-Length: -5\r\n\r\n" + framed("{\"n\":3}") + "garbage\r\n\r\n" +
           framed("{\"n\":4}"));
    auto got = all(p);
    ASSERT_EQ(got.size(), 8u);
    EXPECT_TRUE(got[0].error);
    EXPECT_NE(got[0].body.find("104857600"), std::string::npos);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(got[2 * i].error) << i;
        EXPECT_FALSE(got[2 * i + 1].error) << i;
        EXPECT_EQ(got[2 * i + 1].body, "{\"n\":" + std::to_string(i + 1) + "}");
    }
    // A long body that does come is skipped up to the next frame, never kept whole.
    p.feed("Content-Length: 5000\r\n\r\n" + std::string(5000, 'x') + framed("{\"n\":5}"));
    got = all(p);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_TRUE(got[0].error);
    EXPECT_EQ(got[1].body, "{\"n\":5}");
}

TEST(LspFraming, HeaderWithoutEndAndCutFrame) {
    FrameParser p;
    p.feed(std::string(FrameParser::kMaxHeader + 10, 'h'));
    auto got = all(p);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_TRUE(got[0].error);
    p.feed(framed("{}"));
    got = all(p);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].body, "{}");
    p.feed("Content-Length: 10\r\n\r\n{\"a\"");
    EXPECT_TRUE(all(p).empty());
    auto cut = p.finish();
    ASSERT_TRUE(cut);
    EXPECT_TRUE(cut->error);
}

TEST(LspPositions, ColumnsInEachEncoding) {
    // "a", "ż" (2 bytes, 1 UTF-16 unit), "𝄞" (4 bytes, a surrogate pair), "b".
    const std::string text =
        "x\na\xC5\xBC\xF0\x9D\x84\x9E"
        "b\n";
    LineIndex lines(text);
    const std::size_t b = text.find('b');
    EXPECT_EQ(lines.position(text, b, Encoding::Utf16).character, 4);
    EXPECT_EQ(lines.position(text, b, Encoding::Utf8).character, 7);
    EXPECT_EQ(lines.position(text, b, Encoding::Utf32).character, 3);
    EXPECT_EQ(lines.offset(text, {1, 4}, Encoding::Utf16), b);
    EXPECT_EQ(lines.offset(text, {1, 3}, Encoding::Utf32), b);
    // Inside the surrogate pair: the start of the character; past the line: its end.
    EXPECT_EQ(lines.offset(text, {1, 3}, Encoding::Utf16), text.find('\xF0'));
    EXPECT_EQ(lines.offset(text, {1, 99}, Encoding::Utf16), b + 1);
    EXPECT_EQ(lines.offset(text, {9, 0}, Encoding::Utf16), text.size());
    EXPECT_EQ(byte_of_char_column(lines.line(text, 1), 3), b - lines.line_start(1));
}

TEST(LspPositions, LineEndsAndChanges) {
    // CR LF, LF and CR alone each end a line, as in the reader.
    const std::string text = "ab\r\ncd\nef\rgh";
    LineIndex lines(text);
    ASSERT_EQ(lines.line_count(), 4);
    EXPECT_EQ(lines.line(text, 0), "ab");
    EXPECT_EQ(lines.line(text, 2), "ef");
    EXPECT_EQ(lines.line(text, 3), "gh");
    std::string t = "reguła(1,\"żółw\",[\"a\"] 1,\"0.8\")\n";
    // The blank after ']' (UTF-16 column 21) becomes a comma.
    apply_change(t, {0, 21}, {0, 22}, ",", Encoding::Utf16);
    EXPECT_EQ(t, "reguła(1,\"żółw\",[\"a\"],1,\"0.8\")\n");
    // An insertion past the last line lands at the end of the text.
    apply_change(t, {1, 0}, {1, 0}, "fakt(\"a\",\"1\")", Encoding::Utf8);
    EXPECT_EQ(t.substr(t.size() - 13), "fakt(\"a\",\"1\")");
}

}  // namespace
}  // namespace zuva::lsp
