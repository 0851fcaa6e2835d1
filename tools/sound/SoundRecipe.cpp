// SPDX-License-Identifier: GPL-3.0-or-later
// Reading ".snd" recipe texts and rendering them.
#include "SoundRecipe.h"

#include "Synth.h"

#include <algorithm>
#include <optional>

std::vector<TSoundRecipe> ParseSoundRecipes(const std::string& text, const std::string& file)
{
    std::vector<TSoundRecipe> recipes;
    std::string category = "effects";
    double categoryLoudness = -16;
    int categoryMax = 0;
    std::optional<TPatchBuilder> builder;
    for (const TLine& line : SplitLines(text, file)) {
        const std::string& k = line.Keyword();
        if (k == "category") {
            // "category NAME loudness DB [max N]": defaults for the sounds after it.
            if (line.ArgCount() != 3 && line.ArgCount() != 5) line.Fail("'category' takes NAME loudness DB [max N]");
            if (line.Arg(1) != "loudness") line.Fail("'category' expects 'loudness' after the name");
            category = line.Arg(0);
            categoryLoudness = line.Value(2);
            categoryMax = 0;
            if (line.ArgCount() == 5) {
                if (line.Arg(3) != "max") line.Fail("'category' expects 'max' after the loudness");
                categoryMax = line.Integer(4);
            }
            builder.reset();
            continue;
        }
        if (k == "sound") {
            // "sound NAME [like OTHER]": a new sound, or a copy of an earlier one to vary.
            if (line.ArgCount() != 1 && (line.ArgCount() != 3 || line.Arg(1) != "like")) line.Fail("'sound' takes NAME [like OTHER]");
            TSoundRecipe recipe;
            if (line.ArgCount() == 3) {
                const auto model = std::find_if(recipes.begin(), recipes.end(), [&](const TSoundRecipe& r) { return r.Name == line.Arg(2); });
                if (model == recipes.end()) line.Fail("no earlier sound '" + line.Arg(2) + "' in this file");
                recipe = *model;
            } else {
                recipe.Category = category;
                recipe.Master.Loudness = categoryLoudness;
                recipe.MaxPlayingCount = categoryMax;
            }
            recipe.Name = line.Arg(0);
            recipe.Declaration = line;
            recipe.Patch.Seed = HashText(recipe.Name);
            recipes.push_back(std::move(recipe));
            builder.emplace(recipes.back().Patch);
            continue;
        }
        if (!builder) line.Fail("'" + k + "' outside a sound");
        if (builder->Take(line)) continue;
        TSoundRecipe& recipe = recipes.back();
        if (k == "rate") {
            line.ExpectArgs(1, 1);
            const int rate = line.Integer(0);
            if (rate != 22050 && rate != 44100) line.Fail("the rate is 22050 or 44100");
            recipe.Patch.Rate = recipe.Master.Rate = rate;
        } else if (k == "length") {
            line.ExpectArgs(1, 1);
            recipe.Patch.Length = line.Value(0);
            if (recipe.Patch.Length <= 0 || recipe.Patch.Length > 30) line.Fail("the length is above 0 and at most 30 seconds");
        } else if (k == "max") {
            line.ExpectArgs(1, 1);
            recipe.MaxPlayingCount = std::max(0, line.Integer(0));
        } else if (k == "loop") {
            // "loop CROSSFADE": the sound repeats; its last CROSSFADE seconds blend into its start.
            line.ExpectArgs(1, 1);
            recipe.Master.Looped = true;
            recipe.Master.Crossfade = line.Value(0);
        } else if (k == "loudness") {
            line.ExpectArgs(1, 1);
            recipe.Master.Loudness = line.Value(0);
        } else if (k == "fade") {
            line.ExpectArgs(2, 2);
            recipe.Master.FadeIn = std::max(0.0005, line.Value(0));
            recipe.Master.FadeOut = std::max(0.002, line.Value(1));
        } else if (k == "say") {
            // New words for the speech layers of a copied sound.
            line.ExpectArgs(1, 1);
            bool spoken = false;
            for (TLayer& layer : recipe.Patch.Layers)
                if (layer.Source.Keyword() == "speech" && layer.Source.Words.size() == 2) {
                    layer.Source.Words[1] = line.Arg(0);
                    spoken = true;
                }
            if (!spoken) line.Fail("'say' needs a speech layer");
        } else if (k == "seed") {
            line.ExpectArgs(1, 1);
            recipe.Patch.Seed = HashText(recipe.Name) ^ static_cast<uint64_t>(line.Integer(0));
        } else {
            line.Fail("unknown property '" + k + "' (layers start with 'layer')");
        }
    }
    for (const TSoundRecipe& recipe : recipes)
        if (recipe.Patch.Layers.empty()) recipe.Declaration.Fail("sound '" + recipe.Name + "' has no layer");
    return recipes;
}

std::vector<int16_t> RenderSound(const TSoundRecipe& recipe)
{
    TRenderOptions options;
    if (recipe.Master.Looped) options.ExtraLength = recipe.Master.Crossfade;
    TSignal signal = RenderPatch(recipe.Patch, options);
    try {
        return ToPcm16(MasterSignal(std::move(signal), recipe.Master));
    } catch (const TRecipeError& e) {
        recipe.Declaration.Fail(std::string("sound '") + recipe.Name + "': " + e.what());
    }
}
