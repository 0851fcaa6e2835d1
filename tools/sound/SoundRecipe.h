// SPDX-License-Identifier: GPL-3.0-or-later
// Sound recipes: the named effects of the wave library, read from ".snd"
// texts and rendered into RIFF recordings.
#pragma once

#include "Mastering.h"
#include "Recipe.h"

#include <string>
#include <vector>

struct TSoundRecipe {
    std::string Name;
    std::string Category;
    TLine Declaration; // the "sound" line, for messages
    TPatch Patch;
    TMasterSettings Master;
    int MaxPlayingCount = 0;
};

// Raises TRecipeError "FILE:LINE: reason" on a bad line; names must be
// unique across all the texts given.
std::vector<TSoundRecipe> ParseSoundRecipes(const std::string& text, const std::string& file);

// The finished 16-bit mono samples of one recipe.
std::vector<int16_t> RenderSound(const TSoundRecipe& recipe);
