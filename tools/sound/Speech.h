// Spoken words from the system's espeak-ng, read back as a signal.
#pragma once

#include "Dsp.h"

#include <string>

struct TSpeechRequest {
    std::string Text;
    std::string Voice = "en-us+m3";
    int Pitch = 40; // espeak-ng's 0..99
    int Speed = 150; // words per minute
};

// Renders the words at the given sample rate with leading and trailing
// silence cut away. Raises TRecipeError when espeak-ng cannot be run or
// the request holds characters that have no place in it.
TSignal Speak(const TSpeechRequest& request, double rate);
