// Pictures and sounds of the terminal program: bitmaps decoded by the stb image library
// and drawn as character art by chafa, wave files played through SDL2.
#pragma once
#include <string>
#include <vector>

namespace zuva {

class ScriptedUi;

struct DecodedPicture {
    bool ok = false;
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;  // width * height * 4 bytes
    std::string reason;               // why not, in Polish, when !ok
};
// Decodes a BMP file.
DecodedPicture decode_bitmap(const std::string& path);

// The picture as character art for a terminal `cols` columns and `rows` rows large, with
// colours when `color` is set; the escape sequences end with a reset.
std::string picture_art(const DecodedPicture& p, int cols, int rows, bool color);

struct PlayedSound {
    bool ok = false;
    double seconds = 0.0;
    std::string reason;
};
// Reads a wave file and plays it to its end through the audio output. With
// `fallback_silent` a machine without an audio device plays through SDL's silent output,
// so that an answer script runs the same everywhere.
PlayedSound play_wave(const std::string& path, bool fallback_silent);

// Gives the answer-script port these decoders and the audio output, falling back to the
// silent output where the machine has none.
void attach_media(ScriptedUi& ui);

}  // namespace zuva
