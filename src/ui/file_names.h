// The name a save dialog gives a file: a name typed without an extension gets the one of
// the dialog's mask, so that the file shows under that mask when it is read again.
#pragma once
#include <string>
#include <string_view>

namespace zuva {

// The extension of a mask of the form "*.EXT" (".EXT"), or "" for any other mask ("*.*",
// "*", several patterns, wildcards in the extension).
std::string mask_extension(std::string_view mask);
// The path with the mask's extension added when its file name has no extension (no dot
// after its last directory separator); otherwise the path as it is.
std::string with_mask_extension(std::string_view path, std::string_view mask);

}  // namespace zuva
