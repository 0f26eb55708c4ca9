// Conversion between the program's UTF-8 and the Windows-1250 of the files on disk,
// the Windows-1250 sort key, and the decoding rule of base files.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace zuva {

struct CodecError {
    std::size_t byte_offset = 0;  // offset of the first byte that could not be converted
    std::string message;          // Polish, for the user
};

// Windows-1250 bytes to UTF-8. Bytes the code page leaves undefined are an error.
std::optional<std::string> cp1250_to_utf8(std::string_view bytes, CodecError* err = nullptr);
// UTF-8 to Windows-1250. Characters the code page lacks are an error.
std::optional<std::string> utf8_to_cp1250(std::string_view text, CodecError* err = nullptr);
// As utf8_to_cp1250, but a character the code page lacks becomes '?'; never fails.
std::string utf8_to_cp1250_lossy(std::string_view text);

bool is_valid_utf8(std::string_view bytes);
bool has_multibyte(std::string_view bytes);

// Text of a file as the program holds it: UTF-8 when the bytes are valid UTF-8 with at
// least one multi-byte sequence or start with a UTF-8 byte-order mark (which is dropped),
// Windows-1250 otherwise.
std::optional<std::string> decode_file_text(std::string_view bytes, CodecError* err = nullptr);
// decode_file_text, taking the buffer over: text that needs no conversion (ASCII, or UTF-8) is the
// buffer itself, so a large file is not held twice. When the bytes must be converted, or
// cannot be, the buffer is left as it was (the caller may still look at the bytes).
std::optional<std::string> take_file_text(std::string&& bytes, CodecError* err = nullptr);

// Key whose byte order is the order of the Windows-1250 encoding of the text.
std::string cp1250_sort_key(std::string_view utf8);
// Byte-wise comparison of the Windows-1250 texts: negative, zero or positive.
int compare_cp1250(std::string_view a, std::string_view b);

// Number of characters (code points) in the first `bytes` bytes of a UTF-8 text.
std::size_t utf8_columns(std::string_view text, std::size_t bytes);
// Lower case of ASCII and of the Polish letters.
std::string to_lower_pl(std::string_view utf8);
std::string to_upper_pl(std::string_view utf8);

}  // namespace zuva
