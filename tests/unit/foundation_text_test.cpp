// Code page, sort order, number formats and the distinguishing name.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "kb/base_files.h"
#include "store/keyed_table.h"
#include "store/list_helpers.h"
#include "text/codec.h"
#include "text/number_format.h"
#include "text/pieces.h"

using namespace zuva;

TEST(Codec, RoundTripsPolishLettersAndRefusesUndefinedBytes) {
    std::string pl = "zażółć gęślą jaźń ZAŻÓŁĆ";
    auto cp = utf8_to_cp1250(pl);
    ASSERT_TRUE(cp);
    EXPECT_EQ(cp->size(), utf8_columns(pl, pl.size()));
    EXPECT_EQ(*cp1250_to_utf8(*cp), pl);
    CodecError err;
    EXPECT_FALSE(cp1250_to_utf8("ab\x81", &err));
    EXPECT_EQ(err.byte_offset, 2u);
    EXPECT_FALSE(utf8_to_cp1250("€ ok ☃", &err));
    EXPECT_EQ(utf8_to_cp1250_lossy("a☃b"), "a?b");
}

TEST(Codec, FileTextIsUtf8OnlyWithAMultibyteSequence) {
    EXPECT_EQ(*decode_file_text("abc"), "abc");
    EXPECT_EQ(*decode_file_text("\xbf"), "ż");  // a lone Windows-1250 byte is not UTF-8
    EXPECT_EQ(*decode_file_text("ż"), "ż");
}

TEST(Codec, TakenFileTextIsTheSameTextAndKeepsBytesItCannotUse) {
    // Each kind of file gives the text decode_file_text gives; the bytes of a file that
    // needs converting are still there after it (the reader reports the line of a bad byte).
    for (std::string bytes : {std::string("abc\nd"), std::string("\xEF\xBB\xBFż\n"), std::string("ż\n"),
                              std::string("\xbf\n"), std::string()}) {
        const std::string before = bytes;
        EXPECT_EQ(take_file_text(std::move(bytes)), decode_file_text(before)) << before;
    }
    std::string win = "a\xbf";
    EXPECT_EQ(*take_file_text(std::move(win)), "aż");
    EXPECT_EQ(win, "a\xbf");
    std::string bad = "ab\x98";  // no character of the code page
    CodecError err;
    EXPECT_FALSE(take_file_text(std::move(bad), &err));
    EXPECT_EQ(err.byte_offset, 2u);
    EXPECT_EQ(bad, "ab\x98");
}

TEST(Codec, SortOrderIsWindows1250Bytes) {
    // Letters with diacritics sort after every unaccented letter, in their code-page order.
    TextList in{"źle", "zero", "ala", "Zofia", "ćma", "cma", "ąb"};
    TextList want{"Zofia", "ala", "cma", "zero", "źle", "ąb", "ćma"};
    EXPECT_EQ(sortuj(in), want);
    EXPECT_LT(compare_cp1250("z", "ą"), 0);
    EXPECT_EQ(to_lower_pl("AUTOŻÓŁW"), "autożółw");
    EXPECT_EQ(to_upper_pl("auto_ż"), "AUTO_Ż");
}

TEST(Lists, RedukujKeepsLastOccurrenceAndDifferenceKeepsOrder) {
    EXPECT_EQ(redukuj({"a", "b", "a", "c", "b"}), (TextList{"a", "c", "b"}));
    EXPECT_EQ(roznica_zbiorow({"c", "a", "b", "d"}, {"b", "x"}), (TextList{"c", "a", "d"}));
    EXPECT_EQ(usun_wszystkie({"a", "bez warunku", "b", "bez warunku"}, "bez warunku"), (TextList{"a", "b"}));
    EXPECT_TRUE(podzbior_ogolny({"a"}, {"b", "a"}));
    EXPECT_FALSE(podzbior_ogolny({"a", "z"}, {"b", "a"}));
}

TEST(KeyedTable, FirstRecordOfAKeyAndOrderAfterReplacement) {
    KeyedTable<double> t;
    t.append("a", 0.5);
    t.append("b", 0.1);
    t.append("a", 0.9);
    EXPECT_EQ(*t.find("a"), 0.5);
    t.store("a", 0.7);  // replaces the first "a"; the new record goes to the end
    EXPECT_EQ(*t.find("a"), 0.9);
    auto rows = t.rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].key, "b");
    EXPECT_EQ(rows[2].value, 0.7);
    for (int i = 0; i < 200; ++i)
        t.store("c", i);  // compaction keeps the index right
    EXPECT_EQ(*t.find("c"), 199);
    EXPECT_EQ(t.count(), 4u);
}

TEST(Numbers, LgFormatAndRealReading) {
    EXPECT_EQ(format_lg(0.8), "0.8");
    EXPECT_EQ(format_lg(1.0), "1");
    EXPECT_EQ(format_lg(-1.0), "-1");
    EXPECT_EQ(format_lg(-0.25), "-0.25");
    EXPECT_EQ(format_lg(0.123456789), "0.123457");
    EXPECT_EQ(format_lg(1e-5), "1e-05");
    EXPECT_EQ(format_lg(1234567.0), "1.23457e+06");
    EXPECT_EQ(*parse_real("1"), 1.0);
    EXPECT_EQ(*parse_real("1.0"), 1.0);
    EXPECT_EQ(*parse_real("-.5"), -0.5);
    EXPECT_FALSE(parse_real("abc"));
    EXPECT_FALSE(parse_real("0,5"));
    EXPECT_FALSE(parse_real(" 1"));
    EXPECT_FALSE(parse_real(""));
    EXPECT_FALSE(parse_real("1e"));
}

// Short decimals are read without the C library; the value must be the very double it
// gives, for every shape a CF or model number takes.
TEST(Numbers, RealReadingAgreesWithTheCLibrary) {
    std::vector<std::string> texts = {"0",
                                      "-0",
                                      "+0.0",
                                      "0.99",
                                      "-0.99",
                                      ".5",
                                      "5.",
                                      "0.1",
                                      "0.3",
                                      "0.7",
                                      "1.0",
                                      "-1",
                                      "123456789012345",
                                      "0.123456789012345",
                                      "9999999999999.99",
                                      "1234567890123456",
                                      "0.1234567890123456789",
                                      "1e3",
                                      "-2.5E-3",
                                      "007.250"};
    std::uint64_t x = 88172645463325252ULL;
    for (int i = 0; i < 20000; ++i) {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        const int whole = static_cast<int>(x % 1000), frac = static_cast<int>((x >> 20) % 100000);
        const int width = 1 + static_cast<int>((x >> 40) % 5);
        std::string t = ((x >> 50) & 1 ? "-" : "") + std::to_string(whole % (width == 1 ? 2 : 1000)) + "." +
                        std::to_string(frac).substr(0, static_cast<std::size_t>(width));
        texts.push_back(t);
    }
    for (const auto& t : texts) {
        auto v = parse_real(t);
        ASSERT_TRUE(v) << t;
        const double expected = std::strtod(t.c_str(), nullptr);
        EXPECT_EQ(std::memcmp(&*v, &expected, sizeof expected), 0) << t;
    }
}

TEST(BaseNames, DistinguishingName) {
    EXPECT_EQ(split_distinguishing_name("REAUTO.BEN"), (std::pair<std::string, std::string>{"AUTO", ".BEN"}));
    EXPECT_EQ(split_distinguishing_name("MOauto.BEN").first, "auto");
    EXPECT_EQ(split_distinguishing_name("DŹAUTO.BEN").first, "AUTO");
    EXPECT_EQ(split_distinguishing_name("REŻÓŁW_2.BEN").first, "ŻÓŁW_2");
    EXPECT_EQ(split_distinguishing_name("RE-X.BEN"), (std::pair<std::string, std::string>{"-", "X.BEN"}));
}

// Lines in pieces: together the pieces are the text, every piece but the last is full,
// and a line is never split; newlines are counted wherever they stand.
TEST(LinePieces, HandOnWholeLinesInFullPiecesAndTheRestAtTheEnd) {
    EXPECT_EQ(count_newlines(""), 0u);
    EXPECT_EQ(count_newlines("bez końca"), 0u);
    EXPECT_EQ(count_newlines("\n\na\nb"), 3u);
    std::string buffer = "początek\n", expected = buffer;
    std::vector<std::string> got;
    LinePieces pieces(buffer, [&](std::string_view p) { got.emplace_back(p); });
    for (int i = 0; i < 20000; ++i) {
        const std::string line = "wiersz " + std::to_string(i);
        pieces.line(line);
        expected += line + "\n";
    }
    pieces.finish("koniec\n");
    expected += "koniec\n";
    ASSERT_GE(got.size(), 3u);
    std::string joined;
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (i + 1 < got.size()) {
            EXPECT_GE(got[i].size(), kLinePiece);
        }
        EXPECT_EQ(got[i].back(), '\n');
        joined += got[i];
    }
    EXPECT_EQ(joined, expected);
    EXPECT_EQ(count_newlines(joined), 20002u);
    EXPECT_TRUE(buffer.empty());
}
