// Advice, pictures and sounds offered during a consultation: the advice of the applied
// rules after a forward run, the advice of a tested hypothesis, and the picture and the
// sound of each presented conclusion.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

namespace zuva {

struct Session;

// The advice-viewing dialog over the advice texts of the applied rules with display flag
// 1; nothing without an advice base.
void udziel_rady(Session& s);
// The advice text of the first displayed rule (else relational model) concluding h.
void udziel_rady_wstecz(Session& s, const std::string& h);
// The picture (grafika for cf >= 0, ngrafika below) and the sound (dźwięk, ndźwięk) of a
// conclusion, each after the question of the "Wybierz:" box; a sound only when its file
// exists.
void wyswietl_grafike(Session& s, double cf, const std::string& conclusion);
void przesluchaj_melodie(Session& s, double cf, const std::string& conclusion);

// Where an offered data file came from: the rule (or relational model) whose record names it
// and the conclusion that rule concludes.
struct MediaOrigin {
    std::int32_t number = 0;
    bool model = false;
    std::string conclusion;
};
enum class OfferedKind { Advice, Picture, Sound };
// The record that gives the conclusion its advice, picture or sound (the negative tables below
// CF 0), as the offers of a run find it; nullopt when none does.
std::optional<MediaOrigin> offer_origin(Session& s, OfferedKind kind, double cf,
                                        const std::string& conclusion);
// Each advice file of the applied rules with display flag 1, with the first such rule (in
// table order) whose record names it.
std::unordered_map<std::string, MediaOrigin> advice_origins(const Session& s);

}  // namespace zuva
