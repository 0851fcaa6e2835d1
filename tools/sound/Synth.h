// SPDX-License-Identifier: GPL-3.0-or-later
// Renders a patch: each layer's source shaped by its steps, the layers
// mixed, then the master steps.
#pragma once

#include "Dsp.h"
#include "Recipe.h"

struct TRenderOptions {
    // Default pitch of tone-like sources (an instrument's root note).
    double RootFrequency = 261.6255653;
    // Rendered beyond the patch's length (the overlap of a loop's seam).
    double ExtraLength = 0;
};

TSignal RenderPatch(const TPatch& patch, const TRenderOptions& options = {});

// Applies one processing step ("amp", "lowpass", "reverb", ...) in place;
// time 0 is the signal's first sample. Raises TRecipeError for an unknown
// step.
void ApplyStep(TSignal& signal, const TLine& step, double rate);
