// The decoders belong to the front end: the core only names the files. A file that the
// libraries refuse gives a reason in Polish for the note the core shows.
#include "cli/media.h"

#include <SDL2/SDL.h>
#include <chafa/chafa.h>
#include <stb_image.h>

#include <cstdlib>
#include <cstring>

#include "text/file_io.h"
#include "ui/scripted_ui.h"

extern char** environ;

namespace zuva {

DecodedPicture decode_bitmap(const std::string& path) {
    DecodedPicture p;
    auto bytes = read_file_bytes(path);
    if (!bytes) {
        p.reason = "nie można odczytać pliku";
        return p;
    }
    if (bytes->size() < 2 || (*bytes)[0] != 'B' || (*bytes)[1] != 'M') {
        p.reason = "plik nie jest mapą bitową BMP";
        return p;
    }
    int w = 0, h = 0, channels = 0;
    unsigned char* px = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(bytes->data()),
                                              static_cast<int>(bytes->size()), &w, &h, &channels, 4);
    if (!px) {
        const char* why = stbi_failure_reason();
        p.reason = std::string("uszkodzona mapa bitowa BMP (") + (why ? why : "?") + ")";
        return p;
    }
    p.ok = true;
    p.width = w;
    p.height = h;
    p.rgba.assign(px, px + static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    stbi_image_free(px);
    return p;
}

std::string picture_art(const DecodedPicture& p, int cols, int rows, bool color) {
    if (!p.ok || p.width <= 0 || p.height <= 0 || cols <= 0 || rows <= 0) return {};
    int w = cols, h = rows;
    chafa_calc_canvas_geometry(p.width, p.height, &w, &h, 0.5f, FALSE, FALSE);
    if (w < 1) w = 1;
    if (h < 1) h = 1;
    ChafaSymbolMap* map = chafa_symbol_map_new();
    chafa_symbol_map_add_by_tags(map, color ? CHAFA_SYMBOL_TAG_BLOCK : CHAFA_SYMBOL_TAG_ALL);
    ChafaCanvasConfig* cfg = chafa_canvas_config_new();
    chafa_canvas_config_set_geometry(cfg, w, h);
    chafa_canvas_config_set_symbol_map(cfg, map);
    ChafaCanvasMode mode = CHAFA_CANVAS_MODE_FGBG;
    if (color) {
        const char* ct = std::getenv("COLORTERM");
        bool truecolor = ct && (std::strcmp(ct, "truecolor") == 0 || std::strcmp(ct, "24bit") == 0);
        mode = truecolor ? CHAFA_CANVAS_MODE_TRUECOLOR : CHAFA_CANVAS_MODE_INDEXED_240;
    }
    chafa_canvas_config_set_canvas_mode(cfg, mode);
    ChafaCanvas* canvas = chafa_canvas_new(cfg);
    chafa_canvas_draw_all_pixels(canvas, CHAFA_PIXEL_RGBA8_UNASSOCIATED, p.rgba.data(), p.width, p.height,
                                 p.width * 4);
    ChafaTermInfo* ti = chafa_term_db_detect(chafa_term_db_get_default(), environ);
    GString* gs = chafa_canvas_print(canvas, ti);
    std::string out(gs->str, gs->len);
    g_string_free(gs, TRUE);
    chafa_term_info_unref(ti);
    chafa_canvas_unref(canvas);
    chafa_canvas_config_unref(cfg);
    chafa_symbol_map_unref(map);
    if (color) out += "\x1b[0m";
    return out;
}

namespace {

// SDL's audio subsystem with a device open for one sound. A machine without a usable
// device may fall back to SDL's silent output.
struct AudioDevice {
    SDL_AudioDeviceID id = 0;
    bool initialised = false;
    std::string error;
    AudioDevice(const SDL_AudioSpec& audio_format, bool fallback_silent) {
        if (open(audio_format) || !fallback_silent) return;
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        open(audio_format);
    }
    bool open(const SDL_AudioSpec& audio_format) {
        close();
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            error = SDL_GetError();
            return false;
        }
        initialised = true;
        id = SDL_OpenAudioDevice(nullptr, 0, &audio_format, nullptr, 0);
        if (id == 0) error = SDL_GetError();
        return id != 0;
    }
    void close() {
        if (id) SDL_CloseAudioDevice(id);
        if (initialised) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        id = 0;
        initialised = false;
    }
    ~AudioDevice() { close(); }
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;
};

double seconds_of(const SDL_AudioSpec& audio_format, Uint32 len) {
    const double frame =
        static_cast<double>(SDL_AUDIO_BITSIZE(audio_format.format) / 8) * audio_format.channels;
    if (frame <= 0 || audio_format.freq <= 0) return 0.0;
    return static_cast<double>(len) / frame / audio_format.freq;
}

}  // namespace

PlayedSound play_wave(const std::string& path, bool fallback_silent) {
    PlayedSound r;
    auto bytes = read_file_bytes(path);
    if (!bytes) {
        r.reason = "nie można odczytać pliku";
        return r;
    }
    SDL_AudioSpec audio_format{};
    Uint8* buf = nullptr;
    Uint32 len = 0;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes->data(), static_cast<int>(bytes->size()));
    if (!rw || !SDL_LoadWAV_RW(rw, 1, &audio_format, &buf, &len)) {
        r.reason = std::string("plik nie jest poprawnym plikiem dźwięku WAV (") + SDL_GetError() + ")";
        return r;
    }
    r.seconds = seconds_of(audio_format, len);
    // Small device buffers, so that the end of the sound is not followed by a long wait.
    audio_format.samples = 1024;
    {
        AudioDevice dev(audio_format, fallback_silent);
        if (!dev.id) {
            r.reason = "brak wyjścia dźwięku (" + dev.error + ")";
        } else {
            SDL_QueueAudio(dev.id, buf, len);
            SDL_PauseAudioDevice(dev.id, 0);
            const Uint32 limit = static_cast<Uint32>(r.seconds * 1000.0) + 2000;
            const Uint32 start = SDL_GetTicks();
            while (SDL_GetQueuedAudioSize(dev.id) > 0 && SDL_GetTicks() - start < limit)
                SDL_Delay(10);
            // The device still holds its last buffer.
            SDL_Delay(static_cast<Uint32>(1000.0 * audio_format.samples /
                                          (audio_format.freq > 0 ? audio_format.freq : 1)) +
                      20);
            r.ok = true;
        }
    }
    SDL_FreeWAV(buf);
    return r;
}

void attach_media(ScriptedUi& ui) {
    ui.picture_reader = [](const std::string& path) {
        DecodedPicture p = decode_bitmap(path);
        return PictureInfo{p.ok, p.width, p.height, p.reason};
    };
    ui.sound_player = [](const std::string& path) {
        PlayedSound r = play_wave(path, true);
        return SoundInfo{r.ok, r.seconds, r.reason};
    };
}

}  // namespace zuva
