// Positions in a text held as UTF-8: lines (ended by LF, CR LF or CR alone, as the reader
// ends them) and columns counted in the units the client chose (UTF-16 code units by
// default, UTF-8 bytes or code points on request).
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zuva::lsp {

enum class Encoding { Utf16, Utf8, Utf32 };
const char* encoding_name(Encoding e);

struct Position {
    int line = 0;       // from 0
    int character = 0;  // from 0, in the units of the encoding
};

class LineIndex {
  public:
    explicit LineIndex(std::string_view text);
    int line_count() const { return static_cast<int>(starts_.size()); }
    // The line's text without its line end; empty past the last line.
    std::string_view line(std::string_view text, int n) const;
    std::size_t line_start(int n) const;
    // Byte offset of a position; positions past a line's end or the text's end are clamped.
    std::size_t offset(std::string_view text, Position p, Encoding e) const;
    Position position(std::string_view text, std::size_t offset, Encoding e) const;

  private:
    std::vector<std::size_t> starts_;
};

// Units of the encoding in the UTF-8 text.
int units(std::string_view utf8, Encoding e);
// Byte offset in the line of the character column `chars` (code points, from 0).
std::size_t byte_of_char_column(std::string_view line, int chars);

// Replaces the range [start, end) given as positions with `with` (an editor's change).
void apply_change(std::string& text, Position start, Position end, std::string_view with, Encoding e);

}  // namespace zuva::lsp
