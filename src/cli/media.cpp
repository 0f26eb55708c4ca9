// The decoders belong to the front end: the core only names the files. A file that the
// libraries refuse gives a reason in Polish for the note the core shows.
#include "cli/media.h"

#include <SDL2/SDL.h>
#include <chafa/chafa.h>
#include <stb_image.h>

#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "cli/dynamic_library.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "ui/scripted_ui.h"

extern char** environ;

namespace zuva {

DecodedPicture decode_bitmap(const std::string& path) {
    DecodedPicture p;
    auto bytes = read_file_bytes(path);
    if (!bytes) {
        p.reason = tr("nie można odczytać pliku");
        return p;
    }
    if (bytes->size() < 2 || (*bytes)[0] != 'B' || (*bytes)[1] != 'M') {
        p.reason = tr("plik nie jest mapą bitową BMP");
        return p;
    }
    int w = 0, h = 0, channels = 0;
    unsigned char* px = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(bytes->data()),
                                              static_cast<int>(bytes->size()), &w, &h, &channels, 4);
    if (!px) {
        const char* why = stbi_failure_reason();
        p.reason = std::string(tr("uszkodzona mapa bitowa BMP (")) + (why ? why : "?") + ")";
        return p;
    }
    p.ok = true;
    p.width = w;
    p.height = h;
    p.rgba.assign(px, px + static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    stbi_image_free(px);
    return p;
}

namespace {

// chafa (with glib) is opened the first time a picture is drawn.
struct ChafaApi {
    decltype(&chafa_calc_canvas_geometry) calc_canvas_geometry = nullptr;
    decltype(&chafa_symbol_map_new) symbol_map_new = nullptr;
    decltype(&chafa_symbol_map_add_by_tags) symbol_map_add_by_tags = nullptr;
    decltype(&chafa_symbol_map_unref) symbol_map_unref = nullptr;
    decltype(&chafa_canvas_config_new) canvas_config_new = nullptr;
    decltype(&chafa_canvas_config_set_geometry) canvas_config_set_geometry = nullptr;
    decltype(&chafa_canvas_config_set_symbol_map) canvas_config_set_symbol_map = nullptr;
    decltype(&chafa_canvas_config_set_canvas_mode) canvas_config_set_canvas_mode = nullptr;
    decltype(&chafa_canvas_config_unref) canvas_config_unref = nullptr;
    decltype(&chafa_canvas_new) canvas_new = nullptr;
    decltype(&chafa_canvas_draw_all_pixels) canvas_draw_all_pixels = nullptr;
    decltype(&chafa_canvas_print) canvas_print = nullptr;
    decltype(&chafa_canvas_unref) canvas_unref = nullptr;
    decltype(&chafa_term_db_get_default) term_db_get_default = nullptr;
    decltype(&chafa_term_db_detect) term_db_detect = nullptr;
    decltype(&chafa_term_info_unref) term_info_unref = nullptr;
    decltype(&g_string_free) string_free = nullptr;
    bool usable = false;
};

const ChafaApi& chafa() {
    static const ChafaApi api = [] {
        ChafaApi a;
        static DynamicLibrary lib("libchafa.so.0");
        lib.get(a.calc_canvas_geometry, "chafa_calc_canvas_geometry");
        lib.get(a.symbol_map_new, "chafa_symbol_map_new");
        lib.get(a.symbol_map_add_by_tags, "chafa_symbol_map_add_by_tags");
        lib.get(a.symbol_map_unref, "chafa_symbol_map_unref");
        lib.get(a.canvas_config_new, "chafa_canvas_config_new");
        lib.get(a.canvas_config_set_geometry, "chafa_canvas_config_set_geometry");
        lib.get(a.canvas_config_set_symbol_map, "chafa_canvas_config_set_symbol_map");
        lib.get(a.canvas_config_set_canvas_mode, "chafa_canvas_config_set_canvas_mode");
        lib.get(a.canvas_config_unref, "chafa_canvas_config_unref");
        lib.get(a.canvas_new, "chafa_canvas_new");
        lib.get(a.canvas_draw_all_pixels, "chafa_canvas_draw_all_pixels");
        lib.get(a.canvas_print, "chafa_canvas_print");
        lib.get(a.canvas_unref, "chafa_canvas_unref");
        lib.get(a.term_db_get_default, "chafa_term_db_get_default");
        lib.get(a.term_db_detect, "chafa_term_db_detect");
        lib.get(a.term_info_unref, "chafa_term_info_unref");
        lib.get(a.string_free, "g_string_free");
        a.usable = lib.complete();
        return a;
    }();
    return api;
}

}  // namespace

std::string picture_art(const DecodedPicture& p, int cols, int rows, bool color) {
    if (!p.ok || p.width <= 0 || p.height <= 0 || cols <= 0 || rows <= 0) return {};
    const ChafaApi& c = chafa();
    if (!c.usable) return {};
    int w = cols, h = rows;
    c.calc_canvas_geometry(p.width, p.height, &w, &h, 0.5f, FALSE, FALSE);
    if (w < 1) w = 1;
    if (h < 1) h = 1;
    ChafaSymbolMap* map = c.symbol_map_new();
    c.symbol_map_add_by_tags(map, color ? CHAFA_SYMBOL_TAG_BLOCK : CHAFA_SYMBOL_TAG_ALL);
    ChafaCanvasConfig* cfg = c.canvas_config_new();
    c.canvas_config_set_geometry(cfg, w, h);
    c.canvas_config_set_symbol_map(cfg, map);
    ChafaCanvasMode mode = CHAFA_CANVAS_MODE_FGBG;
    if (color) {
        const char* ct = std::getenv("COLORTERM");
        bool truecolor = ct && (std::strcmp(ct, "truecolor") == 0 || std::strcmp(ct, "24bit") == 0);
        mode = truecolor ? CHAFA_CANVAS_MODE_TRUECOLOR : CHAFA_CANVAS_MODE_INDEXED_240;
    }
    c.canvas_config_set_canvas_mode(cfg, mode);
    ChafaCanvas* canvas = c.canvas_new(cfg);
    c.canvas_draw_all_pixels(canvas, CHAFA_PIXEL_RGBA8_UNASSOCIATED, p.rgba.data(), p.width, p.height,
                             p.width * 4);
    ChafaTermInfo* ti = c.term_db_detect(c.term_db_get_default(), environ);
    GString* gs = c.canvas_print(canvas, ti);
    std::string out(gs->str, gs->len);
    c.string_free(gs, TRUE);
    c.term_info_unref(ti);
    c.canvas_unref(canvas);
    c.canvas_config_unref(cfg);
    c.symbol_map_unref(map);
    if (color) out += "\x1b[0m";
    return out;
}

namespace {

// SDL is opened the first time a sound is played: a consultation without sound does not
// map it nor the many libraries it pulls in (about 4 MB of every process).
struct SdlAudio {
    decltype(&SDL_InitSubSystem) InitSubSystem = nullptr;
    decltype(&SDL_QuitSubSystem) QuitSubSystem = nullptr;
    decltype(&SDL_GetError) GetError = nullptr;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice = nullptr;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice = nullptr;
    decltype(&SDL_RWFromConstMem) RWFromConstMem = nullptr;
    decltype(&SDL_LoadWAV_RW) LoadWAV_RW = nullptr;
    decltype(&SDL_FreeWAV) FreeWAV = nullptr;
    decltype(&SDL_QueueAudio) QueueAudio = nullptr;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice = nullptr;
    decltype(&SDL_GetQueuedAudioSize) GetQueuedAudioSize = nullptr;
    decltype(&SDL_GetTicks) GetTicks = nullptr;
    decltype(&SDL_Delay) Delay = nullptr;
    std::string error;  // why the library is not usable; empty when it is
};

const SdlAudio& sdl() {
    static const SdlAudio api = [] {
        SdlAudio a;
        constexpr const char* kLibrary = "libSDL2-2.0.so.0";
        static DynamicLibrary lib(kLibrary);
        if (!lib.loaded()) {
            a.error = std::string(tr("brak biblioteki dźwięku ")) + kLibrary;
            return a;
        }
        lib.get(a.InitSubSystem, "SDL_InitSubSystem");
        lib.get(a.QuitSubSystem, "SDL_QuitSubSystem");
        lib.get(a.GetError, "SDL_GetError");
        lib.get(a.OpenAudioDevice, "SDL_OpenAudioDevice");
        lib.get(a.CloseAudioDevice, "SDL_CloseAudioDevice");
        lib.get(a.RWFromConstMem, "SDL_RWFromConstMem");
        lib.get(a.LoadWAV_RW, "SDL_LoadWAV_RW");
        lib.get(a.FreeWAV, "SDL_FreeWAV");
        lib.get(a.QueueAudio, "SDL_QueueAudio");
        lib.get(a.PauseAudioDevice, "SDL_PauseAudioDevice");
        lib.get(a.GetQueuedAudioSize, "SDL_GetQueuedAudioSize");
        lib.get(a.GetTicks, "SDL_GetTicks");
        lib.get(a.Delay, "SDL_Delay");
        if (!lib.complete()) a.error = std::string(tr("niepełna biblioteka dźwięku ")) + kLibrary;
        return a;
    }();
    return api;
}

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
        if (sdl().InitSubSystem(SDL_INIT_AUDIO) != 0) {
            error = sdl().GetError();
            return false;
        }
        initialised = true;
        id = sdl().OpenAudioDevice(nullptr, 0, &audio_format, nullptr, 0);
        if (id == 0) error = sdl().GetError();
        return id != 0;
    }
    void close() {
        if (id) sdl().CloseAudioDevice(id);
        if (initialised) sdl().QuitSubSystem(SDL_INIT_AUDIO);
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
    const SdlAudio& api = sdl();
    if (!api.error.empty()) {
        r.reason = api.error;
        return r;
    }
    auto bytes = read_file_bytes(path);
    if (!bytes) {
        r.reason = tr("nie można odczytać pliku");
        return r;
    }
    SDL_AudioSpec audio_format{};
    Uint8* buf = nullptr;
    Uint32 len = 0;
    SDL_RWops* rw = sdl().RWFromConstMem(bytes->data(), static_cast<int>(bytes->size()));
    if (!rw || !sdl().LoadWAV_RW(rw, 1, &audio_format, &buf, &len)) {
        r.reason = std::string(tr("plik nie jest poprawnym plikiem dźwięku WAV (")) + sdl().GetError() + ")";
        return r;
    }
    r.seconds = seconds_of(audio_format, len);
    // Small device buffers, so that the end of the sound is not followed by a long wait.
    audio_format.samples = 1024;
    {
        AudioDevice dev(audio_format, fallback_silent);
        if (!dev.id) {
            r.reason = tr("brak wyjścia dźwięku (") + dev.error + ")";
        } else {
            sdl().QueueAudio(dev.id, buf, len);
            sdl().PauseAudioDevice(dev.id, 0);
            const Uint32 limit = static_cast<Uint32>(r.seconds * 1000.0) + 2000;
            const Uint32 start = sdl().GetTicks();
            while (sdl().GetQueuedAudioSize(dev.id) > 0 && sdl().GetTicks() - start < limit)
                sdl().Delay(10);
            // The device still holds its last buffer.
            sdl().Delay(static_cast<Uint32>(1000.0 * audio_format.samples /
                                            (audio_format.freq > 0 ? audio_format.freq : 1)) +
                        20);
            r.ok = true;
        }
    }
    sdl().FreeWAV(buf);
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
