// SPDX-License-Identifier: GPL-3.0-or-later
// Spoken words from a speech synthesiser of the system (espeak-ng or
// flite), read back as a signal.
#pragma once

#include "Dsp.h"

#include <optional>
#include <string>

struct TSpeechRequest {
    std::string Text;
    std::string Engine = "espeak-ng"; // or "flite"
    std::string Voice = "en-us+m3";
    // espeak-ng: its 0..99 scale (40 if unset). flite: the mean pitch in Hz
    // (the voice's own if unset).
    std::optional<int> Pitch;
    int Speed = 150; // words per minute; for flite, 150 is the voice's own pace
};

// Renders the words at the given sample rate with leading and trailing
// silence cut away. Raises TRecipeError when the synthesiser cannot be run or
// the request holds characters that have no place in it.
TSignal Speak(const TSpeechRequest& request, double rate);
